#include "VeskKit/Vision/VeskVisionImage.h"

#include <cstring>

VeskVisionImage VeskVisionImage::fromArgb32(const uchar* bits, int width, int height, qsizetype bytesPerLine)
{
    VeskVisionImage image;
    if (bits == nullptr || width <= 0 || height <= 0 || bytesPerLine < qsizetype(width) * 4)
        return image;
    image.width = width;
    image.height = height;
    image.bytesPerLine = bytesPerLine;
    image.pixels = QByteArray(reinterpret_cast<const char*>(bits), bytesPerLine * height);
    return image;
}

bool VeskVisionImage::isValid() const
{
    if (width <= 0 || height <= 0 || bytesPerLine < qsizetype(width) * 4)
        return false;
    return pixels.size() >= bytesPerLine * (height - 1) + qsizetype(width) * 4;
}

quint32 VeskVisionImage::pixel(int x, int y) const
{
    quint32 value = 0;
    std::memcpy(&value, pixels.constData() + bytesPerLine * y + qsizetype(x) * 4, sizeof value);
    return value;
}
