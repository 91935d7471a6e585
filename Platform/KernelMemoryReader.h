#pragma once

#include <QString>

#include <optional>

// Memory, swap and pressure figures from the kernel's files: /proc/meminfo,
// /proc/swaps, /proc/pressure/memory and the device-mapper folders in /sys.
// Every file is read below `root` ("/" normally), so tests can hand in a
// folder of fixed files.
struct KernelMemoryFigures {
    // Installed memory: MemTotal, else sysinfo(2)'s total.
    qint64 installedBytes = 0;

    // Memory in use, nothing when /proc/meminfo cannot be read or lacks
    // AnonPages: application memory (AnonPages; Linux has nothing purgeable)
    // plus what the kernel holds and cannot give back (KernelStack,
    // PageTables, SUnreclaim) plus the compressed pool (Zswap), at most the
    // installed memory.
    struct Usage {
        qint64 usedBytes = 0;
        qint64 compressedBytes = 0;
    };
    std::optional<Usage> usage;

    // SwapTotal and SwapTotal - SwapFree; encrypted when every active swap
    // area is a dm-crypt device. Nothing when meminfo lacks the swap lines.
    struct Swap {
        qint64 totalBytes = 0;
        qint64 usedBytes = 0;
        bool encrypted = false;
    };
    std::optional<Swap> swap;

    // The pressure stall figures as a level: 1 normal, 2 warning (some task
    // stalled on memory at least 10% of the last 10 s), 4 critical (all tasks
    // stalled at least 10%). Nothing when the pressure file is missing or
    // unreadable.
    std::optional<int> pressureLevel;
};

namespace KernelMemoryReader {

KernelMemoryFigures read(const QString &root = QStringLiteral("/"));

} // namespace KernelMemoryReader
