#include "ViewModels/ZulDesktopStudioServices.h"

#include "Engine/ConversionCatalog.h"
#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/Localization/VeskUserDefaults.h"
#include "VeskKit/System/VeskReopenStudioWindowNotifier.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QNetworkAccessManager>

namespace {

// In the application's settings file, beside the studio window's place.
const QString kLastExportFolderKey = QStringLiteral("export/lastFolder");

} // namespace

void ZulSystemClipboard::setText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return;
    clipboard->clear(QClipboard::Clipboard);
    clipboard->setText(text, QClipboard::Clipboard);
}

std::optional<QString> ZulFileDialogSaveChooser::chooseSaveLocation(const QString &proposedFileName,
                                                                    ZulExportFormat format)
{
    QString filter;
    switch (format) {
    case ZulExportFormat::markdownWithResults:
        filter = QStringLiteral("Markdown (*.md)");
        break;
    case ZulExportFormat::plainText:
        filter = QStringLiteral("Plain text (*.txt)");
        break;
    case ZulExportFormat::csv:
        filter = QStringLiteral("Comma-separated values (*.csv)");
        break;
    }
    // The folder of the last export, across starts, while it is still there.
    const QString lastFolder = VeskUserDefaults::string(kLastExportFolderKey).value_or(QString());
    const QDir folder = !lastFolder.isEmpty() && QFileInfo(lastFolder).isDir() ? QDir(lastFolder) : QDir::home();
    QFileDialog dialog(nullptr, QString(), folder.filePath(proposedFileName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(fileExtension(format));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    VeskUserDefaults::setString(kLastExportFolderKey, QFileInfo(chosen).absolutePath());
    return chosen;
}

void ZulDesktopWindowActivation::postReopenStudioWindow()
{
    VeskReopenStudioWindowNotifier::post();
}

QMetaObject::Connection ZulDesktopWindowActivation::observeReopenStudioWindow(QObject *receiver,
                                                                             std::function<void()> handler)
{
    // Queued: the observer acts after the poster has finished its own step.
    return QObject::connect(VeskReopenStudioWindowNotifier::shared(),
                            &VeskReopenStudioWindowNotifier::veskReopenStudioWindow, receiver, std::move(handler),
                            Qt::QueuedConnection);
}

void ZulDesktopWindowActivation::bringStudioWindowToFront()
{
    VeskAppActivationDelegate::bringStudioWindowToFront();
}

ZulNetworkRatesFetcher::ZulNetworkRatesFetcher() : m_session(std::make_unique<QNetworkAccessManager>()) {}

ZulNetworkRatesFetcher::~ZulNetworkRatesFetcher() = default;

void ZulNetworkRatesFetcher::fetchLiveRates(QObject *receiver, Handler handler)
{
    ConversionCatalog::fetchLiveRates(*m_session, receiver,
                                      [handler = std::move(handler)](ZulResult<CurrencyRateTable> result) {
                                          if (result.ok())
                                              handler(result.value());
                                          else
                                              handler(std::nullopt);
                                      });
}
