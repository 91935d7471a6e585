#pragma once

#include <QRectF>
#include <QString>

#include <utility>

// One recognised line of text: the best reading, where it sits and how sure
// the recognizer is. The box is in normalized image coordinates, 0 to 1 on
// each axis with the origin at the image's lower-left corner, so callers get
// the same geometry whatever the image's pixel size.
struct VeskOCRLine {
    QString text;
    QRectF boundingBox;
    float confidence = 0.0F;

    VeskOCRLine() = default;
    VeskOCRLine(QString text, QRectF boundingBox, float confidence)
        : text(std::move(text)), boundingBox(boundingBox), confidence(confidence)
    {
    }

    // Exact comparison on purpose: two readings are the same only when every
    // part is, including the box down to the last bit.
    bool operator==(const VeskOCRLine& other) const
    {
        return text == other.text && boundingBox.x() == other.boundingBox.x()
            && boundingBox.y() == other.boundingBox.y()
            && boundingBox.width() == other.boundingBox.width()
            && boundingBox.height() == other.boundingBox.height()
            && confidence == other.confidence;
    }
};
