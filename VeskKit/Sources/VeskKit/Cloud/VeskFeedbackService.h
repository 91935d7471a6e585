#pragma once

#include "VeskKit/Cloud/VeskFeedbackError.h"
#include "VeskKit/Cloud/VeskFeedbackKind.h"
#include "VeskKit/Cloud/VeskFeedbackReceipt.h"
#include "VeskKit/Cloud/VeskFeedbackScreenshot.h"
#include "VeskKit/Cloud/VeskUrlOpener.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Utilities/VeskAppVersion.h"
#include "VeskKit/Utilities/VeskBundle.h"
#include "VeskKit/Utilities/VeskResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class QNetworkAccessManager;
class QObject;

// The maker's feedback channel: where its web service lives, how the running
// application and system are described to it, and the web feedback page.
// Keeps no state; environment and user defaults are read on every call.
namespace VeskFeedbackService {

// The maker's web service: an https address without path or trailing "/".
inline const QString defaultBaseURL = QStringLiteral("https://quarnell.com");
inline const QString baseURLDefaultsKey = QStringLiteral("com.quarnell.feedbackBaseURL");
inline constexpr int maxScreenshots = 5;
inline constexpr qint64 maxScreenshotBytes = 5 * 1048576;
// The whole submission's limit, from sending to the last byte of the answer.
inline constexpr std::chrono::milliseconds requestTimeout{25'000};

// The first present of: the override, $QUARNELL_FEEDBACK_BASE_URL, the user
// default under baseURLDefaultsKey (each trimmed; a blank one is passed over)
// with leading and trailing "/" removed; else defaultBaseURL.
QString resolvedBaseURL(const std::optional<QString> &override = std::nullopt);

// Lower-cased, keeping only letters, marks and digits: "My Notes 2" gives "mynotes2".
QString normalizedAppSlug(const QString &name);

// The bundle's display name, else its name, else the process name (trimmed);
// the fallback when all three are blank.
QString resolvedCurrentAppName(const VeskBundle &bundle, const QString &fallback);

// The running system in one line: "Linux 6.1.0 (x86_64)".
QString currentOSDescription();

// The web feedback page for the language, with type, source, os, app and
// version as query items; nothing when the address does not parse.
std::optional<QUrl> webFeedbackURL(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind,
                                   VeskLanguage language, const std::optional<QString> &baseURL = std::nullopt);

// Whether the address may be handed to a browser: absolute http or https with a host.
bool isWebAddress(const QUrl &url);

// Opens the page in the default browser. Anything but an absolute http or
// https address is refused silently, so a configured base URL can never make
// the desktop run a file or another scheme's handler.
void openInBrowser(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind,
                   VeskLanguage language, const std::optional<QString> &baseURL = std::nullopt,
                   const std::shared_ptr<VeskUrlOpener> &opener = VeskUrlOpener::desktop());

using Result = VeskResult<VeskFeedbackReceipt, VeskFeedbackError>;

// The image on the clipboard as a PNG screenshot named "clipboard-<seconds
// since 1970>.png"; nothing when the clipboard holds no image. No size limit.
std::optional<VeskFeedbackScreenshot> readScreenshotFromPasteboard();

// A multipart/form-data body: the fields with a non-empty value in the order
// given, then each screenshot as a "screenshots[]" part, then the closing
// delimiter. Quotes and line breaks are removed from file names; field names
// and content types are written as given, so a caller must keep control
// characters out of them (submit refuses such a report).
QByteArray buildMultipartBody(const QString &boundary, const QList<std::pair<QString, QString>> &fields,
                              const QList<VeskFeedbackScreenshot> &screenshots);

// Checks the report (e-mail, message, screenshot count and sizes, endpoint,
// then no control character in the application name or an attachment's
// type, which would break a header line), then posts it as one multipart form to <base URL>/api/v1/feedback and reads
// the reply. The completion runs exactly once on the context's thread, always
// after submit has returned; it does not run when the context is destroyed
// first. Only absolute http and https endpoints are posted to, and a redirect
// is never followed (it is a rejection naming its status). An exchange that
// takes longer than the timeout, or a reply over 1 MiB, keeps only its status;
// without one it is a network failure. The service's texts are shown trimmed.
void submit(const QString &appName, const VeskAppVersion &version, VeskFeedbackKind kind, const QString &email,
            const QString &senderName, const QString &subject, const QString &message,
            const QList<VeskFeedbackScreenshot> &screenshots, VeskLanguage language,
            const std::optional<QString> &baseURL, QNetworkAccessManager &session, QObject *context,
            std::function<void(const Result &)> completion, std::chrono::milliseconds timeout = requestTimeout);

} // namespace VeskFeedbackService
