#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

// The six colour tints a note can carry, in the order the tint picker shows them.
enum class ZulNoteTint { indigo, emerald, amber, coral, cyan, violet };

QString rawValue(ZulNoteTint tint);
std::optional<ZulNoteTint> ZulNoteTintFromRaw(const QString &raw);
inline QString id(ZulNoteTint tint) { return rawValue(tint); }
const std::array<ZulNoteTint, 6> &ZulNoteTintAllCases();

QString labelEN(ZulNoteTint tint);
QString labelTR(ZulNoteTint tint);

// Colours are plain 0xRRGGBB sRGB values (top byte zero); turning them into
// brushes and gradients is the view layer's business, so the core stays
// free of QtGui.
quint32 accentHex(ZulNoteTint tint);
quint32 surfaceTopHex(ZulNoteTint tint);
quint32 surfaceBottomHex(ZulNoteTint tint);
