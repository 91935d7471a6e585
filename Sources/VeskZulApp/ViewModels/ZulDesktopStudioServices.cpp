#include "ViewModels/ZulDesktopStudioServices.h"

#include "Engine/ConversionCatalog.h"
#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/System/VeskReopenStudioWindowNotifier.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QNetworkAccessManager>

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
    QFileDialog dialog(nullptr, QString(), QDir::home().filePath(proposedFileName), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(fileExtension(format));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
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
