#include "VeskKit/System/VeskVirtualMemorySummary.h"

#include "VeskKit/Utilities/VeskByteFormatter.h"

#include <charconv>
#include <limits>

namespace {

qint64 sum(std::initializer_list<qint64> parts)
{
    qint64 total = 0;
    for (qint64 part : parts) {
        if (__builtin_add_overflow(total, part, &total))
            return part < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    }
    return total;
}

double clampedPercent(qint64 part, qint64 whole)
{
    if (whole <= 0)
        return 0;
    const double percent = double(part) / double(whole) * 100.0;
    return percent < 0 ? 0 : percent > 100 ? 100 : percent;
}

// "%.Nf" without the C library's locale.
QString fixed(double value, int fractionDigits)
{
    char buffer[400];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, fractionDigits);
    if (error != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, end - buffer);
}

} // namespace

bool VeskVirtualMemorySummary::isSwapActive() const
{
    return swapUsedBytes > 0 || swapTotalBytes > 0;
}

bool VeskVirtualMemorySummary::isVeskMirrelVirtualExpansionActive() const
{
    return activeDiskPoolCount > 0 || mountedSparseDiskCount > 0 || mountedRAMDiskCount > 0;
}

bool VeskVirtualMemorySummary::isAnyVirtualMemoryActive() const
{
    return isVeskMirrelVirtualExpansionActive() || swapUsedBytes > 0;
}

qint64 VeskVirtualMemorySummary::totalVeskMirrelVirtualCapacityBytes() const
{
    return sum({diskPoolVirtualBytes, sparseDiskVirtualBytes, ramDiskTotalBytes});
}

qint64 VeskVirtualMemorySummary::totalVirtualAllocatedBytes() const
{
    return sum({totalVeskMirrelVirtualCapacityBytes(), std::max(swapTotalBytes, swapUsedBytes)});
}

qint64 VeskVirtualMemorySummary::totalVirtualUsedBytes() const
{
    // A memory disk's whole size counts as used.
    return sum({swapUsedBytes, diskPoolActualDiskBytes, sparseDiskActualBytes, ramDiskTotalBytes});
}

qint64 VeskVirtualMemorySummary::totalEffectiveMemoryCapacityBytes() const
{
    return sum({physicalTotalBytes, totalVirtualAllocatedBytes()});
}

qint64 VeskVirtualMemorySummary::totalEffectiveUsedBytes() const
{
    return sum({physicalUsedBytes, totalVirtualUsedBytes()});
}

double VeskVirtualMemorySummary::physicalUsedPercent() const
{
    return clampedPercent(physicalUsedBytes, physicalTotalBytes);
}

double VeskVirtualMemorySummary::swapUsedPercent() const
{
    return clampedPercent(swapUsedBytes, swapTotalBytes);
}

double VeskVirtualMemorySummary::virtualUsedPercent() const
{
    return clampedPercent(totalVirtualUsedBytes(), totalVirtualAllocatedBytes());
}

QString VeskVirtualMemorySummary::virtualSpaceUsageText() const
{
    const qint64 allocated = totalVirtualAllocatedBytes();
    if (allocated < 1)
        return QStringLiteral("0 B");
    return VeskByteFormatter::format(totalVirtualUsedBytes()) + QStringLiteral(" / ")
        + VeskByteFormatter::format(allocated);
}

QString VeskVirtualMemorySummary::compactVirtualUsedToken() const
{
    const qint64 used = totalVirtualUsedBytes();
    if (used > 0) {
        const double g = double(used) / 1e9;
        if (g >= 100)
            return fixed(g, 0) + u'G';
        if (g >= 1)
            return fixed(g, 1) + u'G';
        return fixed(double(used) / 1e6, 0) + u'M';
    }
    const qint64 allocated = totalVirtualAllocatedBytes();
    if (allocated < 1)
        return QStringLiteral("0G");
    const double g = double(allocated) / 1e9;
    return fixed(g, g >= 10 ? 0 : 1) + u'G';
}

QString VeskVirtualMemorySummary::compactBadgeText() const
{
    QStringList parts;
    if (activeDiskPoolCount >= 1)
        parts << QStringLiteral("Pool ") + VeskByteFormatter::format(diskPoolVirtualBytes);
    if (mountedSparseDiskCount > 0)
        parts << QStringLiteral("vDisk ") + VeskByteFormatter::format(sparseDiskVirtualBytes);
    if (mountedRAMDiskCount > 0)
        parts << QStringLiteral("RAMDisk ") + VeskByteFormatter::format(ramDiskTotalBytes);
    if (swapUsedBytes >= 1)
        parts << QStringLiteral("Swap ") + VeskByteFormatter::format(swapUsedBytes);
    else if (parts.isEmpty() && swapTotalBytes >= 1)
        parts << QStringLiteral("Swap 0 B / ") + VeskByteFormatter::format(swapTotalBytes);
    return parts.join(QStringLiteral(" + "));
}
