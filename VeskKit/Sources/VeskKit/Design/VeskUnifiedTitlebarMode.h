#pragma once

#include <QString>

#include <array>
#include <optional>

// How a window's content shares the top edge with the window controls: a
// header row beside them, or a sidebar running from the very top that starts
// its content below them.
enum class VeskUnifiedTitlebarMode { unifiedHeader, fullHeightSidebar };

inline constexpr std::array<VeskUnifiedTitlebarMode, 2> veskUnifiedTitlebarModeAllCases = {
    VeskUnifiedTitlebarMode::unifiedHeader, VeskUnifiedTitlebarMode::fullHeightSidebar};

QString rawValue(VeskUnifiedTitlebarMode mode);
std::optional<VeskUnifiedTitlebarMode> VeskUnifiedTitlebarModeFromRaw(const QString &raw);
