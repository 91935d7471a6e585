#pragma once

#include "VeskKit/System/VeskMemoryFigures.h"

// One picture of the machine's memory: its figures, from the memory tool
// while it runs and from the kernel otherwise. A plain value; built by
// VeskSuiteTelemetryBus and never stored.
struct VeskVirtualMemorySummary : VeskMemoryFigures {
    bool isVeskMirrelRunning = false;

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
