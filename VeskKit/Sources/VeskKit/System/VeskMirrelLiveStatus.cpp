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
    out.real("usedPercent", usedPercent);
    out.integer("healthScore", healthScore);
    writeFigures(out);
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
    status.usedPercent = in.real("usedPercent");
    status.healthScore = in.integer("healthScore");
    status.readFigures(in);
    if (const std::optional<QJsonObject> nested = in.optionalObject("offloadProgress")) {
        status.offloadProgress = VeskMirrelOffloadLiveProgress::fromJson(*nested);
        if (!status.offloadProgress)
            in.fail();
    }
    if (!in.ok())
        return std::nullopt;
    return status;
}
