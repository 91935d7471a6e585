#include "ViewModels/ZulNoteFilter.h"

#include <utility>

namespace {

const std::array<std::pair<ZulNoteFilter, const char *>, 4> kRawValues{{
    {ZulNoteFilter::all, "all"},
    {ZulNoteFilter::pinned, "pinned"},
    {ZulNoteFilter::sticky, "sticky"},
    {ZulNoteFilter::ephemeral, "ephemeral"},
}};

} // namespace

QString rawValue(ZulNoteFilter filter)
{
    for (const auto &[candidate, raw] : kRawValues) {
        if (candidate == filter)
            return QString::fromLatin1(raw);
    }
    return {};
}

std::optional<ZulNoteFilter> ZulNoteFilterFromRaw(const QString &raw)
{
    for (const auto &[filter, text] : kRawValues) {
        if (raw == QLatin1String(text))
            return filter;
    }
    return std::nullopt;
}

const std::array<ZulNoteFilter, 4> &ZulNoteFilterAllCases()
{
    static const std::array<ZulNoteFilter, 4> cases{ZulNoteFilter::all, ZulNoteFilter::pinned,
                                                    ZulNoteFilter::sticky, ZulNoteFilter::ephemeral};
    return cases;
}
