#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The music player's live report: the current track, whether it plays, where
// in the track it is, and the volume.
struct VeskQuenbyLiveStatus {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskQuenby;

    QDateTime timestamp;
    qint32 senderPID = 0;
    QString title;
    QString artist;
    QString album;
    QString qualityBadge;
    bool isPlaying = false;
    double elapsedSeconds = 0;
    double durationSeconds = 0;
    double volume = 0;

    VeskQuenbyLiveStatus() = default;
    // Negative times become 0; volume is brought into 0...1.
    VeskQuenbyLiveStatus(QDateTime timestamp, qint32 senderPID, QString title, QString artist, QString album,
                         QString qualityBadge, bool isPlaying, double elapsedSeconds, double durationSeconds,
                         double volume);

    // elapsed / duration within 0...1; 0 for a track without length.
    double progress() const;

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskQuenbyLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskQuenbyLiveStatus &) const = default;
};
