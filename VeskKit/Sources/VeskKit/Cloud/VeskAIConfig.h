#pragma once

#include "VeskKit/Cloud/VeskAIProvider.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <optional>

// Which chat service to ask and with which model; an application may store
// it. The key is never part of it: it is passed on each call.
struct VeskAIConfig {
    VeskAIProvider provider;
    QString endpointURL;
    QString model;

    // A missing endpoint or model takes the provider's default; a given
    // empty text stays empty.
    explicit VeskAIConfig(VeskAIProvider provider, const std::optional<QString> &endpointURL = std::nullopt,
                          const std::optional<QString> &model = std::nullopt);

    // All three keys, always: "provider" (the raw value), "endpointURL", "model".
    QJsonObject toJson() const;
    QByteArray toJsonText() const;
    // Needs all three keys as strings and a known provider; no defaults are
    // filled in, so a stored configuration reads back exactly as written.
    static std::optional<VeskAIConfig> fromJson(const QJsonObject &object);
    static std::optional<VeskAIConfig> fromJsonText(const QByteArray &text);

    bool operator==(const VeskAIConfig &) const = default;
};
