#include "VeskKit/Localization/VeskLanguage.h"

#include "VeskKit/Localization/VeskLanguageNotifier.h"
#include "VeskKit/Localization/VeskLocalizationStore.h"
#include "VeskKit/Localization/VeskUserDefaults.h"

#include <QCollator>
#include <QHashFunctions>
#include <QMutex>

#include <algorithm>
#include <array>

namespace {

struct LanguageRow {
    const char *code;
    const char *nativeName;  // UTF-8
    const char *englishName;
    const char *shortCode;  // nullptr: the code upper-cased
    bool rtl;
    std::optional<VeskLanguage::Value> parent;
};

using L = VeskLanguage;

// In the order of VeskLanguage::Value.
const std::array<LanguageRow, VeskLanguage::caseCount> kRows = {{
    {"ar", "العربية", "Arabic", nullptr, true, {}},
    {"az", "Azərbaycanca", "Azerbaijani", nullptr, false, {}},
    {"bg", "Български", "Bulgarian", nullptr, false, {}},
    {"ca", "Català", "Catalan", nullptr, false, {}},
    {"cs", "Čeština", "Czech", nullptr, false, {}},
    {"da", "Dansk", "Danish", nullptr, false, {}},
    {"de", "Deutsch", "German", nullptr, false, {}},
    {"el", "Ελληνικά", "Greek", nullptr, false, {}},
    {"en", "English", "English", nullptr, false, {}},
    {"es", "Español", "Spanish", nullptr, false, {}},
    {"fa", "فارسی", "Persian", nullptr, true, {}},
    {"fi", "Suomi", "Finnish", nullptr, false, {}},
    {"fr", "Français", "French", nullptr, false, {}},
    {"he", "עברית", "Hebrew", nullptr, true, {}},
    {"hi", "हिन्दी", "Hindi", nullptr, false, {}},
    {"hr", "Hrvatski", "Croatian", nullptr, false, {}},
    {"hu", "Magyar", "Hungarian", nullptr, false, {}},
    {"id", "Bahasa Indonesia", "Indonesian", nullptr, false, {}},
    {"it", "Italiano", "Italian", nullptr, false, {}},
    {"ja", "日本語", "Japanese", nullptr, false, {}},
    {"ko", "한국어", "Korean", nullptr, false, {}},
    {"ms", "Bahasa Melayu", "Malay", nullptr, false, {}},
    {"nb", "Norsk Bokmål", "Norwegian Bokmål", nullptr, false, {}},
    {"nl", "Nederlands", "Dutch", nullptr, false, {}},
    {"pl", "Polski", "Polish", nullptr, false, {}},
    {"pt-BR", "Português (Brasil)", "Portuguese (Brazil)", "PT", false, {}},
    {"pt-PT", "Português (Portugal)", "Portuguese (Portugal)", "PT-PT", false, L::ptBR},
    {"ro", "Română", "Romanian", nullptr, false, {}},
    {"ru", "Русский", "Russian", nullptr, false, {}},
    {"sk", "Slovenčina", "Slovak", nullptr, false, {}},
    {"sv", "Svenska", "Swedish", nullptr, false, {}},
    {"th", "ไทย", "Thai", nullptr, false, {}},
    {"tr", "Türkçe", "Turkish", nullptr, false, {}},
    {"uk", "Українська", "Ukrainian", nullptr, false, {}},
    {"vi", "Tiếng Việt", "Vietnamese", nullptr, false, {}},
    {"zh-Hans", "简体中文", "Chinese (Simplified)", "ZH", false, {}},
    {"zh-Hant", "繁體中文", "Chinese (Traditional)", "ZH-TW", false, L::zhHans},
}};

const LanguageRow &row(VeskLanguage language)
{
    return kRows[std::size_t(VeskLanguage::Value(language))];
}

bool equalsIgnoringCase(const QString &a, QLatin1StringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// While suppressDepth is above zero, choosing a language announces it without
// storing it.
struct PersistenceGuard {
    QMutex lock;
    int suppressDepth = 0;
};

PersistenceGuard &persistenceGuard()
{
    static PersistenceGuard guard;
    return guard;
}

// "de_DE.UTF-8@euro" -> "de_DE"; the C locale names no language.
QString posixLocaleTag(QString value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == QLatin1Char('.') || value[i] == QLatin1Char('@')) {
            value.truncate(i);
            break;
        }
    }
    value = value.trimmed();
    if (value == QLatin1String("C") || value == QLatin1String("POSIX"))
        return {};
    return value;
}

void announce(VeskLanguage language)
{
    VeskLocalizationStore::shared().preloadIfNeeded(language);
    emit VeskLanguageNotifier::shared()->veskLanguageDidChange(language);
}

} // namespace

const QString VeskLanguage::defaultsKey = QStringLiteral("com.quarnell.preferredLanguage");
const QString VeskLanguage::systemPreferenceCode = QStringLiteral("system");

const QList<VeskLanguage> &VeskLanguage::allCases()
{
    static const QList<VeskLanguage> cases = [] {
        QList<VeskLanguage> list;
        for (int i = 0; i < caseCount; ++i)
            list.append(VeskLanguage(Value(i)));
        return list;
    }();
    return cases;
}

std::optional<VeskLanguage> VeskLanguage::fromRawValue(const QString &code)
{
    for (VeskLanguage language : allCases())
        if (code == QLatin1StringView(row(language).code))
            return language;
    return std::nullopt;
}

QString VeskLanguage::rawValue() const
{
    return QString::fromLatin1(row(*this).code);
}

QString VeskLanguage::shortCode() const
{
    const LanguageRow &r = row(*this);
    return r.shortCode ? QString::fromLatin1(r.shortCode) : rawValue().toUpper();
}

bool VeskLanguage::isRTL() const
{
    return row(*this).rtl;
}

std::optional<VeskLanguage> VeskLanguage::fallbackParent() const
{
    const auto parent = row(*this).parent;
    if (!parent)
        return std::nullopt;
    return VeskLanguage(*parent);
}

QLocale VeskLanguage::locale() const
{
    return QLocale(rawValue());
}

QString VeskLanguage::nativeName() const
{
    return QString::fromUtf8(row(*this).nativeName);
}

QString VeskLanguage::englishName() const
{
    return QString::fromUtf8(row(*this).englishName);
}

QString VeskLanguage::displayName() const
{
    const QString native = nativeName();
    const QString english = englishName();
    if (native.compare(english, Qt::CaseInsensitive) == 0)
        return native;
    return native + QStringLiteral(" (") + english + QLatin1Char(')');
}

QList<VeskLanguage> VeskLanguage::sortedCases()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<VeskLanguage> sorted = allCases();
    std::stable_sort(sorted.begin(), sorted.end(), [&](VeskLanguage a, VeskLanguage b) {
        return collator.compare(a.englishName(), b.englishName()) < 0;
    });
    return sorted;
}

QString VeskLanguage::storedPreferenceCode()
{
    const QString stored = VeskUserDefaults::string(defaultsKey).value_or(QString()).trimmed();
    return stored.isEmpty() ? systemPreferenceCode : stored;
}

bool VeskLanguage::isFollowingSystem()
{
    return equalsIgnoringCase(storedPreferenceCode(), QLatin1StringView("system"));
}

std::optional<VeskLanguage> VeskLanguage::match(const QString &tag)
{
    QString folded = tag.trimmed();
    folded.replace(QLatin1Char('_'), QLatin1Char('-'));
    if (folded.isEmpty())
        return std::nullopt;

    for (VeskLanguage language : allCases())
        if (equalsIgnoringCase(folded, QLatin1StringView(row(language).code)))
            return language;

    folded = folded.toLower();
    const auto isFamily = [&](QLatin1StringView base) {
        return folded == base || folded.startsWith(QString(base) + QLatin1Char('-'));
    };
    if (isFamily(QLatin1StringView("zh"))) {
        for (const char *traditional : {"hant", "-tw", "-hk", "-mo"})
            if (folded.contains(QLatin1StringView(traditional)))
                return VeskLanguage(zhHant);
        return VeskLanguage(zhHans);
    }
    if (isFamily(QLatin1StringView("pt")))
        return VeskLanguage(folded.startsWith(QLatin1StringView("pt-pt")) ? ptPT : ptBR);
    if (isFamily(QLatin1StringView("no")) || isFamily(QLatin1StringView("nb"))
        || isFamily(QLatin1StringView("nn")))
        return VeskLanguage(nb);

    const QStringList parts = folded.split(QLatin1Char('-'), Qt::SkipEmptyParts);
    const QString base = parts.isEmpty() ? folded : parts.first();
    if (base == QLatin1StringView("iw"))
        return VeskLanguage(he);
    if (base == QLatin1StringView("in"))
        return VeskLanguage(id);
    for (VeskLanguage language : allCases())
        if (base == QString::fromLatin1(row(language).code).toLower())
            return language;
    return std::nullopt;
}

VeskLanguage VeskLanguage::resolve(const QStringList &tags)
{
    for (const QString &tag : tags)
        if (const auto language = match(tag))
            return *language;
    return VeskLanguage(en);
}

QStringList VeskLanguage::systemPreferredLanguages()
{
    // The messages locale is the first of LC_ALL, LC_MESSAGES and LANG that is
    // set; LANGUAGE lists preferences ahead of it unless that locale is C.
    // Read here on every call: Qt's own view of them is taken once and only
    // partly refreshed, so it serves only when none of them is set.
    QString messagesLocale;
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        messagesLocale = qEnvironmentVariable(variable).trimmed();
        if (!messagesLocale.isEmpty())
            break;
    }
    if (messagesLocale.isEmpty())
        return QLocale::system().uiLanguages();
    const QString messagesTag = posixLocaleTag(messagesLocale);
    QStringList tags;
    if (!messagesTag.isEmpty()) {
        const QStringList preferred =
            qEnvironmentVariable("LANGUAGE").split(QLatin1Char(':'), Qt::SkipEmptyParts);
        for (const QString &entry : preferred)
            if (const QString tag = posixLocaleTag(entry); !tag.isEmpty())
                tags.append(tag);
        tags.append(messagesTag);
    }
    return tags;
}

VeskLanguage VeskLanguage::systemResolved()
{
    return resolve(systemPreferredLanguages());
}

VeskLanguage VeskLanguage::current()
{
    const QString stored = storedPreferenceCode();
    if (!equalsIgnoringCase(stored, QLatin1StringView("system")))
        if (const auto language = match(stored))
            return *language;
    return systemResolved();
}

void VeskLanguage::setCurrent(VeskLanguage language)
{
    PersistenceGuard &guard = persistenceGuard();
    int depth = 0;
    {
        QMutexLocker locker(&guard.lock);
        depth = guard.suppressDepth;
    }
    if (depth < 1)
        VeskUserDefaults::setString(defaultsKey, language.rawValue());
    announce(language);
}

void VeskLanguage::setFollowSystem()
{
    VeskUserDefaults::setString(defaultsKey, systemPreferenceCode);
    announce(systemResolved());
}

void VeskLanguage::applyFollowSystem(const std::function<void()> &body)
{
    setFollowSystem();
    PersistenceGuard &guard = persistenceGuard();
    {
        QMutexLocker locker(&guard.lock);
        ++guard.suppressDepth;
    }
    // Restores the depth even when `body` throws.
    struct Release {
        PersistenceGuard &guard;
        ~Release()
        {
            QMutexLocker locker(&guard.lock);
            guard.suppressDepth = std::max(0, guard.suppressDepth - 1);
        }
    } release{guard};
    if (body)
        body();
}

VeskLanguage VeskLanguage::fromJson(const QJsonValue &value)
{
    const QString text = value.isString() ? value.toString().trimmed() : QString();
    if (text.isEmpty() || equalsIgnoringCase(text, QLatin1StringView("system")))
        return systemResolved();
    if (const auto exact = fromRawValue(text))
        return *exact;
    if (const auto folded = match(text))
        return *folded;
    return systemResolved();
}

QJsonValue VeskLanguage::toJson() const
{
    return rawValue();
}

QString rawValue(VeskLanguage language)
{
    return language.rawValue();
}

std::optional<VeskLanguage> VeskLanguageFromRaw(const QString &code)
{
    return VeskLanguage::fromRawValue(code);
}

size_t qHash(VeskLanguage language, size_t seed) noexcept
{
    return qHash(int(VeskLanguage::Value(language)), seed);
}
