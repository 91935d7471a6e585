#include "Models/ZulNoteTint.h"

namespace {

struct TintRow {
    ZulNoteTint tint;
    const char16_t *raw;
    const char16_t *labelEN;
    const char16_t *labelTR;
    quint32 accent;
    quint32 surfaceTop;
    quint32 surfaceBottom;
};

constexpr TintRow kTints[] = {
    {ZulNoteTint::indigo, u"indigo", u"Indigo", u"Çivit", 0x7CA4FF, 0x24347A, 0x0E1538},
    {ZulNoteTint::emerald, u"emerald", u"Emerald", u"Zümrüt", 0x47E6C1, 0x155E53, 0x0A2124},
    {ZulNoteTint::amber, u"amber", u"Amber", u"Kehribar", 0xFFA95C, 0x6E391D, 0x24130B},
    {ZulNoteTint::coral, u"coral", u"Coral", u"Mercan", 0xF472D0, 0x661F5D, 0x220B25},
    {ZulNoteTint::cyan, u"cyan", u"Cyan", u"Camgöbeği", 0x38E8FF, 0x105163, 0x081F2B},
    {ZulNoteTint::violet, u"violet", u"Violet", u"Mor", 0xA98BFF, 0x422878, 0x1B1136},
};

const TintRow &row(ZulNoteTint tint)
{
    // The table is in declaration order, so the enumerator is its index.
    return kTints[static_cast<int>(tint)];
}

} // namespace

QString rawValue(ZulNoteTint tint)
{
    return QString::fromUtf16(row(tint).raw);
}

std::optional<ZulNoteTint> ZulNoteTintFromRaw(const QString &raw)
{
    for (const TintRow &r : kTints) {
        if (raw == QStringView(r.raw))
            return r.tint;
    }
    return std::nullopt;
}

const std::array<ZulNoteTint, 6> &ZulNoteTintAllCases()
{
    static const std::array<ZulNoteTint, 6> all = {ZulNoteTint::indigo, ZulNoteTint::emerald,
                                                   ZulNoteTint::amber,  ZulNoteTint::coral,
                                                   ZulNoteTint::cyan,   ZulNoteTint::violet};
    return all;
}

QString labelEN(ZulNoteTint tint)
{
    return QString::fromUtf16(row(tint).labelEN);
}

QString labelTR(ZulNoteTint tint)
{
    return QString::fromUtf16(row(tint).labelTR);
}

quint32 accentHex(ZulNoteTint tint)
{
    return row(tint).accent;
}

quint32 surfaceTopHex(ZulNoteTint tint)
{
    return row(tint).surfaceTop;
}

quint32 surfaceBottomHex(ZulNoteTint tint)
{
    return row(tint).surfaceBottom;
}
