#include "Views/EdgeDrawerGeometry.h"

#include <algorithm>

namespace EdgeDrawerGeometry {

namespace {

// Gap between the open drawer and the edge, and between the closed drawer
// and the edge on the far side.
constexpr qreal kOpenInset = 6;
constexpr qreal kClosedOutset = 12;
constexpr qreal kVerticalInset = 14;
// Between the open drawer's inner side and the handle.
constexpr qreal kHandleGap = 2;

} // namespace

QRectF drawerFrame(const QRectF &v, ZulEdgeSide side, bool open)
{
    const bool left = side == ZulEdgeSide::left;
    const qreal height = std::max(v.height() - 2 * kVerticalInset, minimumDrawerHeight);
    qreal x = 0;
    if (open)
        x = left ? v.left() + kOpenInset : v.right() - drawerWidth - kOpenInset;
    else
        x = left ? v.left() - drawerWidth - kClosedOutset : v.right() + kClosedOutset;
    return QRectF(x, v.top() + kVerticalInset, drawerWidth, height);
}

QRectF handleFrame(const QRectF &v, ZulEdgeSide side, bool drawerOpen)
{
    const bool left = side == ZulEdgeSide::left;
    const qreal reach = drawerOpen ? kOpenInset + drawerWidth + kHandleGap : 0;
    const qreal x = left ? v.left() + reach : v.right() - handleSize.width() - reach;
    const qreal y = v.center().y() - handleSize.height() / 2;
    return QRectF(QPointF(x, y), handleSize);
}

} // namespace EdgeDrawerGeometry
