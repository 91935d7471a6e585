#pragma once

#include "VeskKit/Utilities/VeskResult.h"
#include "VeskKit/Vision/VeskFeaturePrintObservation.h"
#include "VeskKit/Vision/VeskVisionError.h"
#include "VeskKit/Vision/VeskVisionImage.h"

#include <QList>

#include <functional>

// A feature-print engine: the prints it finds for one image (ours finds one).
using VeskFeaturePrintRequest =
    std::function<VeskResult<QList<VeskFeaturePrintObservation>, VeskVisionError>(const VeskVisionImage& image)>;

// The feature print on Linux, computed here: the image's brightness layout
// on a coarse grid, made independent of overall brightness and contrast,
// together with where its edges run (gradient directions per region).
// Similar images, including rescaled copies, land close together; images
// with different layouts far apart.
namespace VeskFeaturePrintGenerator {

VeskResult<QList<VeskFeaturePrintObservation>, VeskVisionError> generate(const VeskVisionImage& image);

} // namespace VeskFeaturePrintGenerator
