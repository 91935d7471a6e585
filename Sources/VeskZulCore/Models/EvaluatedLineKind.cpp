#include "Models/EvaluatedLineKind.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<EvaluatedLineKind, const char *>, 8> kRawValues{{
    {EvaluatedLineKind::math, "math"},
    {EvaluatedLineKind::variable, "variable"},
    {EvaluatedLineKind::percentage, "percentage"},
    {EvaluatedLineKind::currency, "currency"},
    {EvaluatedLineKind::unit, "unit"},
    {EvaluatedLineKind::date, "date"},
    {EvaluatedLineKind::aggregate, "aggregate"},
    {EvaluatedLineKind::checklist, "checklist"},
}};

} // namespace

QString rawValue(EvaluatedLineKind kind)
{
    for (const auto &[candidate, raw] : kRawValues) {
        if (candidate == kind)
            return QString::fromLatin1(raw);
    }
    return {};
}

std::optional<EvaluatedLineKind> EvaluatedLineKindFromRaw(const QString &raw)
{
    for (const auto &[kind, text] : kRawValues) {
        if (raw == QLatin1String(text))
            return kind;
    }
    return std::nullopt;
}
