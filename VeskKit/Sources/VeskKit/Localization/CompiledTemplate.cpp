#include "VeskKit/Localization/CompiledTemplate.h"

#include "VeskKit/Localization/VeskCharacters.h"

namespace {

QString placeholder(int number)
{
    return QLatin1Char('{') + QString::number(number) + QLatin1Char('}');
}

} // namespace

std::optional<CompiledTemplate> CompiledTemplate::compile(const QString &source,
                                                          const QString &target)
{
    CompiledTemplate compiled;
    qsizetype cursor = 0;
    int number = 0;
    // Placeholders are taken strictly in sequence; anything after the first
    // missing number, later placeholders included, is literal text.
    while (true) {
        const QString marker = placeholder(number);
        const qsizetype found = source.indexOf(marker, cursor);
        if (found < 0)
            break;
        compiled.sourceLiterals.append(source.sliced(cursor, found - cursor));
        cursor = found + marker.size();
        ++number;
    }
    if (number == 0)
        return std::nullopt;
    compiled.sourceLiterals.append(source.sliced(cursor));
    compiled.placeholderCount = number;
    compiled.targetTemplate = target;
    for (const QString &literal : std::as_const(compiled.sourceLiterals))
        compiled.literalWeight += VeskCharacters::count(literal);
    if (compiled.literalWeight < 2)
        return std::nullopt;
    return compiled;
}

std::optional<QString> CompiledTemplate::apply(const QString &text) const
{
    if (VeskCharacters::count(text) < literalWeight)
        return std::nullopt;
    const QString &first = sourceLiterals.first();
    const QString &last = sourceLiterals.last();
    if (!first.isEmpty() && !text.startsWith(first))
        return std::nullopt;
    if (!last.isEmpty() && !text.endsWith(last))
        return std::nullopt;
    const qsizetype regionStart = first.size();
    const qsizetype regionEnd = text.size() - last.size();
    if (regionEnd < regionStart)
        return std::nullopt;

    QStringList captured;
    if (placeholderCount == 1) {
        if (regionEnd == regionStart)
            return std::nullopt;
        captured.append(text.sliced(regionStart, regionEnd - regionStart));
    } else {
        qsizetype position = regionStart;
        for (int i = 1; i < placeholderCount; ++i) {
            const QString &middle = sourceLiterals[i];
            if (middle.isEmpty())
                return std::nullopt;
            const qsizetype found = QStringView(text).first(regionEnd).indexOf(middle, position);
            if (found < 0 || found == position)
                return std::nullopt;
            captured.append(text.sliced(position, found - position));
            position = found + middle.size();
        }
        if (position >= regionEnd)
            return std::nullopt;
        captured.append(text.sliced(position, regionEnd - position));
    }

    QString result = targetTemplate;
    for (int i = 0; i < captured.size(); ++i)
        result.replace(placeholder(i), captured[i]);
    return result;
}
