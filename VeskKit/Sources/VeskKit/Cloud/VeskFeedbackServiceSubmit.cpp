#include "VeskKit/Cloud/VeskFeedbackService.h"

#include "VeskKit/Cloud/VeskHeaderText.h"
#include "VeskKit/Cloud/VeskServerText.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskReplyLimits.h"

#include <QBuffer>
#include <QClipboard>
#include <QDateTime>
#include <QGuiApplication>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTextBoundaryFinder>
#include <QTimer>

#include <cmath>
#include <limits>

namespace {

// Lengths the user would count: one per grapheme cluster.
int perceivedLength(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

QString cleanedFileName(QString name)
{
    name.remove(u'"');
    name.remove(u'\r');
    name.remove(u'\n');
    return name;
}

std::optional<QByteArray> pngOf(const QImage &image)
{
    if (image.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG") || bytes.isEmpty())
        return std::nullopt;
    return bytes;
}

// An integral JSON number within int's range; booleans and fractions are not counts.
std::optional<int> integerValue(const QJsonValue &value)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (std::trunc(number) != number || number < std::numeric_limits<int>::min() ||
        number > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number);
}

VeskFeedbackService::Result receiptFromReply(const QByteArray &body, int screenshotCount, VeskLanguage language)
{
    VeskFeedbackReceipt receipt{QStringLiteral("VESK-FB-OK"), screenshotCount,
                                veskText(QStringLiteral("Thank you! Your feedback has been received."),
                                         QStringLiteral("Teşekkürler! Geri bildiriminiz bize ulaştı."), language)};
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject()) {
        const QJsonObject object = document.object();
        if (object.value(QStringLiteral("reference_code")).isString())
            receipt.referenceCode = veskShownServerText(object.value(QStringLiteral("reference_code")).toString());
        if (const std::optional<int> count = integerValue(object.value(QStringLiteral("attachments_count"))))
            receipt.attachmentsCount = *count;
        if (object.value(QStringLiteral("message")).isString())
            receipt.message = veskShownServerText(object.value(QStringLiteral("message")).toString());
    }
    return VeskFeedbackService::Result::success(receipt);
}

VeskFeedbackService::Result rejection(const QByteArray &body, int status)
{
    const QJsonDocument document = QJsonDocument::fromJson(body);
    if (document.isObject()) {
        const QJsonValue message = document.object().value(QStringLiteral("message"));
        if (message.isString() && !message.toString().isEmpty())
            return VeskFeedbackService::Result::failure(
                VeskFeedbackError::serverRejected(veskShownServerText(message.toString())));
    }
    return VeskFeedbackService::Result::failure(
        VeskFeedbackError::serverRejected(QStringLiteral("HTTP ") + QString::number(status)));
}

// Why no HTTP answer came, for the network failure's text.
QString failureDetail(QNetworkReply *reply, VeskReplyCut cut, std::chrono::milliseconds timeout,
                      VeskLanguage language)
{
    switch (cut) {
    case VeskReplyCut::deadline: {
        const QString seconds = QString::number(timeout.count() / 1000.0);
        return veskText(QStringLiteral("no complete answer within ") + seconds + QStringLiteral(" seconds"),
                        seconds + QStringLiteral(" saniye içinde tam bir yanıt gelmedi"), language);
    }
    case VeskReplyCut::tooLarge: {
        const QString mebibytes = QString::number(veskMaxReplyBytes / 1048576);
        return veskText(QStringLiteral("the answer is larger than ") + mebibytes + QStringLiteral(" MiB"),
                        QStringLiteral("yanıt ") + mebibytes + QStringLiteral(" MiB'tan büyük"), language);
    }
    case VeskReplyCut::none:
        break;
    }
    return reply->error() != QNetworkReply::NoError ? reply->errorString() : QStringLiteral("Invalid HTTP response");
}

std::optional<VeskFeedbackError> validationError(const QString &email, const QString &message,
                                                 const QList<VeskFeedbackScreenshot> &screenshots)
{
    const QString trimmedEmail = email.trimmed();
    if (!trimmedEmail.contains(u'@') || !trimmedEmail.contains(u'.') || perceivedLength(trimmedEmail) < 5)
        return VeskFeedbackError::invalidEmail();
    if (perceivedLength(message.trimmed()) < 10)
        return VeskFeedbackError::messageTooShort();
    if (screenshots.size() > VeskFeedbackService::maxScreenshots)
        return VeskFeedbackError::tooManyScreenshots(VeskFeedbackService::maxScreenshots);
    for (const VeskFeedbackScreenshot &screenshot : screenshots) {
        if (screenshot.data.size() > VeskFeedbackService::maxScreenshotBytes)
            return VeskFeedbackError::screenshotTooLarge(int(VeskFeedbackService::maxScreenshotBytes / 1048576));
    }
    return std::nullopt;
}

// Every text that lands in a header line: the application name in the
// User-Agent, each part's name and each attachment's type. File names need
// no check here, as the encoder strips their line breaks.
bool fitsHeaderLines(const QString &appName, const QList<std::pair<QString, QString>> &fields,
                     const QList<VeskFeedbackScreenshot> &screenshots)
{
    if (!veskFitsHeaderLine(appName))
        return false;
    for (const auto &field : fields) {
        if (!veskFitsHeaderLine(field.first))
            return false;
    }
    for (const VeskFeedbackScreenshot &screenshot : screenshots) {
        if (!veskFitsHeaderLine(screenshot.mimeType))
            return false;
    }
    return true;
}

} // namespace

namespace VeskFeedbackService {

std::optional<VeskFeedbackScreenshot> readScreenshotFromPasteboard()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return std::nullopt;
    std::optional<QByteArray> png;
    const QByteArray direct = mime->data(QStringLiteral("image/png"));
    if (!direct.isEmpty())
        png = direct;
    else if (mime->hasImage())
        png = pngOf(qvariant_cast<QImage>(mime->imageData()));
    if (!png)
        return std::nullopt;
    const qint64 seconds = QDateTime::currentSecsSinceEpoch();
    return VeskFeedbackScreenshot{QUuid::createUuid(),
                                  QStringLiteral("clipboard-") + QString::number(seconds) + QStringLiteral(".png"),
                                  QStringLiteral("image/png"), *png};
}

QByteArray buildMultipartBody(const QString &boundary, const QList<std::pair<QString, QString>> &fields,
                              const QList<VeskFeedbackScreenshot> &screenshots)
{
    const QByteArray crlf("\r\n");
    const QByteArray delimiter = "--" + boundary.toUtf8() + crlf;
    QByteArray body;
    for (const auto &[name, value] : fields) {
        if (value.isEmpty())
            continue;
        body += delimiter;
        body += "Content-Disposition: form-data; name=\"" + name.toUtf8() + "\"" + crlf + crlf;
        body += value.toUtf8() + crlf;
    }
    for (const VeskFeedbackScreenshot &screenshot : screenshots) {
        body += delimiter;
        body += "Content-Disposition: form-data; name=\"screenshots[]\"; filename=\"" +
                cleanedFileName(screenshot.filename).toUtf8() + "\"" + crlf;
        body += "Content-Type: " + screenshot.mimeType.toUtf8() + crlf + crlf;
        body += screenshot.data;
        body += crlf;
    }
    body += "--" + boundary.toUtf8() + "--" + crlf;
    return body;
}

void submit(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind, const QString &email,
            const QString &senderName, const QString &subject, const QString &message,
            const QList<VeskFeedbackScreenshot> &screenshots, VeskLanguage language,
            const std::optional<QString> &baseURL, QNetworkAccessManager &session, QObject *context,
            std::function<void(const Result &)> completion, std::chrono::milliseconds timeout)
{
    // Every outcome arrives later, on the context's thread, so a caller never
    // sees its completion run inside its own call.
    auto deliver = [context, completion](const Result &result) {
        QTimer::singleShot(0, context, [completion, result] { completion(result); });
    };

    if (const std::optional<VeskFeedbackError> error = validationError(email, message, screenshots)) {
        deliver(Result::failure(*error));
        return;
    }
    const QUrl endpoint(resolvedBaseURL(baseURL) + QStringLiteral("/api/v1/feedback"), QUrl::StrictMode);
    if (!isWebAddress(endpoint)) {
        deliver(Result::failure(VeskFeedbackError::invalidEndpoint()));
        return;
    }

    const QString boundary = QStringLiteral("VeskFeedback-") + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QString trimmedSubject = subject.trimmed();
    if (perceivedLength(trimmedSubject) < 3)
        trimmedSubject = appName + QStringLiteral(" — ") + title(kind, language);
    const QList<std::pair<QString, QString>> fields = {
        {QStringLiteral("type"), rawValue(kind)},
        {QStringLiteral("program_slug"),
         kind == VeskFeedbackKind::newApp ? QStringLiteral("new_app") : normalizedAppSlug(appName)},
        {QStringLiteral("program_name"), appName},
        {QStringLiteral("email"), email.trimmed()},
        {QStringLiteral("sender_name"), senderName.trimmed()},
        {QStringLiteral("subject"), trimmedSubject},
        {QStringLiteral("message"), message.trimmed()},
        {QStringLiteral("app_version"), version.shortVersion},
        {QStringLiteral("os_info"), currentOSDescription()},
        {QStringLiteral("locale"), language.rawValue()},
        {QStringLiteral("source"), QStringLiteral("desktop_app")},
    };
    if (!fitsHeaderLines(appName, fields, screenshots)) {
        deliver(Result::failure(VeskFeedbackError::invalidHeaderText()));
        return;
    }

    QNetworkRequest request(endpoint);
    // The report goes to the configured service or nowhere. Followed, a
    // redirect would hand its contents to another host, or (301 to 303) turn
    // the post into a bodiless request whose success claims a report that
    // was never received; it is taken as the failed status it is.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("multipart/form-data; boundary=") + boundary);
    request.setRawHeader("Accept", "application/json");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Quarnell/") + appName + QStringLiteral(" VeskKit"));
    QNetworkReply *reply = session.post(request, buildMultipartBody(boundary, fields, screenshots));
    const std::shared_ptr<const VeskReplyCut> cut = veskLimitReply(reply, timeout);

    const int screenshotCount = int(screenshots.size());
    QObject::connect(reply, &QNetworkReply::finished, context,
                     [reply, cut, timeout, screenshotCount, language, completion] {
        reply->deleteLater();
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        // A body cut short is not read: the status decides alone, as with any
        // body that cannot be read.
        const QByteArray body = *cut == VeskReplyCut::none ? reply->readAll() : QByteArray();
        if (!status.isValid()) {
            completion(
                Result::failure(VeskFeedbackError::networkFailure(failureDetail(reply, *cut, timeout, language))));
            return;
        }
        const int code = status.toInt();
        if (code >= 200 && code <= 299)
            completion(receiptFromReply(body, screenshotCount, language));
        else
            completion(rejection(body, code));
    });
    // Without its context nobody waits for the answer.
    QObject::connect(context, &QObject::destroyed, reply, [reply] {
        // Aborting emits finished at once, while the context's connections
        // still stand; the answer must not reach a completion any more.
        reply->disconnect();
        reply->abort();
        reply->deleteLater();
    });
}

} // namespace VeskFeedbackService
