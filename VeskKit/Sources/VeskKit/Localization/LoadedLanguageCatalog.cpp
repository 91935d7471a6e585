#include "VeskKit/Localization/LoadedLanguageCatalog.h"

#include "VeskKit/Localization/VeskCharacters.h"

#include <algorithm>

namespace {

QString bucketKey(QStringView literal, bool fromStart)
{
    const qsizetype length = qMin<qsizetype>(VeskCharacters::count(literal), 3);
    return (fromStart ? VeskCharacters::prefix(literal, length)
                      : VeskCharacters::suffix(literal, length))
        .toString();
}

std::optional<QString> firstFit(const QHash<QString, QList<CompiledTemplate>> &buckets,
                                const QString &key, const QString &text)
{
    const auto bucket = buckets.constFind(key);
    if (bucket == buckets.cend())
        return std::nullopt;
    for (const CompiledTemplate &candidate : *bucket)
        if (auto translated = candidate.apply(text))
            return translated;
    return std::nullopt;
}

std::optional<QString> nonEmptyValue(const QHash<QString, QString> &map, const QString &key)
{
    const auto it = map.constFind(key);
    if (it == map.cend() || it->isEmpty())
        return std::nullopt;
    return *it;
}

} // namespace

std::shared_ptr<const LoadedLanguageCatalog> LoadedLanguageCatalog::empty()
{
    static const auto shared = std::make_shared<const LoadedLanguageCatalog>();
    return shared;
}

LoadedLanguageCatalog LoadedLanguageCatalog::compile(const QHash<QString, QString> &strings,
                                                     const QMap<QString, QString> &templates)
{
    LoadedLanguageCatalog catalog;
    catalog.strings = strings;
    for (auto it = templates.cbegin(); it != templates.cend(); ++it) {
        if (it.value().isEmpty())
            continue;
        const auto compiled = CompiledTemplate::compile(it.key(), it.value());
        if (!compiled)
            continue;
        const QString &first = compiled->sourceLiterals.first();
        const QString &last = compiled->sourceLiterals.last();
        if (VeskCharacters::count(first) >= 2)
            catalog.byPrefix[bucketKey(first, true)].append(*compiled);
        else if (VeskCharacters::count(last) >= 2)
            catalog.bySuffix[bucketKey(last, false)].append(*compiled);
        // Otherwise neither end has enough literal text to ever be looked up.
    }
    const auto heaviestFirst = [](const CompiledTemplate &a, const CompiledTemplate &b) {
        return a.literalWeight > b.literalWeight;
    };
    for (auto *buckets : {&catalog.byPrefix, &catalog.bySuffix})
        for (auto &bucket : *buckets)
            std::stable_sort(bucket.begin(), bucket.end(), heaviestFirst);
    return catalog;
}

std::optional<QString> LoadedLanguageCatalog::lookup(const std::optional<QString> &key,
                                                     const QString &en) const
{
    if (key)
        if (auto text = nonEmptyValue(strings, *key))
            return text;
    if (auto text = nonEmptyValue(strings, en))
        return text;
    if (byPrefix.isEmpty() && bySuffix.isEmpty())
        return std::nullopt;
    if (VeskCharacters::count(en) < 3)
        return std::nullopt;
    if (!byPrefix.isEmpty()) {
        for (qsizetype length : {3, 2})
            if (auto text = firstFit(byPrefix, VeskCharacters::prefix(en, length).toString(), en))
                return text;
    }
    if (!bySuffix.isEmpty()) {
        for (qsizetype length : {3, 2})
            if (auto text = firstFit(bySuffix, VeskCharacters::suffix(en, length).toString(), en))
                return text;
    }
    return std::nullopt;
}
