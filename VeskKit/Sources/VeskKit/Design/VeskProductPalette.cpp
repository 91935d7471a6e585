#include "VeskKit/Design/VeskProductPalette.h"

#include "VeskKit/Design/VeskColorHex.h"

#include <cmath>

namespace {

struct PaletteRow {
    const char *name;
    quint32 topLeft;
    quint32 middle;
    quint32 bottomRight;
    quint32 accent;
};

// Indexed by the enumeration's declaration order.
constexpr std::array<PaletteRow, 9> kRows = {{
    {"deepViolet", 0x462A7D, 0x311F59, 0x1D133B, 0xA98BFF},
    {"deepCrimson", 0x7A2248, 0x4A1634, 0x240D1D, 0xFF6B9D},
    {"deepAmber", 0x783C1E, 0x4A2515, 0x24130C, 0xFFA95C},
    {"deepEmerald", 0x156256, 0x103F3D, 0x0B2124, 0x47E6C1},
    {"deepCobalt", 0x1D4E89, 0x16335E, 0x0D1C38, 0x5CC4FF},
    {"deepIndigo", 0x24347A, 0x182356, 0x0D1433, 0x7CA4FF},
    {"deepAbyss", 0x1F4A5C, 0x153445, 0x0C1F2B, 0x66D9EF},
    {"deepCoral", 0x6E1F63, 0x471645, 0x240B26, 0xF472D0},
    {"deepCyan", 0x0D5668, 0x0B3A4A, 0x07202B, 0x38E8FF},
}};

const PaletteRow &row(VeskProductPalette palette)
{
    return kRows[std::size_t(palette)];
}

double roundedChannel(quint32 hex, int shift)
{
    const double value = double((hex >> shift) & 0xFFu) / 255.0;
    return std::round(value * 1000.0) / 1000.0;
}

VeskRgbStop rgbStop(quint32 hex)
{
    return {roundedChannel(hex, 16), roundedChannel(hex, 8), roundedChannel(hex, 0)};
}

} // namespace

QString rawValue(VeskProductPalette palette)
{
    return QString::fromLatin1(row(palette).name);
}

std::optional<VeskProductPalette> VeskProductPaletteFromRaw(const QString &raw)
{
    for (VeskProductPalette palette : kVeskProductPaletteAllCases) {
        if (raw == QLatin1String(row(palette).name))
            return palette;
    }
    return std::nullopt;
}

QJsonValue toJson(VeskProductPalette palette)
{
    return QJsonValue(rawValue(palette));
}

std::optional<VeskProductPalette> VeskProductPaletteFromJson(const QJsonValue &json)
{
    if (!json.isString())
        return std::nullopt;
    return VeskProductPaletteFromRaw(json.toString());
}

VeskGroundStops groundStops(VeskProductPalette palette)
{
    const PaletteRow &r = row(palette);
    return {veskColorFromHex(r.topLeft), veskColorFromHex(r.middle), veskColorFromHex(r.bottomRight)};
}

QColor accentColor(VeskProductPalette palette)
{
    return veskColorFromHex(row(palette).accent);
}

const std::array<VeskRgbStop, 3> &rgbStops(VeskProductPalette palette)
{
    // Built once; a thread that arrives while another builds waits for it.
    static const std::array<std::array<VeskRgbStop, 3>, 9> table = [] {
        std::array<std::array<VeskRgbStop, 3>, 9> built{};
        for (std::size_t i = 0; i < kRows.size(); ++i)
            built[i] = {rgbStop(kRows[i].topLeft), rgbStop(kRows[i].middle), rgbStop(kRows[i].bottomRight)};
        return built;
    }();
    return table[std::size_t(palette)];
}
