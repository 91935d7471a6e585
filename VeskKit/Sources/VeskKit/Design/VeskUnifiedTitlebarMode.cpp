#include "VeskKit/Design/VeskUnifiedTitlebarMode.h"

QString rawValue(VeskUnifiedTitlebarMode mode)
{
    switch (mode) {
    case VeskUnifiedTitlebarMode::unifiedHeader:
        return QStringLiteral("unifiedHeader");
    case VeskUnifiedTitlebarMode::fullHeightSidebar:
        return QStringLiteral("fullHeightSidebar");
    }
    return {};
}

std::optional<VeskUnifiedTitlebarMode> VeskUnifiedTitlebarModeFromRaw(const QString &raw)
{
    for (VeskUnifiedTitlebarMode mode : veskUnifiedTitlebarModeAllCases)
        if (rawValue(mode) == raw)
            return mode;
    return std::nullopt;
}
