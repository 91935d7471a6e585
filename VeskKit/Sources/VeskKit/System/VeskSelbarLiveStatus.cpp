#include "VeskKit/System/VeskSelbarLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include <algorithm>

VeskSelbarLiveStatus::VeskSelbarLiveStatus(QDateTime timestamp, qint32 senderPID, qint64 openTodayCount,
                                           qint64 completedTodayCount, qint64 overdueCount, qint64 inProgressCount,
                                           qint64 plannedMinutesToday, qint64 dailyCapacityMinutes,
                                           std::optional<QString> nextBestTaskID,
                                           std::optional<QString> nextBestTaskTitle, qint64 nextBestTaskMinutes,
                                           std::optional<VeskScreenRect> miniPanelFrame,
                                           std::optional<VeskScreenRect> studioWindowFrame, bool isFocusDockedInside)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      openTodayCount(openTodayCount),
      completedTodayCount(completedTodayCount),
      overdueCount(overdueCount),
      inProgressCount(inProgressCount),
      plannedMinutesToday(plannedMinutesToday),
      dailyCapacityMinutes(dailyCapacityMinutes),
      nextBestTaskID(std::move(nextBestTaskID)),
      nextBestTaskTitle(std::move(nextBestTaskTitle)),
      nextBestTaskMinutes(nextBestTaskMinutes),
      miniPanelFrame(miniPanelFrame),
      studioWindowFrame(studioWindowFrame),
      isFocusDockedInside(isFocusDockedInside)
{
    bringIntoRange();
}

void VeskSelbarLiveStatus::bringIntoRange()
{
    openTodayCount = std::max<qint64>(0, openTodayCount);
    completedTodayCount = std::max<qint64>(0, completedTodayCount);
    overdueCount = std::max<qint64>(0, overdueCount);
    inProgressCount = std::max<qint64>(0, inProgressCount);
    plannedMinutesToday = std::max<qint64>(0, plannedMinutesToday);
    dailyCapacityMinutes = std::max<qint64>(30, dailyCapacityMinutes);
    nextBestTaskMinutes = std::max<qint64>(5, nextBestTaskMinutes);
}

bool VeskSelbarLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskSelbarLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.integer("openTodayCount", openTodayCount);
    out.integer("completedTodayCount", completedTodayCount);
    out.integer("overdueCount", overdueCount);
    out.integer("inProgressCount", inProgressCount);
    out.integer("plannedMinutesToday", plannedMinutesToday);
    out.integer("dailyCapacityMinutes", dailyCapacityMinutes);
    out.optionalText("nextBestTaskID", nextBestTaskID);
    out.optionalText("nextBestTaskTitle", nextBestTaskTitle);
    out.integer("nextBestTaskMinutes", nextBestTaskMinutes);
    if (miniPanelFrame)
        out.object("miniPanelFrame", miniPanelFrame->toJson());
    if (studioWindowFrame)
        out.object("studioWindowFrame", studioWindowFrame->toJson());
    out.boolean("isFocusDockedInside", isFocusDockedInside);
    return out.result();
}

std::optional<VeskSelbarLiveStatus> VeskSelbarLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskSelbarLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.openTodayCount = in.integerOr("openTodayCount", 0);
    status.completedTodayCount = in.integerOr("completedTodayCount", 0);
    status.overdueCount = in.integerOr("overdueCount", 0);
    status.inProgressCount = in.integerOr("inProgressCount", 0);
    status.plannedMinutesToday = in.integerOr("plannedMinutesToday", 0);
    status.dailyCapacityMinutes = in.integerOr("dailyCapacityMinutes", 360);
    status.nextBestTaskID = in.optionalText("nextBestTaskID");
    status.nextBestTaskTitle = in.optionalText("nextBestTaskTitle");
    status.nextBestTaskMinutes = in.integerOr("nextBestTaskMinutes", 25);
    for (auto [key, frame] : {std::pair{"miniPanelFrame", &status.miniPanelFrame},
                              std::pair{"studioWindowFrame", &status.studioWindowFrame}}) {
        if (const std::optional<QJsonObject> nested = in.optionalObject(key)) {
            *frame = VeskScreenRect::fromJson(*nested);
            if (!*frame)
                in.fail();
        }
    }
    status.isFocusDockedInside = in.booleanOr("isFocusDockedInside", false);
    if (!in.ok())
        return std::nullopt;
    status.bringIntoRange();
    return status;
}
