#pragma once

#include "VeskKit/Localization/CompiledTemplate.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include <memory>
#include <optional>

// Everything the catalog files of one language contribute, ready for lookup.
// Templates sit in buckets keyed by the first (or, failing that, the last) two
// or three characters of their literal text, so a lookup tries only the few
// templates that can fit.
struct LoadedLanguageCatalog {
    QHash<QString, QString> strings;  // every value non-empty
    QHash<QString, QList<CompiledTemplate>> byPrefix;
    QHash<QString, QList<CompiledTemplate>> bySuffix;

    static std::shared_ptr<const LoadedLanguageCatalog> empty();

    // Entries with empty values are expected to be filtered out already.
    static LoadedLanguageCatalog compile(const QHash<QString, QString> &strings,
                                         const QMap<QString, QString> &templates);

    bool isEmpty() const { return strings.isEmpty() && byPrefix.isEmpty() && bySuffix.isEmpty(); }

    std::optional<QString> lookup(const std::optional<QString> &key, const QString &en) const;
};
