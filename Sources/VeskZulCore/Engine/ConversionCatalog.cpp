#include "Engine/ConversionCatalog.h"

#include "Engine/FoldedNameTable.h"
#include "Engine/ZulNumberFormatter.h"
#include "Models/CurrencyRateTable.h"

#include <QtGlobal>

#include <cmath>
#include <initializer_list>

namespace {

enum class UnitDimension {
    length,
    mass,
    dataSI,
    dataBinary,
    css,
    time,
    volume,
    area,
    speed,
    temperature,
};

struct UnitDefinition
{
    QString canonicalSymbol;
    UnitDimension dimension;
    double toBaseFactor; // base units: m, g, byte, CSS px, s, mL, m², m/s; unused for temperatures
};

struct UnitRow
{
    UnitDimension dimension;
    std::initializer_list<const char16_t *> aliases; // already folded
    const char16_t *symbol;
    double factor;
};

// Every alias is something a user can type, so the list is kept exactly as
// published; the squared symbols are shown in results but deliberately not
// typeable.
FoldedNameTable<UnitDefinition> buildUnitTable()
{
    using D = UnitDimension;
    const UnitRow rows[] = {
        {D::length, {u"mm"}, u"mm", 0.001},
        {D::length, {u"cm"}, u"cm", 0.01},
        {D::length, {u"m", u"meter", u"meters", u"metre"}, u"m", 1},
        {D::length, {u"km"}, u"km", 1000},
        {D::length, {u"in", u"inch", u"inches"}, u"in", 0.0254},
        {D::length, {u"ft", u"foot", u"feet"}, u"ft", 0.3048},
        {D::length, {u"yd", u"yard", u"yards"}, u"yd", 0.9144},
        {D::length, {u"mi", u"mile", u"miles", u"mil"}, u"mi", 1609.344},
        {D::mass, {u"mg"}, u"mg", 0.001},
        {D::mass, {u"g", u"gr", u"gram"}, u"g", 1},
        {D::mass, {u"kg"}, u"kg", 1000},
        {D::mass, {u"t", u"ton", u"tonne"}, u"t", 1000000},
        {D::mass, {u"oz"}, u"oz", 28.349523125},
        {D::mass, {u"lb", u"lbs", u"pounds"}, u"lb", 453.59237},
        {D::temperature, {u"c", u"°c", u"celsius"}, u"°C", 1},
        {D::temperature, {u"f", u"°f", u"fahrenheit"}, u"°F", 1},
        {D::temperature, {u"k", u"kelvin"}, u"K", 1},
        {D::dataSI, {u"b", u"byte", u"bytes"}, u"B", 1},
        {D::dataSI, {u"kb"}, u"KB", 1000},
        {D::dataSI, {u"mb"}, u"MB", 1000000},
        {D::dataSI, {u"gb"}, u"GB", 1000000000},
        {D::dataSI, {u"tb"}, u"TB", 1000000000000},
        {D::dataSI, {u"pb"}, u"PB", 1000000000000000},
        {D::dataBinary, {u"kib"}, u"KiB", 1024},
        {D::dataBinary, {u"mib"}, u"MiB", 1048576},
        {D::dataBinary, {u"gib"}, u"GiB", 1073741824},
        {D::dataBinary, {u"tib"}, u"TiB", 1099511627776},
        {D::css, {u"px"}, u"px", 1},
        {D::css, {u"rem"}, u"rem", 16},
        {D::css, {u"em"}, u"em", 16},
        {D::css, {u"pt"}, u"pt", 1.3333333333333333},
        {D::time, {u"ms"}, u"ms", 0.001},
        {D::time, {u"s", u"sec", u"second", u"seconds", u"sn"}, u"s", 1},
        {D::time, {u"min", u"mins", u"minute", u"minutes"}, u"min", 60},
        {D::time, {u"dk"}, u"dk", 60},
        {D::time, {u"h", u"hr", u"hour", u"hours"}, u"h", 3600},
        {D::time, {u"saat"}, u"saat", 3600},
        {D::time, {u"d", u"day", u"days"}, u"d", 86400},
        {D::time, {u"gün"}, u"gün", 86400},
        {D::time, {u"wk", u"week", u"weeks"}, u"wk", 604800},
        {D::volume, {u"ml"}, u"mL", 1},
        {D::volume, {u"l", u"lt", u"liter", u"litre"}, u"L", 1000},
        {D::volume, {u"gal", u"gallon"}, u"gal", 3785.411784},
        {D::volume, {u"cup"}, u"cup", 236.5882365},
        {D::area, {u"m2", u"sqm"}, u"m²", 1},
        {D::area, {u"km2"}, u"km²", 1000000},
        {D::area, {u"ft2", u"sqft"}, u"ft²", 0.09290304},
        {D::area, {u"ha"}, u"ha", 10000},
        {D::area, {u"acre"}, u"acre", 4046.8564224},
        {D::speed, {u"kmh", u"kph", u"km/h"}, u"km/h", 0.2777777777777778},
        {D::speed, {u"mph"}, u"mph", 0.44704},
        {D::speed, {u"mps", u"m/s"}, u"m/s", 1},
        // Deliberately the ten-decimal value, not 1852/3600: results must not
        // shift in the last digits.
        {D::speed, {u"knot", u"knots"}, u"kn", 0.5144444444},
    };

    QList<FoldedNameTable<UnitDefinition>::Entry> entries;
    for (const UnitRow &row : rows) {
        const QString symbol = QString::fromUtf16(row.symbol);
        for (const char16_t *alias : row.aliases)
            entries.append({QStringView(alias), UnitDefinition{symbol, row.dimension, row.factor}});
    }
    return FoldedNameTable<UnitDefinition>(std::move(entries));
}

const FoldedNameTable<UnitDefinition> &unitTable()
{
    static const FoldedNameTable<UnitDefinition> table = buildUnitTable();
    return table;
}

struct CurrencyRow
{
    const char16_t *code;
    std::initializer_list<const char16_t *> aliases; // already folded
};

// The codes here are exactly those of the built-in rate table, so every alias
// converts offline.
FoldedNameTable<QString> buildCurrencyAliases()
{
    const CurrencyRow rows[] = {
        {u"USD", {u"usd", u"$", u"dollar", u"dollars", u"dolar"}},
        {u"EUR", {u"eur", u"€", u"euro", u"euros"}},
        {u"TRY", {u"try", u"tl", u"₺", u"lira"}},
        {u"GBP", {u"gbp", u"£", u"pound", u"sterlin"}},
        {u"CHF", {u"chf", u"frang"}},
        {u"JPY", {u"jpy", u"¥", u"yen"}},
        {u"CAD", {u"cad"}},
        {u"AUD", {u"aud"}},
        {u"SEK", {u"sek"}},
        {u"NOK", {u"nok"}},
        {u"DKK", {u"dkk"}},
        {u"PLN", {u"pln"}},
        {u"CNY", {u"cny", u"rmb"}},
        {u"INR", {u"inr"}},
        {u"AED", {u"aed"}},
        {u"SAR", {u"sar"}},
        {u"BRL", {u"brl"}},
        {u"KRW", {u"krw"}},
    };

    QList<FoldedNameTable<QString>::Entry> entries;
    for (const CurrencyRow &row : rows) {
        const QString code = QString::fromUtf16(row.code);
        for (const char16_t *alias : row.aliases)
            entries.append({QStringView(alias), code});
    }
    return FoldedNameTable<QString>(std::move(entries));
}

const FoldedNameTable<QString> &currencyAliases()
{
    static const FoldedNameTable<QString> table = buildCurrencyAliases();
    return table;
}

bool isDataDimension(UnitDimension dimension)
{
    return dimension == UnitDimension::dataSI || dimension == UnitDimension::dataBinary;
}

bool areCompatible(UnitDimension a, UnitDimension b)
{
    return a == b || (isDataDimension(a) && isDataDimension(b));
}

// Through Celsius, each step in the written order: the engine keeps the value
// at full precision, and a reordered formula changes its last bits.
double convertTemperature(double value, const QString &from, const QString &to)
{
    double celsius = value;
    if (from == u"°F")
        celsius = (value - 32) * 5 / 9;
    else if (from == u"K")
        celsius = value - 273.15;

    if (to == u"°F")
        return celsius * 9 / 5 + 32;
    if (to == u"K")
        return celsius + 273.15;
    return celsius;
}

} // namespace

namespace ConversionCatalog {

std::optional<QString> canonicalCurrencyCode(QStringView text)
{
    const QString *code = currencyAliases().findName(text);
    if (!code)
        return std::nullopt;
    return *code;
}

const LineCharacters &currencyInitials()
{
    static const LineCharacters initials = currencyAliases().initials();
    return initials;
}

std::optional<QString> canonicalCurrencyCode(const QString &text)
{
    return canonicalCurrencyCode(QStringView(text));
}

std::optional<ConversionEvaluation> convertUnit(double amount, const QString &from, const QString &to)
{
    return convertUnit(amount, QStringView(from), QStringView(to));
}

std::optional<ConversionEvaluation> convertUnit(double amount, QStringView from, QStringView to)
{
    const FoldedNameTable<UnitDefinition> &table = unitTable();
    const UnitDefinition *source = table.findName(from);
    if (!source)
        return std::nullopt;
    const UnitDefinition *target = table.findName(to);
    if (!target)
        return std::nullopt;
    if (!areCompatible(source->dimension, target->dimension))
        return std::nullopt;

    const double value = source->dimension == UnitDimension::temperature
        ? convertTemperature(amount, source->canonicalSymbol, target->canonicalSymbol)
        : amount * source->toBaseFactor / target->toBaseFactor;
    if (!std::isfinite(value))
        return std::nullopt;

    return ConversionEvaluation{
        value,
        target->canonicalSymbol,
        ZulNumberFormatter::format(value, 3) + u' ' + target->canonicalSymbol,
        EvaluatedLineKind::unit,
    };
}

std::optional<ConversionEvaluation> convertCurrency(double amount, const QString &from, const QString &to,
                                                    const CurrencyRateTable &rates)
{
    return convertCurrency(amount, QStringView(from), QStringView(to), rates);
}

std::optional<ConversionEvaluation> convertCurrency(double amount, QStringView from, QStringView to,
                                                    const CurrencyRateTable &rates)
{
    const std::optional<QString> sourceCode = canonicalCurrencyCode(from);
    if (!sourceCode)
        return std::nullopt;
    const std::optional<QString> targetCode = canonicalCurrencyCode(to);
    if (!targetCode)
        return std::nullopt;
    const std::optional<double> converted = rates.convert(amount, *sourceCode, *targetCode);
    if (!converted)
        return std::nullopt;

    return ConversionEvaluation{
        *converted,
        *targetCode,
        ZulNumberFormatter::format(*converted, 2) + u' ' + *targetCode,
        EvaluatedLineKind::currency,
    };
}

const QStringList &supportedCurrencies()
{
    static const QStringList codes = {
        QStringLiteral("TRY"), QStringLiteral("USD"), QStringLiteral("EUR"), QStringLiteral("GBP"),
        QStringLiteral("CHF"), QStringLiteral("JPY"), QStringLiteral("CAD"), QStringLiteral("AUD"),
        QStringLiteral("SEK"), QStringLiteral("NOK"), QStringLiteral("AED"), QStringLiteral("CNY"),
    };
    return codes;
}

} // namespace ConversionCatalog
