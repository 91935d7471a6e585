#pragma once

#include "Models/ZulEdgeSide.h"
#include "Views/ZulScreenLayout.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>

// Where the edge drawer and its pull handle stand, as pure arithmetic on a
// screen's visible frame. Every rectangle is in the bottom-left form of
// ZulScreenLayout.
namespace EdgeDrawerGeometry {

inline constexpr qreal drawerWidth = 380;
inline constexpr QSizeF handleSize{18, 112};
// The drawer never gets shorter than this, even on a shorter screen: it
// then reaches above the visible frame rather than squeezing the editor.
inline constexpr qreal minimumDrawerHeight = 480;
inline constexpr int slideInMs = 220;
inline constexpr int slideOutMs = 180;

// Open: 6 in from the edge. Closed: wholly outside, 12 beyond the edge.
// Always 14 above the visible frame's bottom.
QRectF drawerFrame(const QRectF &visibleFrame, ZulEdgeSide side, bool open);

// Centred on the visible frame's height. At the edge while the drawer is
// closed; 2 beyond the open drawer's inner side while it is open.
QRectF handleFrame(const QRectF &visibleFrame, ZulEdgeSide side, bool drawerOpen);

} // namespace EdgeDrawerGeometry
