#pragma once

#include <QJsonObject>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// One release as a line of an application's release history.
struct VeskReleaseLogRecord {
    QString timestamp;                     // "timestamp", ISO 8601 text
    QString app;                           // "app"
    QString fromVersion = QStringLiteral("0.0.0");
    QString toVersion = QStringLiteral("1.0.0");
    qint64 fromBuild = 0;
    qint64 toBuild = 100;
    QString bumpKind = QStringLiteral("patch"); // build, patch, minor or major; not checked
    QString section = QStringLiteral("Changed");
    QString summary;
    QStringList details;
    QMap<QString, QString> summaryI18n;      // "summary_i18n": language code to text
    QMap<QString, QStringList> detailsI18n;  // "details_i18n": language code to lines
    QString gitCommit;

    // timestamp-app-toVersion-toBuild
    QString id() const;
    // The date part: the first ten characters of the timestamp.
    QString shortDate() const;

    // The text for the language code, else its parent's (pt-PT and zh-Hant),
    // else the English one, else the plain summary or details.
    QString localizedSummary(const QString& languageCode) const;
    QStringList localizedDetails(const QString& languageCode) const;

    // Every key optional (absent or null gives the default); a key of the
    // wrong JSON type makes the record unreadable.
    static std::optional<VeskReleaseLogRecord> fromJson(const QJsonObject& object);
    QJsonObject toJson() const;

    bool operator==(const VeskReleaseLogRecord&) const = default;
};
