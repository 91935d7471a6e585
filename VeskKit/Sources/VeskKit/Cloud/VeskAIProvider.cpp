#include "VeskKit/Cloud/VeskAIProvider.h"

#include "VeskKit/Localization/VeskText.h"

QString rawValue(VeskAIProvider provider)
{
    switch (provider) {
    case VeskAIProvider::ollamaLocal: return QStringLiteral("ollamaLocal");
    case VeskAIProvider::openAI: return QStringLiteral("openAI");
    case VeskAIProvider::quarnellCredits: return QStringLiteral("quarnellCredits");
    }
    return {};
}

std::optional<VeskAIProvider> VeskAIProviderFromRaw(const QString &raw)
{
    for (VeskAIProvider provider : kVeskAIProviderAllCases) {
        if (rawValue(provider) == raw)
            return provider;
    }
    return std::nullopt;
}

QJsonValue toJson(VeskAIProvider provider)
{
    return rawValue(provider);
}

std::optional<VeskAIProvider> VeskAIProviderFromJson(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return VeskAIProviderFromRaw(value.toString());
}

QString displayName(VeskAIProvider provider)
{
    return displayName(provider, VeskLanguage::current());
}

QString displayName(VeskAIProvider provider, VeskLanguage language)
{
    switch (provider) {
    case VeskAIProvider::ollamaLocal:
        return veskText(QStringLiteral("Local Ollama (100% Offline)"), QStringLiteral("Yerel Ollama (%100 Çevrimdışı)"),
                        language);
    case VeskAIProvider::openAI:
        return veskText(QStringLiteral("OpenAI-Compatible (BYO Key)"), QStringLiteral("OpenAI Uyumlu (Kendi Anahtarın)"),
                        language);
    case VeskAIProvider::quarnellCredits:
        return veskText(QStringLiteral("Quarnell Credits (") + veskAccountSiteHost + QLatin1Char(')'),
                        QStringLiteral("Quarnell Kredisi (") + veskAccountSiteHost + QLatin1Char(')'), language);
    }
    return {};
}

QString defaultEndpoint(VeskAIProvider provider)
{
    switch (provider) {
    case VeskAIProvider::ollamaLocal: return QStringLiteral("http://127.0.0.1:11434/api/chat");
    case VeskAIProvider::openAI: return QStringLiteral("https://api.openai.com/v1/chat/completions");
    case VeskAIProvider::quarnellCredits: return QStringLiteral("https://api.quarnell.com/v1/ai/chat");
    }
    return {};
}

QString defaultModel(VeskAIProvider provider)
{
    switch (provider) {
    case VeskAIProvider::ollamaLocal: return QStringLiteral("llama3.2");
    case VeskAIProvider::openAI: return QStringLiteral("gpt-4o-mini");
    case VeskAIProvider::quarnellCredits: return QStringLiteral("quarnell-doc-fast");
    }
    return {};
}
