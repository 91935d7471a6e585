#include "VeskKit/Cloud/VeskAIClient.h"

#include "VeskKit/Cloud/VeskHeaderText.h"
#include "VeskKit/Cloud/VeskServerText.h"
#include "VeskKit/Utilities/VeskReplyLimits.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStringDecoder>
#include <QUrl>

namespace {

using Result = VeskAIClient::Result;

// Only an absolute web address can take a chat request; anything else
// (a bare word, a file or another scheme) would send the key nowhere useful.
std::optional<QUrl> endpointUrl(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    return url;
}

// The key as it goes into the Authorization header. A key pasted from
// elsewhere often brings a line break along, so blanks and line breaks
// around it are dropped; one left inside would let the key's text write
// further request headers, and refuses the key.
using KeyCheck = VeskResult<QString, VeskAIClientError>;
KeyCheck usableKey(const std::optional<QString> &key)
{
    const QString trimmed = key ? key->trimmed() : QString();
    if (trimmed.isEmpty())
        return KeyCheck::failure(VeskAIClientError::missingAPIKey());
    if (!veskFitsHeaderLine(trimmed))
        return KeyCheck::failure(VeskAIClientError::unusableAPIKey());
    return KeyCheck::success(trimmed);
}

QByteArray requestBody(const QString &systemPrompt, const QString &userPrompt, const VeskAIConfig &config)
{
    QJsonObject body{
        {QStringLiteral("model"), config.model},
        {QStringLiteral("messages"),
         QJsonArray{
             QJsonObject{{QStringLiteral("role"), QStringLiteral("system")}, {QStringLiteral("content"), systemPrompt}},
             QJsonObject{{QStringLiteral("role"), QStringLiteral("user")}, {QStringLiteral("content"), userPrompt}},
         }},
    };
    if (config.provider == VeskAIProvider::ollamaLocal)
        body.insert(QStringLiteral("stream"), false);
    return QJsonDocument(body).toJson(QJsonDocument::Compact);
}

// The body as text for an error message; a body that is not UTF-8 says nothing.
QString bodyText(const QByteArray &body)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(body);
    return decoder.hasError() ? QString() : text;
}

std::optional<QString> stringAt(const QJsonObject &object, QLatin1String key)
{
    const QJsonValue value = object.value(key);
    if (!value.isString())
        return std::nullopt;
    return value.toString();
}

// The answer from the three reply shapes the services use: an OpenAI-style
// first choice, a local server's top-level message, or a bare "response".
std::optional<QString> answerIn(const QJsonObject &reply)
{
    const QJsonValue choices = reply.value(QLatin1String("choices"));
    if (choices.isArray()) {
        const QJsonArray list = choices.toArray();
        bool allObjects = !list.isEmpty();
        for (const QJsonValue &choice : list)
            allObjects = allObjects && choice.isObject();
        if (allObjects) {
            const QJsonValue message = list.first().toObject().value(QLatin1String("message"));
            if (message.isObject()) {
                if (std::optional<QString> content = stringAt(message.toObject(), QLatin1String("content")))
                    return content;
            }
        }
    }
    const QJsonValue message = reply.value(QLatin1String("message"));
    if (message.isObject()) {
        if (std::optional<QString> content = stringAt(message.toObject(), QLatin1String("content")))
            return content;
    }
    return stringAt(reply, QLatin1String("response"));
}

Result resultOf(QNetworkReply *reply, VeskReplyCut cut, std::chrono::milliseconds timeout)
{
    if (cut == VeskReplyCut::deadline)
        return Result::failure(VeskAIClientError::timedOut(int(timeout.count())));
    if (cut == VeskReplyCut::tooLarge)
        return Result::failure(VeskAIClientError::replyTooLarge());
    // Qt files a failed status under an error of its own whose kind varies
    // (400 and 418 count as a protocol error), so the status decides: any
    // answer of 400 or more carries the server's text.
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int statusCode = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    if (error != QNetworkReply::NoError && statusCode < 400)
        return Result::failure(
            VeskAIClientError::platformError(QStringLiteral("QNetworkReply"), int(error), reply->errorString()));
    if (!status.isValid())
        return Result::failure(VeskAIClientError::emptyResponse());
    const QByteArray body = reply->readAll();
    if (statusCode < 200 || statusCode > 299)
        return Result::failure(VeskAIClientError::httpError(
            statusCode, veskShownServerText(bodyText(body), VeskAIClient::errorBodyCharacters)));

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Result::failure(VeskAIClientError::platformError(QStringLiteral("QJsonParseError"),
                                                                int(parseError.error), parseError.errorString()));
    if (!document.isObject())
        return Result::failure(VeskAIClientError::emptyResponse());
    const std::optional<QString> answer = answerIn(document.object());
    if (!answer)
        return Result::failure(VeskAIClientError::emptyResponse());
    return Result::success(answer->trimmed());
}

void reportLater(QObject *context, const VeskAIClient::Completion &completion, const Result &result)
{
    QMetaObject::invokeMethod(context, [completion, result] { completion(result); }, Qt::QueuedConnection);
}

} // namespace

void VeskAIClient::complete(const QString &systemPrompt, const QString &userPrompt, const VeskAIConfig &config,
                            const std::optional<QString> &apiKey, QNetworkAccessManager &session, QObject *context,
                            Completion completion, std::chrono::milliseconds timeout) const
{
    if (!completion)
        return;
    QObject *receiver = context ? context : &session;

    const std::optional<QUrl> endpoint = endpointUrl(config.endpointURL);
    if (!endpoint) {
        reportLater(receiver, completion, Result::failure(VeskAIClientError::invalidEndpoint()));
        return;
    }
    const bool keyed = config.provider != VeskAIProvider::ollamaLocal;
    const KeyCheck key = usableKey(apiKey);
    if (keyed && !key.ok()) {
        reportLater(receiver, completion, Result::failure(key.error()));
        return;
    }

    QNetworkRequest request(*endpoint);
    // A redirect is answered as the failed status it is, never followed: the
    // key and the prompts go to the address the user gave and nowhere else.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    // The local server never sees a key, even when one is passed.
    if (keyed)
        request.setRawHeader(QByteArrayLiteral("Authorization"), QByteArrayLiteral("Bearer ") + key.value().toUtf8());

    QNetworkReply *reply = session.post(request, requestBody(systemPrompt, userPrompt, config));
    const std::shared_ptr<const VeskReplyCut> cut = veskLimitReply(reply, timeout);
    // The result is read on the reply's own thread before the reply goes;
    // only the finished result travels to the context.
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, cut, timeout, target = QPointer<QObject>(receiver), completion = std::move(completion)] {
                         const Result result = resultOf(reply, *cut, timeout);
                         reply->deleteLater();
                         if (target)
                             reportLater(target, completion, result);
                     });
}
