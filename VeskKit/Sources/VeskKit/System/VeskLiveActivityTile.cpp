#include "VeskKit/System/VeskLiveActivityTile.h"

#include "VeskKit/System/VeskSuiteJson.h"

VeskLiveActivityTile::VeskLiveActivityTile(VeskSuiteApp app, QDateTime timestamp, qint32 senderPID, QString titleEN,
                                           QString titleTR, QString primaryMetric,
                                           std::optional<QString> secondaryMetric, std::optional<double> progress,
                                           std::optional<QString> symbolName, Tone tone, qint64 priority)
    : app(app),
      timestamp(std::move(timestamp)),
      senderPID(senderPID),
      titleEN(std::move(titleEN)),
      titleTR(std::move(titleTR)),
      primaryMetric(std::move(primaryMetric)),
      secondaryMetric(std::move(secondaryMetric)),
      symbolName(symbolName ? std::move(*symbolName) : app.symbolName()),
      tone(tone),
      priority(priority)
{
    if (progress)
        this->progress = *progress < 0 ? 0 : *progress > 1 ? 1 : *progress;
}

bool VeskLiveActivityTile::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskLiveActivityTile::toJson() const
{
    VeskSuiteJson::Writer out;
    out.text("app", app.rawValue());
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.text("titleEN", titleEN);
    out.text("titleTR", titleTR);
    out.text("primaryMetric", primaryMetric);
    out.optionalText("secondaryMetric", secondaryMetric);
    out.optionalReal("progress", progress);
    out.text("symbolName", symbolName);
    out.text("tone", rawValue(tone));
    out.integer("priority", priority);
    return out.result();
}

std::optional<VeskLiveActivityTile> VeskLiveActivityTile::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskLiveActivityTile tile;
    const std::optional<VeskSuiteApp> app = VeskSuiteApp::fromRawValue(in.text("app"));
    tile.timestamp = in.timestamp("timestamp");
    tile.senderPID = in.pid("senderPID");
    tile.titleEN = in.text("titleEN");
    tile.titleTR = in.text("titleTR");
    tile.primaryMetric = in.text("primaryMetric");
    tile.secondaryMetric = in.optionalText("secondaryMetric");
    tile.progress = in.optionalReal("progress");
    tile.symbolName = in.text("symbolName");
    const std::optional<Tone> tone = VeskLiveActivityTileToneFromRaw(in.text("tone"));
    tile.priority = in.integer("priority");
    if (!in.ok() || !app || !tone)
        return std::nullopt;
    tile.app = *app;
    tile.tone = *tone;
    return tile;
}

bool VeskLiveActivityTile::operator==(const VeskLiveActivityTile &other) const
{
    return app == other.app && timestamp == other.timestamp && senderPID == other.senderPID
        && titleEN == other.titleEN && titleTR == other.titleTR && primaryMetric == other.primaryMetric
        && secondaryMetric == other.secondaryMetric && progress == other.progress && symbolName == other.symbolName
        && tone == other.tone && priority == other.priority;
}

QString rawValue(VeskLiveActivityTile::Tone tone)
{
    switch (tone) {
    case VeskLiveActivityTile::Tone::neutral: return QStringLiteral("neutral");
    case VeskLiveActivityTile::Tone::active: return QStringLiteral("active");
    case VeskLiveActivityTile::Tone::success: return QStringLiteral("success");
    case VeskLiveActivityTile::Tone::warning: return QStringLiteral("warning");
    case VeskLiveActivityTile::Tone::danger: return QStringLiteral("danger");
    }
    return QStringLiteral("neutral");
}

std::optional<VeskLiveActivityTile::Tone> VeskLiveActivityTileToneFromRaw(const QString &raw)
{
    using Tone = VeskLiveActivityTile::Tone;
    for (Tone tone : {Tone::neutral, Tone::active, Tone::success, Tone::warning, Tone::danger})
        if (rawValue(tone) == raw)
            return tone;
    return std::nullopt;
}
