#pragma once

#include "VeskKit/Utilities/VeskResult.h"
#include "VeskKit/Vision/VeskFeaturePrintGenerator.h"
#include "VeskKit/Vision/VeskFeaturePrintObservation.h"
#include "VeskKit/Vision/VeskOCRResult.h"
#include "VeskKit/Vision/VeskTextRecognitionRequest.h"
#include "VeskKit/Vision/VeskTranslationalRegistration.h"
#include "VeskKit/Vision/VeskVisionError.h"
#include "VeskKit/Vision/VeskVisionImage.h"

#include <QPointF>
#include <QStringList>

// Image services: the text lines in an image, an image's feature print, and
// how far one image is shifted against another. Every call is synchronous,
// keeps no state and may run on any thread, several at once. The overloads
// that take an engine exist so the retry and error rules can be exercised
// with engines that fail on demand; everyone else uses the short forms,
// which run the system's engines.
namespace VeskVisionServices {

inline const QString errorDomain = QStringLiteral("VeskVisionServices");
constexpr int featurePrintUnavailable = 1;

// Recognises text at the requested level (accurate or fast) in the given
// languages. Tries up to three times: as asked on the engine's own device,
// as asked on the CPU, then fast on the CPU; the first pass that returns
// decides, and when all three fail the last failure is reported.
VeskResult<VeskOCRResult, VeskVisionError> recognizeText(
    const VeskVisionImage& image, const QStringList& languages, bool accurate);
VeskResult<VeskOCRResult, VeskVisionError> recognizeText(const VeskVisionImage& image,
    const QStringList& languages, bool accurate, const VeskTextRecognizer& recognizer);

// The image's feature print; an engine that produces none is a failure of
// domain errorDomain, code featurePrintUnavailable.
VeskResult<VeskFeaturePrintObservation, VeskVisionError> featurePrint(const VeskVisionImage& image);
VeskResult<VeskFeaturePrintObservation, VeskVisionError> featurePrint(
    const VeskVisionImage& image, const VeskFeaturePrintRequest& request);

// The translation (dx, dy) that aligns `to` with `from`, in pixels with y
// pointing up; (0, 0) when the engine finds no alignment.
VeskResult<QPointF, VeskVisionError> translationalOffset(const VeskVisionImage& from, const VeskVisionImage& to);
VeskResult<QPointF, VeskVisionError> translationalOffset(
    const VeskVisionImage& from, const VeskVisionImage& to, const VeskTranslationalRegistrationRequest& request);

} // namespace VeskVisionServices
