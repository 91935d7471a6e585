#include "VeskKit/Cloud/VeskFeedbackService.h"

#include "VeskKit/Localization/VeskCharacters.h"
#include "VeskKit/Localization/VeskUserDefaults.h"

#include <QRegularExpression>
#include <QSysInfo>

#include <cerrno>

namespace {

// Trimmed; nothing when blank. Slashes are stripped only afterwards, so a
// value of slashes alone still counts as given.
std::optional<QString> candidate(const std::optional<QString> &value)
{
    if (!value)
        return std::nullopt;
    const QString trimmed = value->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

QString withoutOuterSlashes(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == u'/')
        ++start;
    while (end > start && text.at(end - 1) == u'/')
        --end;
    return text.mid(start, end - start);
}

QString infoText(const VeskBundle &bundle, const char *key)
{
    const QVariant value = bundle.object(QString::fromLatin1(key));
    if (value.typeId() != QMetaType::QString)
        return {};
    return value.toString().trimmed();
}

// Everything outside the unreserved set and the few delimiters a query value
// may carry is escaped. "&", "=", "+" and "#" are escaped too, so no value can
// end its item early or be read as a space.
QByteArray encodedQueryValue(const QString &value)
{
    return QUrl::toPercentEncoding(value, QByteArrayLiteral("!$'()*,;:@/?"));
}

} // namespace

namespace VeskFeedbackService {

QString resolvedBaseURL(const std::optional<QString> &override)
{
    std::optional<QString> environment;
    if (qEnvironmentVariableIsSet("QUARNELL_FEEDBACK_BASE_URL"))
        environment = qEnvironmentVariable("QUARNELL_FEEDBACK_BASE_URL");
    for (const std::optional<QString> &source :
         {override, environment, VeskUserDefaults::string(baseURLDefaultsKey)}) {
        if (const std::optional<QString> value = candidate(source))
            return withoutOuterSlashes(*value);
    }
    return defaultBaseURL;
}

QString normalizedAppSlug(const QString &name)
{
    const QString lowered = name.toLower();
    QString slug;
    slug.reserve(lowered.size());
    for (const char32_t scalar : lowered.toUcs4()) {
        if (VeskCharacters::isLetterOrDigit(scalar))
            slug.append(QStringView(QChar::fromUcs4(scalar)));
    }
    return slug;
}

QString resolvedCurrentAppName(const VeskBundle &bundle, const QString &fallback)
{
    for (const QString &name : {infoText(bundle, "CFBundleDisplayName"), infoText(bundle, "CFBundleName"),
                                QString::fromLocal8Bit(program_invocation_short_name).trimmed()}) {
        if (!name.isEmpty())
            return name;
    }
    return fallback;
}

QString currentOSDescription()
{
    // "6.1.0-18-amd64" and the like: the leading numbers are the release.
    static const QRegularExpression release(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?"));
    const QRegularExpressionMatch match = release.match(QSysInfo::kernelVersion());
    QStringList parts;
    for (int group = 1; group <= 3; ++group) {
        const QString number = match.captured(group);
        parts.append(number.isEmpty() ? QStringLiteral("0") : QString::number(number.toULongLong()));
    }
    return QStringLiteral("Linux ") + parts.join(u'.') + QStringLiteral(" (") +
           QSysInfo::currentCpuArchitecture() + u')';
}

std::optional<QUrl> webFeedbackURL(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind,
                                   VeskLanguage language, const std::optional<QString> &baseURL)
{
    const QString path = language == VeskLanguage::tr
                             ? QStringLiteral("/tr/geri-bildirim")
                             : u'/' + language.rawValue() + QStringLiteral("/feedback");
    QUrl url(resolvedBaseURL(baseURL) + path, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;

    QList<std::pair<QString, QString>> items = {
        {QStringLiteral("type"), rawValue(kind)},
        {QStringLiteral("source"), QStringLiteral("desktop_app")},
        {QStringLiteral("os"), currentOSDescription()},
    };
    const QString slug = normalizedAppSlug(appName);
    if (!slug.isEmpty())
        items.append({QStringLiteral("app"), slug});
    if (!version.shortVersion.isEmpty())
        items.append({QStringLiteral("version"), version.shortVersion});

    QByteArray query;
    for (const auto &[name, value] : items) {
        if (!query.isEmpty())
            query += '&';
        query += encodedQueryValue(name) + '=' + encodedQueryValue(value);
    }
    url.setQuery(QString::fromLatin1(query), QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

bool isWebAddress(const QUrl &url)
{
    if (!url.isValid() || url.isRelative() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

void openInBrowser(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind,
                   VeskLanguage language, const std::optional<QString> &baseURL,
                   const std::shared_ptr<VeskUrlOpener> &opener)
{
    const std::optional<QUrl> url = webFeedbackURL(appName, version, kind, language, baseURL);
    if (!url || !isWebAddress(*url) || !opener)
        return;
    opener->openUrl(*url);
}

} // namespace VeskFeedbackService
