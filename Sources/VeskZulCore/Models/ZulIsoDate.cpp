#include "Models/ZulIsoDate.h"

#include <QDate>
#include <QTime>

namespace {

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') ? int(u - u'0') : -1;
}

// Reads `count` ASCII digits at `pos`; -1 when any of them is not a digit.
int readNumber(QStringView text, qsizetype pos, int count)
{
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const int d = digitValue(text[pos + i]);
        if (d < 0)
            return -1;
        value = value * 10 + d;
    }
    return value;
}

void appendPadded(QString &out, int value, int width)
{
    QString digits = QString::number(value);
    if (digits.size() < width)
        out += QString(width - digits.size(), u'0');
    out += digits;
}

} // namespace

namespace ZulIsoDate {

bool isEncodable(const QDateTime &instant)
{
    if (!instant.isValid())
        return false;
    const int year = instant.toUTC().date().year();
    return year >= 1 && year <= 9999;
}

QString format(const QDateTime &instant)
{
    if (!isEncodable(instant))
        return {};
    const QDateTime utc = instant.toUTC();
    const QDate d = utc.date();
    const QTime t = utc.time();
    QString out;
    out.reserve(20);
    appendPadded(out, d.year(), 4);
    out += u'-';
    appendPadded(out, d.month(), 2);
    out += u'-';
    appendPadded(out, d.day(), 2);
    out += u'T';
    appendPadded(out, t.hour(), 2);
    out += u':';
    appendPadded(out, t.minute(), 2);
    out += u':';
    appendPadded(out, t.second(), 2);
    out += u'Z';
    return out;
}

std::optional<QDateTime> parse(QStringView text)
{
    // Positions: YYYY-MM-DDTHH:MM:SSZ
    if (text.size() != 20 || text[4] != u'-' || text[7] != u'-' || text[10] != u'T'
        || text[13] != u':' || text[16] != u':' || text[19] != u'Z')
        return std::nullopt;
    const int year = readNumber(text, 0, 4);
    const int month = readNumber(text, 5, 2);
    const int day = readNumber(text, 8, 2);
    const int hour = readNumber(text, 11, 2);
    const int minute = readNumber(text, 14, 2);
    const int second = readNumber(text, 17, 2);
    if (year < 1 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return QDateTime(date, QTime(hour, minute, second), Qt::UTC);
}

} // namespace ZulIsoDate
