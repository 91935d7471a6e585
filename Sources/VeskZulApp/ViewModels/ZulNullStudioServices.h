#pragma once

#include "ViewModels/ZulClipboard.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "ViewModels/ZulLiveRatesFetching.h"
#include "ViewModels/ZulSaveFileChooser.h"
#include "ViewModels/ZulStickyControlling.h"
#include "ViewModels/ZulStudioWindowActivation.h"

// Stand-ins for the desktop services the view model reaches: until the
// drawer and sticky panels exist, and in a headless run, these keep every
// command working without a screen.

// Never opens: the drawer stays closed.
class ZulNullEdgeDrawerController final : public ZulEdgeDrawerControlling
{
public:
    bool isDrawerOpen() const override { return false; }
    void openDrawer() override {}
    void closeDrawer() override {}
    void syncEdgePlacement(ZulEdgeSide) override {}
    void hideAll() override {}
};

class ZulNullStickyController final : public ZulStickyControlling
{
public:
    void showSticky(const QUuid &) override {}
    void closeSticky(const QUuid &) override {}
};

class ZulNullClipboard final : public ZulClipboard
{
public:
    void setText(const QString &) override {}
};

// As if the user always cancelled.
class ZulNullSaveFileChooser final : public ZulSaveFileChooser
{
public:
    std::optional<QString> chooseSaveLocation(const QString &, ZulExportFormat) override { return std::nullopt; }
};

// The reopen request travels inside the process; raising windows is left to
// whoever observes it.
class ZulInProcessWindowActivation final : public QObject, public ZulStudioWindowActivation
{
    Q_OBJECT
public:
    void postReopenStudioWindow() override;
    QMetaObject::Connection observeReopenStudioWindow(QObject *receiver, std::function<void()> handler) override;
    void activateIgnoringOtherApps() override {}
    void bringStudioWindowToFront() override {}

signals:
    void reopenStudioWindowPosted();
};

// Always offline.
class ZulOfflineRatesFetcher final : public ZulLiveRatesFetching
{
public:
    void fetchLiveRates(QObject *receiver, Handler handler) override;
};
