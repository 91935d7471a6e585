#pragma once

#include <QColor>
#include <QJsonValue>
#include <QString>

#include <array>
#include <optional>

// The nine product palettes: a dark three-stop ground and one bright accent.
enum class VeskProductPalette {
    deepViolet,
    deepCrimson,
    deepAmber,
    deepEmerald,
    deepCobalt,
    deepIndigo,
    deepAbyss,
    deepCoral,
    deepCyan,
};

struct VeskGroundStops {
    QColor topLeft;
    QColor middle;
    QColor bottomRight;
};

struct VeskRgbStop {
    double r = 0;
    double g = 0;
    double b = 0;
    bool operator==(const VeskRgbStop &) const = default;
};

inline constexpr std::array<VeskProductPalette, 9> kVeskProductPaletteAllCases = {
    VeskProductPalette::deepViolet, VeskProductPalette::deepCrimson, VeskProductPalette::deepAmber,
    VeskProductPalette::deepEmerald, VeskProductPalette::deepCobalt, VeskProductPalette::deepIndigo,
    VeskProductPalette::deepAbyss, VeskProductPalette::deepCoral, VeskProductPalette::deepCyan,
};

QString rawValue(VeskProductPalette palette);
// Exactly the nine case names, case-sensitive.
std::optional<VeskProductPalette> VeskProductPaletteFromRaw(const QString &raw);

// A palette is coded as a single JSON string holding its raw value.
QJsonValue toJson(VeskProductPalette palette);
std::optional<VeskProductPalette> VeskProductPaletteFromJson(const QJsonValue &json);

VeskGroundStops groundStops(VeskProductPalette palette);
QColor accentColor(VeskProductPalette palette);
// Channel values n / 255 rounded to three decimals, in ground-stop order.
const std::array<VeskRgbStop, 3> &rgbStops(VeskProductPalette palette);
