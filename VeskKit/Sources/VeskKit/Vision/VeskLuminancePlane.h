#pragma once

#include "VeskKit/Vision/VeskVisionImage.h"

#include <vector>

// An image reduced to brightness, 0 (black) to 1 (white), row by row from the
// top: what the recognizer, the feature print and the registration all work on.
struct VeskLuminancePlane {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    // Transparent pixels count as white: text and drawings on a see-through
    // background read like ink on paper. Requires a valid image.
    static VeskLuminancePlane fromImage(const VeskVisionImage& image);

    // A plane shrunk by a whole factor, each new pixel the mean of its block
    // (partial blocks at the right and bottom edges average what they hold).
    VeskLuminancePlane downscaled(int factor) const;

    float at(int x, int y) const { return values[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};
