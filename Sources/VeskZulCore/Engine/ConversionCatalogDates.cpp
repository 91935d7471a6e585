// Date expressions of the conversion catalog: day words, day counts, date
// differences and dates moved by days, weeks, months, years or hours.

#include "Engine/ConversionCatalog.h"

#include "Engine/NoteVocabulary.h"
#include "Engine/ZulIdentifierNormalizer.h"
#include "VeskKit/Utilities/VeskCompiledPattern.h"

#include <QRegularExpression>
#include <QStringView>
#include <QtNumeric>

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr qint64 kMSecsPerDay = 86'400'000;
constexpr qint64 kMSecsPerHour = 3'600'000;

// Dates are kept within a hundred million years either side of year 0. Far
// beyond anything typed on purpose, yet every day, month and millisecond
// count derived from such a date stays well inside 64 bits and inside the
// range Qt's date types compute correctly, so an amount like
// "today + 999999999999 years" simply has no result.
constexpr qint64 kMaxAbsoluteYear = 100'000'000;

// Qt numbers years without a year 0 (1 BC is -1); month and year arithmetic
// wants a gapless count, so it works on astronomical years (1 BC is 0).
int qtYear(qint64 astronomicalYear)
{
    return static_cast<int>(astronomicalYear <= 0 ? astronomicalYear - 1 : astronomicalYear);
}

qint64 astronomicalYear(const QDate &date)
{
    const int year = date.year();
    return year < 0 ? qint64(year) + 1 : qint64(year);
}

struct SupportedRange
{
    qint64 firstJulianDay;
    qint64 lastJulianDay;
    qint64 firstMSecs; // since the epoch, UTC
    qint64 lastMSecs;
};

const SupportedRange &supportedRange()
{
    static const SupportedRange range = [] {
        const qint64 first = QDate(qtYear(-kMaxAbsoluteYear), 1, 1).toJulianDay();
        const qint64 last = QDate(qtYear(kMaxAbsoluteYear), 12, 31).toJulianDay();
        const qint64 epoch = QDate(1970, 1, 1).toJulianDay();
        return SupportedRange{first, last, (first - epoch) * kMSecsPerDay, (last + 1 - epoch) * kMSecsPerDay - 1};
    }();
    return range;
}

bool isSupported(const QDate &date)
{
    if (!date.isValid())
        return false;
    const qint64 day = date.toJulianDay();
    return day >= supportedRange().firstJulianDay && day <= supportedRange().lastJulianDay;
}

std::optional<QDate> makeDate(qint64 astronomicalYearValue, int month, int day)
{
    if (astronomicalYearValue < -kMaxAbsoluteYear || astronomicalYearValue > kMaxAbsoluteYear)
        return std::nullopt;
    const QDate date(qtYear(astronomicalYearValue), month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// The instant a wall-clock date and time stand for in the zone. A time the
// zone skips (a daylight-saving gap, or a whole skipped day) keeps the offset
// in force before the change, so it lands as far past the gap as it was into
// it: 02:30 on a spring-forward night becomes 03:30.
std::optional<QDateTime> instantAt(const QDate &date, const QTime &time, const QTimeZone &zone)
{
    if (!isSupported(date))
        return std::nullopt;
    const QDateTime local(date, time, zone);
    if (local.isValid())
        return local.toUTC();

    const qint64 wallClock = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    const int offsetBefore = zone.offsetFromUtc(QDateTime::fromMSecsSinceEpoch(wallClock - kMSecsPerDay, Qt::UTC));
    const QDateTime resolved = QDateTime::fromMSecsSinceEpoch(wallClock - qint64(offsetBefore) * 1000, Qt::UTC);
    if (!resolved.isValid())
        return std::nullopt;
    return resolved;
}

QDate localDate(const QDateTime &instant, const QTimeZone &zone)
{
    return instant.toTimeZone(zone).date();
}

// Whole calendar days between the days of two instants. Counting dates rather
// than the time between two midnights keeps the answer right on days that are
// 23 or 25 hours long and in zones whose clocks skip midnight itself.
qint64 calendarDaysBetween(const QDateTime &from, const QDateTime &to, const QTimeZone &zone)
{
    return localDate(from, zone).daysTo(localDate(to, zone));
}

// Calendar days keep the wall-clock time: tomorrow at 15:00 is 15:00 even
// when the night between is an hour shorter.
std::optional<QDateTime> addDays(const QDateTime &instant, qint64 days, const QTimeZone &zone)
{
    const QDateTime local = instant.toTimeZone(zone);
    qint64 julianDay = 0;
    if (qAddOverflow(local.date().toJulianDay(), days, &julianDay))
        return std::nullopt;
    if (julianDay < supportedRange().firstJulianDay || julianDay > supportedRange().lastJulianDay)
        return std::nullopt;
    return instantAt(QDate::fromJulianDay(julianDay), local.time(), zone);
}

// A day the target month lacks becomes that month's last day: January 31 plus
// one month is the end of February, February 29 plus one year is February 28.
std::optional<QDateTime> addMonths(const QDateTime &instant, qint64 months, const QTimeZone &zone)
{
    const QDateTime local = instant.toTimeZone(zone);
    const QDate date = local.date();
    if (!isSupported(date))
        return std::nullopt;
    qint64 monthIndex = 0;
    if (qAddOverflow(astronomicalYear(date) * 12 + (date.month() - 1), months, &monthIndex))
        return std::nullopt;
    qint64 year = monthIndex / 12;
    qint64 monthOfYear = monthIndex % 12;
    if (monthOfYear < 0) {
        monthOfYear += 12;
        --year;
    }
    const int month = static_cast<int>(monthOfYear) + 1;
    const std::optional<QDate> firstOfMonth = makeDate(year, month, 1);
    if (!firstOfMonth)
        return std::nullopt;
    const int day = std::min(date.day(), firstOfMonth->daysInMonth());
    return instantAt(QDate(firstOfMonth->year(), month, day), local.time(), zone);
}

// Hours are elapsed time, not wall-clock time: ten hours after 22:00 on a
// fall-back night is 07:00.
std::optional<QDateTime> addHours(const QDateTime &instant, qint64 hours)
{
    qint64 delta = 0;
    qint64 msecs = 0;
    if (qMulOverflow(hours, kMSecsPerHour, &delta) || qAddOverflow(instant.toMSecsSinceEpoch(), delta, &msecs))
        return std::nullopt;
    if (msecs < supportedRange().firstMSecs || msecs > supportedRange().lastMSecs)
        return std::nullopt;
    return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A whole piece of ASCII digits as a non-negative number, or absent when it is
// empty, holds anything else, or exceeds `limit`.
std::optional<qint64> readDigits(QStringView text, qint64 limit)
{
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : text) {
        if (!isAsciiDigit(c))
            return std::nullopt;
        const qint64 digit = c.unicode() - u'0';
        if (value > (limit - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

QStringView trimmedView(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).isSpace())
        ++begin;
    while (end > begin && text.at(end - 1).isSpace())
        --end;
    return QStringView(text).sliced(begin, end - begin);
}

// The first characters a date expression's words may have, in either case.
struct Initials
{
    std::array<bool, 0x80> ascii{};
    QList<QChar> others;

    Initials()
    {
        for (const NoteVocabulary::Word *word :
             NoteVocabulary::wordsWith(NoteVocabulary::Role::dayWord | NoteVocabulary::Role::dayCount)) {
            const QChar first = word->text.front();
            // A capital I with a dot folds to i as well.
            for (const QChar c : {first, first.toUpper(), first == u'i' ? QChar(u'\u0130') : first}) {
                if (c.unicode() < 0x80)
                    ascii[c.unicode()] = true;
                else if (!others.contains(c))
                    others.append(c);
            }
        }
    }

    bool contains(QChar c) const { return c.unicode() < 0x80 ? ascii[c.unicode()] : others.contains(c); }
};

const Initials kInitials;

// Rules out almost every line before anything is folded or matched: a date
// expression starts with four digits and "-", or with the first letter of one
// of its words (a day word, or the phrase of a day count).
bool mayBeDateExpression(QStringView text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (isAsciiDigit(first)) {
        if (text.size() < 5)
            return false;
        for (qsizetype i = 1; i < 4; ++i) {
            if (!isAsciiDigit(text[i]))
                return false;
        }
        if (text[4] != u'-')
            return false;
        // At least ten bytes of UTF-8; the first five are ASCII.
        qsizetype utf8Bytes = 5;
        for (qsizetype i = 5; i < text.size() && utf8Bytes < 10; ++i) {
            const char16_t c = text[i].unicode();
            if (c < 0x80)
                utf8Bytes += 1;
            else if (c < 0x800)
                utf8Bytes += 2;
            else if (QChar::isHighSurrogate(c))
                utf8Bytes += 1; // the low surrogate after it adds the other 3 bytes
            else
                utf8Bytes += 3;
        }
        return utf8Bytes >= 10;
    }
    return kInitials.contains(first);
}

QRegularExpression datePattern(const QString &pattern)
{
    // Unicode meanings of \d and \s, as the patterns were written for; the
    // text is already folded, so matching stays case-sensitive.
    return veskCompiledPattern(pattern, QRegularExpression::UseUnicodePropertiesOption);
}

using NoteVocabulary::Meaning;
using NoteVocabulary::Role;

// The day words that stand for the moment of evaluation itself.
QList<const NoteVocabulary::Word *> nowWords()
{
    QList<const NoteVocabulary::Word *> words = NoteVocabulary::wordsWith(Role::dayWord);
    words.removeIf([](const NoteVocabulary::Word *word) { return word->meaning != Meaning::now; });
    return words;
}

const QRegularExpression &dateDifference()
{
    static const QRegularExpression expression = datePattern(
        QStringLiteral(u"^(\\d{4}-\\d{2}-\\d{2})\\s*-\\s*(%1|\\d{4}-\\d{2}-\\d{2})$")
            .arg(NoteVocabulary::alternatives(nowWords())));
    return expression;
}

const QRegularExpression &dateOffset()
{
    static const QRegularExpression expression =
        datePattern(QStringLiteral(u"^(%1|\\d{4}-\\d{2}-\\d{2})\\s*([+-])\\s*(\\d+)\\s*(%2)$")
                                .arg(NoteVocabulary::alternatives(Role::dayWord),
                                     NoteVocabulary::alternatives(Role::dateUnit)));
    return expression;
}

const NoteVocabulary::Lookup kDayWords(Role::dayWord);
const NoteVocabulary::Lookup kDateUnits(Role::dateUnit);

// A day count's phrase as the line begins with it, a space after it.
struct DayCountPrefix
{
    QString text;
    bool countsBackwards;
};

const QList<DayCountPrefix> kDayCountPrefixes = [] {
    QList<DayCountPrefix> prefixes;
    for (const NoteVocabulary::Word *phrase : NoteVocabulary::wordsWith(Role::dayCount))
        prefixes.append({phrase->text.toString() + u' ', phrase->meaning == Meaning::daysSince});
    return prefixes;
}();

const NoteVocabulary::Word *dayWord(QStringView folded)
{
    return kDayWords.find(folded);
}

// The instant a day word stands for.
std::optional<QDateTime> dayWordInstant(const NoteVocabulary::Word &word, const QDateTime &referenceDate,
                                        const QTimeZone &zone)
{
    switch (word.meaning) {
    case Meaning::tomorrow:
        return addDays(referenceDate, 1, zone);
    case Meaning::yesterday:
        return addDays(referenceDate, -1, zone);
    default:
        return referenceDate;
    }
}

ConversionEvaluation dayCountResult(qint64 count, const QString &unit)
{
    return ConversionEvaluation{
        double(count),
        unit,
        QString::number(count) + u' ' + unit,
        EvaluatedLineKind::date,
    };
}

// A date is shown with a four-digit year: one outside years 1 to 9999 would
// show a wrong year (12025 as 2025), so it gives no result at all.
std::optional<ConversionEvaluation> dateResult(const std::optional<QDateTime> &instant, const QTimeZone &zone)
{
    if (!instant)
        return std::nullopt;
    const QDate day = localDate(*instant, zone);
    if (!day.isValid() || day.year() < 1 || day.year() > 9999)
        return std::nullopt;
    return ConversionEvaluation{
        std::nullopt,
        QStringLiteral("date"),
        ConversionCatalog::formatISODate(*instant, zone),
        EvaluatedLineKind::date,
    };
}

std::optional<ConversionEvaluation> evaluateDayCount(const QString &folded, const QDateTime &referenceDate,
                                                     const QTimeZone &zone, bool *matched)
{
    for (const DayCountPrefix &prefix : kDayCountPrefixes) {
        if (!folded.startsWith(QStringView(prefix.text)))
            continue;
        *matched = true;
        const QString rest = folded.sliced(prefix.text.size()).trimmed();
        const std::optional<QDateTime> target = ConversionCatalog::parseISODate(rest, zone);
        if (!target)
            return std::nullopt;
        const qint64 days = prefix.countsBackwards ? calendarDaysBetween(*target, referenceDate, zone)
                                                   : calendarDaysBetween(referenceDate, *target, zone);
        return dayCountResult(days, QStringLiteral("days"));
    }
    *matched = false;
    return std::nullopt;
}

std::optional<ConversionEvaluation> evaluateDifference(const QString &folded, const QDateTime &referenceDate,
                                                       const QTimeZone &zone)
{
    const QRegularExpressionMatch match = dateDifference().match(folded);
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<QDateTime> left = ConversionCatalog::parseISODate(match.captured(1), zone);
    if (!left)
        return std::nullopt;
    const QString rightText = match.captured(2);
    const NoteVocabulary::Word *rightWord = dayWord(rightText);
    const std::optional<QDateTime> right = rightWord && rightWord->meaning == Meaning::now
        ? referenceDate
        : ConversionCatalog::parseISODate(rightText, zone);
    if (!right)
        return std::nullopt;
    const bool turkish = rightWord && rightWord->language == NoteVocabulary::Language::turkish;
    return dayCountResult(calendarDaysBetween(*right, *left, zone),
                          turkish ? QStringLiteral("gün") : QStringLiteral("days"));
}

std::optional<ConversionEvaluation> evaluateOffset(const QString &folded, const QDateTime &referenceDate,
                                                   const QTimeZone &zone)
{
    const QRegularExpressionMatch match = dateOffset().match(folded);
    if (!match.hasMatch())
        return std::nullopt;

    const std::optional<qint64> amount = readDigits(match.capturedView(3), std::numeric_limits<qint64>::max());
    if (!amount)
        return std::nullopt;
    const qint64 n = match.capturedView(2) == u"-" ? -*amount : *amount;

    const QStringView baseText = match.capturedView(1);
    const NoteVocabulary::Word *baseWord = dayWord(baseText);
    const std::optional<QDateTime> base = baseWord ? dayWordInstant(*baseWord, referenceDate, zone)
                                                   : ConversionCatalog::parseISODate(baseText.toString(), zone);
    if (!base)
        return std::nullopt;

    const NoteVocabulary::Word *unit = kDateUnits.find(match.capturedView(4));
    if (!unit)
        return std::nullopt;
    switch (unit->meaning) {
    case Meaning::days:
        return dateResult(addDays(*base, n, zone), zone);
    case Meaning::weeks: {
        qint64 days = 0;
        if (qMulOverflow(n, qint64(7), &days))
            return std::nullopt;
        return dateResult(addDays(*base, days, zone), zone);
    }
    case Meaning::months:
        return dateResult(addMonths(*base, n, zone), zone);
    case Meaning::years: {
        qint64 months = 0;
        if (qMulOverflow(n, qint64(12), &months))
            return std::nullopt;
        return dateResult(addMonths(*base, months, zone), zone);
    }
    default:
        return dateResult(addHours(*base, n), zone);
    }
}

std::optional<ConversionEvaluation> evaluateFoldedDate(const QString &folded, const QDateTime &referenceDate,
                                                      const QTimeZone &calendar)
{
    if (folded.isEmpty())
        return std::nullopt;

    bool isDayCount = false;
    std::optional<ConversionEvaluation> result = evaluateDayCount(folded, referenceDate, calendar, &isDayCount);
    if (isDayCount)
        return result;

    const bool hasMinus = folded.contains(u'-');
    const bool hasPlus = folded.contains(u'+');
    if (hasMinus && isAsciiDigit(folded.front())) {
        result = evaluateDifference(folded, referenceDate, calendar);
        if (result)
            return result;
    }
    if (hasMinus || hasPlus)
        return evaluateOffset(folded, referenceDate, calendar);

    if (const NoteVocabulary::Word *word = dayWord(folded))
        return dateResult(dayWordInstant(*word, referenceDate, calendar), calendar);
    return std::nullopt;
}

} // namespace

namespace ConversionCatalog {

std::optional<ConversionEvaluation> evaluateDateExpression(const QString &text, const QDateTime &referenceDate,
                                                           const QTimeZone &calendar)
{
    const QStringView trimmed = trimmedView(text);
    if (!mayBeDateExpression(trimmed))
        return std::nullopt;
    if (!referenceDate.isValid() || !calendar.isValid())
        return std::nullopt;

    const QString typed = trimmed.toString();
    if (std::optional<ConversionEvaluation> result =
            evaluateFoldedDate(ZulIdentifierNormalizer::normalize(typed), referenceDate, calendar))
        return result;
    // "YARIN", "BUGÜN + 1 YIL": a Turkish capital I is the capital of ı.
    if (!typed.contains(u'I'))
        return std::nullopt;
    return evaluateFoldedDate(ZulIdentifierNormalizer::normalizeTurkish(typed), referenceDate, calendar);
}

std::optional<QDateTime> parseISODate(const QString &text, const QTimeZone &calendar)
{
    const QList<QStringView> pieces = QStringView(text).split(u'-', Qt::SkipEmptyParts);
    if (pieces.size() != 3)
        return std::nullopt;
    const std::optional<qint64> year = readDigits(pieces[0], kMaxAbsoluteYear);
    const std::optional<qint64> month = readDigits(pieces[1], 12);
    const std::optional<qint64> day = readDigits(pieces[2], 31);
    if (!year || !month || !day || *month < 1 || *day < 1)
        return std::nullopt;
    if (!calendar.isValid())
        return std::nullopt;
    // A day the month lacks (30 February) is no date at all rather than a day
    // of the next month.
    const std::optional<QDate> date = makeDate(*year, int(*month), int(*day));
    if (!date)
        return std::nullopt;
    // Noon, so that a few hours either way (an offset, a clock change) never
    // move the instant to another day.
    return instantAt(*date, QTime(12, 0), calendar);
}

QString formatISODate(const QDateTime &date, const QTimeZone &calendar)
{
    qint64 year = 0;
    int month = 0;
    int day = 0;
    if (date.isValid() && calendar.isValid()) {
        const QDate local = localDate(date, calendar);
        if (local.isValid()) {
            year = std::max(local.year(), 0);
            month = local.month();
            day = local.day();
        }
    }
    const char16_t digits[] = {
        char16_t(u'0' + year / 1000 % 10),
        char16_t(u'0' + year / 100 % 10),
        char16_t(u'0' + year / 10 % 10),
        char16_t(u'0' + year % 10),
        u'-',
        char16_t(u'0' + month / 10 % 10),
        char16_t(u'0' + month % 10),
        u'-',
        char16_t(u'0' + day / 10 % 10),
        char16_t(u'0' + day % 10),
    };
    return QString(reinterpret_cast<const QChar *>(digits), 10);
}

} // namespace ConversionCatalog
