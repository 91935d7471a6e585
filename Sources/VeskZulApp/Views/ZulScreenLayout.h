#pragma once

#include <QList>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>

#include <optional>

class QWidget;

// The screens as the floating panels reason about them: every frame in
// points with the origin at the bottom left of the primary screen and y
// growing upwards, the form sticky frames are stored in. Qt's own
// coordinates put the origin at the top left with y growing downwards; the
// two are mirrored about the primary screen's bottom edge (with the primary
// screen at the top of the desktop, that is its height).
struct ZulScreenFrames
{
    QRectF frame;        // the whole screen
    QRectF visibleFrame; // what panels may cover: without panels and docks of the desktop

    bool operator==(const ZulScreenFrames &) const = default;
};

struct ZulScreenLayout
{
    // In the platform's order: the primary screen first.
    QList<ZulScreenFrames> screens;
    // The screen of the application's active window, else the primary one;
    // nothing without screens.
    std::optional<qsizetype> mainIndex;
    // Qt's y of the primary screen's bottom edge.
    qreal flipAxis = 0;

    // What the desktop has now.
    static ZulScreenLayout current();

    // The main screen's visible frame; else the first screen's; else a
    // 1440 × 900 screen at the origin, so arithmetic never meets an empty
    // layout.
    QRectF mainVisibleFrame() const;
    // The visible frame of the first screen (in the layout's order) that
    // holds `point`; else the main one's, as above.
    QRectF visibleFrameAt(const std::optional<QPointF> &point) const;

    // Where a window may stand: one that stands at `frame` can still be
    // taken hold of and moved back, for enough of its title strip (its top
    // 44 points, where every window is dragged) lies on one screen's visible
    // frame: 44 × 22 points of it, or all of a shorter strip. A sliver left
    // on a screen is not enough, nor are pieces on two screens.
    bool isReachable(const QRectF &frame) const;
    static constexpr qreal titleStripHeight = 44;
    static constexpr QSizeF grabSize{44, 22};

    bool operator==(const ZulScreenLayout &) const = default;
};

namespace ZulScreenCoordinates {

// Qt rectangle (top-left origin) to the bottom-left form, and back. The two
// are inverse to each other for the same axis.
QRectF toBottomLeft(const QRectF &qtRect, qreal flipAxis);
QRectF toTopLeft(const QRectF &bottomLeftRect, qreal flipAxis);
// A pointer position: the pixel row y in Qt becomes the point whose row
// lies just below it, so a screen in either form contains the same pixels.
QPointF pointToBottomLeft(const QPointF &qtPoint, qreal flipAxis);
// Containment with the bottom edge open and the top edge closed, the rule
// for points measured upwards: (minX <= x < maxX) and (minY < y <= maxY).
bool containsPointer(const QRectF &bottomLeftRect, const QPointF &bottomLeftPoint);

// Whole device pixels for a frame scaled to the device that may fall
// between them: each edge rounded outward (`outward`), so that a frame at a
// screen's edge reaches the edge's last pixel, or to the nearest pixel; then
// grown to whole steps of the window system's size increment (an X11 window
// at 150 % takes only sizes in steps of two pixels), away from the
// `anchored` edges.
QRect wholeDevicePixels(const QRectF &deviceFrame, bool outward, Qt::Edges anchored, QSize increment);

} // namespace ZulScreenCoordinates

// Top-level windows placed and read to the device pixel, in Qt coordinates.
// Qt keeps a window's geometry in whole points, which at a fractional scale
// fall between device pixels: a frame read from there and put back would
// stand a pixel off.
namespace ZulWindowPlacement {

// Where the window stands as the window system last reported it.
QRectF frameOf(const QWidget *window);

// Puts the window at `frame` on whole device pixels (see
// wholeDevicePixels). A window not shown yet stands at Qt's nearest whole
// points until it shows, and moves to the exact place right after.
void place(QWidget *window, const QRectF &frame, bool outward = false, Qt::Edges anchored = {});

} // namespace ZulWindowPlacement
