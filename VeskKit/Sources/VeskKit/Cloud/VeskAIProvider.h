#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QJsonValue>
#include <QString>

#include <array>
#include <optional>

// The kinds of chat service the AI client can talk to. The raw value is the
// provider's id and its stored form.
enum class VeskAIProvider { ollamaLocal, openAI, quarnellCredits };

inline constexpr std::array<VeskAIProvider, 3> kVeskAIProviderAllCases = {
    VeskAIProvider::ollamaLocal, VeskAIProvider::openAI, VeskAIProvider::quarnellCredits};

QString rawValue(VeskAIProvider provider);
// Exactly the three raw values, case-sensitive.
std::optional<VeskAIProvider> VeskAIProviderFromRaw(const QString &raw);

// The stored form: the raw value as a JSON string. Anything else decodes to nothing.
QJsonValue toJson(VeskAIProvider provider);
std::optional<VeskAIProvider> VeskAIProviderFromJson(const QJsonValue &value);

// The host of the maker's account site, named in the credits provider's name.
inline const QString veskAccountSiteHost = QStringLiteral("account.quarnell.com");

// In VeskLanguage::current() at the moment of the call.
QString displayName(VeskAIProvider provider);
QString displayName(VeskAIProvider provider, VeskLanguage language);

QString defaultEndpoint(VeskAIProvider provider);
QString defaultModel(VeskAIProvider provider);
