#pragma once

#include "VeskKit/Cloud/VeskAIClientError.h"
#include "VeskKit/Cloud/VeskAIConfig.h"
#include "VeskKit/Utilities/VeskResult.h"

#include <QString>

#include <chrono>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QObject;

// Sends one system prompt and one user prompt to a chat service and hands
// back the answer text. Holds nothing: every call stands alone, and several
// may run at once.
class VeskAIClient
{
public:
    using Result = VeskResult<QString, VeskAIClientError>;
    using Completion = std::function<void(const Result &)>;

    // The whole request's limit, from sending to the last byte of the answer.
    static constexpr std::chrono::milliseconds requestTimeout{90'000};
    // How much of a failed reply's body the error carries, in characters.
    static constexpr int errorBodyCharacters = 300;

    VeskAIClient() = default;

    // Posts the chat request through the session. The endpoint and, for the
    // keyed services, the key are checked before anything is sent. The key,
    // trimmed of blanks and line breaks, goes into the request's
    // Authorization header only, never into a log.
    // The completion runs on the context's thread once the answer (or the
    // failure) is in, always after complete() has returned, and not at all
    // when the context is gone by then. No context: the session is the context.
    // A redirect is reported as the failed status it is; an answer that takes
    // longer than the timeout or is larger than 1 MiB is a failure too.
    void complete(const QString &systemPrompt, const QString &userPrompt, const VeskAIConfig &config,
                  const std::optional<QString> &apiKey, QNetworkAccessManager &session, QObject *context,
                  Completion completion, std::chrono::milliseconds timeout = requestTimeout) const;
};
