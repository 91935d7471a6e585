#include "VeskKit/System/VeskMirrelLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include <limits>

namespace {

qint64 saturatedAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return a < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    return sum;
}

} // namespace

VeskMirrelLiveStatus::VeskMirrelLiveStatus(
    QDateTime timestamp, qint32 senderPID, qint64 physicalTotalBytes, qint64 physicalUsedBytes, qint64 compressedBytes,
    double usedPercent, qint64 swapTotalBytes, qint64 swapUsedBytes, qint64 swapFileCount, bool swapEncrypted,
    QString pressureLevel, qint64 healthScore, qint64 activeDiskPoolCount, qint64 diskPoolVirtualBytes,
    qint64 diskPoolActualDiskBytes, QStringList diskPoolNames, qint64 mountedSparseDiskCount,
    qint64 sparseDiskVirtualBytes, qint64 sparseDiskActualBytes, QStringList sparseDiskNames,
    qint64 mountedRAMDiskCount, qint64 ramDiskTotalBytes, QStringList ramDiskNames, qint64 frozenAppCount,
    QList<qint32> frozenPIDs, qint64 reclaimedFromFrozenBytes,
    std::optional<VeskMirrelOffloadLiveProgress> offloadProgress)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      physicalTotalBytes(physicalTotalBytes),
      physicalUsedBytes(physicalUsedBytes),
      compressedBytes(compressedBytes),
      usedPercent(usedPercent),
      swapTotalBytes(swapTotalBytes),
      swapUsedBytes(swapUsedBytes),
      swapFileCount(swapFileCount),
      swapEncrypted(swapEncrypted),
      pressureLevel(std::move(pressureLevel)),
      healthScore(healthScore),
      activeDiskPoolCount(activeDiskPoolCount),
      diskPoolVirtualBytes(diskPoolVirtualBytes),
      diskPoolActualDiskBytes(diskPoolActualDiskBytes),
      diskPoolNames(std::move(diskPoolNames)),
      mountedSparseDiskCount(mountedSparseDiskCount),
      sparseDiskVirtualBytes(sparseDiskVirtualBytes),
      sparseDiskActualBytes(sparseDiskActualBytes),
      sparseDiskNames(std::move(sparseDiskNames)),
      mountedRAMDiskCount(mountedRAMDiskCount),
      ramDiskTotalBytes(ramDiskTotalBytes),
      ramDiskNames(std::move(ramDiskNames)),
      frozenAppCount(frozenAppCount),
      frozenPIDs(std::move(frozenPIDs)),
      reclaimedFromFrozenBytes(reclaimedFromFrozenBytes),
      offloadProgress(std::move(offloadProgress))
{
}

bool VeskMirrelLiveStatus::hasVirtualDiskExpansion() const
{
    return activeDiskPoolCount > 0 || mountedSparseDiskCount > 0 || mountedRAMDiskCount > 0;
}

qint64 VeskMirrelLiveStatus::totalVirtualPoolCapacityBytes() const
{
    return saturatedAdd(diskPoolVirtualBytes, sparseDiskVirtualBytes);
}

qint64 VeskMirrelLiveStatus::totalVirtualDiskActualBytes() const
{
    return saturatedAdd(diskPoolActualDiskBytes, sparseDiskActualBytes);
}

bool VeskMirrelLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskMirrelLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.integer("physicalTotalBytes", physicalTotalBytes);
    out.integer("physicalUsedBytes", physicalUsedBytes);
    out.integer("compressedBytes", compressedBytes);
    out.real("usedPercent", usedPercent);
    out.integer("swapTotalBytes", swapTotalBytes);
    out.integer("swapUsedBytes", swapUsedBytes);
    out.integer("swapFileCount", swapFileCount);
    out.boolean("swapEncrypted", swapEncrypted);
    out.text("pressureLevel", pressureLevel);
    out.integer("healthScore", healthScore);
    out.integer("activeDiskPoolCount", activeDiskPoolCount);
    out.integer("diskPoolVirtualBytes", diskPoolVirtualBytes);
    out.integer("diskPoolActualDiskBytes", diskPoolActualDiskBytes);
    out.texts("diskPoolNames", diskPoolNames);
    out.integer("mountedSparseDiskCount", mountedSparseDiskCount);
    out.integer("sparseDiskVirtualBytes", sparseDiskVirtualBytes);
    out.integer("sparseDiskActualBytes", sparseDiskActualBytes);
    out.texts("sparseDiskNames", sparseDiskNames);
    out.integer("mountedRAMDiskCount", mountedRAMDiskCount);
    out.integer("ramDiskTotalBytes", ramDiskTotalBytes);
    out.texts("ramDiskNames", ramDiskNames);
    out.integer("frozenAppCount", frozenAppCount);
    out.pids("frozenPIDs", frozenPIDs);
    out.integer("reclaimedFromFrozenBytes", reclaimedFromFrozenBytes);
    if (offloadProgress)
        out.object("offloadProgress", offloadProgress->toJson());
    return out.result();
}

std::optional<VeskMirrelLiveStatus> VeskMirrelLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskMirrelLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.physicalTotalBytes = in.integer("physicalTotalBytes");
    status.physicalUsedBytes = in.integer("physicalUsedBytes");
    status.compressedBytes = in.integer("compressedBytes");
    status.usedPercent = in.real("usedPercent");
    status.swapTotalBytes = in.integer("swapTotalBytes");
    status.swapUsedBytes = in.integer("swapUsedBytes");
    status.swapFileCount = in.integer("swapFileCount");
    status.swapEncrypted = in.boolean("swapEncrypted");
    status.pressureLevel = in.text("pressureLevel");
    status.healthScore = in.integer("healthScore");
    status.activeDiskPoolCount = in.integer("activeDiskPoolCount");
    status.diskPoolVirtualBytes = in.integer("diskPoolVirtualBytes");
    status.diskPoolActualDiskBytes = in.integer("diskPoolActualDiskBytes");
    status.diskPoolNames = in.texts("diskPoolNames");
    status.mountedSparseDiskCount = in.integer("mountedSparseDiskCount");
    status.sparseDiskVirtualBytes = in.integer("sparseDiskVirtualBytes");
    status.sparseDiskActualBytes = in.integer("sparseDiskActualBytes");
    status.sparseDiskNames = in.texts("sparseDiskNames");
    status.mountedRAMDiskCount = in.integer("mountedRAMDiskCount");
    status.ramDiskTotalBytes = in.integer("ramDiskTotalBytes");
    status.ramDiskNames = in.texts("ramDiskNames");
    status.frozenAppCount = in.integer("frozenAppCount");
    status.frozenPIDs = in.pids("frozenPIDs");
    status.reclaimedFromFrozenBytes = in.integer("reclaimedFromFrozenBytes");
    if (const std::optional<QJsonObject> nested = in.optionalObject("offloadProgress")) {
        status.offloadProgress = VeskMirrelOffloadLiveProgress::fromJson(*nested);
        if (!status.offloadProgress)
            in.fail();
    }
    if (!in.ok())
        return std::nullopt;
    return status;
}
