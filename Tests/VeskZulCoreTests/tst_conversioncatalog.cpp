#include "Engine/ConversionCatalog.h"
#include "Models/CurrencyRateTable.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// An independent copy of the published unit list: every alias is something a
// user types, so each one is checked on its own.
struct UnitAliasRow
{
    const char *base; // an alias of the dimension's base unit (factor 1)
    std::initializer_list<const char *> aliases;
    const char *symbol;
    double factor;
};

const UnitAliasRow kUnitAliases[] = {
    {"m", {"mm"}, "mm", 0.001},
    {"m", {"cm"}, "cm", 0.01},
    {"m", {"m", "meter", "meters", "metre"}, "m", 1},
    {"m", {"km"}, "km", 1000},
    {"m", {"in", "inch", "inches"}, "in", 0.0254},
    {"m", {"ft", "foot", "feet"}, "ft", 0.3048},
    {"m", {"yd", "yard", "yards"}, "yd", 0.9144},
    {"m", {"mi", "mile", "miles", "mil"}, "mi", 1609.344},
    {"g", {"mg"}, "mg", 0.001},
    {"g", {"g", "gr", "gram"}, "g", 1},
    {"g", {"kg"}, "kg", 1000},
    {"g", {"t", "ton", "tonne"}, "t", 1000000},
    {"g", {"oz"}, "oz", 28.349523125},
    {"g", {"lb", "lbs", "pounds"}, "lb", 453.59237},
    {"b", {"b", "byte", "bytes"}, "B", 1},
    {"b", {"kb"}, "KB", 1000},
    {"b", {"mb"}, "MB", 1000000},
    {"b", {"gb"}, "GB", 1000000000},
    {"b", {"tb"}, "TB", 1000000000000},
    {"b", {"pb"}, "PB", 1000000000000000},
    {"b", {"kib"}, "KiB", 1024},
    {"b", {"mib"}, "MiB", 1048576},
    {"b", {"gib"}, "GiB", 1073741824},
    {"b", {"tib"}, "TiB", 1099511627776},
    {"px", {"px"}, "px", 1},
    {"px", {"rem"}, "rem", 16},
    {"px", {"em"}, "em", 16},
    {"px", {"pt"}, "pt", 4.0 / 3.0},
    {"s", {"ms"}, "ms", 0.001},
    {"s", {"s", "sec", "second", "seconds", "sn"}, "s", 1},
    {"s", {"min", "mins", "minute", "minutes"}, "min", 60},
    {"s", {"dk"}, "dk", 60},
    {"s", {"h", "hr", "hour", "hours"}, "h", 3600},
    {"s", {"saat"}, "saat", 3600},
    {"s", {"d", "day", "days"}, "d", 86400},
    {"s", {"gün"}, "gün", 86400},
    {"s", {"wk", "week", "weeks"}, "wk", 604800},
    {"ml", {"ml"}, "mL", 1},
    {"ml", {"l", "lt", "liter", "litre"}, "L", 1000},
    {"ml", {"gal", "gallon"}, "gal", 3785.411784},
    {"ml", {"cup"}, "cup", 236.5882365},
    {"m2", {"m2", "sqm"}, "m²", 1},
    {"m2", {"km2"}, "km²", 1000000},
    {"m2", {"ft2", "sqft"}, "ft²", 0.09290304},
    {"m2", {"ha"}, "ha", 10000},
    {"m2", {"acre"}, "acre", 4046.8564224},
    {"m/s", {"kmh", "kph", "km/h"}, "km/h", 1 / 3.6},
    {"m/s", {"mph"}, "mph", 0.44704},
    {"m/s", {"mps", "m/s"}, "m/s", 1},
    {"m/s", {"knot", "knots"}, "kn", 0.5144444444},
};

const char *const kTemperatureAliases[][2] = {
    {"c", "°C"}, {"°c", "°C"}, {"celsius", "°C"},
    {"f", "°F"}, {"°f", "°F"}, {"fahrenheit", "°F"},
    {"k", "K"}, {"kelvin", "K"},
};

struct CurrencyAliasRow
{
    const char *code;
    std::initializer_list<const char *> aliases;
};

const CurrencyAliasRow kCurrencyAliases[] = {
    {"USD", {"usd", "$", "dollar", "dollars", "dolar"}},
    {"EUR", {"eur", "€", "euro", "euros"}},
    {"TRY", {"try", "tl", "₺", "lira"}},
    {"GBP", {"gbp", "£", "pound", "sterlin"}},
    {"CHF", {"chf", "frang"}},
    {"JPY", {"jpy", "¥", "yen"}},
    {"CAD", {"cad"}},
    {"AUD", {"aud"}},
    {"SEK", {"sek"}},
    {"NOK", {"nok"}},
    {"DKK", {"dkk"}},
    {"PLN", {"pln"}},
    {"CNY", {"cny", "rmb"}},
    {"INR", {"inr"}},
    {"AED", {"aed"}},
    {"SAR", {"sar"}},
    {"BRL", {"brl"}},
    {"KRW", {"krw"}},
};

QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

// QCOMPARE on doubles is fuzzy; conversions must agree to the last bit, since
// the engine keeps their values at full precision.
bool sameDouble(double actual, double expected)
{
    return actual == expected || (std::isnan(actual) && std::isnan(expected));
}

QByteArray describe(double actual, double expected)
{
    return QByteArray::number(actual, 'g', 17) + " instead of " + QByteArray::number(expected, 'g', 17);
}

#define COMPARE_EXACTLY(actual, expected)                                                                        \
    QVERIFY2(sameDouble((actual), (expected)), describe((actual), (expected)).constData())

} // namespace

class TestConversionCatalog : public QObject
{
    Q_OBJECT

private slots:
    void everyUnitAliasConvertsWithItsFactor_data();
    void everyUnitAliasConvertsWithItsFactor();
    void everyTemperatureAliasFindsItsScale_data();
    void everyTemperatureAliasFindsItsScale();
    void unitConversions_data();
    void unitConversions();
    void everyCurrencyAliasFindsItsCode_data();
    void everyCurrencyAliasFindsItsCode();
    void currencyWordsThatAreNotAliases_data();
    void currencyWordsThatAreNotAliases();
    void currencyConversions_data();
    void currencyConversions();
    void currencyConversionsNeedUsableRates_data();
    void currencyConversionsNeedUsableRates();
    void supportedCurrenciesInMenuOrder();
    void everyAliasedCurrencyHasAnOfflineRate();
};

void TestConversionCatalog::everyUnitAliasConvertsWithItsFactor_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<double>("factor");
    for (const UnitAliasRow &row : kUnitAliases) {
        for (const char *alias : row.aliases)
            QTest::newRow(alias) << u8(alias) << u8(row.base) << u8(row.symbol) << row.factor;
    }
}

void TestConversionCatalog::everyUnitAliasConvertsWithItsFactor()
{
    QFETCH(QString, alias);
    QFETCH(QString, base);
    QFETCH(QString, symbol);
    QFETCH(double, factor);

    // One of the unit in base units is exactly its factor (multiply, then
    // divide by the base's factor of 1); this also proves the dimension.
    const std::optional<ConversionEvaluation> toBase = ConversionCatalog::convertUnit(1, alias, base);
    QVERIFY(toBase);
    QVERIFY(toBase->numericValue);
    COMPARE_EXACTLY(*toBase->numericValue, factor);
    QCOMPARE(toBase->kind, EvaluatedLineKind::unit);

    // Typed in capitals, the alias still folds to itself and shows its symbol.
    const std::optional<ConversionEvaluation> toItself = ConversionCatalog::convertUnit(2, alias.toUpper(), alias);
    QVERIFY(toItself);
    QCOMPARE(toItself->unitOrCurrency, std::optional<QString>(symbol));
    QCOMPARE(toItself->formattedResult, QStringLiteral("2 ") + symbol);
    QVERIFY(toItself->numericValue);
    COMPARE_EXACTLY(*toItself->numericValue, 2.0);
}

void TestConversionCatalog::everyTemperatureAliasFindsItsScale_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("symbol");
    for (const auto &row : kTemperatureAliases)
        QTest::newRow(row[0]) << u8(row[0]) << u8(row[1]);
}

void TestConversionCatalog::everyTemperatureAliasFindsItsScale()
{
    QFETCH(QString, alias);
    QFETCH(QString, symbol);
    const std::optional<ConversionEvaluation> result = ConversionCatalog::convertUnit(100, u8("celsius"), alias);
    QVERIFY(result);
    QCOMPARE(result->unitOrCurrency, std::optional<QString>(symbol));
    const double expected = symbol == u8("°C") ? 100.0 : symbol == u8("°F") ? 100.0 * 9 / 5 + 32 : 100 + 273.15;
    COMPARE_EXACTLY(*result->numericValue, expected);
    QCOMPARE(ConversionCatalog::convertUnit(1, alias, u8("m")), std::nullopt);
}

void TestConversionCatalog::unitConversions_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("formatted"); // empty: no result
    QTest::addColumn<double>("value");      // checked exactly unless NaN

    const double unchecked = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("km to mi keeps full precision") << 12.0 << "km" << "mi" << "7.456 mi" << 12 * 1000 / 1609.344;
    QTest::newRow("px to rem") << 24.0 << "px" << "rem" << "1.5 rem" << 1.5;
    QTest::newRow("pt to px") << 1.0 << "pt" << "px" << "1.333 px" << 4.0 / 3.0;
    QTest::newRow("celsius to fahrenheit") << 32.0 << "c" << "f" << u8("89.6 °F") << 32.0 * 9 / 5 + 32;
    QTest::newRow("kelvin to celsius") << 0.0 << "K" << "c" << u8("-273.15 °C") << -273.15;
    QTest::newRow("fahrenheit to kelvin") << 212.0 << u8("°F") << "k" << "373.15 K" << (212.0 - 32) * 5 / 9 + 273.15;
    QTest::newRow("body temperature, multiplied before divided") << 37.0 << "c" << "f" << u8("98.6 °F") << 37.0 * 9 / 5 + 32;
    QTest::newRow("Fahrenheit 451, subtracted, multiplied, divided")
        << 451.0 << "f" << "c" << u8("232.778 °C") << (451.0 - 32) * 5 / 9;
    QTest::newRow("multiplied by the source factor before divided") << 3.0 << "cm" << "in" << "1.181 in" << 3 * 0.01 / 0.0254;
    QTest::newRow("minus forty meets") << -40.0 << "fahrenheit" << "celsius" << u8("-40 °C") << -40.0;
    QTest::newRow("kelvin to fahrenheit") << 0.0 << "kelvin" << u8("°f") << u8("-459.67 °F") << (0 - 273.15) * 9 / 5 + 32;
    QTest::newRow("celsius to itself") << 21.5 << "C" << "celsius" << u8("21.5 °C") << 21.5;
    QTest::newRow("GiB to MB across data families") << 1.0 << "GiB" << "MB" << "1,073.742 MB" << 1073.741824;
    QTest::newRow("KB to KiB across data families") << 1.0 << "KB" << "KiB" << "0.977 KiB" << 0.9765625;
    QTest::newRow("bytes to TiB") << 1099511627776.0 << "bytes" << "tib" << "1 TiB" << 1.0;
    QTest::newRow("length to mass") << 5.0 << "km" << "kg" << "" << unchecked;
    QTest::newRow("time to length") << 3.0 << "h" << "m" << "" << unchecked;
    QTest::newRow("temperature to length") << 10.0 << "c" << "km" << "" << unchecked;
    QTest::newRow("length to temperature") << 10.0 << "km" << "c" << "" << unchecked;
    QTest::newRow("css to length") << 10.0 << "px" << "mm" << "" << unchecked;
    QTest::newRow("overflow to infinity") << 1e308 << "km" << "mm" << "" << unchecked;
    QTest::newRow("NaN amount") << std::numeric_limits<double>::quiet_NaN() << "km" << "m" << "" << unchecked;
    QTest::newRow("infinite amount") << std::numeric_limits<double>::infinity() << "km" << "m" << "" << unchecked;
    QTest::newRow("upper case") << 5.0 << "KM" << "M" << "5,000 m" << 5000.0;
    QTest::newRow("mixed case and spaces") << 5.0 << "  Km " << "\tm\n" << "5,000 m" << 5000.0;
    QTest::newRow("typed degree sign") << 100.0 << u8("°C") << u8("°F") << u8("212 °F") << 212.0;
    QTest::newRow("squared symbol is not typeable") << 1.0 << u8("m²") << "sqm" << "" << unchecked;
    QTest::newRow("squared symbol as target") << 1.0 << "m2" << u8("km²") << "" << unchecked;
    QTest::newRow("area shows squared symbol") << 2.0 << "km2" << "sqm" << u8("2,000,000 m²") << 2e6;
    QTest::newRow("pound is money, not mass") << 1.0 << "pound" << "kg" << "" << unchecked;
    QTest::newRow("pounds is mass") << 1.0 << "pounds" << "g" << "453.592 g" << 453.59237;
    QTest::newRow("min is the minute") << 2.0 << "min" << "s" << "120 s" << 120.0;
    QTest::newRow("mil is the mile") << 1.0 << "mil" << "km" << "1.609 km" << 1609.344 / 1000;
    QTest::newRow("t is the tonne") << 1.5 << "t" << "kg" << "1,500 kg" << 1500.0;
    QTest::newRow("Turkish hour keeps its symbol") << 1.0 << u8("gün") << "saat" << "24 saat" << 24.0;
    QTest::newRow("Turkish minute") << 90.0 << "dk" << "h" << "1.5 h" << 1.5;
    QTest::newRow("sn shows as s") << 90.0 << "dk" << "sn" << "5,400 s" << 5400.0;
    QTest::newRow("capital GÜN") << 2.0 << u8("GÜN") << "hours" << "48 h" << 48.0;
    QTest::newRow("speed through metres per second") << 3.0 << "m/s" << "km/h" << "10.8 km/h" << 3 / (1 / 3.6);
    QTest::newRow("knot uses the ten-decimal factor") << 3600.0 << "knots" << "m/s" << "1,852 m/s" << 3600 * 0.5144444444;
    QTest::newRow("volume") << 2.0 << "gallon" << "l" << "7.571 L" << 2 * 3785.411784 / 1000;
    QTest::newRow("rounding to three digits") << 1.0 << "oz" << "g" << "28.35 g" << 28.349523125;
    QTest::newRow("negative amount") << -3.0 << "feet" << "in" << "-36 in" << -3 * 0.3048 / 0.0254;
    QTest::newRow("unknown source") << 1.0 << "parsec" << "m" << "" << unchecked;
    QTest::newRow("unknown target") << 1.0 << "m" << "furlong" << "" << unchecked;
    QTest::newRow("plural not listed") << 1.0 << "metres" << "m" << "" << unchecked;
    QTest::newRow("kilogram spelled out is not listed") << 1.0 << "kilogram" << "g" << "" << unchecked;
    QTest::newRow("empty word") << 1.0 << "" << "m" << "" << unchecked;
}

void TestConversionCatalog::unitConversions()
{
    QFETCH(double, amount);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, formatted);
    QFETCH(double, value);

    const std::optional<ConversionEvaluation> result = ConversionCatalog::convertUnit(amount, from, to);
    if (formatted.isEmpty()) {
        QCOMPARE(result, std::nullopt);
        return;
    }
    QVERIFY(result);
    QCOMPARE(result->formattedResult, formatted);
    QCOMPARE(result->kind, EvaluatedLineKind::unit);
    QVERIFY(result->unitOrCurrency);
    QVERIFY(formatted.endsWith(u' ' + *result->unitOrCurrency));
    QVERIFY(result->numericValue);
    if (!std::isnan(value))
        COMPARE_EXACTLY(*result->numericValue, value);
}

void TestConversionCatalog::everyCurrencyAliasFindsItsCode_data()
{
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("code");
    for (const CurrencyAliasRow &row : kCurrencyAliases) {
        for (const char *alias : row.aliases)
            QTest::newRow(alias) << u8(alias) << u8(row.code);
    }
}

void TestConversionCatalog::everyCurrencyAliasFindsItsCode()
{
    QFETCH(QString, alias);
    QFETCH(QString, code);
    QCOMPARE(ConversionCatalog::canonicalCurrencyCode(alias), std::optional<QString>(code));
    QCOMPARE(ConversionCatalog::canonicalCurrencyCode(u' ' + alias.toUpper() + u' '), std::optional<QString>(code));
}

void TestConversionCatalog::currencyWordsThatAreNotAliases_data()
{
    QTest::addColumn<QString>("word");
    QTest::newRow("bitcoin code") << "btc";
    QTest::newRow("pounds is the mass unit") << "pounds";
    QTest::newRow("lb") << "lb";
    QTest::newRow("two words") << "us dollar";
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("Turkish lira spelled in Turkish") << u8("türk lirası");
    QTest::newRow("code with inner space") << "u sd";
    QTest::newRow("yuan character") << u8("元");
}

void TestConversionCatalog::currencyWordsThatAreNotAliases()
{
    QFETCH(QString, word);
    QCOMPARE(ConversionCatalog::canonicalCurrencyCode(word), std::nullopt);
}

void TestConversionCatalog::currencyConversions_data()
{
    QTest::addColumn<double>("amount");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("formatted"); // empty: no result
    QTest::addColumn<QString>("code");

    QTest::newRow("dollars to lira") << 100.0 << "USD" << "TRY" << "3,800 TRY" << "TRY";
    QTest::newRow("symbols on both sides") << 92.0 << u8("€") << "$" << "100 USD" << "USD";
    QTest::newRow("lower-case words") << 10.0 << "usd" << "eur" << "9.2 EUR" << "EUR";
    QTest::newRow("Turkish words") << 1.0 << "dolar" << "TL" << "38 TRY" << "TRY";
    QTest::newRow("same currency") << 1.0 << "usd" << "dollars" << "1 USD" << "USD";
    QTest::newRow("two fraction digits") << 1.0 << "eur" << "gbp" << "0.86 GBP" << "GBP";
    QTest::newRow("zero amount") << 0.0 << "usd" << "jpy" << "0 JPY" << "JPY";
    QTest::newRow("large amount grouped") << 1e6 << "usd" << "krw" << "1,390,000,000 KRW" << "KRW";
    QTest::newRow("unknown source") << 1.0 << "btc" << "usd" << "" << "";
    QTest::newRow("unknown target") << 1.0 << "usd" << "btc" << "" << "";
    QTest::newRow("unit word is not a currency") << 1.0 << "pounds" << "usd" << "" << "";
}

void TestConversionCatalog::currencyConversions()
{
    QFETCH(double, amount);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, formatted);
    QFETCH(QString, code);

    const std::optional<ConversionEvaluation> result =
        ConversionCatalog::convertCurrency(amount, from, to, CurrencyRateTable::offlineDefaults());
    if (formatted.isEmpty()) {
        QCOMPARE(result, std::nullopt);
        return;
    }
    QVERIFY(result);
    QCOMPARE(result->formattedResult, formatted);
    QCOMPARE(result->unitOrCurrency, std::optional<QString>(code));
    QCOMPARE(result->kind, EvaluatedLineKind::currency);
    const std::optional<double> expected = CurrencyRateTable::offlineDefaults().convert(
        amount, *ConversionCatalog::canonicalCurrencyCode(from), code);
    QVERIFY(result->numericValue && expected);
    COMPARE_EXACTLY(*result->numericValue, *expected);
}

void TestConversionCatalog::currencyConversionsNeedUsableRates_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<bool>("hasEuro");
    QTest::addColumn<double>("euroRate");
    QTest::addColumn<QString>("formatted"); // empty: no result

    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("usable rate") << "eur" << "usd" << true << 0.5 << "2 USD";
    QTest::newRow("target missing from the table") << "usd" << "euro" << false << 0.0 << "";
    QTest::newRow("source missing from the table") << u8("€") << "usd" << false << 0.0 << "";
    QTest::newRow("source rate zero") << "eur" << "usd" << true << 0.0 << "";
    QTest::newRow("source rate negative") << "eur" << "usd" << true << -0.9 << "";
    QTest::newRow("source rate not a number") << "eur" << "usd" << true << nan << "";
}

void TestConversionCatalog::currencyConversionsNeedUsableRates()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(bool, hasEuro);
    QFETCH(double, euroRate);
    QFETCH(QString, formatted);

    CurrencyRateTable rates;
    rates.ratesPerUSD.insert(u8("USD"), 1);
    rates.ratesPerUSD.insert(u8("TRY"), 38);
    if (hasEuro)
        rates.ratesPerUSD.insert(u8("EUR"), euroRate);

    const std::optional<ConversionEvaluation> result = ConversionCatalog::convertCurrency(1, from, to, rates);
    if (formatted.isEmpty()) {
        QCOMPARE(result, std::nullopt);
        return;
    }
    QVERIFY(result);
    QCOMPARE(result->formattedResult, formatted);
}

void TestConversionCatalog::supportedCurrenciesInMenuOrder()
{
    const QStringList expected = {u8("TRY"), u8("USD"), u8("EUR"), u8("GBP"), u8("CHF"), u8("JPY"),
                                  u8("CAD"), u8("AUD"), u8("SEK"), u8("NOK"), u8("AED"), u8("CNY")};
    QCOMPARE(ConversionCatalog::supportedCurrencies(), expected);
}

void TestConversionCatalog::everyAliasedCurrencyHasAnOfflineRate()
{
    // A code reachable by an alias but missing from the built-in rates would
    // make that word silently stop converting offline.
    const CurrencyRateTable &offline = CurrencyRateTable::offlineDefaults();
    QCOMPARE(offline.ratesPerUSD.size(), qsizetype(std::size(kCurrencyAliases)));
    for (const CurrencyAliasRow &row : kCurrencyAliases)
        QVERIFY2(offline.ratesPerUSD.contains(u8(row.code)), row.code);
    for (const QString &code : ConversionCatalog::supportedCurrencies())
        QCOMPARE(ConversionCatalog::canonicalCurrencyCode(code), std::optional<QString>(code));
}

QTEST_GUILESS_MAIN(TestConversionCatalog)
#include "tst_conversioncatalog.moc"
