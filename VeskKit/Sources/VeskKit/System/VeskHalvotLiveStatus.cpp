#include "VeskKit/System/VeskHalvotLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

VeskHalvotLiveStatus::VeskHalvotLiveStatus(QDateTime timestamp, qint32 senderPID, qint64 totalProcessCount,
                                           qint64 unresponsiveCount, qint64 problematicCount,
                                           QStringList unresponsiveAppNames, qint64 memoryLeakCount,
                                           QList<qint32> autoFrozenPIDs, std::optional<QString> activeFocusProfileName,
                                           qint64 reclaimedFocusBytes, qint64 listeningPortCount)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      totalProcessCount(totalProcessCount),
      unresponsiveCount(unresponsiveCount),
      problematicCount(problematicCount),
      unresponsiveAppNames(std::move(unresponsiveAppNames)),
      memoryLeakCount(memoryLeakCount),
      autoFrozenPIDs(std::move(autoFrozenPIDs)),
      activeFocusProfileName(std::move(activeFocusProfileName)),
      reclaimedFocusBytes(reclaimedFocusBytes),
      listeningPortCount(listeningPortCount)
{
}

bool VeskHalvotLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskHalvotLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.integer("totalProcessCount", totalProcessCount);
    out.integer("unresponsiveCount", unresponsiveCount);
    out.integer("problematicCount", problematicCount);
    out.texts("unresponsiveAppNames", unresponsiveAppNames);
    out.integer("memoryLeakCount", memoryLeakCount);
    out.pids("autoFrozenPIDs", autoFrozenPIDs);
    out.optionalText("activeFocusProfileName", activeFocusProfileName);
    out.integer("reclaimedFocusBytes", reclaimedFocusBytes);
    out.integer("listeningPortCount", listeningPortCount);
    return out.result();
}

std::optional<VeskHalvotLiveStatus> VeskHalvotLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskHalvotLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.totalProcessCount = in.integer("totalProcessCount");
    status.unresponsiveCount = in.integer("unresponsiveCount");
    status.problematicCount = in.integer("problematicCount");
    status.unresponsiveAppNames = in.texts("unresponsiveAppNames");
    status.memoryLeakCount = in.integer("memoryLeakCount");
    status.autoFrozenPIDs = in.pids("autoFrozenPIDs");
    status.activeFocusProfileName = in.optionalText("activeFocusProfileName");
    status.reclaimedFocusBytes = in.integer("reclaimedFocusBytes");
    status.listeningPortCount = in.integer("listeningPortCount");
    if (!in.ok())
        return std::nullopt;
    return status;
}
