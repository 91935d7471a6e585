#pragma once

#include "Views/ZulScreenLayout.h"

#include <QRectF>
#include <QSizeF>

#include <optional>

// Where a sticky panel opens and how it collapses, as pure arithmetic.
// Rectangles are in the bottom-left form of ZulScreenLayout, the form the
// note stores.
namespace FloatingStickyGeometry {

inline constexpr QSizeF defaultSize{340, 360};
inline constexpr qreal collapsedHeight = 44;
inline constexpr QSizeF minimumSize{260, 44};
inline constexpr QSizeF maximumSize{780, 900};
// A stored frame smaller than this is not reused.
inline constexpr QSizeF minimumStoredSize{240, 180};
// How far outside a screen a stored frame's origin may lie.
inline constexpr qreal originSlack = 80;
// Expanding never gives a shorter panel than this.
inline constexpr qreal minimumExpandedHeight = 240;
// Default places step this far left and down per open panel, and start
// over after this many.
inline constexpr qreal cascadeStep = 28;
inline constexpr int cascadeCycle = 6;

// True when the stored frame may be used as it is: big enough, its origin
// on or near a screen, and reachable there (ZulScreenLayout::isReachable); a
// frame that meets the first two but not the last would open out of reach.
bool isUsableStoredFrame(const QRectF &frame, const ZulScreenLayout &layout);

// The default place of a new panel when `openPanels` are already open: near
// the main screen's top-right corner, cascaded, never closer than 20 to the
// visible frame's left and bottom edges.
QRectF cascadedFrame(const ZulScreenLayout &layout, qsizetype openPanels, QSizeF size = defaultSize);

// The stored frame when usable, unchanged; the cascaded place otherwise.
QRectF resolvedInitialFrame(const std::optional<QRectF> &stored, const ZulScreenLayout &layout,
                            qsizetype openPanels, QSizeF size = defaultSize);

// Collapsing and expanding keep the top edge, the left edge and the width.
// A bar too near the bottom of its screen's visible frame to unfold
// downwards unfolds as far upwards as it lacks room below, so the panel
// stays whole on the screen (and is reused at the next start).
QRectF collapsedFrame(const QRectF &frame, qreal height = collapsedHeight);
QRectF expandedFrame(const QRectF &frame, qreal expandedHeight, const ZulScreenLayout &layout);
// The height to restore later when collapsing a panel of this height.
qreal heightToRestore(qreal currentHeight);

// A frame as the note keeps it: to the hundredth of a point, which at any
// scale up to 400 % still tells one device pixel from the next, so the
// panel reopens on the very pixel it was left on.
QRectF storedForm(const QRectF &frame);

} // namespace FloatingStickyGeometry
