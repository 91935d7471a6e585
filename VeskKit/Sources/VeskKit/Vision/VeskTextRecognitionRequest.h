#pragma once

#include "VeskKit/Utilities/VeskResult.h"
#include "VeskKit/Vision/VeskComputeDevice.h"
#include "VeskKit/Vision/VeskVisionError.h"
#include "VeskKit/Vision/VeskVisionImage.h"

#include <QList>
#include <QRectF>
#include <QStringList>

#include <functional>
#include <optional>

enum class VeskRecognitionLevel {
    accurate,
    fast,
};

// What one recognition pass is asked to do.
struct VeskTextRecognitionRequest {
    VeskRecognitionLevel recognitionLevel = VeskRecognitionLevel::accurate;
    bool usesLanguageCorrection = true;
    bool automaticallyDetectsLanguage = true;
    // Language identifiers such as "en-US", as the caller gave them.
    QStringList recognitionLanguages;
    // Empty: the engine picks its device.
    std::optional<VeskComputeDevice> computeDevice;
};

// The recognizer's best reading of one line.
struct VeskRecognizedText {
    QString string;
    float confidence = 0.0F;
};

// One line the recognizer found: its box in normalized coordinates (origin at
// the lower-left) and its best reading, if it settled on any.
struct VeskRecognizedTextObservation {
    QRectF boundingBox;
    std::optional<VeskRecognizedText> topCandidate;
};

// A text recognition engine: one pass over one image.
using VeskTextRecognizer = std::function<VeskResult<QList<VeskRecognizedTextObservation>, VeskVisionError>(
    const VeskVisionImage& image, const VeskTextRecognitionRequest& request)>;
