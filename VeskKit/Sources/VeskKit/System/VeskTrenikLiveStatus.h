#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The system monitor's live report: processor, graphics and memory load,
// swap, temperatures, fan and power, and its health verdict.
struct VeskTrenikLiveStatus {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskTrenik;

    QDateTime timestamp;
    qint32 senderPID = 0;
    double cpuTotalPercent = 0;
    double gpuTotalPercent = 0;
    double memoryUsedPercent = 0;
    qint64 swapUsedBytes = 0;
    std::optional<double> cpuTempCelsius;
    std::optional<double> gpuTempCelsius;
    std::optional<double> socTempCelsius;
    std::optional<qint64> fanMaxRPM;
    std::optional<double> systemWatts;
    qint64 healthScore = 0;
    QString thermalState;
    std::optional<qint64> nvmeHealthPercent;

    VeskTrenikLiveStatus() = default;
    VeskTrenikLiveStatus(QDateTime timestamp, qint32 senderPID, double cpuTotalPercent, double gpuTotalPercent,
                         double memoryUsedPercent, qint64 swapUsedBytes, std::optional<double> cpuTempCelsius,
                         std::optional<double> gpuTempCelsius, std::optional<double> socTempCelsius,
                         std::optional<qint64> fanMaxRPM, std::optional<double> systemWatts, qint64 healthScore,
                         QString thermalState, std::optional<qint64> nvmeHealthPercent);

    // The processor's reading, else the system-on-chip's, else the graphics
    // processor's.
    std::optional<double> headlineTempCelsius() const;

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskTrenikLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskTrenikLiveStatus &) const = default;
};
