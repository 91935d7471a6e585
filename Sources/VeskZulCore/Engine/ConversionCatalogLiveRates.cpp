#include "Engine/ConversionCatalog.h"

#include "VeskKit/Utilities/VeskReplyLimits.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>

namespace {

using Result = ZulResult<CurrencyRateTable>;

QString failure(const QString &what)
{
    return QStringLiteral("live rates: ") + what;
}

// The one part of the reply we read: "rates", an object of numbers. Any other
// key is ignored; a missing "rates" or a value of another type fails it all.
ZulResult<QJsonObject> decodeFrankfurterPayload(const QByteArray &body)
{
    using Payload = ZulResult<QJsonObject>;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return Payload::failure(failure(QStringLiteral("reply is not JSON: ") + parseError.errorString()));
    if (!document.isObject())
        return Payload::failure(failure(QStringLiteral("reply is not a JSON object")));
    const QJsonValue rates = document.object().value(QLatin1String("rates"));
    if (rates.isUndefined())
        return Payload::failure(failure(QStringLiteral("reply has no \"rates\"")));
    if (!rates.isObject())
        return Payload::failure(failure(QStringLiteral("\"rates\" is not an object")));
    const QJsonObject object = rates.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isDouble())
            return Payload::failure(failure(QStringLiteral("rate of \"%1\" is not a number").arg(it.key())));
    }
    return Payload::success(object);
}

// Three ASCII letters, in either case.
bool isCurrencyCode(const QString &code)
{
    return code.size() == 3 && std::all_of(code.cbegin(), code.cend(), [](QChar c) {
               return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
           });
}

// A reply none of whose rates can be used says nothing live: taking it for a
// fresh table would pass the built-in rates off as today's.
Result mergedOverOfflineRates(const QJsonObject &rates)
{
    const QString usd = QStringLiteral("USD");
    CurrencyRateTable table = CurrencyRateTable::offlineDefaults();
    table.ratesPerUSD.insert(usd, 1.0);
    qsizetype used = 0;
    for (auto it = rates.constBegin(); it != rates.constEnd(); ++it) {
        const double rate = it.value().toDouble();
        // Zero, negative and unusable rates keep the offline rate, and a key
        // that is no currency code is no currency. The table counts units
        // per dollar, so the dollar itself stays at exactly 1 whatever a
        // reply claims for it.
        if (!(rate > 0) || !std::isfinite(rate) || !isCurrencyCode(it.key()))
            continue;
        const QString code = it.key().toUpper();
        if (code == usd)
            continue;
        table.ratesPerUSD.insert(code, rate);
        ++used;
    }
    if (used == 0)
        return Result::failure(failure(QStringLiteral("reply holds no usable rate")));
    // Whole seconds: the rates file keeps no finer time, so a saved and
    // reloaded table equals the fetched one.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    table.updatedAt = now.addMSecs(-now.time().msec());
    table.isLive = true;
    return Result::success(std::move(table));
}

Result resultOf(QNetworkReply *reply, VeskReplyCut cut, std::chrono::milliseconds timeout)
{
    if (cut == VeskReplyCut::deadline)
        return Result::failure(failure(QStringLiteral("no answer within %1 ms").arg(timeout.count())));
    if (cut == VeskReplyCut::tooLarge)
        return Result::failure(failure(QStringLiteral("reply larger than %1 bytes").arg(veskMaxReplyBytes)));
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        if (code < 200 || code > 299)
            return Result::failure(failure(QStringLiteral("HTTP status %1").arg(code)));
    }
    if (reply->error() != QNetworkReply::NoError)
        return Result::failure(failure(reply->errorString()));
    if (!status.isValid())
        return Result::failure(failure(QStringLiteral("not an HTTP reply")));
    return ConversionCatalog::liveRatesFromReply(reply->readAll());
}

// The handler always runs from the event loop, never inside the call that
// started the fetch, so callers need no re-entrancy guard.
void reportLater(QObject *receiver, const ConversionCatalog::LiveRatesHandler &handler, Result result)
{
    QMetaObject::invokeMethod(
        receiver, [handler, result = std::move(result)]() mutable { handler(std::move(result)); },
        Qt::QueuedConnection);
}

} // namespace

namespace ConversionCatalog {

ZulResult<CurrencyRateTable> liveRatesFromReply(const QByteArray &body)
{
    const ZulResult<QJsonObject> payload = decodeFrankfurterPayload(body);
    if (!payload.ok())
        return Result::failure(payload.error());
    return mergedOverOfflineRates(payload.value());
}

QUrl liveRatesServiceUrl()
{
    return QUrl(QStringLiteral("https://api.frankfurter.dev"));
}

void fetchLiveRates(QNetworkAccessManager &session, QObject *receiver, LiveRatesHandler handler,
                    const QUrl &serviceUrl, std::chrono::milliseconds timeout)
{
    if (!receiver || !handler)
        return;

    QUrl url = serviceUrl;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    url.setPath(path + QStringLiteral("/v1/latest"));
    url.setQuery(QStringLiteral("base=USD"));
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("https") && scheme != QLatin1String("http"))) {
        reportLater(receiver, handler, Result::failure(failure(QStringLiteral("invalid address ") + url.toString())));
        return;
    }

    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // The service may move its own paths, but the fetch never goes to
    // another host because an answer names one.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    QNetworkReply *reply = session.get(request);
    const std::shared_ptr<const VeskReplyCut> cut = veskLimitReply(reply, timeout);

    // The result is taken from the reply on the reply's own thread, before
    // the reply is released; only the finished result travels to the
    // receiver. Slots run in the order they were connected.
    auto result = std::make_shared<std::optional<Result>>();
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, cut, result, timeout] {
        result->emplace(resultOf(reply, *cut, timeout));
    });
    QObject::connect(reply, &QNetworkReply::finished, receiver, [result, handler = std::move(handler)] {
        handler(std::move(**result));
    });
    QObject::connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
}

} // namespace ConversionCatalog
