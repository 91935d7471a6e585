#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskMemoryFigures.h"
#include "VeskKit/System/VeskMirrelOffloadLiveProgress.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The memory tool's periodic report: its memory figures, how full memory is
// and how healthy, and the offload run in progress if any.
struct VeskMirrelLiveStatus : VeskMemoryFigures {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskMirrel;

    QDateTime timestamp;
    qint32 senderPID = 0;
    double usedPercent = 0;
    qint64 healthScore = 0;
    std::optional<VeskMirrelOffloadLiveProgress> offloadProgress;

    // Any pool, sparse disk or memory disk in use.
    bool hasVirtualDiskExpansion() const;
    // Pools plus sparse disks; memory disks count in neither sum. Sums that
    // leave the 64-bit range stop at its limit.
    qint64 totalVirtualPoolCapacityBytes() const;
    qint64 totalVirtualDiskActualBytes() const;

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;

    // Nothing when a real value (here or in the progress) is not finite.
    std::optional<QJsonObject> toJson() const;
    // Every key but offloadProgress is required; a nested progress must be
    // complete.
    static std::optional<VeskMirrelLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskMirrelLiveStatus &) const = default;
};
