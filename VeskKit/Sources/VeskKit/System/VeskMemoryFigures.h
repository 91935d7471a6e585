#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace VeskSuiteJson {
class Reader;
class Writer;
}

// The machine's memory as the memory tool sees it: installed and used memory,
// the compressed pool, swap, the pressure word, and the capacity the tool adds
// with disk pools, sparse disks, memory disks and frozen applications. The
// tool's live status carries these figures and the summary the suite shows is
// made of them, so both hold them as this one record.
struct VeskMemoryFigures {
    qint64 physicalTotalBytes = 0;
    qint64 physicalUsedBytes = 0;
    qint64 compressedBytes = 0;
    qint64 swapTotalBytes = 0;
    qint64 swapUsedBytes = 0;
    qint64 swapFileCount = 0;
    bool swapEncrypted = false;
    // "normal", "warning", "critical", or the memory tool's own word.
    QString pressureLevel;
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

    // The figures under their field names, as the tool's status file has them.
    void writeFigures(VeskSuiteJson::Writer &out) const;
    void readFigures(VeskSuiteJson::Reader &in);

    bool operator==(const VeskMemoryFigures &) const = default;
};
