#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>

// Why a chat request gave no answer. The description is worded when it is
// read, in the interface language of that moment; a server's text and the
// platform's own error messages pass through as they came.
class VeskAIClientError
{
public:
    enum class Case {
        httpError,
        invalidEndpoint,
        missingAPIKey,
        // A key was given but holds a control character even after trimming.
        unusableAPIKey,
        emptyResponse,
        // No complete answer within the request's time limit.
        timedOut,
        // The answer was larger than a reply may be.
        replyTooLarge,
        // The network or the JSON reader failed; domain, code and message
        // are theirs, unchanged.
        platformError,
    };

    static VeskAIClientError httpError(int statusCode, const QString &message);
    static VeskAIClientError invalidEndpoint();
    static VeskAIClientError missingAPIKey();
    static VeskAIClientError unusableAPIKey();
    static VeskAIClientError emptyResponse();
    static VeskAIClientError timedOut(int milliseconds);
    static VeskAIClientError replyTooLarge();
    static VeskAIClientError platformError(const QString &domain, int code, const QString &message);

    Case errorCase() const { return m_case; }
    // The HTTP status of httpError, the platform's code of platformError, the
    // time limit in milliseconds of timedOut.
    int code() const { return m_code; }
    // The start of the reply body of httpError, the platform's message of platformError.
    const QString &message() const { return m_message; }
    // The platform error's domain, such as "QNetworkReply".
    const QString &domain() const { return m_domain; }

    // In VeskLanguage::current().
    QString errorDescription() const;
    QString errorDescription(VeskLanguage language) const;

    bool operator==(const VeskAIClientError &) const = default;

private:
    VeskAIClientError(Case errorCase, int code, const QString &message, const QString &domain);

    Case m_case;
    int m_code;
    QString m_message;
    QString m_domain;
};
