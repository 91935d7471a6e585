#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

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

} // namespace ZulScreenCoordinates
