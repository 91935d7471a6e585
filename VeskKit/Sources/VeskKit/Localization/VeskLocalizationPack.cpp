#include "VeskKit/Localization/VeskLocalizationPack.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace {

bool readString(const QJsonObject &object, QLatin1StringView name, QString &out)
{
    const QJsonValue value = object.value(name);
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isString())
        return false;
    out = value.toString();
    return true;
}

bool readMap(const QJsonObject &object, QLatin1StringView name, QMap<QString, QString> &out)
{
    const QJsonValue value = object.value(name);
    if (value.isUndefined() || value.isNull())
        return true;
    if (!value.isObject())
        return false;
    const auto map = VeskLocalizationPack::flatStringsFromJson(value.toObject());
    if (!map)
        return false;
    out = *map;
    return true;
}

QJsonObject toObject(const QMap<QString, QString> &map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

} // namespace

VeskLocalizationPack::VeskLocalizationPack(QString code, QString nativeName, QString englishName,
                                           bool isRTL, QMap<QString, QString> strings,
                                           QMap<QString, QString> templates)
    : code(std::move(code)), nativeName(std::move(nativeName)),
      englishName(std::move(englishName)), isRTL(isRTL), strings(std::move(strings)),
      templates(std::move(templates))
{
}

QJsonObject VeskLocalizationPack::toJson() const
{
    return QJsonObject{
        {QStringLiteral("code"), code},
        {QStringLiteral("nativeName"), nativeName},
        {QStringLiteral("englishName"), englishName},
        {QStringLiteral("isRTL"), isRTL},
        {QStringLiteral("strings"), toObject(strings)},
        {QStringLiteral("templates"), toObject(templates)},
    };
}

std::optional<VeskLocalizationPack> VeskLocalizationPack::fromJson(const QJsonObject &object)
{
    VeskLocalizationPack pack;
    if (!readString(object, QLatin1StringView("code"), pack.code)
        || !readString(object, QLatin1StringView("nativeName"), pack.nativeName)
        || !readString(object, QLatin1StringView("englishName"), pack.englishName)
        || !readMap(object, QLatin1StringView("strings"), pack.strings)
        || !readMap(object, QLatin1StringView("templates"), pack.templates))
        return std::nullopt;
    const QJsonValue rtl = object.value(QLatin1StringView("isRTL"));
    if (rtl.isBool())
        pack.isRTL = rtl.toBool();
    else if (!rtl.isUndefined() && !rtl.isNull())
        return std::nullopt;
    return pack;
}

std::optional<QMap<QString, QString>>
VeskLocalizationPack::flatStringsFromJson(const QJsonObject &object)
{
    QMap<QString, QString> map;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        map.insert(it.key(), it.value().toString());
    }
    return map;
}

std::optional<QJsonObject> VeskLocalizationPack::parseObject(const QByteArray &json,
                                                             QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.errorString();
        return std::nullopt;
    }
    if (!document.isObject()) {
        if (error)
            *error = QStringLiteral("the top level is not a JSON object");
        return std::nullopt;
    }
    return document.object();
}
