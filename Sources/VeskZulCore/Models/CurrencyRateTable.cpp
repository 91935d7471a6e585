#include "Models/CurrencyRateTable.h"

#include "Models/ZulIsoDate.h"

#include <cmath>

namespace {

bool isUsableRate(double rate)
{
    return std::isfinite(rate) && rate > 0;
}

QString failure(const QString &what)
{
    return QStringLiteral("CurrencyRateTable: ") + what;
}

} // namespace

const CurrencyRateTable &CurrencyRateTable::offlineDefaults()
{
    static const CurrencyRateTable table{
        QHash<QString, double>{
            {QStringLiteral("USD"), 1},    {QStringLiteral("EUR"), 0.92}, {QStringLiteral("TRY"), 38},
            {QStringLiteral("GBP"), 0.79}, {QStringLiteral("CHF"), 0.88}, {QStringLiteral("BRL"), 5.75},
            {QStringLiteral("JPY"), 152},  {QStringLiteral("CAD"), 1.38}, {QStringLiteral("AUD"), 1.54},
            {QStringLiteral("SEK"), 10.6}, {QStringLiteral("NOK"), 10.9}, {QStringLiteral("DKK"), 6.86},
            {QStringLiteral("PLN"), 3.98}, {QStringLiteral("CNY"), 7.25}, {QStringLiteral("INR"), 84.5},
            {QStringLiteral("AED"), 3.67}, {QStringLiteral("SAR"), 3.75}, {QStringLiteral("KRW"), 1390},
        },
        std::nullopt,
        false,
    };
    return table;
}

std::optional<double> CurrencyRateTable::convert(double amount, const QString &from, const QString &to) const
{
    const auto source = ratesPerUSD.constFind(from.toUpper());
    if (source == ratesPerUSD.cend())
        return std::nullopt;
    const auto target = ratesPerUSD.constFind(to.toUpper());
    if (target == ratesPerUSD.cend())
        return std::nullopt;
    // A zero or broken target rate would silently turn any amount into 0 (or
    // NaN); a conversion that cannot be made honestly is no conversion.
    if (!isUsableRate(*source) || !isUsableRate(*target))
        return std::nullopt;
    const double result = amount / *source * *target;
    if (!std::isfinite(result))
        return std::nullopt;
    return result;
}

QJsonObject CurrencyRateTable::toJson() const
{
    QJsonObject rates;
    for (auto it = ratesPerUSD.cbegin(); it != ratesPerUSD.cend(); ++it) {
        if (std::isfinite(it.value()))
            rates.insert(it.key(), it.value());
    }
    QJsonObject object;
    object.insert(QLatin1String("ratesPerUSD"), rates);
    // A date the file's form cannot hold is left out, as if never fetched,
    // rather than written in a form the reader would refuse.
    if (updatedAt && ZulIsoDate::isEncodable(*updatedAt))
        object.insert(QLatin1String("updatedAt"), ZulIsoDate::format(*updatedAt));
    object.insert(QLatin1String("isLive"), isLive);
    return object;
}

ZulResult<CurrencyRateTable> CurrencyRateTable::fromJson(const QJsonValue &json)
{
    using Result = ZulResult<CurrencyRateTable>;
    if (!json.isObject())
        return Result::failure(failure(QStringLiteral("not a JSON object")));
    const QJsonObject object = json.toObject();
    CurrencyRateTable table;

    const QJsonValue rates = object.value(QLatin1String("ratesPerUSD"));
    if (rates.isUndefined() || rates.isNull())
        return Result::failure(failure(QStringLiteral("required key \"ratesPerUSD\" is missing")));
    if (!rates.isObject())
        return Result::failure(failure(QStringLiteral("\"ratesPerUSD\" is not an object")));
    const QJsonObject rateObject = rates.toObject();
    for (auto it = rateObject.constBegin(); it != rateObject.constEnd(); ++it) {
        if (!it.value().isDouble())
            return Result::failure(failure(QStringLiteral("rate of \"%1\" is not a number").arg(it.key())));
        table.ratesPerUSD.insert(it.key(), it.value().toDouble());
    }

    const QJsonValue updatedAt = object.value(QLatin1String("updatedAt"));
    if (!updatedAt.isUndefined() && !updatedAt.isNull()) {
        if (!updatedAt.isString())
            return Result::failure(failure(QStringLiteral("\"updatedAt\" is not a string")));
        table.updatedAt = ZulIsoDate::parse(updatedAt.toString());
        if (!table.updatedAt)
            return Result::failure(failure(QStringLiteral("\"updatedAt\" is not an ISO 8601 UTC date: %1")
                                               .arg(updatedAt.toString())));
    }

    const QJsonValue isLive = object.value(QLatin1String("isLive"));
    if (isLive.isUndefined() || isLive.isNull())
        return Result::failure(failure(QStringLiteral("required key \"isLive\" is missing")));
    if (!isLive.isBool())
        return Result::failure(failure(QStringLiteral("\"isLive\" is not a boolean")));
    table.isLive = isLive.toBool();

    return Result::success(table);
}
