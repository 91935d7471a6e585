#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A translation template ("{0} notes" -> "{0} Notizen") ready for matching:
// the literal pieces of the English pattern around its placeholders.
struct CompiledTemplate {
    QStringList sourceLiterals;  // placeholderCount + 1 pieces, the outer ones may be empty
    int placeholderCount = 0;
    QString targetTemplate;
    qsizetype literalWeight = 0;  // characters in all literals together

    // nullopt when the pattern has no "{0}" or too little literal text to match on.
    static std::optional<CompiledTemplate> compile(const QString &source, const QString &target);

    // The translation of `text`, or nullopt when the pattern does not fit it.
    std::optional<QString> apply(const QString &text) const;
};
