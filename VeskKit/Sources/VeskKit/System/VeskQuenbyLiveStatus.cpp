#include "VeskKit/System/VeskQuenbyLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

VeskQuenbyLiveStatus::VeskQuenbyLiveStatus(QDateTime timestamp, qint32 senderPID, QString title, QString artist,
                                           QString album, QString qualityBadge, bool isPlaying, double elapsedSeconds,
                                           double durationSeconds, double volume)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      title(std::move(title)),
      artist(std::move(artist)),
      album(std::move(album)),
      qualityBadge(std::move(qualityBadge)),
      isPlaying(isPlaying),
      elapsedSeconds(elapsedSeconds < 0 ? 0 : elapsedSeconds),
      durationSeconds(durationSeconds < 0 ? 0 : durationSeconds),
      volume(volume < 0 ? 0 : volume > 1 ? 1 : volume)
{
}

double VeskQuenbyLiveStatus::progress() const
{
    if (!(durationSeconds > 0))
        return 0;
    const double ratio = elapsedSeconds / durationSeconds;
    if (ratio < 0)
        return 0;
    if (ratio >= 1)
        return 1;
    return ratio;
}

bool VeskQuenbyLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskQuenbyLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.text("title", title);
    out.text("artist", artist);
    out.text("album", album);
    out.text("qualityBadge", qualityBadge);
    out.boolean("isPlaying", isPlaying);
    out.real("elapsedSeconds", elapsedSeconds);
    out.real("durationSeconds", durationSeconds);
    out.real("volume", volume);
    return out.result();
}

std::optional<VeskQuenbyLiveStatus> VeskQuenbyLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskQuenbyLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.title = in.text("title");
    status.artist = in.text("artist");
    status.album = in.text("album");
    status.qualityBadge = in.text("qualityBadge");
    status.isPlaying = in.boolean("isPlaying");
    status.elapsedSeconds = in.real("elapsedSeconds");
    status.durationSeconds = in.real("durationSeconds");
    status.volume = in.real("volume");
    if (!in.ok())
        return std::nullopt;
    return status;
}
