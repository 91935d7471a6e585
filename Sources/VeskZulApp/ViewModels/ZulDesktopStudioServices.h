#pragma once

#include "ViewModels/ZulClipboard.h"
#include "ViewModels/ZulLiveRatesFetching.h"
#include "ViewModels/ZulSaveFileChooser.h"
#include "ViewModels/ZulStudioWindowActivation.h"

#include <memory>

class QNetworkAccessManager;

// The desktop clipboard (QClipboard's clipboard mode).
class ZulSystemClipboard final : public ZulClipboard
{
public:
    void setText(const QString &text) override;
};

// A modal file dialog that offers the export format's one file type, opened
// in the folder of the last export (kept across starts).
class ZulFileDialogSaveChooser final : public ZulSaveFileChooser
{
public:
    std::optional<QString> chooseSaveLocation(const QString &proposedFileName, ZulExportFormat format) override;
};

// The suite's reopen-studio notification and the activation delegate's
// raising of the studio window.
class ZulDesktopWindowActivation final : public ZulStudioWindowActivation
{
public:
    void postReopenStudioWindow() override;
    QMetaObject::Connection observeReopenStudioWindow(QObject *receiver, std::function<void()> handler) override;
    // The window manager decides about focus; raising the window is what
    // bringStudioWindowToFront() asks of it.
    void activateIgnoringOtherApps() override {}
    void bringStudioWindowToFront() override;
};

// The live rate service over HTTP.
class ZulNetworkRatesFetcher final : public ZulLiveRatesFetching
{
public:
    ZulNetworkRatesFetcher();
    ~ZulNetworkRatesFetcher() override;

    void fetchLiveRates(QObject *receiver, Handler handler) override;

private:
    std::unique_ptr<QNetworkAccessManager> m_session;
};
