#include "VeskKit/Vision/VeskLuminancePlane.h"

#include <algorithm>

VeskLuminancePlane VeskLuminancePlane::fromImage(const VeskVisionImage& image)
{
    VeskLuminancePlane plane;
    plane.width = image.width;
    plane.height = image.height;
    plane.values.resize(std::size_t(image.width) * std::size_t(image.height));
    std::size_t index = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const quint32 argb = image.pixel(x, y);
            const float alpha = float((argb >> 24) & 0xFFU) / 255.0F;
            const float red = float((argb >> 16) & 0xFFU) / 255.0F;
            const float green = float((argb >> 8) & 0xFFU) / 255.0F;
            const float blue = float(argb & 0xFFU) / 255.0F;
            const float luma = 0.299F * red + 0.587F * green + 0.114F * blue;
            plane.values[index++] = alpha * luma + (1.0F - alpha);
        }
    }
    return plane;
}

VeskLuminancePlane VeskLuminancePlane::downscaled(int factor) const
{
    if (factor <= 1)
        return *this;
    VeskLuminancePlane small;
    small.width = (width + factor - 1) / factor;
    small.height = (height + factor - 1) / factor;
    small.values.assign(std::size_t(small.width) * std::size_t(small.height), 0.0F);
    std::vector<int> counts(small.values.size(), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t target = std::size_t(y / factor) * std::size_t(small.width) + std::size_t(x / factor);
            small.values[target] += at(x, y);
            ++counts[target];
        }
    }
    for (std::size_t i = 0; i < small.values.size(); ++i)
        small.values[i] /= float(std::max(counts[i], 1));
    return small;
}
