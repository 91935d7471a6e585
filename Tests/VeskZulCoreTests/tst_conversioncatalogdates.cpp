#include "Engine/ConversionCatalog.h"

#include <QtTest>

namespace {

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

QTimeZone zone(const char *name)
{
    const QTimeZone result{QByteArray(name)};
    if (!result.isValid())
        qFatal("time zone %s is not installed", name);
    return result;
}

QDateTime localInstant(const QTimeZone &calendar, int year, int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), calendar).toUTC();
}

// The expected outcome of one date line. An empty text means no result; a
// "date" unit means a date with no number; otherwise a count with its number.
struct Expected
{
    const char *text;
    const char *formatted;
    const char *unit = "date";
};

// Lines evaluated at 2025-01-10 15:00 in each zone of kZones.
const struct
{
    const char *name;
    const char *line;
    Expected expected;
} kAtMidJanuary[] = {
    {"today", "today", {"", "2025-01-10"}},
    {"today capitalised", "Today", {"", "2025-01-10"}},
    {"today in capitals", "TODAY", {"", "2025-01-10"}},
    {"today with spaces around", "  today \t", {"", "2025-01-10"}},
    {"now", "now", {"", "2025-01-10"}},
    {"bugün", "bugün", {"", "2025-01-10"}},
    {"BUGÜN folds to bugün", "BUGÜN", {"", "2025-01-10"}},
    {"ŞİMDİ folds to şimdi", "ŞİMDİ", {"", "2025-01-10"}},
    {"tomorrow", "tomorrow", {"", "2025-01-11"}},
    {"yarın", "yarın", {"", "2025-01-11"}},
    {"Yarın capitalised keeps the dotless i", "Yarın", {"", "2025-01-11"}},
    {"YARIN read the Turkish way", "YARIN", {"", "2025-01-11"}},
    {"yarin with a dotted i", "yarin", {"", ""}},
    {"yesterday", "yesterday", {"", "2025-01-09"}},
    {"dün", "dün", {"", "2025-01-09"}},
    {"DÜN", "DÜN", {"", "2025-01-09"}},
    {"dun without the umlaut", "dun", {"", ""}},

    {"days until", "days until 2025-01-20", {"10", "10 days", "days"}},
    {"days to a past date", "days to 2025-01-05", {"-5", "-5 days", "days"}},
    {"days since", "days since 2025-01-01", {"9", "9 days", "days"}},
    {"days since a future date", "days since 2025-01-20", {"-10", "-10 days", "days"}},
    {"days until today", "days until 2025-01-10", {"0", "0 days", "days"}},
    {"days until in capitals", "Days Until 2025-01-20", {"10", "10 days", "days"}},
    {"days until with extra spaces", "days until    2025-01-20", {"10", "10 days", "days"}},
    {"days until an unpadded date", "days until 2025-1-20", {"10", "10 days", "days"}},
    {"days until a year away", "days until 2026-01-10", {"365", "365 days", "days"}},
    {"days until a leap year passes", "days until 2029-01-10", {"1461", "1461 days", "days"}},
    {"days until tomorrow", "days until tomorrow", {"", ""}},
    {"days until 30 February", "days until 2025-02-30", {"", ""}},
    {"days until month 13", "days until 2025-13-01", {"", ""}},
    {"days until nothing", "days until", {"", ""}},
    {"days after is not a prefix", "days after 2025-01-20", {"", ""}},

    {"difference of two dates", "2025-03-01 - 2025-01-01", {"59", "59 days", "days"}},
    {"difference reversed", "2025-01-01 - 2025-03-01", {"-59", "-59 days", "days"}},
    {"difference across a leap February", "2024-03-01 - 2024-02-01", {"29", "29 days", "days"}},
    {"difference across a common February", "2023-03-01 - 2023-02-01", {"28", "28 days", "days"}},
    {"difference over a leap year", "2025-01-01 - 2024-01-01", {"366", "366 days", "days"}},
    {"difference minus bugün", "2025-01-20 - bugün", {"10", "10 gün", "gün"}},
    {"difference minus şimdi", "2025-01-20 - şimdi", {"10", "10 gün", "gün"}},
    {"difference minus today", "2025-01-20 - today", {"10", "10 days", "days"}},
    {"difference minus now", "2025-01-20 - now", {"10", "10 days", "days"}},
    {"difference without spaces", "2025-01-20-today", {"10", "10 days", "days"}},
    {"difference minus BUGÜN", "2025-01-20 - BUGÜN", {"10", "10 gün", "gün"}},
    {"difference to a past date", "2024-12-31 - today", {"-10", "-10 days", "days"}},
    {"thousands of days without grouping", "2030-01-01 - 2025-01-01", {"1826", "1826 days", "days"}},
    {"difference with day 32", "2025-01-32 - today", {"", ""}},
    {"difference with 30 February", "2025-02-30 - today", {"", ""}},
    {"difference with 29 February of a common year", "2023-02-29 - 2023-02-28", {"", ""}},
    {"difference with 29 February of a leap year", "2024-02-29 - 2024-02-28", {"1", "1 days", "days"}},
    {"difference minus tomorrow", "2025-01-20 - tomorrow", {"", ""}},

    {"plus days", "today + 3 days", {"", "2025-01-13"}},
    {"plus one day", "today + 1 day", {"", "2025-01-11"}},
    {"no spaces", "today+3days", {"", "2025-01-13"}},
    {"tabs between", "today\t+\t3\tdays", {"", "2025-01-13"}},
    {"no-break space between", "today\u00a0+ 3 days", {"", "2025-01-13"}},
    {"plus gün", "bugün + 14 gün", {"", "2025-01-24"}},
    {"plus weeks", "today + 2 weeks", {"", "2025-01-24"}},
    {"plus hafta", "bugün + 2 hafta", {"", "2025-01-24"}},
    {"minus a month", "today - 1 month", {"", "2024-12-10"}},
    {"plus ay", "bugün + 1 ay", {"", "2025-02-10"}},
    {"plus yıl", "şimdi + 1 yıl", {"", "2026-01-10"}},
    {"plus years", "today + 2 years", {"", "2027-01-10"}},
    {"plus saat stays on the day", "bugün + 5 saat", {"", "2025-01-10"}},
    {"now plus hours crosses midnight", "now + 10 hours", {"", "2025-01-11"}},
    {"now plus one hour", "now + 1 hour", {"", "2025-01-10"}},
    {"tomorrow plus a day", "tomorrow + 1 day", {"", "2025-01-12"}},
    {"yesterday minus a week", "yesterday - 1 week", {"", "2025-01-02"}},
    {"dün plus gün", "dün + 1 gün", {"", "2025-01-10"}},
    {"yarın minus saat", "yarın - 16 saat", {"", "2025-01-10"}},
    {"zero days", "today + 0 days", {"", "2025-01-10"}},
    {"leading zeros in the amount", "today + 007 days", {"", "2025-01-17"}},
    {"parsed date stands at noon, 11 hours later", "2025-01-10 + 11 hours", {"", "2025-01-10"}},
    {"parsed date stands at noon, 13 hours later", "2025-01-10 + 13 hours", {"", "2025-01-11"}},
    {"parsed date stands at noon, 12 hours earlier", "2025-01-10 - 12 hours", {"", "2025-01-10"}},
    {"parsed date stands at noon, 13 hours earlier", "2025-01-10 - 13 hours", {"", "2025-01-09"}},
    {"date minus days", "2025-03-01 - 1 day", {"", "2025-02-28"}},
    {"leap date minus days", "2024-03-01 - 1 day", {"", "2024-02-29"}},
    {"end of year", "2025-12-31 + 1 day", {"", "2026-01-01"}},
    {"31st plus a month ends February", "2025-01-31 + 1 month", {"", "2025-02-28"}},
    {"31st plus a month in a leap year", "2024-01-31 + 1 month", {"", "2024-02-29"}},
    {"31st minus a month", "2025-03-31 - 1 month", {"", "2025-02-28"}},
    {"31st plus a month into a 30-day month", "2025-03-31 + 1 month", {"", "2025-04-30"}},
    {"31st plus two months keeps the 31st", "2025-01-31 + 2 months", {"", "2025-03-31"}},
    {"29 February plus a year", "2024-02-29 + 1 year", {"", "2025-02-28"}},
    {"29 February plus four years", "2024-02-29 + 4 years", {"", "2028-02-29"}},
    {"29 February minus a year", "2024-02-29 - 1 year", {"", "2023-02-28"}},
    {"thirteen months", "2025-01-15 + 13 months", {"", "2026-02-15"}},
    {"minus thirteen months", "2025-01-15 - 13 months", {"", "2023-12-15"}},
    {"minus twenty-five months", "2025-01-15 - 25 months", {"", "2022-12-15"}},
    {"year 9999 is shown", "today + 7974 years", {"", "9999-01-10"}},
    {"year 1 is shown", "today - 2024 years", {"", "0001-01-10"}},
    {"beyond year 9999 no result", "today + 8000 years", {"", ""}},
    {"a day past year 9999 no result", "9999-12-31 + 1 day", {"", ""}},
    {"year 0 no result", "today - 2025 years", {"", ""}},
    {"before year 0 no result", "today - 800000 days", {"", ""}},
    {"many days", "today + 1000000 days", {"", "4762-12-08"}},

    {"a lone date", "2025-01-15", {"", ""}},
    {"month 13", "2025-13-01 + 1 day", {"", ""}},
    {"30 February as a base", "2025-02-30 + 1 day", {"", ""}},
    {"fortnights", "today + 3 fortnights", {"", ""}},
    {"times", "today * 2", {"", ""}},
    {"next monday", "next monday", {"", ""}},
    {"fractional amount", "today + 1.5 days", {"", ""}},
    {"negative amount after the sign", "today + -3 days", {"", ""}},
    {"amount without unit", "today + 3", {"", ""}},
    {"capital YIL read the Turkish way", "BUGÜN + 1 YIL", {"", "2026-01-10"}},
    {"Arabic-Indic digits", "today + ٣ days", {"", ""}},
    {"day word inside a sentence", "today is nice", {"", ""}},
    {"two offsets", "today + 1 day + 1 day", {"", ""}},
    {"amount beyond 64 bits", "today + 9223372036854775808 days", {"", ""}},
    {"largest amount of days", "today + 9223372036854775807 days", {"", ""}},
    {"most negative amount of days", "today - 9223372036854775807 days", {"", ""}},
    {"weeks that overflow when multiplied", "today + 1317624576693539402 weeks", {"", ""}},
    {"weeks just below the overflow", "today + 1317624576693539401 weeks", {"", ""}},
    {"years that overflow in months", "today + 768614336404564651 years", {"", ""}},
    {"years beyond any calendar", "today - 9223372036854775807 years", {"", ""}},
    {"months beyond any calendar", "today + 9223372036854775807 months", {"", ""}},
    {"hours that overflow in milliseconds", "now + 2562047788015216 hours", {"", ""}},
    {"hours beyond any calendar", "now - 9223372036854775807 hours", {"", ""}},
    {"plain arithmetic", "2 + 3", {"", ""}},
    {"four digits without a date", "2025", {"", ""}},
    {"ten digits", "1234567890", {"", ""}},
    {"five-digit year before the hyphen", "12025-01-01 + 1 day", {"", ""}},
    {"word starting with t", "total", {"", ""}},
    {"empty", "", {"", ""}},
    {"blank", "   ", {"", ""}},
    {"a currency line", "100 USD to TRY", {"", ""}},
};

const char *const kZones[] = {
    "UTC",
    "Europe/Istanbul",
    "Europe/Berlin",
    "Pacific/Honolulu",  // 15:00 there is already the next day in UTC
    "Pacific/Kiritimati", // +14
};

void addExpectedColumns()
{
    QTest::addColumn<QString>("zoneName");
    QTest::addColumn<QDateTime>("reference");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("formatted");
    QTest::addColumn<QString>("unit");
}

} // namespace

class TestConversionCatalogDates : public QObject
{
    Q_OBJECT

private slots:
    void dateExpressions_data();
    void dateExpressions();
    void aroundClockChanges_data();
    void aroundClockChanges();
    void parseISODateStandsAtNoon_data();
    void parseISODateStandsAtNoon();
    void parseISODateRejects_data();
    void parseISODateRejects();
    void formatISODate_data();
    void formatISODate();
    void invalidInputsGiveNoResult();
};

void TestConversionCatalogDates::dateExpressions_data()
{
    addExpectedColumns();
    for (const char *zoneName : kZones) {
        const QDateTime reference = localInstant(zone(zoneName), 2025, 1, 10, 15);
        for (const auto &row : kAtMidJanuary) {
            QTest::addRow("%s: %s", zoneName, row.name)
                << u8(zoneName) << reference << u8(row.line) << u8(row.expected.text) << u8(row.expected.formatted)
                << u8(row.expected.unit);
        }
    }
}

void TestConversionCatalogDates::dateExpressions()
{
    QFETCH(QString, zoneName);
    QFETCH(QDateTime, reference);
    QFETCH(QString, line);
    QFETCH(QString, number);
    QFETCH(QString, formatted);
    QFETCH(QString, unit);

    const std::optional<ConversionEvaluation> result =
        ConversionCatalog::evaluateDateExpression(line, reference, zone(qPrintable(zoneName)));
    if (formatted.isEmpty()) {
        QCOMPARE(result, std::nullopt);
        return;
    }
    QVERIFY(result);
    QCOMPARE(result->formattedResult, formatted);
    QCOMPARE(result->unitOrCurrency, std::optional<QString>(unit));
    QCOMPARE(result->kind, EvaluatedLineKind::date);
    if (number.isEmpty())
        QCOMPARE(result->numericValue, std::nullopt);
    else
        QCOMPARE(result->numericValue, std::optional<double>(number.toDouble()));
}

void TestConversionCatalogDates::aroundClockChanges_data()
{
    addExpectedColumns();
    const auto row = [](const char *name, const char *zoneName, QDateTime reference, const char *line,
                        Expected expected) {
        QTest::newRow(name) << u8(zoneName) << reference << u8(line) << u8(expected.text) << u8(expected.formatted)
                            << u8(expected.unit);
    };
    const QTimeZone berlin = zone("Europe/Berlin");
    const QTimeZone istanbul = zone("Europe/Istanbul");
    const QTimeZone saoPaulo = zone("America/Sao_Paulo");
    const QTimeZone apia = zone("Pacific/Apia");

    // Berlin springs forward on 2024-03-31 (02:00 -> 03:00) and falls back on
    // 2024-10-27 (03:00 -> 02:00).
    const QDateTime beforeSpring = localInstant(berlin, 2024, 3, 30, 15);
    row("23-hour day counts as a whole day", "Europe/Berlin", beforeSpring, "days until 2024-04-01",
        {"2", "2 days", "days"});
    row("tomorrow before spring forward", "Europe/Berlin", beforeSpring, "tomorrow", {"", "2024-03-31"});
    row("days keep the wall clock across spring forward", "Europe/Berlin", localInstant(berlin, 2024, 3, 30, 23, 30),
        "today + 1 day", {"", "2024-03-31"});
    row("difference across spring forward", "Europe/Berlin", beforeSpring, "2024-04-02 - 2024-03-30",
        {"3", "3 days", "days"});
    row("25-hour day counts as a whole day", "Europe/Berlin", localInstant(berlin, 2024, 10, 27, 0, 30),
        "days until 2024-10-28", {"1", "1 days", "days"});
    row("days since across fall back", "Europe/Berlin", localInstant(berlin, 2024, 10, 28, 0, 15),
        "days since 2024-10-26", {"2", "2 days", "days"});
    row("days keep the wall clock across fall back", "Europe/Berlin", localInstant(berlin, 2024, 10, 27, 0, 30),
        "today + 1 day", {"", "2024-10-28"});
    // Hours are elapsed time: 35 hours after noon CET on the 30th is midnight
    // CEST on 1 April (wall-clock arithmetic would stop on the 31st).
    row("hours are elapsed time across spring forward", "Europe/Berlin", beforeSpring, "2024-03-30 + 35 hours",
        {"", "2024-04-01"});
    row("hours are elapsed time across fall back", "Europe/Berlin", beforeSpring, "2024-10-26 + 36 hours",
        {"", "2024-10-27"});
    // Tomorrow at 02:30 does not exist; it moves past the gap to 03:30, so 21
    // hours later is already 1 April.
    row("tomorrow inside the gap moves forward", "Europe/Berlin", localInstant(berlin, 2024, 3, 30, 2, 30),
        "tomorrow + 21 hours", {"", "2024-04-01"});
    row("tomorrow inside the gap is still a date", "Europe/Berlin", localInstant(berlin, 2024, 3, 30, 2, 30),
        "tomorrow", {"", "2024-03-31"});

    // Istanbul kept daylight-saving time until 2016; in 2015 it sprang
    // forward on 29 March and fell back on 8 November.
    const QDateTime istanbulSpring = localInstant(istanbul, 2015, 3, 28, 15);
    row("Istanbul days until across spring forward", "Europe/Istanbul", istanbulSpring, "days until 2015-03-30",
        {"2", "2 days", "days"});
    row("Istanbul difference to bugün across spring forward", "Europe/Istanbul", istanbulSpring,
        "2015-03-30 - bugün", {"2", "2 gün", "gün"});
    row("Istanbul difference across fall back", "Europe/Istanbul", istanbulSpring, "2015-11-09 - 2015-11-07",
        {"2", "2 days", "days"});
    row("Istanbul weeks keep the wall clock across fall back", "Europe/Istanbul",
        localInstant(istanbul, 2015, 11, 1, 0, 30), "bugün + 1 hafta", {"", "2015-11-08"});
    row("Istanbul small hours are already today", "Europe/Istanbul", localInstant(istanbul, 2015, 11, 8, 1, 30),
        "şimdi", {"", "2015-11-08"});

    // Sao Paulo's clocks skipped midnight on 2018-11-04 (00:00 -> 01:00): the
    // day started at 01:00, yet it is still one whole day before the next.
    const QDateTime skippedMidnight = localInstant(saoPaulo, 2018, 11, 4, 15);
    row("day whose midnight was skipped counts whole days", "America/Sao_Paulo", skippedMidnight,
        "days until 2018-11-06", {"2", "2 days", "days"});
    row("days since from a day whose midnight was skipped", "America/Sao_Paulo", skippedMidnight,
        "days since 2018-11-03", {"1", "1 days", "days"});
    row("tomorrow at a skipped midnight", "America/Sao_Paulo", localInstant(saoPaulo, 2018, 11, 3, 0, 30),
        "tomorrow", {"", "2018-11-04"});

    // Samoa skipped 2011-12-30 entirely when it crossed the date line.
    const QDateTime beforeSkip = localInstant(apia, 2011, 12, 29, 15);
    row("a skipped day moves to the next day", "Pacific/Apia", beforeSkip, "tomorrow", {"", "2011-12-31"});
    row("a skipped day still counts as a calendar day", "Pacific/Apia", beforeSkip, "days until 2011-12-31",
        {"2", "2 days", "days"});
    row("a skipped day parses to the day after", "Pacific/Apia", beforeSkip, "2011-12-30 + 0 days",
        {"", "2011-12-31"});
}

void TestConversionCatalogDates::aroundClockChanges()
{
    dateExpressions();
}

void TestConversionCatalogDates::parseISODateStandsAtNoon_data()
{
    QTest::addColumn<QString>("zoneName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("plain") << "Europe/Istanbul" << "2025-01-10" << QDate(2025, 1, 10);
    QTest::newRow("summer in Berlin") << "Europe/Berlin" << "2024-07-01" << QDate(2024, 7, 1);
    QTest::newRow("day of spring forward") << "Europe/Berlin" << "2024-03-31" << QDate(2024, 3, 31);
    QTest::newRow("far west") << "Pacific/Honolulu" << "2025-01-10" << QDate(2025, 1, 10);
    QTest::newRow("far east") << "Pacific/Kiritimati" << "2025-01-10" << QDate(2025, 1, 10);
    QTest::newRow("unpadded") << "UTC" << "2025-1-5" << QDate(2025, 1, 5);
    QTest::newRow("empty pieces are dropped") << "UTC" << "--2025--01-05-" << QDate(2025, 1, 5);
    QTest::newRow("leap day") << "UTC" << "2024-02-29" << QDate(2024, 2, 29);
    QTest::newRow("five-digit year") << "UTC" << "12025-06-30" << QDate(12025, 6, 30);
    QTest::newRow("leading zeros") << "UTC" << "0002025-001-0005" << QDate(2025, 1, 5);
    QTest::newRow("year 1") << "UTC" << "0001-01-01" << QDate(1, 1, 1);
    QTest::newRow("year 0 is the year before year 1") << "UTC" << "0000-12-31" << QDate(-1, 12, 31);
}

void TestConversionCatalogDates::parseISODateStandsAtNoon()
{
    QFETCH(QString, zoneName);
    QFETCH(QString, text);
    QFETCH(QDate, date);
    const QTimeZone calendar = zone(qPrintable(zoneName));

    const std::optional<QDateTime> parsed = ConversionCatalog::parseISODate(text, calendar);
    QVERIFY(parsed);
    const QDateTime local = parsed->toTimeZone(calendar);
    QCOMPARE(local.date(), date);
    QCOMPARE(local.time(), QTime(12, 0));
}

void TestConversionCatalogDates::parseISODateRejects_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("two pieces") << "2025-01";
    QTest::newRow("four pieces") << "2025-01-05-01";
    QTest::newRow("month 0") << "2025-00-05";
    QTest::newRow("month 13") << "2025-13-05";
    QTest::newRow("day 0") << "2025-01-00";
    QTest::newRow("day 32") << "2025-01-32";
    QTest::newRow("30 February") << "2025-02-30";
    QTest::newRow("29 February of a common year") << "2025-02-29";
    QTest::newRow("31 April") << "2025-04-31";
    QTest::newRow("plus sign") << "+2025-01-05";
    QTest::newRow("trailing space") << "2025-01-05 ";
    QTest::newRow("slashes") << "2025/01/05";
    QTest::newRow("letters") << "2025-jan-05";
    QTest::newRow("Arabic-Indic digits") << u8("٢٠٢٥-01-05");
    QTest::newRow("year beyond every calendar") << "999999999999999999999-01-01";
    QTest::newRow("month beyond 64 bits") << "2025-99999999999999999999-01";
}

void TestConversionCatalogDates::parseISODateRejects()
{
    QFETCH(QString, text);
    QCOMPARE(ConversionCatalog::parseISODate(text, zone("Europe/Berlin")), std::nullopt);
}

void TestConversionCatalogDates::formatISODate_data()
{
    QTest::addColumn<QDateTime>("instant");
    QTest::addColumn<QString>("zoneName");
    QTest::addColumn<QString>("formatted");

    const QDateTime lateEvening(QDate(2025, 1, 10), QTime(23, 30), Qt::UTC);
    QTest::newRow("UTC evening") << lateEvening << "UTC" << "2025-01-10";
    QTest::newRow("same instant is tomorrow in Istanbul") << lateEvening << "Europe/Istanbul" << "2025-01-11";
    QTest::newRow("same instant is today in Honolulu") << lateEvening << "Pacific/Honolulu" << "2025-01-10";
    QTest::newRow("early morning is yesterday in Honolulu")
        << QDateTime(QDate(2025, 1, 10), QTime(5, 0), Qt::UTC) << "Pacific/Honolulu" << "2025-01-09";
    QTest::newRow("year 12025 shows 2025") << QDateTime(QDate(12025, 3, 4), QTime(12, 0), Qt::UTC) << "UTC"
                                           << "2025-03-04";
    QTest::newRow("three-digit year is padded") << QDateTime(QDate(999, 12, 31), QTime(12, 0), Qt::UTC) << "UTC"
                                                << "0999-12-31";
    QTest::newRow("year 5") << QDateTime(QDate(5, 6, 7), QTime(12, 0), Qt::UTC) << "UTC" << "0005-06-07";
    QTest::newRow("before year 1") << QDateTime(QDate(-44, 3, 15), QTime(12, 0), Qt::UTC) << "UTC" << "0000-03-15";
    QTest::newRow("no instant") << QDateTime() << "UTC" << "0000-00-00";
}

void TestConversionCatalogDates::formatISODate()
{
    QFETCH(QDateTime, instant);
    QFETCH(QString, zoneName);
    QFETCH(QString, formatted);
    QCOMPARE(ConversionCatalog::formatISODate(instant, zone(qPrintable(zoneName))), formatted);
}

void TestConversionCatalogDates::invalidInputsGiveNoResult()
{
    const QTimeZone utc = zone("UTC");
    const QDateTime reference = localInstant(utc, 2025, 1, 10, 15);
    QCOMPARE(ConversionCatalog::evaluateDateExpression(u8("today"), QDateTime(), utc), std::nullopt);
    QCOMPARE(ConversionCatalog::evaluateDateExpression(u8("today"), reference, QTimeZone()), std::nullopt);
    QCOMPARE(ConversionCatalog::evaluateDateExpression(u8("2025-01-20 - today"), reference, QTimeZone()), std::nullopt);
    QCOMPARE(ConversionCatalog::parseISODate(u8("2025-01-20"), QTimeZone()), std::nullopt);
}

QTEST_GUILESS_MAIN(TestConversionCatalogDates)
#include "tst_conversioncatalogdates.moc"
