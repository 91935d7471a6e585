#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskPastinAudioAppItem.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// The audio mixer's live report: master volume, output device and one channel
// per application, in the mixer's order.
struct VeskPastinLiveStatus {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskPastin;

    QDateTime timestamp;
    qint32 senderPID = 0;
    double masterVolume = 0;
    QString outputDeviceName;
    QList<VeskPastinAudioAppItem> channels;

    VeskPastinLiveStatus() = default;
    // masterVolume is brought into 0...1.
    VeskPastinLiveStatus(QDateTime timestamp, qint32 senderPID, double masterVolume, QString outputDeviceName,
                         QList<VeskPastinAudioAppItem> channels);

    // Channels producing sound and not muted.
    qint64 activePlayingCount() const;
    // Muted channels, playing or not.
    qint64 mutedCount() const;

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskPastinLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskPastinLiveStatus &) const = default;
};
