#include "VeskKit/Vision/VeskTranslationalRegistration.h"

#include "VeskKit/Vision/VeskLuminancePlane.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <vector>

namespace {

using Complex = std::complex<double>;

constexpr int largestSide = 512;

int nextPowerOfTwo(int value)
{
    int power = 1;
    while (power < value)
        power *= 2;
    return power;
}

// In-place radix-2 transform of `count` values `stride` apart; count is a
// power of two. The inverse is left unscaled: only the peak's place matters.
void transform(Complex* values, int count, int stride, bool inverse)
{
    for (int i = 1, j = 0; i < count; ++i) {
        int bit = count >> 1;
        for (; (j & bit) != 0; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(values[std::size_t(i) * std::size_t(stride)], values[std::size_t(j) * std::size_t(stride)]);
    }
    for (int length = 2; length <= count; length <<= 1) {
        const double angle = (inverse ? 2.0 : -2.0) * std::numbers::pi / length;
        const Complex unit(std::cos(angle), std::sin(angle));
        for (int start = 0; start < count; start += length) {
            Complex twiddle(1.0, 0.0);
            for (int k = 0; k < length / 2; ++k) {
                Complex& even = values[std::size_t(start + k) * std::size_t(stride)];
                Complex& odd = values[std::size_t(start + k + length / 2) * std::size_t(stride)];
                const Complex product = odd * twiddle;
                odd = even - product;
                even += product;
                twiddle *= unit;
            }
        }
    }
}

void transform2d(std::vector<Complex>& values, int width, int height, bool inverse)
{
    for (int y = 0; y < height; ++y)
        transform(values.data() + std::size_t(y) * std::size_t(width), width, 1, inverse);
    for (int x = 0; x < width; ++x)
        transform(values.data() + x, height, width, inverse);
}

// The plane's brightness around its mean, tapered towards its borders so
// the image edges do not read as a shape of their own, placed at the top
// left of a canvas of the given size. Nothing when the plane is flat.
std::optional<std::vector<Complex>> prepared(const VeskLuminancePlane& plane, int width, int height)
{
    double mean = 0.0;
    for (const float v : plane.values)
        mean += v;
    mean /= double(plane.values.size());
    double spread = 0.0;
    for (const float v : plane.values)
        spread = std::max(spread, std::abs(double(v) - mean));
    if (spread < 1e-6)
        return std::nullopt;

    const auto taper = [](int i, int count) {
        return count < 2 ? 1.0 : 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * (i + 0.5) / count);
    };
    std::vector<Complex> canvas(std::size_t(width) * std::size_t(height), Complex(0.0, 0.0));
    for (int y = 0; y < plane.height; ++y) {
        const double ty = taper(y, plane.height);
        for (int x = 0; x < plane.width; ++x)
            canvas[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                (double(plane.at(x, y)) - mean) * ty * taper(x, plane.width);
    }
    return canvas;
}

// Where between the peak's neighbours the true peak lies, -0.5 to 0.5.
double subsampleOffset(double before, double peak, double after)
{
    const double curvature = before - 2.0 * peak + after;
    if (std::abs(curvature) < 1e-12)
        return 0.0;
    return std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5);
}

} // namespace

namespace VeskTranslationalRegistration {

VeskResult<QList<QPointF>, VeskVisionError> align(const VeskVisionImage& reference, const VeskVisionImage& floating)
{
    using Result = VeskResult<QList<QPointF>, VeskVisionError>;
    if (!reference.isValid() || !floating.isValid())
        return Result::failure(VeskVisionError{VeskVisionEngineError::domain, VeskVisionEngineError::invalidImage,
            QStringLiteral("The image has no pixels to read.")});

    const int longest = std::max({reference.width, reference.height, floating.width, floating.height});
    const int factor = (longest + largestSide - 1) / largestSide;
    const VeskLuminancePlane a = VeskLuminancePlane::fromImage(reference).downscaled(factor);
    const VeskLuminancePlane b = VeskLuminancePlane::fromImage(floating).downscaled(factor);
    const int width = nextPowerOfTwo(std::max(a.width, b.width));
    const int height = nextPowerOfTwo(std::max(a.height, b.height));

    std::optional<std::vector<Complex>> fa = prepared(a, width, height);
    std::optional<std::vector<Complex>> fb = prepared(b, width, height);
    if (!fa || !fb)
        return Result::success({});
    transform2d(*fa, width, height, false);
    transform2d(*fb, width, height, false);

    // The normalized cross-power spectrum keeps only the phase difference,
    // whose inverse is a sharp peak at the shift of b against a.
    std::vector<Complex>& correlation = *fb;
    for (std::size_t i = 0; i < correlation.size(); ++i) {
        const Complex product = correlation[i] * std::conj((*fa)[i]);
        const double magnitude = std::abs(product);
        correlation[i] = magnitude > 1e-12 ? product / magnitude : Complex(0.0, 0.0);
    }
    transform2d(correlation, width, height, true);

    std::size_t best = 0;
    for (std::size_t i = 1; i < correlation.size(); ++i)
        if (correlation[i].real() > correlation[best].real())
            best = i;
    const int peakX = int(best % std::size_t(width));
    const int peakY = int(best / std::size_t(width));
    const auto valueAt = [&](int x, int y) {
        x = (x + width) % width;
        y = (y + height) % height;
        return correlation[std::size_t(y) * std::size_t(width) + std::size_t(x)].real();
    };
    const double peak = valueAt(peakX, peakY);
    // Shifts past half the canvas wrap around: they are shifts the other way.
    double shiftX = peakX > width / 2 ? peakX - width : peakX;
    double shiftY = peakY > height / 2 ? peakY - height : peakY;
    shiftX += subsampleOffset(valueAt(peakX - 1, peakY), peak, valueAt(peakX + 1, peakY));
    shiftY += subsampleOffset(valueAt(peakX, peakY - 1), peak, valueAt(peakX, peakY + 1));

    // b's content sits (shiftX, shiftY) from a's, rows counted downwards;
    // moving it back is the opposite shift, and with y pointing up the row
    // direction turns over once more.
    return Result::success({QPointF(-shiftX * factor, shiftY * factor)});
}

} // namespace VeskTranslationalRegistration
