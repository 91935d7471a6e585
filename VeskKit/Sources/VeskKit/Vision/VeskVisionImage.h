#pragma once

#include <QByteArray>
#include <QtGlobal>

// The bitmap the image services read: 32-bit pixels 0xAARRGGBB in the
// machine's byte order, not premultiplied, rows bytesPerLine apart. It is the
// layout of a QImage in Format_ARGB32, so an interface layer hands its images
// over with one copy while the services themselves stay free of the GUI
// libraries.
struct VeskVisionImage {
    int width = 0;
    int height = 0;
    qsizetype bytesPerLine = 0;
    QByteArray pixels;

    static VeskVisionImage fromArgb32(const uchar* bits, int width, int height, qsizetype bytesPerLine);

    // True when the size is positive and the pixel bytes cover every row.
    bool isValid() const;

    // The pixel at column x, row y (row 0 at the top); only on a valid image.
    quint32 pixel(int x, int y) const;
};
