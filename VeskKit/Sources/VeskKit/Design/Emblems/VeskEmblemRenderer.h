#pragma once

#include "VeskKit/Design/Emblems/VeskEmblemTone.h"
#include "VeskKit/Design/Emblems/VeskAppIdentity.h"

#include <QByteArray>
#include <QImage>

#include <optional>

class QPainter;
class QRectF;

// Turns a suite identity into a bitmap of its emblem. Images are premultiplied
// ARGB and kept in a small in-memory cache keyed by identity, pixel size and
// template flag; an image handed out stays valid after the cache drops it.
namespace VeskEmblemRenderer {

// The largest bitmap side the renderer makes; bigger requests are drawn at
// this size (images) or refused (PNG data).
inline constexpr int maximumPixelSize = 4096;

// An image of `pointSize` points drawn at `scale` pixels per point (1 to 3).
// The point size is floored at 10 and the pixel size rounded and floored at
// 16, so nearby requests share one cached image. Never a null image.
QImage image(VeskAppIdentity app, qreal pointSize, qreal scale, bool asTemplate);

// Whether `image` was asked for as a template (to be tinted by its viewer).
bool isTemplate(const QImage &image);

// PNG data of the emblem at exactly `pixelSize` pixels square (72 dpi), not
// cached. Nothing for a pixel size below 1 or above maximumPixelSize.
std::optional<QByteArray> pngData(VeskAppIdentity app, int pixelSize);

// Maps `painter` so the 100 x 100 grid lands on the square `target` as in
// every bitmap of the renderer: grid (50, 50) at its centre, 60 grid units
// across 88% of its side, y down.
void mapGridToSquare(QPainter &painter, const QRectF &target);

// Draws the emblem on a painter already mapped to the 100 x 100 grid.
// Returns whether the identity has artwork of its own. Cuts act on everything
// under them: a caller drawing over other content renders into a layer first.
bool drawFlatEmblem(VeskAppIdentity app, QPainter &painter, const VeskEmblemTone &tone);

} // namespace VeskEmblemRenderer
