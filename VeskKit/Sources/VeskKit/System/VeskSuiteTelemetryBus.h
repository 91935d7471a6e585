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

    // The seven reporting siblings' status files are written and read alike;
    // each record names the sibling, and so the file, it belongs to.
    template <typename Record>
    void publishStatus(const Record &status, bool notifyPeers) const
    {
        publishRecord(Record::writer, status.toJson(), notifyPeers);
    }
    // A status only while |timestamp - now| ≤ maxAgeSeconds and its writer
    // runs.
    template <typename Record>
    std::optional<Record> readStatus(const QDateTime &now, double maxAgeSeconds) const
    {
        const std::optional<QJsonObject> object = readRecord(Record::writer);
        std::optional<Record> record = object ? Record::fromJson(*object) : std::nullopt;
        if (!record || !record->isFresh(now, maxAgeSeconds))
            return std::nullopt;
        return record;
    }

    void publishMirrelStatus(const VeskMirrelLiveStatus &s, bool notify) const { publishStatus(s, notify); }
    void publishPastinStatus(const VeskPastinLiveStatus &s, bool notify) const { publishStatus(s, notify); }
    void publishQuenbyStatus(const VeskQuenbyLiveStatus &s, bool notify) const { publishStatus(s, notify); }
    void publishDovricStatus(const VeskDovricLiveStatus &s, bool notify) const { publishStatus(s, notify); }
    void publishSelbarStatus(const VeskSelbarLiveStatus &s, bool notify) const { publishStatus(s, notify); }
    // These two never ring the doorbell.
    void publishTrenikStatus(const VeskTrenikLiveStatus &s) const { publishStatus(s, false); }
    void publishHalvotStatus(const VeskHalvotLiveStatus &s) const { publishStatus(s, false); }

    auto readMirrelStatus(const QDateTime &t, double age) const { return readStatus<VeskMirrelLiveStatus>(t, age); }
    auto readTrenikStatus(const QDateTime &t, double age) const { return readStatus<VeskTrenikLiveStatus>(t, age); }
    auto readHalvotStatus(const QDateTime &t, double age) const { return readStatus<VeskHalvotLiveStatus>(t, age); }
    auto readPastinStatus(const QDateTime &t, double age) const { return readStatus<VeskPastinLiveStatus>(t, age); }
    auto readQuenbyStatus(const QDateTime &t, double age) const { return readStatus<VeskQuenbyLiveStatus>(t, age); }
    auto readDovricStatus(const QDateTime &t, double age) const { return readStatus<VeskDovricLiveStatus>(t, age); }
    auto readSelbarStatus(const QDateTime &t, double age) const { return readStatus<VeskSelbarLiveStatus>(t, age); }

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
    struct SparseDisks {
        qint64 count = 0;
        qint64 capacityBytes = 0;
        qint64 usedBytes = 0;
        QStringList names;
    };

    // Memory, swap and pressure from the kernel; no disk figures.
    VeskMemoryFigures readKernelMemoryAndSwap() const;
    SparseDisks detectMountedVeskMirrelSparseDisks() const;

    // A sibling's status file: written when the record encodes, with the
    // doorbell rung when asked; read as a JSON object when it is one.
    void publishRecord(VeskSuiteApp writer, const std::optional<QJsonObject> &encoded, bool notifyPeers) const;
    std::optional<QJsonObject> readRecord(VeskSuiteApp writer) const;

    QString m_baseDirectory;
    VeskSuiteSystemSources m_sources;
};
