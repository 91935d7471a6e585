#pragma once

#include <QString>

#include <array>
#include <optional>

// The two tabs of the studio window. The views give them their captions.
enum class ZulStudioTab { workspace, settings };

QString rawValue(ZulStudioTab tab);
std::optional<ZulStudioTab> ZulStudioTabFromRaw(const QString &raw);
inline QString id(ZulStudioTab tab) { return rawValue(tab); }
const std::array<ZulStudioTab, 2> &ZulStudioTabAllCases();
