#include "ViewModels/ZulStudioTab.h"

#include <utility>

namespace {

const std::array<std::pair<ZulStudioTab, const char *>, 2> kRawValues{{
    {ZulStudioTab::workspace, "workspace"},
    {ZulStudioTab::settings, "settings"},
}};

} // namespace

QString rawValue(ZulStudioTab tab)
{
    for (const auto &[candidate, raw] : kRawValues) {
        if (candidate == tab)
            return QString::fromLatin1(raw);
    }
    return {};
}

std::optional<ZulStudioTab> ZulStudioTabFromRaw(const QString &raw)
{
    for (const auto &[tab, text] : kRawValues) {
        if (raw == QLatin1String(text))
            return tab;
    }
    return std::nullopt;
}

const std::array<ZulStudioTab, 2> &ZulStudioTabAllCases()
{
    static const std::array<ZulStudioTab, 2> cases{ZulStudioTab::workspace, ZulStudioTab::settings};
    return cases;
}
