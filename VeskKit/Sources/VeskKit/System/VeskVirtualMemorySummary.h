#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One picture of the machine's memory: installed and used memory, the
// compressed pool, swap, the pressure word, and the extra capacity the memory
// tool adds with disk pools, sparse disks, memory disks and frozen
// applications. A plain value; built by VeskSuiteTelemetryBus and never
// stored.
struct VeskVirtualMemorySummary {
    qint64 physicalTotalBytes = 0;
    qint64 physicalUsedBytes = 0;
    qint64 compressedBytes = 0;
    qint64 swapTotalBytes = 0;
    qint64 swapUsedBytes = 0;
    qint64 swapFileCount = 0;
    bool swapEncrypted = false;
    // "normal", "warning", "critical", or the memory tool's own word.
    QString pressureLevel;
    bool isVeskMirrelRunning = false;
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

    VeskVirtualMemorySummary() = default;
    VeskVirtualMemorySummary(qint64 physicalTotalBytes, qint64 physicalUsedBytes, qint64 compressedBytes,
                             qint64 swapTotalBytes, qint64 swapUsedBytes, qint64 swapFileCount, bool swapEncrypted,
                             QString pressureLevel, bool isVeskMirrelRunning, qint64 activeDiskPoolCount,
                             qint64 diskPoolVirtualBytes, qint64 diskPoolActualDiskBytes, QStringList diskPoolNames,
                             qint64 mountedSparseDiskCount, qint64 sparseDiskVirtualBytes,
                             qint64 sparseDiskActualBytes, QStringList sparseDiskNames, qint64 mountedRAMDiskCount,
                             qint64 ramDiskTotalBytes, QStringList ramDiskNames, qint64 frozenAppCount,
                             QList<qint32> frozenPIDs, qint64 reclaimedFromFrozenBytes);

    bool isSwapActive() const;
    bool isVeskMirrelVirtualExpansionActive() const;
    bool isAnyVirtualMemoryActive() const;

    // The byte sums stop at the 64-bit limit rather than wrap, so a summary
    // with absurd figures still shows something sensible.
    qint64 totalVeskMirrelVirtualCapacityBytes() const;
    qint64 totalVirtualAllocatedBytes() const;
    qint64 totalVirtualUsedBytes() const;
    qint64 totalEffectiveMemoryCapacityBytes() const;
    qint64 totalEffectiveUsedBytes() const;

    // Percentages within 0...100; 0 when the whole is not positive.
    double physicalUsedPercent() const;
    double swapUsedPercent() const;
    double virtualUsedPercent() const;

    // "0 B", or used " / " allocated.
    QString virtualSpaceUsageText() const;
    // "150G", "2.5G", "500M"; "0G" with nothing allocated.
    QString compactVirtualUsedToken() const;
    // "Pool 10.00 GB + Swap 1.50 GB"; empty when nothing is in use.
    QString compactBadgeText() const;

    bool operator==(const VeskVirtualMemorySummary &) const = default;
};
