#pragma once

#include <QString>

#include <array>
#include <optional>

// The screen edge the drawer sits on.
enum class ZulEdgeSide { right, left };

QString rawValue(ZulEdgeSide side);
std::optional<ZulEdgeSide> ZulEdgeSideFromRaw(const QString &raw);
inline QString id(ZulEdgeSide side) { return rawValue(side); }
const std::array<ZulEdgeSide, 2> &ZulEdgeSideAllCases();
