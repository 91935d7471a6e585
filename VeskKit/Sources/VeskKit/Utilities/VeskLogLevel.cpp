#include "VeskKit/Utilities/VeskLogLevel.h"

QString rawValue(VeskLogLevel level)
{
    switch (level) {
    case VeskLogLevel::debug: return QStringLiteral("debug");
    case VeskLogLevel::info: return QStringLiteral("info");
    case VeskLogLevel::warn: return QStringLiteral("warn");
    case VeskLogLevel::error: return QStringLiteral("error");
    }
    return {};
}

std::optional<VeskLogLevel> VeskLogLevelFromRaw(const QString& raw)
{
    for (VeskLogLevel level : kVeskLogLevelAllCases) {
        if (rawValue(level) == raw)
            return level;
    }
    return std::nullopt;
}

QString label(VeskLogLevel level)
{
    return rawValue(level).toUpper();
}
