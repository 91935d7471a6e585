#include "VeskKit/System/VeskSuiteJson.h"

#include "ProcessLiveness.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QRegularExpression>
#include <QTimeZone>

#include <charconv>
#include <cmath>
#include <limits>

namespace VeskSuiteJson {

namespace {

QLatin1StringView keyOf(const char *key)
{
    return QLatin1StringView(key);
}

qint64 floorDiv(qint64 value, qint64 divisor)
{
    qint64 quotient = value / divisor;
    if (value % divisor != 0 && value < 0)
        --quotient;
    return quotient;
}

// A whole JSON number within qint64 (Qt keeps integers exactly; a number
// written with a fraction or an exponent counts when its value is whole).
std::optional<qint64> wholeNumber(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const qint64 a = value.toInteger(0);
    const qint64 b = value.toInteger(1);
    if (a != b)
        return std::nullopt;
    return a;
}

// The float's shortest decimal form read back as a double, so 0.1f is
// written as 0.1 rather than 0.10000000149011612.
double widenShortest(float value)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (written.ec != std::errc())
        return double(value);
    double wide = double(value);
    std::from_chars(buffer, written.ptr, wide);
    return wide;
}

} // namespace

QString timestampText(const QDateTime &instant)
{
    const qint64 seconds = floorDiv(instant.toMSecsSinceEpoch(), 1000);
    const QDateTime utc = QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc());
    const QDate date = utc.date();
    const QTime time = utc.time();
    return QStringLiteral("%1-%2-%3T%4:%5:%6Z")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

std::optional<QDateTime> parseTimestamp(const QString &text)
{
    static const QRegularExpression form(QStringLiteral(
        "^(\\d{4})-(\\d{2})-(\\d{2})T(\\d{2}):(\\d{2}):(\\d{2})(?:(Z)|([+-])(\\d{2}):(\\d{2}))$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto number = [&](int group) { return match.capturedView(group).toInt(); };
    const QDate date(number(1), number(2), number(3));
    const QTime time(number(4), number(5), number(6));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    QDateTime instant(date, time, QTimeZone::utc());
    if (match.capturedView(7).isEmpty()) {
        const int hours = number(9);
        const int minutes = number(10);
        if (hours > 23 || minutes > 59)
            return std::nullopt;
        const int offset = (hours * 60 + minutes) * 60;
        // Local time = UTC + offset, so UTC = local - offset.
        instant = instant.addSecs(match.capturedView(8) == u"+" ? -offset : offset);
    }
    return instant;
}

bool isWithinAge(const QDateTime &timestamp, const QDateTime &now, double maxAgeSeconds)
{
    if (!timestamp.isValid() || !now.isValid())
        return false;
    const double distance = std::abs(double(now.msecsTo(timestamp))) / 1000.0;
    return distance <= maxAgeSeconds;
}

bool isFresh(const QDateTime &timestamp, qint32 senderPID, const QDateTime &now, double maxAgeSeconds)
{
    if (!isWithinAge(timestamp, now, maxAgeSeconds))
        return false;
    if (senderPID < 1)
        return false;
    return ProcessLiveness::isAlive(senderPID);
}

QByteArray encode(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QJsonObject> decodeObject(const QByteArray &data)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

std::optional<QJsonValue> Reader::find(const char *key, bool required)
{
    const QJsonValue value = m_object.value(keyOf(key));
    if (value.isUndefined() || value.isNull()) {
        if (required)
            m_ok = false;
        return std::nullopt;
    }
    return value;
}

QDateTime Reader::timestamp(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return {};
    if (value->isString())
        if (const std::optional<QDateTime> instant = parseTimestamp(value->toString()))
            return *instant;
    m_ok = false;
    return {};
}

qint64 Reader::integer(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return 0;
    if (const std::optional<qint64> whole = wholeNumber(*value))
        return *whole;
    m_ok = false;
    return 0;
}

qint32 Reader::pid(const char *key)
{
    const qint64 value = integer(key);
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max()) {
        m_ok = false;
        return 0;
    }
    return qint32(value);
}

double Reader::real(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return 0;
    if (!value->isDouble()) {
        m_ok = false;
        return 0;
    }
    return value->toDouble();
}

float Reader::real32(const char *key)
{
    const double wide = real(key);
    const float narrow = float(wide);
    if (std::isfinite(wide) && !std::isfinite(narrow)) {
        m_ok = false;
        return 0;
    }
    return narrow;
}

bool Reader::boolean(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return false;
    if (!value->isBool()) {
        m_ok = false;
        return false;
    }
    return value->toBool();
}

QString Reader::text(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return {};
    if (!value->isString()) {
        m_ok = false;
        return {};
    }
    return value->toString();
}

QStringList Reader::texts(const char *key)
{
    QStringList list;
    for (const QJsonValue &item : array(key)) {
        if (!item.isString()) {
            m_ok = false;
            return {};
        }
        list.append(item.toString());
    }
    return list;
}

QList<qint32> Reader::pids(const char *key)
{
    QList<qint32> list;
    for (const QJsonValue &item : array(key)) {
        const std::optional<qint64> whole = wholeNumber(item);
        if (!whole || *whole < std::numeric_limits<qint32>::min() || *whole > std::numeric_limits<qint32>::max()) {
            m_ok = false;
            return {};
        }
        list.append(qint32(*whole));
    }
    return list;
}

QJsonObject Reader::object(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return {};
    if (!value->isObject()) {
        m_ok = false;
        return {};
    }
    return value->toObject();
}

QJsonArray Reader::array(const char *key)
{
    const std::optional<QJsonValue> value = find(key, true);
    if (!value)
        return {};
    if (!value->isArray()) {
        m_ok = false;
        return {};
    }
    return value->toArray();
}

std::optional<qint64> Reader::optionalInteger(const char *key)
{
    const std::optional<QJsonValue> value = find(key, false);
    if (!value)
        return std::nullopt;
    if (const std::optional<qint64> whole = wholeNumber(*value))
        return whole;
    m_ok = false;
    return std::nullopt;
}

std::optional<double> Reader::optionalReal(const char *key)
{
    const std::optional<QJsonValue> value = find(key, false);
    if (!value)
        return std::nullopt;
    if (!value->isDouble()) {
        m_ok = false;
        return std::nullopt;
    }
    return value->toDouble();
}

std::optional<QString> Reader::optionalText(const char *key)
{
    const std::optional<QJsonValue> value = find(key, false);
    if (!value)
        return std::nullopt;
    if (!value->isString()) {
        m_ok = false;
        return std::nullopt;
    }
    return value->toString();
}

std::optional<QJsonObject> Reader::optionalObject(const char *key)
{
    const std::optional<QJsonValue> value = find(key, false);
    if (!value)
        return std::nullopt;
    if (!value->isObject()) {
        m_ok = false;
        return std::nullopt;
    }
    return value->toObject();
}

qint64 Reader::integerOr(const char *key, qint64 fallback)
{
    return optionalInteger(key).value_or(fallback);
}

double Reader::realOr(const char *key, double fallback)
{
    return optionalReal(key).value_or(fallback);
}

bool Reader::booleanOr(const char *key, bool fallback)
{
    const std::optional<QJsonValue> value = find(key, false);
    if (!value)
        return fallback;
    if (!value->isBool()) {
        m_ok = false;
        return fallback;
    }
    return value->toBool();
}

QString Reader::textOr(const char *key, const QString &fallback)
{
    return optionalText(key).value_or(fallback);
}

void Writer::timestamp(const char *key, const QDateTime &value)
{
    if (!value.isValid()) {
        m_ok = false;
        return;
    }
    m_object.insert(keyOf(key), timestampText(value));
}

void Writer::integer(const char *key, qint64 value)
{
    m_object.insert(keyOf(key), QJsonValue(value));
}

void Writer::real(const char *key, double value)
{
    if (!std::isfinite(value)) {
        m_ok = false;
        return;
    }
    m_object.insert(keyOf(key), value);
}

void Writer::real32(const char *key, float value)
{
    if (!std::isfinite(value)) {
        m_ok = false;
        return;
    }
    m_object.insert(keyOf(key), widenShortest(value));
}

void Writer::boolean(const char *key, bool value)
{
    m_object.insert(keyOf(key), value);
}

void Writer::text(const char *key, const QString &value)
{
    m_object.insert(keyOf(key), value);
}

void Writer::texts(const char *key, const QStringList &values)
{
    m_object.insert(keyOf(key), QJsonArray::fromStringList(values));
}

void Writer::pids(const char *key, const QList<qint32> &values)
{
    QJsonArray array;
    for (qint32 value : values)
        array.append(QJsonValue(qint64(value)));
    m_object.insert(keyOf(key), array);
}

void Writer::object(const char *key, const std::optional<QJsonObject> &value)
{
    if (!value) {
        m_ok = false;
        return;
    }
    m_object.insert(keyOf(key), *value);
}

void Writer::array(const char *key, const QJsonArray &value)
{
    m_object.insert(keyOf(key), value);
}

void Writer::optionalInteger(const char *key, const std::optional<qint64> &value)
{
    if (value)
        integer(key, *value);
}

void Writer::optionalReal(const char *key, const std::optional<double> &value)
{
    if (value)
        real(key, *value);
}

void Writer::optionalText(const char *key, const std::optional<QString> &value)
{
    if (value)
        text(key, *value);
}

std::optional<QJsonObject> Writer::result() const
{
    if (!m_ok)
        return std::nullopt;
    return m_object;
}

} // namespace VeskSuiteJson
