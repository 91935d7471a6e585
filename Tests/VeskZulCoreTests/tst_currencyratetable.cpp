#include "LocaleScope.h"
#include "Models/CurrencyRateTable.h"

#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(CurrencyRateTable)

namespace {

CurrencyRateTable tableOf(QHash<QString, double> rates)
{
    return CurrencyRateTable{std::move(rates), std::nullopt, false};
}

QJsonObject parseObject(const QByteArray &json)
{
    return QJsonDocument::fromJson(json).object();
}

} // namespace

class TestCurrencyRateTable : public QObject
{
    Q_OBJECT

private slots:
    void offlineDefaults_data();
    void offlineDefaults();
    void convert_data();
    void convert();
    void toJson();
    void fromJsonReads_data();
    void fromJsonReads();
    void fromJsonFails_data();
    void fromJsonFails();
    void equalityIgnoresOrder();
};

void TestCurrencyRateTable::offlineDefaults_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("rate");

    const QList<std::pair<const char *, double>> rates = {
        {"USD", 1},    {"EUR", 0.92}, {"TRY", 38},   {"GBP", 0.79}, {"CHF", 0.88}, {"BRL", 5.75},
        {"JPY", 152},  {"CAD", 1.38}, {"AUD", 1.54}, {"SEK", 10.6}, {"NOK", 10.9}, {"DKK", 6.86},
        {"PLN", 3.98}, {"CNY", 7.25}, {"INR", 84.5}, {"AED", 3.67}, {"SAR", 3.75}, {"KRW", 1390},
    };
    for (const auto &[code, rate] : rates)
        QTest::newRow(code) << QString::fromLatin1(code) << rate;
}

void TestCurrencyRateTable::offlineDefaults()
{
    QFETCH(QString, code);
    QFETCH(double, rate);

    const CurrencyRateTable &table = CurrencyRateTable::offlineDefaults();
    QCOMPARE(table.ratesPerUSD.size(), 18);
    QVERIFY(!table.isLive);
    QVERIFY(!table.updatedAt);
    QVERIFY(table.ratesPerUSD.contains(code));
    QCOMPARE(table.ratesPerUSD.value(code), rate);
}

void TestCurrencyRateTable::convert_data()
{
    QTest::addColumn<CurrencyRateTable>("table");
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<std::optional<double>>("expected");

    const CurrencyRateTable offline = CurrencyRateTable::offlineDefaults();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("usd to try") << offline << 100.0 << "USD" << "TRY" << std::optional(3800.0);
    QTest::newRow("lower-case codes") << offline << 10.0 << "usd" << "eur" << std::optional(9.2);
    QTest::newRow("codes with i upper-case without the locale")
        << offline << 84.5 << "inr" << "usd" << std::optional(1.0);
    QTest::newRow("same currency") << offline << 1.0 << "USD" << "USD" << std::optional(1.0);
    QTest::newRow("zero amount") << offline << 0.0 << "EUR" << "TRY" << std::optional(0.0);
    QTest::newRow("through the dollar") << offline << 38.0 << "TRY" << "EUR" << std::optional(0.92);
    QTest::newRow("missing source") << offline << 1.0 << "XXX" << "USD" << std::optional<double>();
    QTest::newRow("missing target") << offline << 1.0 << "USD" << "XXX" << std::optional<double>();
    QTest::newRow("leading space is not trimmed") << offline << 1.0 << " USD" << "EUR" << std::optional<double>();
    QTest::newRow("source rate zero") << tableOf({{"USD", 1}, {"ZZZ", 0}}) << 5.0 << "ZZZ" << "USD"
                                      << std::optional<double>();
    QTest::newRow("source rate negative") << tableOf({{"USD", 1}, {"ZZZ", -2}}) << 5.0 << "ZZZ" << "USD"
                                          << std::optional<double>();
    QTest::newRow("source rate NaN") << tableOf({{"USD", 1}, {"ZZZ", nan}}) << 5.0 << "ZZZ" << "USD"
                                     << std::optional<double>();
    QTest::newRow("source rate infinite") << tableOf({{"USD", 1}, {"ZZZ", inf}}) << 5.0 << "ZZZ" << "USD"
                                          << std::optional<double>();
    QTest::newRow("target rate zero is no conversion") << tableOf({{"USD", 1}, {"ZZZ", 0}}) << 5.0 << "USD"
                                                       << "ZZZ" << std::optional<double>();
    QTest::newRow("target rate negative") << tableOf({{"USD", 1}, {"ZZZ", -1}}) << 5.0 << "USD" << "ZZZ"
                                          << std::optional<double>();
    QTest::newRow("target rate NaN") << tableOf({{"USD", 1}, {"ZZZ", nan}}) << 5.0 << "USD" << "ZZZ"
                                     << std::optional<double>();
    QTest::newRow("overflowing result") << tableOf({{"USD", 1}, {"ZZZ", 1e300}}) << 1e300 << "USD" << "ZZZ"
                                        << std::optional<double>();
}

void TestCurrencyRateTable::convert()
{
    QFETCH(CurrencyRateTable, table);
    QFETCH(double, amount);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(std::optional<double>, expected);

    VESK_FOR_EACH_LOCALE({
        const std::optional<double> result = table.convert(amount, from, to);
        QCOMPARE(result.has_value(), expected.has_value());
        if (expected)
            QCOMPARE(*result, *expected);
    })
}

void TestCurrencyRateTable::toJson()
{
    CurrencyRateTable table = tableOf({{"USD", 1}, {"EUR", 0.5}});
    QJsonObject json = table.toJson();
    QCOMPARE(json.keys(), QStringList({"isLive", "ratesPerUSD"}));
    QCOMPARE(json.value("isLive"), QJsonValue(false));
    QCOMPARE(json.value("ratesPerUSD").toObject(), parseObject(R"({"USD":1,"EUR":0.5})"));

    // Fractions of a second are dropped and any zone is written as UTC.
    table.updatedAt = QDateTime(QDate(2025, 1, 10), QTime(15, 0, 0, 750), QTimeZone(3 * 3600));
    table.isLive = true;
    json = table.toJson();
    QCOMPARE(json.value("updatedAt").toString(), QStringLiteral("2025-01-10T12:00:00Z"));
    QCOMPARE(json.value("isLive"), QJsonValue(true));

    // A rate JSON cannot carry is left out instead of poisoning the file.
    table.ratesPerUSD.insert("BAD", std::numeric_limits<double>::infinity());
    json = table.toJson();
    QVERIFY(!json.value("ratesPerUSD").toObject().contains("BAD"));
    const ZulResult<CurrencyRateTable> back =
        CurrencyRateTable::fromJson(QJsonDocument::fromJson(QJsonDocument(json).toJson()).object());
    QVERIFY2(back.ok(), qPrintable(back.error()));
    QCOMPARE(back.value().ratesPerUSD.size(), 2);
    QCOMPARE(*back.value().updatedAt, QDateTime(QDate(2025, 1, 10), QTime(12, 0), Qt::UTC));

    // So is a date past the year 9999, which the date form cannot hold: the
    // file still reads back.
    table.updatedAt = QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC);
    json = table.toJson();
    QVERIFY(!json.contains("updatedAt"));
    QVERIFY(CurrencyRateTable::fromJson(QJsonDocument::fromJson(QJsonDocument(json).toJson()).object()).ok());
}

void TestCurrencyRateTable::fromJsonReads_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<CurrencyRateTable>("expected");

    QTest::newRow("built-in form without updatedAt")
        << QByteArray(R"({"ratesPerUSD":{"USD":1,"TRY":38},"isLive":false})") << tableOf({{"USD", 1}, {"TRY", 38}});
    QTest::newRow("null updatedAt is absent")
        << QByteArray(R"({"ratesPerUSD":{"USD":1},"updatedAt":null,"isLive":false})") << tableOf({{"USD", 1}});
    QTest::newRow("unknown keys ignored")
        << QByteArray(R"({"ratesPerUSD":{},"isLive":false,"source":"x"})") << tableOf({});
    QTest::newRow("live with a time")
        << QByteArray(R"({"ratesPerUSD":{"EUR":0.9},"updatedAt":"2024-02-29T23:59:59Z","isLive":true})")
        << CurrencyRateTable{{{"EUR", 0.9}}, QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC), true};
    QTest::newRow("zero rate is kept, only convert refuses it")
        << QByteArray(R"({"ratesPerUSD":{"ZZZ":0},"isLive":false})") << tableOf({{"ZZZ", 0}});
}

void TestCurrencyRateTable::fromJsonReads()
{
    QFETCH(QByteArray, json);
    QFETCH(CurrencyRateTable, expected);

    const ZulResult<CurrencyRateTable> result = CurrencyRateTable::fromJson(parseObject(json));
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QVERIFY(result.value() == expected);
}

void TestCurrencyRateTable::fromJsonFails_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("missing isLive") << QByteArray(R"({"ratesPerUSD":{"USD":1}})");
    QTest::newRow("missing ratesPerUSD") << QByteArray(R"({"isLive":false})");
    QTest::newRow("isLive as text") << QByteArray(R"({"ratesPerUSD":{},"isLive":"false"})");
    QTest::newRow("rates as array") << QByteArray(R"({"ratesPerUSD":[1],"isLive":false})");
    QTest::newRow("rate as text") << QByteArray(R"({"ratesPerUSD":{"USD":"1"},"isLive":false})");
    QTest::newRow("rate null") << QByteArray(R"({"ratesPerUSD":{"USD":null},"isLive":false})");
    QTest::newRow("updatedAt as number") << QByteArray(R"({"ratesPerUSD":{},"updatedAt":1736510400,"isLive":false})");
    QTest::newRow("updatedAt with fraction")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10T12:00:00.000Z","isLive":false})");
    QTest::newRow("updatedAt with offset")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10T12:00:00+00:00","isLive":false})");
    QTest::newRow("updatedAt without zone")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10T12:00:00","isLive":false})");
    QTest::newRow("updatedAt with space")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10 12:00:00Z","isLive":false})");
    QTest::newRow("updatedAt date only") << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10","isLive":false})");
    QTest::newRow("updatedAt impossible day")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-02-30T12:00:00Z","isLive":false})");
    QTest::newRow("updatedAt impossible hour")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10T24:00:00Z","isLive":false})");
    QTest::newRow("updatedAt lower-case z")
        << QByteArray(R"({"ratesPerUSD":{},"updatedAt":"2025-01-10T12:00:00z","isLive":false})");
}

void TestCurrencyRateTable::fromJsonFails()
{
    QFETCH(QByteArray, json);
    const QJsonObject object = parseObject(json);
    QVERIFY(!object.isEmpty());
    const ZulResult<CurrencyRateTable> result = CurrencyRateTable::fromJson(object);
    QVERIFY(!result.ok());
    QVERIFY(!result.error().isEmpty());
}

void TestCurrencyRateTable::equalityIgnoresOrder()
{
    QHash<QString, double> forward;
    forward.insert("USD", 1);
    forward.insert("EUR", 0.9);
    QHash<QString, double> backward;
    backward.insert("EUR", 0.9);
    backward.insert("USD", 1);
    QVERIFY(tableOf(forward) == tableOf(backward));

    CurrencyRateTable live = tableOf(forward);
    live.isLive = true;
    QVERIFY(!(live == tableOf(forward)));
    CurrencyRateTable dated = tableOf(forward);
    dated.updatedAt = QDateTime(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);
    QVERIFY(!(dated == tableOf(forward)));
    backward.insert("USD", 2);
    QVERIFY(!(tableOf(forward) == tableOf(backward)));
}

QTEST_GUILESS_MAIN(TestCurrencyRateTable)
#include "tst_currencyratetable.moc"
