#pragma once

#include "VeskKit/System/VeskDovricLiveStatus.h"
#include "VeskKit/System/VeskHalvotLiveStatus.h"
#include "VeskKit/System/VeskLiveActivityTile.h"
#include "VeskKit/System/VeskMirrelLiveStatus.h"
#include "VeskKit/System/VeskPastinLiveStatus.h"
#include "VeskKit/System/VeskQuenbyLiveStatus.h"
#include "VeskKit/System/VeskSelbarLiveStatus.h"
#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskTrenikLiveStatus.h"
#include "VeskKit/System/VeskVirtualMemorySummary.h"

#include "MountedVolume.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// Keeps a notification registration alive; destroying it stops the deliveries.
using VeskSuiteObserverToken = std::unique_ptr<QObject>;

// Where the kernel's memory figures and the memory tool's disks are
// looked up. The defaults read the running system; tests hand in a
// folder of fixed /proc and /sys files and their own volumes.
struct VeskSuiteSystemSources {
    // /proc and /sys are read below this folder.
    QString root = QStringLiteral("/");
    // Mounted disk images are looked for here; empty means the user's
    // media folder.
    QString volumesFolder;
    // The size of the file system mounted at a folder; empty means
    // MountedVolume::spaceAt.
    std::function<std::optional<VolumeSpace>(const QString &)> volumeSpace;
};

// How the suite's tools tell each other how they are doing without a server:
// each writes one small JSON status file into a shared folder
// ($XDG_DATA_HOME/Quarnell/SuiteTelemetry), rings a session-bus doorbell so
// peers re-read, and readers trust a file only while it is recent and its
// writer still runs. Stale files are left alone; only their owner replaces
// or clears them. Nothing here throws: failed writes are swallowed and
// unreadable files count as absent. All state lives on disk.
class VeskSuiteTelemetryBus
{
public:
    static constexpr const char *telemetryUpdatedNotification = "com.quarnell.suite.telemetryUpdated";
    static constexpr const char *focusDockHoverNotification = "com.quarnell.suite.focusDockHover";


    // Without a folder: $XDG_DATA_HOME/Quarnell/SuiteTelemetry. The folder is
    // created on the first publish, not here.
    explicit VeskSuiteTelemetryBus(const std::optional<QString> &baseDirectory = std::nullopt,
                                   VeskSuiteSystemSources sources = {});

    // One bus on the default folder, made on first use.
    static VeskSuiteTelemetryBus &shared();

    QString baseDirectory() const { return m_baseDirectory; }

    void publishMirrelStatus(const VeskMirrelLiveStatus &status, bool notifyPeers) const;
    // These two never ring the doorbell.
    void publishTrenikStatus(const VeskTrenikLiveStatus &status) const;
    void publishHalvotStatus(const VeskHalvotLiveStatus &status) const;
    void publishPastinStatus(const VeskPastinLiveStatus &status, bool notifyPeers) const;
    void publishQuenbyStatus(const VeskQuenbyLiveStatus &status, bool notifyPeers) const;
    void publishDovricStatus(const VeskDovricLiveStatus &status, bool notifyPeers) const;
    void publishSelbarStatus(const VeskSelbarLiveStatus &status, bool notifyPeers) const;

    // A status only while |timestamp - now| ≤ maxAgeSeconds and its writer
    // runs.
    std::optional<VeskMirrelLiveStatus> readMirrelStatus(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<VeskTrenikLiveStatus> readTrenikStatus(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<VeskHalvotLiveStatus> readHalvotStatus(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<VeskPastinLiveStatus> readPastinStatus(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<VeskQuenbyLiveStatus> readQuenbyStatus(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<VeskDovricLiveStatus> readDovricStatus(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<VeskSelbarLiveStatus> readSelbarStatus(const QDateTime &now, double maxAgeSeconds) const;

    // Deletes the status file of one of the seven reporting siblings; any
    // other application has none, and nothing happens.
    void clearStatus(VeskSuiteApp app) const;

    // One tile per application in the LiveTiles folder; a new one replaces
    // the old.
    void publishLiveTile(const VeskLiveActivityTile &tile, bool notifyPeers) const;
    void clearLiveTile(VeskSuiteApp app) const;
    // The fresh tiles of running writers, highest priority first, newest
    // first within a priority (files in name order otherwise).
    QList<VeskLiveActivityTile> readLiveTiles(const QDateTime &now, double maxAgeSeconds) const;

    // The handler runs on the main thread once per doorbell, each time as a
    // call of its own from the event loop.
    VeskSuiteObserverToken observeTelemetryUpdates(std::function<void()> handler) const;

    // Tells the suite which dock target a dragged window hovers over
    // ("mini", "studio"); nothing sends "none".
    void postFocusDockHoverTarget(const std::optional<QString> &target) const;
    // The handler gets "mini" or "studio", or nothing for anything else.
    VeskSuiteObserverToken observeFocusDockHover(std::function<void(std::optional<QString>)> handler) const;

    // "mini" or "studio" when the dragged frame's centre lies in that target
    // or at least 22% of its area covers it (mini tried first); frames of
    // width or height 1 or less never take a drop.
    static std::optional<QString> detectDockDropTarget(const QRectF &draggedFrame,
                                                       const std::optional<QRectF> &miniTarget,
                                                       const std::optional<QRectF> &studioTarget);

    static bool isPIDAlive(qint32 pid);

    // Kernel memory, swap and pressure joined with the memory tool's status
    // when one at most 18 seconds old from a running writer exists, else with
    // a scan of the tool's mounted sparse disks. Always answers.
    VeskVirtualMemorySummary readVirtualMemorySummary(const QDateTime &now) const;

private:
    struct KernelFigures {
        qint64 physicalTotalBytes = 0;
        qint64 physicalUsedBytes = 0;
        qint64 compressedBytes = 0;
        qint64 swapTotalBytes = 0;
        qint64 swapUsedBytes = 0;
        bool swapEncrypted = true;
        QString pressureLevel;
    };
    struct SparseDisks {
        qint64 count = 0;
        qint64 capacityBytes = 0;
        qint64 usedBytes = 0;
        QStringList names;
    };

    KernelFigures readKernelMemoryAndSwap() const;
    SparseDisks detectMountedVeskMirrelSparseDisks() const;

    template <typename Record>
    void publish(const Record &record, const QString &fileName, bool notifyPeers) const;
    template <typename Record>
    std::optional<Record> read(const QString &fileName, const QDateTime &now, double maxAgeSeconds) const;

    QString m_baseDirectory;
    VeskSuiteSystemSources m_sources;
};
