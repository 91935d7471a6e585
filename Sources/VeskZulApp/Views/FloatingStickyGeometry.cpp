#include "Views/FloatingStickyGeometry.h"

#include <algorithm>
#include <cmath>

namespace FloatingStickyGeometry {

namespace {

constexpr qreal kCascadeRightInset = 42;
constexpr qreal kCascadeTopInset = 46;
constexpr qreal kCascadeFloor = 20;

// Left and bottom edges closed, right and top open, as for any rectangle
// measured from its origin.
bool containsOrigin(const QRectF &rect, const QPointF &point)
{
    return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top() &&
           point.y() < rect.bottom();
}

} // namespace

bool isUsableStoredFrame(const QRectF &frame, const ZulScreenLayout &layout)
{
    if (!(frame.width() >= minimumStoredSize.width() && frame.height() >= minimumStoredSize.height()))
        return false;
    const bool originNearScreen =
        std::any_of(layout.screens.cbegin(), layout.screens.cend(), [&](const ZulScreenFrames &screen) {
            const QRectF grown = screen.frame.adjusted(-originSlack, -originSlack, originSlack, originSlack);
            return containsOrigin(grown, frame.topLeft());
        });
    return originNearScreen && layout.isReachable(frame);
}

QRectF cascadedFrame(const ZulScreenLayout &layout, qsizetype openPanels, QSizeF size)
{
    const QRectF v = layout.mainVisibleFrame();
    const qreal offset = cascadeStep * qreal(openPanels % cascadeCycle);
    // right() and bottom() are the maximum x and y in this form.
    const qreal x = std::max(v.right() - size.width() - kCascadeRightInset - offset, v.left() + kCascadeFloor);
    const qreal y = std::max(v.bottom() - size.height() - kCascadeTopInset - offset, v.top() + kCascadeFloor);
    return QRectF(QPointF(x, y), size);
}

QRectF resolvedInitialFrame(const std::optional<QRectF> &stored, const ZulScreenLayout &layout,
                            qsizetype openPanels, QSizeF size)
{
    if (stored && isUsableStoredFrame(*stored, layout))
        return *stored;
    return cascadedFrame(layout, openPanels, size);
}

QRectF collapsedFrame(const QRectF &frame, qreal height)
{
    return QRectF(frame.left(), frame.bottom() - height, frame.width(), height);
}

QRectF expandedFrame(const QRectF &frame, qreal expandedHeight, const ZulScreenLayout &layout)
{
    const qreal height = std::max(expandedHeight, minimumExpandedHeight);
    QRectF expanded(frame.left(), frame.bottom() - height, frame.width(), height);
    // The screen the bar is on: the one showing the most of it.
    std::optional<QRectF> visible;
    qreal shownArea = 0;
    for (const ZulScreenFrames &screen : layout.screens) {
        const QRectF shown = frame.intersected(screen.visibleFrame);
        if (shown.width() * shown.height() > shownArea) {
            shownArea = shown.width() * shown.height();
            visible = screen.visibleFrame;
        }
    }
    // top() and bottom() are the lowest and highest y in this form; the
    // shift never takes the top edge above the visible frame.
    if (visible && expanded.top() < visible->top())
        expanded.translate(0, std::min(visible->top() - expanded.top(),
                                       std::max(0.0, visible->bottom() - expanded.bottom())));
    return expanded;
}

qreal heightToRestore(qreal currentHeight)
{
    return std::max(currentHeight, minimumExpandedHeight);
}

QRectF storedForm(const QRectF &frame)
{
    const auto hundredths = [](qreal value) { return std::round(value * 100) / 100; };
    return QRectF(hundredths(frame.x()), hundredths(frame.y()), hundredths(frame.width()), hundredths(frame.height()));
}

} // namespace FloatingStickyGeometry
