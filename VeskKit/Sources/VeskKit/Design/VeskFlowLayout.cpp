#include "VeskKit/Design/VeskFlowLayout.h"

#include <algorithm>
#include <limits>

namespace {

// The slack placing allows before wrapping.
constexpr double kPlacementTolerance = 0.5;

} // namespace

QSizeF VeskFlowLayout::sizeThatFits(std::optional<double> proposedWidth, const QList<QSizeF> &idealSizes) const
{
    const double available = proposedWidth.value_or(std::numeric_limits<double>::infinity());
    double x = 0, y = 0, lineHeight = 0, widest = 0;
    for (const QSizeF &size : idealSizes) {
        if (x > 0 && x + size.width() > available) {
            y += lineSpacing + lineHeight;
            lineHeight = 0;
            x = 0;
        }
        widest = std::max(widest, x + size.width());
        x += size.width() + spacing;
        lineHeight = std::max(lineHeight, size.height());
    }
    return {proposedWidth ? *proposedWidth : widest, y + lineHeight};
}

QList<QRectF> VeskFlowLayout::placeSubviews(const QRectF &bounds, const QList<QSizeF> &idealSizes) const
{
    QList<QRectF> frames;
    frames.reserve(idealSizes.size());
    double x = bounds.left(), y = bounds.top(), lineHeight = 0;
    for (const QSizeF &size : idealSizes) {
        if (x > bounds.left() && x + size.width() > bounds.right() + kPlacementTolerance) {
            y += lineSpacing + lineHeight;
            x = bounds.left();
            lineHeight = 0;
        }
        frames.append(QRectF(QPointF(x, y), size));
        x += size.width() + spacing;
        lineHeight = std::max(lineHeight, size.height());
    }
    return frames;
}
