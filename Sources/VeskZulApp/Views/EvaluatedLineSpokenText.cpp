#include "Views/EvaluatedLineSpokenText.h"

#include "VeskKit/Localization/VeskText.h"

namespace {

std::pair<const char *, const char *> kindWords(EvaluatedLineKind kind)
{
    switch (kind) {
    case EvaluatedLineKind::math: return {nullptr, nullptr};
    case EvaluatedLineKind::variable: return {"variable", "değişken"};
    case EvaluatedLineKind::percentage: return {"percentage", "yüzde"};
    case EvaluatedLineKind::currency: return {"currency", "döviz"};
    case EvaluatedLineKind::unit: return {"unit", "birim"};
    case EvaluatedLineKind::date: return {"date", "tarih"};
    case EvaluatedLineKind::aggregate: return {"block result", "blok sonucu"};
    case EvaluatedLineKind::checklist: return {"task", "görev"};
    }
    return {nullptr, nullptr};
}

} // namespace

QString spokenText(const EvaluatedLine &line, VeskLanguage language)
{
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    // The task marks are symbols a reader would not say.
    const QString result = line.kind != EvaluatedLineKind::checklist ? line.formattedResult
                           : line.isChecked.value_or(false)          ? text("Done", "Tamam")
                                                                     : text("Todo", "Açık");
    QString spoken = text("Line ", "Satır ") + QString::number(line.lineIndex + 1) + QStringLiteral(": ") + result;
    if (const auto [en, tr] = kindWords(line.kind); en)
        spoken += QStringLiteral(", ") + text(en, tr);
    if (line.label && !line.label->isEmpty())
        spoken += QStringLiteral(", ") + *line.label;
    return spoken;
}
