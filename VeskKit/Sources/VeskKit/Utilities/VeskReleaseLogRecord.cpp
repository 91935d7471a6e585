#include "VeskKit/Utilities/VeskReleaseLogRecord.h"

#include <QJsonArray>
#include <QJsonValue>
#include <QTextBoundaryFinder>

#include <cmath>

namespace {

// Only two languages lean on another before English.
QString fallbackParentCode(const QString& code)
{
    if (code == QLatin1String("pt-PT"))
        return QStringLiteral("pt-BR");
    if (code == QLatin1String("zh-Hant"))
        return QStringLiteral("zh-Hans");
    return {};
}

// Reads one optional member: absent or null leaves the default; `read`
// answers false for a value of the wrong type.
template <typename T, typename Read>
bool readMember(const QJsonObject& object, const char* key, T& field, Read read)
{
    const QJsonValue value = object.value(QLatin1StringView(key));
    if (value.isUndefined() || value.isNull())
        return true;
    return read(value, field);
}

bool readString(const QJsonValue& value, QString& out)
{
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

bool readInteger(const QJsonValue& value, qint64& out)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    // Whole numbers only, and only those a 64-bit integer holds exactly.
    if (number != std::floor(number) || number < -9.2e18 || number > 9.2e18)
        return false;
    out = qint64(number);
    return true;
}

bool readStrings(const QJsonValue& value, QStringList& out)
{
    if (!value.isArray())
        return false;
    QStringList result;
    for (const QJsonValue& item : value.toArray()) {
        if (!item.isString())
            return false;
        result.append(item.toString());
    }
    out = result;
    return true;
}

bool readStringMap(const QJsonValue& value, QMap<QString, QString>& out)
{
    if (!value.isObject())
        return false;
    QMap<QString, QString> result;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!it.value().isString())
            return false;
        result.insert(it.key(), it.value().toString());
    }
    out = result;
    return true;
}

bool readStringListMap(const QJsonValue& value, QMap<QString, QStringList>& out)
{
    if (!value.isObject())
        return false;
    QMap<QString, QStringList> result;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        QStringList lines;
        if (!readStrings(it.value(), lines))
            return false;
        result.insert(it.key(), lines);
    }
    out = result;
    return true;
}

template <typename Container>
Container localized(const QMap<QString, Container>& table, const QString& code, const Container& plain)
{
    const Container own = table.value(code);
    if (!own.isEmpty())
        return own;
    const QString parent = fallbackParentCode(code);
    if (!parent.isEmpty()) {
        const Container inherited = table.value(parent);
        if (!inherited.isEmpty())
            return inherited;
    }
    const Container english = table.value(QStringLiteral("en"));
    if (!english.isEmpty())
        return english;
    return plain;
}

} // namespace

QString VeskReleaseLogRecord::id() const
{
    return timestamp + u'-' + app + u'-' + toVersion + u'-' + QString::number(toBuild);
}

QString VeskReleaseLogRecord::shortDate() const
{
    // Ten characters as the reader sees them, so a combining mark stays with
    // its letter.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, timestamp);
    int characters = 0;
    while (characters < 10 && finder.toNextBoundary() != -1)
        ++characters;
    return characters < 10 ? timestamp : timestamp.left(finder.position());
}

QString VeskReleaseLogRecord::localizedSummary(const QString& languageCode) const
{
    return localized(summaryI18n, languageCode, summary);
}

QStringList VeskReleaseLogRecord::localizedDetails(const QString& languageCode) const
{
    return localized(detailsI18n, languageCode, details);
}

std::optional<VeskReleaseLogRecord> VeskReleaseLogRecord::fromJson(const QJsonObject& object)
{
    VeskReleaseLogRecord record;
    const bool ok = readMember(object, "timestamp", record.timestamp, readString)
        && readMember(object, "app", record.app, readString)
        && readMember(object, "fromVersion", record.fromVersion, readString)
        && readMember(object, "toVersion", record.toVersion, readString)
        && readMember(object, "fromBuild", record.fromBuild, readInteger)
        && readMember(object, "toBuild", record.toBuild, readInteger)
        && readMember(object, "bumpKind", record.bumpKind, readString)
        && readMember(object, "section", record.section, readString)
        && readMember(object, "summary", record.summary, readString)
        && readMember(object, "details", record.details, readStrings)
        && readMember(object, "summary_i18n", record.summaryI18n, readStringMap)
        && readMember(object, "details_i18n", record.detailsI18n, readStringListMap)
        && readMember(object, "gitCommit", record.gitCommit, readString);
    if (!ok)
        return std::nullopt;
    return record;
}

QJsonObject VeskReleaseLogRecord::toJson() const
{
    QJsonObject summaries;
    for (auto it = summaryI18n.begin(); it != summaryI18n.end(); ++it)
        summaries.insert(it.key(), it.value());
    QJsonObject detailLines;
    for (auto it = detailsI18n.begin(); it != detailsI18n.end(); ++it)
        detailLines.insert(it.key(), QJsonArray::fromStringList(it.value()));
    return QJsonObject{
        {QStringLiteral("timestamp"), timestamp},
        {QStringLiteral("app"), app},
        {QStringLiteral("fromVersion"), fromVersion},
        {QStringLiteral("toVersion"), toVersion},
        {QStringLiteral("fromBuild"), fromBuild},
        {QStringLiteral("toBuild"), toBuild},
        {QStringLiteral("bumpKind"), bumpKind},
        {QStringLiteral("section"), section},
        {QStringLiteral("summary"), summary},
        {QStringLiteral("details"), QJsonArray::fromStringList(details)},
        {QStringLiteral("summary_i18n"), summaries},
        {QStringLiteral("details_i18n"), detailLines},
        {QStringLiteral("gitCommit"), gitCommit},
    };
}
