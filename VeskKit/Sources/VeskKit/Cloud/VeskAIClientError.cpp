#include "VeskKit/Cloud/VeskAIClientError.h"

#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskReplyLimits.h"

VeskAIClientError::VeskAIClientError(Case errorCase, int code, const QString &message, const QString &domain)
    : m_case(errorCase)
    , m_code(code)
    , m_message(message)
    , m_domain(domain)
{
}

VeskAIClientError VeskAIClientError::httpError(int statusCode, const QString &message)
{
    return VeskAIClientError(Case::httpError, statusCode, message, {});
}

VeskAIClientError VeskAIClientError::invalidEndpoint()
{
    return VeskAIClientError(Case::invalidEndpoint, 0, {}, {});
}

VeskAIClientError VeskAIClientError::missingAPIKey()
{
    return VeskAIClientError(Case::missingAPIKey, 0, {}, {});
}

VeskAIClientError VeskAIClientError::unusableAPIKey()
{
    return VeskAIClientError(Case::unusableAPIKey, 0, {}, {});
}

VeskAIClientError VeskAIClientError::emptyResponse()
{
    return VeskAIClientError(Case::emptyResponse, 0, {}, {});
}

VeskAIClientError VeskAIClientError::timedOut(int milliseconds)
{
    return VeskAIClientError(Case::timedOut, milliseconds, {}, {});
}

VeskAIClientError VeskAIClientError::replyTooLarge()
{
    return VeskAIClientError(Case::replyTooLarge, 0, {}, {});
}

VeskAIClientError VeskAIClientError::platformError(const QString &domain, int code, const QString &message)
{
    return VeskAIClientError(Case::platformError, code, message, domain);
}

QString VeskAIClientError::errorDescription() const
{
    return errorDescription(VeskLanguage::current());
}

QString VeskAIClientError::errorDescription(VeskLanguage language) const
{
    switch (m_case) {
    case Case::httpError:
        return QStringLiteral("HTTP ") + QString::number(m_code) + QStringLiteral(": ") + m_message;
    case Case::invalidEndpoint:
        return veskText(QStringLiteral("Invalid AI endpoint URL."), QStringLiteral("Geçersiz AI uç noktası adresi."),
                        language);
    case Case::missingAPIKey:
        return veskText(QStringLiteral("API key or Quarnell credit token is required for this provider."),
                        QStringLiteral("Bu sağlayıcı için API anahtarı veya Quarnell kredi jetonu gereklidir."),
                        language);
    case Case::unusableAPIKey:
        return veskText(QStringLiteral("The API key or Quarnell credit token is unusable: it holds a line break or "
                                       "another control character."),
                        QStringLiteral("API anahtarı veya Quarnell kredi jetonu kullanılamaz: satır sonu ya da başka "
                                       "bir denetim karakteri içeriyor."),
                        language);
    case Case::emptyResponse:
        return veskText(QStringLiteral("Provider returned an empty response."),
                        QStringLiteral("Sağlayıcı boş yanıt döndürdü."), language);
    case Case::timedOut: {
        const QString seconds = QString::number(m_code / 1000.0);
        return veskText(QStringLiteral("The provider gave no complete answer within ") + seconds +
                            QStringLiteral(" seconds."),
                        QStringLiteral("Sağlayıcı ") + seconds + QStringLiteral(" saniye içinde tam bir yanıt vermedi."),
                        language);
    }
    case Case::replyTooLarge: {
        const QString mebibytes = QString::number(veskMaxReplyBytes / 1048576);
        return veskText(QStringLiteral("The provider's answer is larger than ") + mebibytes + QStringLiteral(" MiB."),
                        QStringLiteral("Sağlayıcının yanıtı ") + mebibytes + QStringLiteral(" MiB'tan büyük."),
                        language);
    }
    case Case::platformError:
        return m_message;
    }
    return {};
}
