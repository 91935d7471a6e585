#pragma once

#include <QtGlobal>

// Which corners of a glass backdrop are rounded, and by how much: all four,
// only the two on the leading (left) side, or only the two on the trailing
// (right) side.
struct ZulGlassCorners {
    enum class Kind { all, leading, trailing };

    Kind kind = Kind::all;
    qreal radius = 0;

    static ZulGlassCorners all(qreal radius) { return {Kind::all, radius}; }
    static ZulGlassCorners leading(qreal radius) { return {Kind::leading, radius}; }
    static ZulGlassCorners trailing(qreal radius) { return {Kind::trailing, radius}; }

    bool roundsLeft() const { return kind != Kind::trailing; }
    bool roundsRight() const { return kind != Kind::leading; }

    bool operator==(const ZulGlassCorners &) const = default;
};
