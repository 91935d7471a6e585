#include "VeskKit/System/VeskSuiteTelemetryBus.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include "KernelMemoryReader.h"
#include "ProcessLiveness.h"
#include "SessionBusSignal.h"
#include "SharedFile.h"
#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSet>

#include <algorithm>

namespace {

// A status file is a few hundred bytes; anything this large is not one, and
// reading it whole would only cost memory.
constexpr qint64 maxRecordFileBytes = 4 * 1024 * 1024;
// The memory tool's status counts for the summary for this long.
constexpr double mirrelStatusMaxAgeSeconds = 18;

const QString liveTilesFolder = QStringLiteral("LiveTiles");

QString statusFileName(VeskSuiteApp app)
{
    return app.rawValue().toLower() + QStringLiteral("-live.json");
}

bool hasOwnStatusFile(VeskSuiteApp app)
{
    switch (app) {
    case VeskSuiteApp::veskMirrel:
    case VeskSuiteApp::veskTrenik:
    case VeskSuiteApp::veskHalvot:
    case VeskSuiteApp::veskPastin:
    case VeskSuiteApp::veskQuenby:
    case VeskSuiteApp::veskDovric:
    case VeskSuiteApp::veskSelbar:
        return true;
    default:
        return false;
    }
}

QString applicationSupportFolder()
{
    return UserFolders::dataHome();
}

QString cachesFolder()
{
    return UserFolders::cacheHome();
}

std::optional<QByteArray> readWhole(const QString &path)
{
    return SharedFile::read(path, maxRecordFileBytes);
}

void writeAtomically(const QString &path, const QByteArray &data)
{
    SharedFile::replaceWhole(path, data);
}

void postDoorbell(const char *name, const std::optional<QString> &object)
{
    SessionBusSignal::post(QString::fromLatin1(name), object);
}

// Runs the handler from the main thread's event loop, as a call of its own.
void scheduleOnMainThread(std::function<void()> call)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, std::move(call), Qt::QueuedConnection);
}

// The platform's rectangle rules: a point on the maximum edge lies outside,
// and a rectangle with a negative size is the same as its mirrored one.
bool containsPoint(const QRectF &rect, const QPointF &point)
{
    return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top()
        && point.y() < rect.bottom();
}

bool accepts(const QRectF &dragged, const std::optional<QRectF> &target)
{
    if (!target)
        return false;
    const QRectF drop = target->normalized();
    if (dragged.width() <= 1 || dragged.height() <= 1 || drop.width() <= 1 || drop.height() <= 1)
        return false;
    if (containsPoint(drop, dragged.center()))
        return true;
    const QRectF overlap = dragged.intersected(drop);
    if (overlap.width() <= 0 || overlap.height() <= 0)
        return false;
    return (overlap.width() * overlap.height()) / (dragged.width() * dragged.height()) >= 0.22;
}

QString pressureWord(int level)
{
    if (level <= 1)
        return QStringLiteral("normal");
    if (level <= 3)
        return QStringLiteral("warning");
    return QStringLiteral("critical");
}

} // namespace

VeskSuiteTelemetryBus::VeskSuiteTelemetryBus(const std::optional<QString> &baseDirectory, VeskSuiteSystemSources sources)
    : m_sources(std::move(sources))
{
    m_baseDirectory = baseDirectory ? *baseDirectory
                                    : applicationSupportFolder() + QStringLiteral("/Quarnell/SuiteTelemetry");
    if (m_sources.volumesFolder.isEmpty())
        m_sources.volumesFolder = MountedVolume::userMediaFolder();
    if (!m_sources.volumeSpace)
        m_sources.volumeSpace = &MountedVolume::spaceAt;
}

VeskSuiteTelemetryBus &VeskSuiteTelemetryBus::shared()
{
    static VeskSuiteTelemetryBus bus;
    return bus;
}

void VeskSuiteTelemetryBus::publishRecord(VeskSuiteApp writer, const std::optional<QJsonObject> &encoded,
                                          bool notifyPeers) const
{
    QDir().mkpath(m_baseDirectory);
    if (encoded)
        writeAtomically(QDir(m_baseDirectory).filePath(statusFileName(writer)), VeskSuiteJson::encode(*encoded));
    // Peers are told even when the write failed: they then re-read the
    // previous file, which is harmless.
    if (notifyPeers)
        postDoorbell(telemetryUpdatedNotification, std::nullopt);
}

std::optional<QJsonObject> VeskSuiteTelemetryBus::readRecord(VeskSuiteApp writer) const
{
    const std::optional<QByteArray> data = readWhole(QDir(m_baseDirectory).filePath(statusFileName(writer)));
    if (!data)
        return std::nullopt;
    return VeskSuiteJson::decodeObject(*data);
}

void VeskSuiteTelemetryBus::clearStatus(VeskSuiteApp app) const
{
    if (!hasOwnStatusFile(app))
        return;
    QFile::remove(QDir(m_baseDirectory).filePath(statusFileName(app)));
}

void VeskSuiteTelemetryBus::publishLiveTile(const VeskLiveActivityTile &tile, bool notifyPeers) const
{
    const QString folder = QDir(m_baseDirectory).filePath(liveTilesFolder);
    QDir().mkpath(folder);
    const std::optional<QJsonObject> encoded = tile.toJson();
    if (!encoded)
        return;
    writeAtomically(QDir(folder).filePath(tile.app.rawValue().toLower() + QStringLiteral(".json")),
                    VeskSuiteJson::encode(*encoded));
    if (notifyPeers)
        postDoorbell(telemetryUpdatedNotification, std::nullopt);
}

void VeskSuiteTelemetryBus::clearLiveTile(VeskSuiteApp app) const
{
    QFile::remove(QDir(m_baseDirectory).filePath(liveTilesFolder + u'/' + app.rawValue().toLower()
                                                 + QStringLiteral(".json")));
}

QList<VeskLiveActivityTile> VeskSuiteTelemetryBus::readLiveTiles(const QDateTime &now, double maxAgeSeconds) const
{
    const QDir folder(QDir(m_baseDirectory).filePath(liveTilesFolder));
    if (!folder.exists())
        return {};
    QList<VeskLiveActivityTile> tiles;
    // Only files: a FIFO, socket or device under a tile's name is no tile.
    const QFileInfoList entries = folder.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.suffix().toLower() != QLatin1String("json"))
            continue;
        const std::optional<QByteArray> data = readWhole(entry.filePath());
        if (!data)
            continue;
        const std::optional<QJsonObject> object = VeskSuiteJson::decodeObject(*data);
        if (!object)
            continue;
        std::optional<VeskLiveActivityTile> tile = VeskLiveActivityTile::fromJson(*object);
        if (tile && tile->isFresh(now, maxAgeSeconds))
            tiles.append(std::move(*tile));
    }
    std::stable_sort(tiles.begin(), tiles.end(), [](const VeskLiveActivityTile &a, const VeskLiveActivityTile &b) {
        if (a.priority != b.priority)
            return a.priority > b.priority;
        return a.timestamp > b.timestamp;
    });
    return tiles;
}

VeskSuiteObserverToken VeskSuiteTelemetryBus::observeTelemetryUpdates(std::function<void()> handler) const
{
    return SessionBusSignal::observe(QString::fromLatin1(telemetryUpdatedNotification),
                                     [handler = std::move(handler)](const std::optional<QString> &) {
                                         if (handler)
                                             scheduleOnMainThread(handler);
                                     });
}

void VeskSuiteTelemetryBus::postFocusDockHoverTarget(const std::optional<QString> &target) const
{
    postDoorbell(focusDockHoverNotification, target.value_or(QStringLiteral("none")));
}

VeskSuiteObserverToken
VeskSuiteTelemetryBus::observeFocusDockHover(std::function<void(std::optional<QString>)> handler) const
{
    return SessionBusSignal::observe(
        QString::fromLatin1(focusDockHoverNotification),
        [handler = std::move(handler)](const std::optional<QString> &object) {
            if (!handler)
                return;
            std::optional<QString> target;
            if (object == QLatin1String("mini") || object == QLatin1String("studio"))
                target = object;
            scheduleOnMainThread([handler, target] { handler(target); });
        });
}

std::optional<QString> VeskSuiteTelemetryBus::detectDockDropTarget(const QRectF &draggedFrame,
                                                                   const std::optional<QRectF> &miniTarget,
                                                                   const std::optional<QRectF> &studioTarget)
{
    const QRectF dragged = draggedFrame.normalized();
    if (accepts(dragged, miniTarget))
        return QStringLiteral("mini");
    if (accepts(dragged, studioTarget))
        return QStringLiteral("studio");
    return std::nullopt;
}

bool VeskSuiteTelemetryBus::isPIDAlive(qint32 pid)
{
    return ProcessLiveness::isAlive(pid);
}

VeskMemoryFigures VeskSuiteTelemetryBus::readKernelMemoryAndSwap() const
{
    const KernelMemoryFigures kernel = KernelMemoryReader::read(m_sources.root);
    VeskMemoryFigures figures;
    // Without a swap area there is nothing to read in the clear.
    figures.swapEncrypted = true;
    figures.physicalTotalBytes = kernel.installedBytes;
    if (kernel.usage) {
        figures.physicalUsedBytes = kernel.usage->usedBytes;
        figures.compressedBytes = kernel.usage->compressedBytes;
    }
    if (kernel.swap) {
        figures.swapTotalBytes = kernel.swap->totalBytes;
        figures.swapUsedBytes = kernel.swap->usedBytes;
        figures.swapEncrypted = kernel.swap->encrypted;
    }
    figures.pressureLevel = pressureWord(kernel.pressureLevel.value_or(1));
    return figures;
}

VeskSuiteTelemetryBus::SparseDisks VeskSuiteTelemetryBus::detectMountedVeskMirrelSparseDisks() const
{
    QStringList poolFolders{cachesFolder() + QStringLiteral("/VeskMirrel/Pools")};
    const QString settingsPath = applicationSupportFolder() + QStringLiteral("/VeskMirrel/config.json");
    if (const std::optional<QByteArray> settings = readWhole(settingsPath)) {
        const QJsonDocument document = QJsonDocument::fromJson(*settings);
        const QJsonValue custom = document.object().value(QLatin1String("customPoolDirectory"));
        if (document.isObject() && custom.isString()) {
            const QString folder = custom.toString().trimmed();
            if (!folder.isEmpty())
                poolFolders << folder;
        }
    }

    SparseDisks disks;
    QSet<QString> seen;
    for (const QString &poolFolder : poolFolders) {
        const QDir pool(poolFolder);
        if (!pool.exists())
            continue;
        const QFileInfoList entries =
            pool.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
        for (const QFileInfo &entry : entries) {
            if (entry.suffix().toLower() != QLatin1String("sparsebundle"))
                continue;
            const QString name = entry.completeBaseName();
            // A name counts once, even when its first bundle turns out not
            // to be mounted.
            if (seen.contains(name))
                continue;
            seen.insert(name);
            const std::optional<VolumeSpace> space = m_sources.volumeSpace(m_sources.volumesFolder + u'/' + name);
            if (!space || space->totalBytes < 1)
                continue;
            disks.count += 1;
            disks.capacityBytes += space->totalBytes;
            disks.usedBytes += std::max<qint64>(0, space->totalBytes - space->availableBytes);
            disks.names << name;
        }
    }
    return disks;
}

VeskVirtualMemorySummary VeskSuiteTelemetryBus::readVirtualMemorySummary(const QDateTime &now) const
{
    const VeskMemoryFigures kernel = readKernelMemoryAndSwap();
    VeskVirtualMemorySummary summary;
    if (const std::optional<VeskMirrelLiveStatus> status = readMirrelStatus(now, mirrelStatusMaxAgeSeconds)) {
        static_cast<VeskMemoryFigures &>(summary) = *status;
        // The kernel's figures stand in for any the tool left at zero, and
        // swap is whichever of the two saw more.
        if (summary.physicalTotalBytes <= 0)
            summary.physicalTotalBytes = kernel.physicalTotalBytes;
        if (summary.physicalUsedBytes <= 0)
            summary.physicalUsedBytes = kernel.physicalUsedBytes;
        if (summary.compressedBytes <= 0)
            summary.compressedBytes = kernel.compressedBytes;
        summary.swapTotalBytes = std::max(kernel.swapTotalBytes, status->swapTotalBytes);
        summary.swapUsedBytes = std::max(kernel.swapUsedBytes, status->swapUsedBytes);
        summary.isVeskMirrelRunning = true;
        return summary;
    }

    static_cast<VeskMemoryFigures &>(summary) = kernel;
    const SparseDisks disks = detectMountedVeskMirrelSparseDisks();
    summary.mountedSparseDiskCount = disks.count;
    summary.sparseDiskVirtualBytes = disks.capacityBytes;
    summary.sparseDiskActualBytes = disks.usedBytes;
    summary.sparseDiskNames = disks.names;
    return summary;
}
