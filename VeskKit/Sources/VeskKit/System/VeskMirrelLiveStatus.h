#pragma once

#include "VeskKit/System/VeskMirrelOffloadLiveProgress.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The memory tool's periodic report: physical memory, swap, its virtual disk
// pools, sparse disks and memory disks, the applications it holds frozen, and
// the offload run in progress if any.
struct VeskMirrelLiveStatus {
    QDateTime timestamp;
    qint32 senderPID = 0;
    qint64 physicalTotalBytes = 0;
    qint64 physicalUsedBytes = 0;
    qint64 compressedBytes = 0;
    double usedPercent = 0;
    qint64 swapTotalBytes = 0;
    qint64 swapUsedBytes = 0;
    qint64 swapFileCount = 0;
    bool swapEncrypted = false;
    QString pressureLevel;
    qint64 healthScore = 0;
    qint64 activeDiskPoolCount = 0;
    qint64 diskPoolVirtualBytes = 0;
    qint64 diskPoolActualDiskBytes = 0;
    QStringList diskPoolNames;
    qint64 mountedSparseDiskCount = 0;
    qint64 sparseDiskVirtualBytes = 0;
    qint64 sparseDiskActualBytes = 0;
    QStringList sparseDiskNames;
    qint64 mountedRAMDiskCount = 0;
    qint64 ramDiskTotalBytes = 0;
    QStringList ramDiskNames;
    qint64 frozenAppCount = 0;
    QList<qint32> frozenPIDs;
    qint64 reclaimedFromFrozenBytes = 0;
    std::optional<VeskMirrelOffloadLiveProgress> offloadProgress;

    VeskMirrelLiveStatus() = default;
    VeskMirrelLiveStatus(QDateTime timestamp, qint32 senderPID, qint64 physicalTotalBytes, qint64 physicalUsedBytes,
                         qint64 compressedBytes, double usedPercent, qint64 swapTotalBytes, qint64 swapUsedBytes,
                         qint64 swapFileCount, bool swapEncrypted, QString pressureLevel, qint64 healthScore,
                         qint64 activeDiskPoolCount, qint64 diskPoolVirtualBytes, qint64 diskPoolActualDiskBytes,
                         QStringList diskPoolNames, qint64 mountedSparseDiskCount, qint64 sparseDiskVirtualBytes,
                         qint64 sparseDiskActualBytes, QStringList sparseDiskNames, qint64 mountedRAMDiskCount,
                         qint64 ramDiskTotalBytes, QStringList ramDiskNames, qint64 frozenAppCount,
                         QList<qint32> frozenPIDs, qint64 reclaimedFromFrozenBytes,
                         std::optional<VeskMirrelOffloadLiveProgress> offloadProgress);

    // Any pool, sparse disk or memory disk in use.
    bool hasVirtualDiskExpansion() const;
    // Pools plus sparse disks; memory disks count in neither sum. Sums that
    // leave the 64-bit range stop at its limit.
    qint64 totalVirtualPoolCapacityBytes() const;
    qint64 totalVirtualDiskActualBytes() const;

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;

    // Nothing when a real value (here or in the progress) is not finite.
    std::optional<QJsonObject> toJson() const;
    // Every key but offloadProgress is required; a nested progress must be
    // complete.
    static std::optional<VeskMirrelLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskMirrelLiveStatus &) const = default;
};
