#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// One application channel of the audio mixer; `id` tells channels of one list
// apart.
struct VeskPastinAudioAppItem {
    QString id;
    QString bundleID;
    QString appName;
    bool isPlayingAudio = false;
    bool isMuted = false;
    double volume = 0;
    float rmsLevel = 0;

    VeskPastinAudioAppItem() = default;
    // volume is brought into 0...2; a negative rmsLevel becomes 0.
    VeskPastinAudioAppItem(QString id, QString bundleID, QString appName, bool isPlayingAudio, bool isMuted,
                           double volume, float rmsLevel);

    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskPastinAudioAppItem> fromJson(const QJsonObject &object);

    bool operator==(const VeskPastinAudioAppItem &) const = default;
};
