#include "VeskKit/System/VeskTrenikLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

VeskTrenikLiveStatus::VeskTrenikLiveStatus(QDateTime timestamp, qint32 senderPID, double cpuTotalPercent,
                                           double gpuTotalPercent, double memoryUsedPercent, qint64 swapUsedBytes,
                                           std::optional<double> cpuTempCelsius, std::optional<double> gpuTempCelsius,
                                           std::optional<double> socTempCelsius, std::optional<qint64> fanMaxRPM,
                                           std::optional<double> systemWatts, qint64 healthScore, QString thermalState,
                                           std::optional<qint64> nvmeHealthPercent)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      cpuTotalPercent(cpuTotalPercent),
      gpuTotalPercent(gpuTotalPercent),
      memoryUsedPercent(memoryUsedPercent),
      swapUsedBytes(swapUsedBytes),
      cpuTempCelsius(cpuTempCelsius),
      gpuTempCelsius(gpuTempCelsius),
      socTempCelsius(socTempCelsius),
      fanMaxRPM(fanMaxRPM),
      systemWatts(systemWatts),
      healthScore(healthScore),
      thermalState(std::move(thermalState)),
      nvmeHealthPercent(nvmeHealthPercent)
{
}

std::optional<double> VeskTrenikLiveStatus::headlineTempCelsius() const
{
    if (cpuTempCelsius)
        return cpuTempCelsius;
    if (socTempCelsius)
        return socTempCelsius;
    return gpuTempCelsius;
}

bool VeskTrenikLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskTrenikLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.real("cpuTotalPercent", cpuTotalPercent);
    out.real("gpuTotalPercent", gpuTotalPercent);
    out.real("memoryUsedPercent", memoryUsedPercent);
    out.integer("swapUsedBytes", swapUsedBytes);
    out.optionalReal("cpuTempCelsius", cpuTempCelsius);
    out.optionalReal("gpuTempCelsius", gpuTempCelsius);
    out.optionalReal("socTempCelsius", socTempCelsius);
    out.optionalInteger("fanMaxRPM", fanMaxRPM);
    out.optionalReal("systemWatts", systemWatts);
    out.integer("healthScore", healthScore);
    out.text("thermalState", thermalState);
    out.optionalInteger("nvmeHealthPercent", nvmeHealthPercent);
    return out.result();
}

std::optional<VeskTrenikLiveStatus> VeskTrenikLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskTrenikLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.cpuTotalPercent = in.real("cpuTotalPercent");
    status.gpuTotalPercent = in.real("gpuTotalPercent");
    status.memoryUsedPercent = in.real("memoryUsedPercent");
    status.swapUsedBytes = in.integer("swapUsedBytes");
    status.cpuTempCelsius = in.optionalReal("cpuTempCelsius");
    status.gpuTempCelsius = in.optionalReal("gpuTempCelsius");
    status.socTempCelsius = in.optionalReal("socTempCelsius");
    status.fanMaxRPM = in.optionalInteger("fanMaxRPM");
    status.systemWatts = in.optionalReal("systemWatts");
    status.healthScore = in.integer("healthScore");
    status.thermalState = in.text("thermalState");
    status.nvmeHealthPercent = in.optionalInteger("nvmeHealthPercent");
    if (!in.ok())
        return std::nullopt;
    return status;
}
