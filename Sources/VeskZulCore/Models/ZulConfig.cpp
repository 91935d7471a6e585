#include "Models/ZulConfig.h"

#include <algorithm>
#include <cmath>

namespace {

bool isAbsent(const QJsonValue &v)
{
    return v.isUndefined() || v.isNull();
}

} // namespace

ZulConfig::ZulConfig(bool edgeDrawerEnabled, ZulEdgeSide edgeSide, qint64 autoTidyEphemeralHours,
                     const QString &defaultCurrency, double fontSize, bool showLineNumbers,
                     bool showCalculationGutter)
    : edgeDrawerEnabled(edgeDrawerEnabled), edgeSide(edgeSide),
      autoTidyEphemeralHours(autoTidyEphemeralHours), defaultCurrency(defaultCurrency),
      fontSize(fontSize), showLineNumbers(showLineNumbers),
      showCalculationGutter(showCalculationGutter)
{
}

QJsonObject ZulConfig::toJson() const
{
    QJsonObject object;
    object.insert(QStringLiteral("edgeDrawerEnabled"), edgeDrawerEnabled);
    object.insert(QStringLiteral("edgeSide"), rawValue(edgeSide));
    object.insert(QStringLiteral("autoTidyEphemeralHours"), autoTidyEphemeralHours);
    object.insert(QStringLiteral("defaultCurrency"), defaultCurrency);
    object.insert(QStringLiteral("fontSize"), fontSize);
    object.insert(QStringLiteral("showLineNumbers"), showLineNumbers);
    object.insert(QStringLiteral("showCalculationGutter"), showCalculationGutter);
    return object;
}

ZulResult<ZulConfig> ZulConfig::fromJson(const QJsonValue &value)
{
    const auto fail = [](const QString &why) { return ZulResult<ZulConfig>::failure(why); };
    if (!value.isObject())
        return fail(QStringLiteral("the settings are not a JSON object"));
    const QJsonObject object = value.toObject();
    ZulConfig config;

    const auto readBool = [&](const QString &key, bool &field) {
        const QJsonValue v = object.value(key);
        if (isAbsent(v))
            return true;
        if (!v.isBool())
            return false;
        field = v.toBool();
        return true;
    };
    for (const auto &[key, field] :
         {std::pair<QString, bool *>{QStringLiteral("edgeDrawerEnabled"), &config.edgeDrawerEnabled},
          {QStringLiteral("showLineNumbers"), &config.showLineNumbers},
          {QStringLiteral("showCalculationGutter"), &config.showCalculationGutter}}) {
        if (!readBool(key, *field))
            return fail(QStringLiteral("key \"%1\" is not a boolean").arg(key));
    }

    const QJsonValue side = object.value(QStringLiteral("edgeSide"));
    if (!isAbsent(side)) {
        if (!side.isString())
            return fail(QStringLiteral("key \"edgeSide\" is not a string"));
        const std::optional<ZulEdgeSide> parsed = ZulEdgeSideFromRaw(side.toString());
        if (!parsed)
            return fail(QStringLiteral("key \"edgeSide\" has an unknown value \"%1\"")
                            .arg(side.toString()));
        config.edgeSide = *parsed;
    }

    const QJsonValue hours = object.value(QStringLiteral("autoTidyEphemeralHours"));
    if (!isAbsent(hours)) {
        // JSON has one number type; only a whole number that fits 64 bits is an integer.
        const qint64 whole = hours.toInteger(0);
        if (!hours.isDouble() || (whole == 0 && hours.toDouble() != 0))
            return fail(QStringLiteral("key \"autoTidyEphemeralHours\" is not a whole number"));
        config.autoTidyEphemeralHours = whole;
    }

    const QJsonValue currency = object.value(QStringLiteral("defaultCurrency"));
    if (!isAbsent(currency)) {
        if (!currency.isString())
            return fail(QStringLiteral("key \"defaultCurrency\" is not a string"));
        config.defaultCurrency = currency.toString();
    }

    const QJsonValue size = object.value(QStringLiteral("fontSize"));
    if (!isAbsent(size)) {
        if (!size.isDouble())
            return fail(QStringLiteral("key \"fontSize\" is not a number"));
        config.fontSize = size.toDouble();
    }
    return ZulResult<ZulConfig>::success(config);
}

ZulConfig ZulConfig::normalized() const
{
    ZulConfig config = *this;
    config.fontSize = std::isnan(fontSize) ? ZulConfig().fontSize
                                           : std::clamp(fontSize, minimumFontSize, maximumFontSize);
    config.autoTidyEphemeralHours = std::clamp<qint64>(autoTidyEphemeralHours, 0, maximumAutoTidyEphemeralHours);
    return config;
}
