#include "Models/ZulEdgeSide.h"

QString rawValue(ZulEdgeSide side)
{
    switch (side) {
    case ZulEdgeSide::right:
        return QStringLiteral("right");
    case ZulEdgeSide::left:
        return QStringLiteral("left");
    }
    return {};
}

std::optional<ZulEdgeSide> ZulEdgeSideFromRaw(const QString &raw)
{
    for (ZulEdgeSide side : ZulEdgeSideAllCases()) {
        if (raw == rawValue(side))
            return side;
    }
    return std::nullopt;
}

const std::array<ZulEdgeSide, 2> &ZulEdgeSideAllCases()
{
    static const std::array<ZulEdgeSide, 2> all = {ZulEdgeSide::right, ZulEdgeSide::left};
    return all;
}
