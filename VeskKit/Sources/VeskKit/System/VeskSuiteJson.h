#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The wire rules shared by every suite file (status records, live tiles,
// command envelopes): one compact JSON object per file, keys named after the
// fields, instants as whole-second UTC date-times ("2024-05-01T10:20:30Z"),
// absent optional values left out. Reading is strict: a required key that is
// missing or null, or a value of the wrong JSON type, makes the record
// unreadable; a tolerant reader asks for a default instead.
namespace VeskSuiteJson {

// Whole seconds (a fraction is dropped), in UTC, with a trailing Z.
QString timestampText(const QDateTime &instant);
// An internet date-time with whole seconds and Z or a ±hh:mm offset; a
// fraction of a second, a missing zone or an impossible date is refused.
std::optional<QDateTime> parseTimestamp(const QString &text);

// |timestamp - now| ≤ maxAgeSeconds, so a timestamp ahead of `now` counts as
// much as one behind it; a limit that is not a number accepts nothing.
bool isWithinAge(const QDateTime &timestamp, const QDateTime &now, double maxAgeSeconds);
// Within the age and written by a process that still exists (identifier 1
// or more, answering the null signal).
bool isFresh(const QDateTime &timestamp, qint32 senderPID, const QDateTime &now, double maxAgeSeconds);

QByteArray encode(const QJsonObject &object);
// The file's content as one JSON object; nothing for anything else.
std::optional<QJsonObject> decodeObject(const QByteArray &data);

// Reads fields of one object and remembers the first failure; once ok() is
// false every later value is meaningless and the record is dropped.
class Reader
{
public:
    explicit Reader(const QJsonObject &object) : m_object(object) {}

    bool ok() const { return m_ok; }
    void fail() { m_ok = false; }

    QDateTime timestamp(const char *key);
    qint64 integer(const char *key);
    qint32 pid(const char *key);
    double real(const char *key);
    float real32(const char *key);
    bool boolean(const char *key);
    QString text(const char *key);
    QStringList texts(const char *key);
    QList<qint32> pids(const char *key);
    QJsonObject object(const char *key);
    QJsonArray array(const char *key);

    // Missing or null gives nothing; a value of the wrong type still fails.
    std::optional<qint64> optionalInteger(const char *key);
    std::optional<double> optionalReal(const char *key);
    std::optional<QString> optionalText(const char *key);
    std::optional<QJsonObject> optionalObject(const char *key);

    // Missing or null gives the default; a value of the wrong type fails.
    qint64 integerOr(const char *key, qint64 fallback);
    double realOr(const char *key, double fallback);
    bool booleanOr(const char *key, bool fallback);
    QString textOr(const char *key, const QString &fallback);

private:
    // The value under key; nothing when missing or null (a failure when the
    // key is required).
    std::optional<QJsonValue> find(const char *key, bool required);

    QJsonObject m_object;
    bool m_ok = true;
};

// Builds one object; a real value that is not finite cannot be written, and
// the whole record then fails to encode.
class Writer
{
public:
    void timestamp(const char *key, const QDateTime &value);
    void integer(const char *key, qint64 value);
    void real(const char *key, double value);
    void real32(const char *key, float value);
    void boolean(const char *key, bool value);
    void text(const char *key, const QString &value);
    void texts(const char *key, const QStringList &values);
    void pids(const char *key, const QList<qint32> &values);
    // A nested record that failed to encode fails this one too.
    void object(const char *key, const std::optional<QJsonObject> &value);
    void array(const char *key, const QJsonArray &value);

    void optionalInteger(const char *key, const std::optional<qint64> &value);
    void optionalReal(const char *key, const std::optional<double> &value);
    void optionalText(const char *key, const std::optional<QString> &value);

    void fail() { m_ok = false; }
    std::optional<QJsonObject> result() const;

private:
    QJsonObject m_object;
    bool m_ok = true;
};

} // namespace VeskSuiteJson
