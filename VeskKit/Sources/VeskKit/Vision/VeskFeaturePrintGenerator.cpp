#include "VeskKit/Vision/VeskFeaturePrintGenerator.h"

#include "VeskKit/Vision/VeskLuminancePlane.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr int gridSize = 32;       // the image is resampled to this many cells a side
constexpr int layoutSize = 16;     // brightness layout, cells a side
constexpr int regionsPerSide = 4;  // edge-direction regions a side
constexpr int directionBins = 8;

// The image resampled to a square grid, each cell the mean brightness of the
// image area it covers, so the print does not depend on the pixel size.
std::vector<double> resampled(const VeskLuminancePlane& plane, int size)
{
    // Summed-area table: any cell's mean in constant time.
    const int w = plane.width;
    const int h = plane.height;
    std::vector<double> sums(std::size_t(w + 1) * std::size_t(h + 1), 0.0);
    for (int y = 0; y < h; ++y) {
        double row = 0.0;
        for (int x = 0; x < w; ++x) {
            row += plane.at(x, y);
            sums[std::size_t(y + 1) * std::size_t(w + 1) + std::size_t(x + 1)] =
                sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x + 1)] + row;
        }
    }
    const auto sumAt = [&](int x, int y) { return sums[std::size_t(y) * std::size_t(w + 1) + std::size_t(x)]; };
    std::vector<double> grid(std::size_t(size) * std::size_t(size));
    for (int gy = 0; gy < size; ++gy) {
        // At least one source pixel per cell, so images smaller than the
        // grid repeat their pixels instead of leaving holes.
        const int y0 = std::min(gy * h / size, h - 1);
        const int y1 = std::max((gy + 1) * h / size, y0 + 1);
        for (int gx = 0; gx < size; ++gx) {
            const int x0 = std::min(gx * w / size, w - 1);
            const int x1 = std::max((gx + 1) * w / size, x0 + 1);
            const double total = sumAt(x1, y1) - sumAt(x0, y1) - sumAt(x1, y0) + sumAt(x0, y0);
            grid[std::size_t(gy) * std::size_t(size) + std::size_t(gx)] = total / double((x1 - x0) * (y1 - y0));
        }
    }
    return grid;
}

void normalize(std::vector<double>& values)
{
    double norm = 0.0;
    for (const double v : values)
        norm += v * v;
    norm = std::sqrt(norm);
    // A flat image has no layout and no edges: its print stays zero rather
    // than amplifying rounding noise into a pattern.
    if (norm < 1e-9) {
        std::fill(values.begin(), values.end(), 0.0);
        return;
    }
    for (double& v : values)
        v /= norm;
}

std::vector<double> brightnessLayout(const std::vector<double>& grid)
{
    const int step = gridSize / layoutSize;
    std::vector<double> layout(std::size_t(layoutSize) * std::size_t(layoutSize), 0.0);
    for (int y = 0; y < gridSize; ++y)
        for (int x = 0; x < gridSize; ++x)
            layout[std::size_t(y / step) * std::size_t(layoutSize) + std::size_t(x / step)] +=
                grid[std::size_t(y) * std::size_t(gridSize) + std::size_t(x)];
    double mean = 0.0;
    for (const double v : layout)
        mean += v;
    mean /= double(layout.size());
    for (double& v : layout)
        v -= mean;
    normalize(layout);
    return layout;
}

std::vector<double> edgeDirections(const std::vector<double>& grid)
{
    const auto at = [&](int x, int y) {
        x = std::clamp(x, 0, gridSize - 1);
        y = std::clamp(y, 0, gridSize - 1);
        return grid[std::size_t(y) * std::size_t(gridSize) + std::size_t(x)];
    };
    const int regionSize = gridSize / regionsPerSide;
    std::vector<double> histogram(std::size_t(regionsPerSide * regionsPerSide * directionBins), 0.0);
    for (int y = 0; y < gridSize; ++y) {
        for (int x = 0; x < gridSize; ++x) {
            const double gx = at(x + 1, y) - at(x - 1, y);
            const double gy = at(x, y + 1) - at(x, y - 1);
            const double magnitude = std::hypot(gx, gy);
            if (magnitude < 1e-12)
                continue;
            double angle = std::atan2(gy, gx);
            if (angle < 0.0)
                angle += 2.0 * std::numbers::pi;
            const int bin = std::min(int(angle / (2.0 * std::numbers::pi) * directionBins), directionBins - 1);
            const int region = (y / regionSize) * regionsPerSide + (x / regionSize);
            histogram[std::size_t(region * directionBins + bin)] += magnitude;
        }
    }
    normalize(histogram);
    return histogram;
}

} // namespace

namespace VeskFeaturePrintGenerator {

VeskResult<QList<VeskFeaturePrintObservation>, VeskVisionError> generate(const VeskVisionImage& image)
{
    using Result = VeskResult<QList<VeskFeaturePrintObservation>, VeskVisionError>;
    if (!image.isValid())
        return Result::failure(VeskVisionError{VeskVisionEngineError::domain, VeskVisionEngineError::invalidImage,
            QStringLiteral("The image has no pixels to read.")});
    const std::vector<double> grid = resampled(VeskLuminancePlane::fromImage(image), gridSize);

    // Both halves weigh the same; each is a unit vector, so the whole print
    // is one too (or zero for a flat image).
    VeskFeaturePrintObservation print;
    const double half = 1.0 / std::numbers::sqrt2;
    for (const double v : brightnessLayout(grid))
        print.data.append(float(v * half));
    for (const double v : edgeDirections(grid))
        print.data.append(float(v * half));
    return Result::success({print});
}

} // namespace VeskFeaturePrintGenerator
