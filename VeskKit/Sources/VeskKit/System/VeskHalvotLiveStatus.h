#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The process killer's live report: how many processes it watches, which
// applications hang, what it froze and its focus profile.
struct VeskHalvotLiveStatus {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskHalvot;

    QDateTime timestamp;
    qint32 senderPID = 0;
    qint64 totalProcessCount = 0;
    qint64 unresponsiveCount = 0;
    qint64 problematicCount = 0;
    QStringList unresponsiveAppNames;
    qint64 memoryLeakCount = 0;
    QList<qint32> autoFrozenPIDs;
    std::optional<QString> activeFocusProfileName;
    qint64 reclaimedFocusBytes = 0;
    qint64 listeningPortCount = 0;

    VeskHalvotLiveStatus() = default;
    VeskHalvotLiveStatus(QDateTime timestamp, qint32 senderPID, qint64 totalProcessCount, qint64 unresponsiveCount,
                         qint64 problematicCount, QStringList unresponsiveAppNames, qint64 memoryLeakCount,
                         QList<qint32> autoFrozenPIDs, std::optional<QString> activeFocusProfileName,
                         qint64 reclaimedFocusBytes, qint64 listeningPortCount);

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskHalvotLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskHalvotLiveStatus &) const = default;
};
