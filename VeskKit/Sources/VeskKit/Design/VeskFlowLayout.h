#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Places items left to right at their ideal sizes and wraps onto further
// lines; lines are top-aligned and not justified. Measuring wraps as soon as
// an item would pass the available width; placing tolerates half a pixel of
// overflow first, so rounding between the two never pushes an item that was
// measured onto a line down to the next. An item first on its line never
// wraps, even when it is wider than the room.
struct VeskFlowLayout {
    double spacing = 0;
    double lineSpacing = 0;

    // The proposed width, or nothing when the width is unspecified (one line).
    QSizeF sizeThatFits(std::optional<double> proposedWidth, const QList<QSizeF> &idealSizes) const;
    // The frame of every item inside the bounds, in order.
    QList<QRectF> placeSubviews(const QRectF &bounds, const QList<QSizeF> &idealSizes) const;
};
