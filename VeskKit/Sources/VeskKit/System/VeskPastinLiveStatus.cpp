#include "VeskKit/System/VeskPastinLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include <QJsonArray>

#include <algorithm>

VeskPastinLiveStatus::VeskPastinLiveStatus(QDateTime timestamp, qint32 senderPID, double masterVolume,
                                           QString outputDeviceName, QList<VeskPastinAudioAppItem> channels)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      masterVolume(masterVolume < 0 ? 0 : masterVolume > 1 ? 1 : masterVolume),
      outputDeviceName(std::move(outputDeviceName)),
      channels(std::move(channels))
{
}

qint64 VeskPastinLiveStatus::activePlayingCount() const
{
    return std::count_if(channels.cbegin(), channels.cend(),
                         [](const VeskPastinAudioAppItem &c) { return c.isPlayingAudio && !c.isMuted; });
}

qint64 VeskPastinLiveStatus::mutedCount() const
{
    return std::count_if(channels.cbegin(), channels.cend(), [](const VeskPastinAudioAppItem &c) { return c.isMuted; });
}

bool VeskPastinLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskPastinLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.real("masterVolume", masterVolume);
    out.text("outputDeviceName", outputDeviceName);
    QJsonArray list;
    for (const VeskPastinAudioAppItem &channel : channels) {
        const std::optional<QJsonObject> encoded = channel.toJson();
        if (!encoded) {
            out.fail();
            break;
        }
        list.append(*encoded);
    }
    out.array("channels", list);
    return out.result();
}

std::optional<VeskPastinLiveStatus> VeskPastinLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskPastinLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.masterVolume = in.real("masterVolume");
    status.outputDeviceName = in.text("outputDeviceName");
    for (const QJsonValue &item : in.array("channels")) {
        std::optional<VeskPastinAudioAppItem> channel;
        if (item.isObject())
            channel = VeskPastinAudioAppItem::fromJson(item.toObject());
        if (!channel) {
            in.fail();
            break;
        }
        status.channels.append(*channel);
    }
    if (!in.ok())
        return std::nullopt;
    return status;
}
