#pragma once

#include <QJsonValue>
#include <QList>
#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One of the suite's interface languages. Used like an enumeration
// (`VeskLanguage::de`, `switch`, `==`) and carries the per-language data and the
// process-wide language choice as static members.
class VeskLanguage {
public:
    enum Value : quint8 {
        ar, az, bg, ca, cs, da, de, el, en, es, fa, fi, fr, he, hi, hr, hu, id, it,
        ja, ko, ms, nb, nl, pl, ptBR, ptPT, ro, ru, sk, sv, th, tr, uk, vi, zhHans, zhHant,
    };
    static constexpr int caseCount = 37;

    constexpr VeskLanguage() = default;
    constexpr VeskLanguage(Value value) : m_value(value) {}
    // Comparison and `switch` go through the underlying value.
    constexpr operator Value() const { return m_value; }

    // Declaration order.
    static const QList<VeskLanguage> &allCases();
    // Exactly one of the 37 codes, letter case included.
    static std::optional<VeskLanguage> fromRawValue(const QString &code);

    QString rawValue() const;  // the code: "de", "pt-BR", "zh-Hant"
    QString shortCode() const;
    bool isRTL() const;
    std::optional<VeskLanguage> fallbackParent() const;
    QLocale locale() const;
    QString nativeName() const;
    QString englishName() const;
    QString displayName() const;

    // By English name, compared case-insensitively for the current locale; stable.
    static QList<VeskLanguage> sortedCases();

    // User-defaults key holding the stored preference, and the stored value
    // that means "follow the system".
    static const QString defaultsKey;
    static const QString systemPreferenceCode;

    static QString storedPreferenceCode();
    static bool isFollowingSystem();
    static std::optional<VeskLanguage> match(const QString &tag);
    static VeskLanguage resolve(const QStringList &tags);
    // The system's preferred languages, read afresh on every call.
    static QStringList systemPreferredLanguages();
    static VeskLanguage systemResolved();
    static VeskLanguage current();

    static void setCurrent(VeskLanguage language);
    static void setFollowSystem();
    // Follows the system and runs `body` with storing suppressed, so that a
    // picker bound to the language can set the resolved one without replacing
    // the stored "system".
    static void applyFollowSystem(const std::function<void()> &body);

    // Lenient: a non-string, an empty string or "system" gives the
    // system-resolved language; otherwise the exact code, else a folded tag,
    // else the system-resolved language.
    static VeskLanguage fromJson(const QJsonValue &value);
    QJsonValue toJson() const;

private:
    Value m_value = en;
};

QString rawValue(VeskLanguage language);
std::optional<VeskLanguage> VeskLanguageFromRaw(const QString &code);

size_t qHash(VeskLanguage language, size_t seed = 0) noexcept;

Q_DECLARE_METATYPE(VeskLanguage)
