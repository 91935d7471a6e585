#include "VeskKit/System/VeskPastinAudioAppItem.h"

#include "VeskKit/System/VeskSuiteJson.h"

VeskPastinAudioAppItem::VeskPastinAudioAppItem(QString id, QString bundleID, QString appName, bool isPlayingAudio,
                                               bool isMuted, double volume, float rmsLevel)
    : id(std::move(id)),
      bundleID(std::move(bundleID)),
      appName(std::move(appName)),
      isPlayingAudio(isPlayingAudio),
      isMuted(isMuted),
      volume(volume < 0 ? 0 : volume > 2 ? 2 : volume),
      rmsLevel(rmsLevel < 0 ? 0 : rmsLevel)
{
}

std::optional<QJsonObject> VeskPastinAudioAppItem::toJson() const
{
    VeskSuiteJson::Writer out;
    out.text("id", id);
    out.text("bundleID", bundleID);
    out.text("appName", appName);
    out.boolean("isPlayingAudio", isPlayingAudio);
    out.boolean("isMuted", isMuted);
    out.real("volume", volume);
    out.real32("rmsLevel", rmsLevel);
    return out.result();
}

std::optional<VeskPastinAudioAppItem> VeskPastinAudioAppItem::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskPastinAudioAppItem item;
    item.id = in.text("id");
    item.bundleID = in.text("bundleID");
    item.appName = in.text("appName");
    item.isPlayingAudio = in.boolean("isPlayingAudio");
    item.isMuted = in.boolean("isMuted");
    item.volume = in.real("volume");
    item.rmsLevel = in.real32("rmsLevel");
    if (!in.ok())
        return std::nullopt;
    return item;
}
