#pragma once

#include "VeskKit/Utilities/VeskResult.h"
#include "VeskKit/Vision/VeskVisionError.h"
#include "VeskKit/Vision/VeskVisionImage.h"

#include <QList>
#include <QPointF>

#include <functional>

// A registration engine: the translations it finds that align the floating
// image with the reference image (ours finds at most one).
using VeskTranslationalRegistrationRequest = std::function<VeskResult<QList<QPointF>, VeskVisionError>(
    const VeskVisionImage& reference, const VeskVisionImage& floating)>;

// Translational registration on Linux, computed here by phase correlation:
// the shift at which the two images' edges and shapes line up best.
namespace VeskTranslationalRegistration {

// The translation, in pixels of the reference image with x to the right and
// y upwards, that moves the floating image's content onto the reference's.
// Finds nothing when either image is flat (one colour throughout): there is
// nothing to line up. Images above 512 pixels a side are compared at a
// whole-number reduction, so the shift is then as fine as that reduction.
VeskResult<QList<QPointF>, VeskVisionError> align(const VeskVisionImage& reference, const VeskVisionImage& floating);

} // namespace VeskTranslationalRegistration
