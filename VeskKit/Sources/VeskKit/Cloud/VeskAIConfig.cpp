#include "VeskKit/Cloud/VeskAIConfig.h"

#include <QJsonDocument>
#include <QJsonParseError>

VeskAIConfig::VeskAIConfig(VeskAIProvider provider, const std::optional<QString> &endpointURL,
                           const std::optional<QString> &model)
    : provider(provider)
    , endpointURL(endpointURL.value_or(defaultEndpoint(provider)))
    , model(model.value_or(defaultModel(provider)))
{
}

QJsonObject VeskAIConfig::toJson() const
{
    return {
        {QStringLiteral("provider"), ::toJson(provider)},
        {QStringLiteral("endpointURL"), endpointURL},
        {QStringLiteral("model"), model},
    };
}

QByteArray VeskAIConfig::toJsonText() const
{
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}

std::optional<VeskAIConfig> VeskAIConfig::fromJson(const QJsonObject &object)
{
    const std::optional<VeskAIProvider> provider = VeskAIProviderFromJson(object.value(QLatin1String("provider")));
    const QJsonValue endpoint = object.value(QLatin1String("endpointURL"));
    const QJsonValue model = object.value(QLatin1String("model"));
    if (!provider || !endpoint.isString() || !model.isString())
        return std::nullopt;
    return VeskAIConfig(*provider, endpoint.toString(), model.toString());
}

std::optional<VeskAIConfig> VeskAIConfig::fromJsonText(const QByteArray &text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return fromJson(document.object());
}
