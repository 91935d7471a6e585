#pragma once

#include <QString>

#include <array>
#include <optional>

// Ordered lowest first; comparisons follow this order.
enum class VeskLogLevel { debug, info, warn, error };

inline constexpr std::array<VeskLogLevel, 4> kVeskLogLevelAllCases = {
    VeskLogLevel::debug, VeskLogLevel::info, VeskLogLevel::warn, VeskLogLevel::error};

QString rawValue(VeskLogLevel level);
std::optional<VeskLogLevel> VeskLogLevelFromRaw(const QString& raw);

// The raw value upper-cased: DEBUG, INFO, WARN, ERROR.
QString label(VeskLogLevel level);
