#include "VeskKit/System/VeskDovricLiveStatus.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include <algorithm>

VeskDovricLiveStatus::VeskDovricLiveStatus(QDateTime timestamp, qint32 senderPID, bool isRunning, bool isBreak,
                                           QString sessionModeRaw, qint64 remainingSeconds, qint64 totalSeconds,
                                           QString currentIntention, std::optional<QString> activeTaskID,
                                           std::optional<QString> activeTaskTitle,
                                           std::optional<QString> activeProjectName, bool isShieldActive,
                                           qint64 lockedAppsCount, qint64 blockedDomainsCount, bool isStrictMode,
                                           bool isAmbientPlaying, qint64 focusScorePercent,
                                           qint64 completedSessionsToday, qint64 currentStreakDays,
                                           double todayProductiveSeconds, bool isDockedInsideVeskSelbar)
    : timestamp(std::move(timestamp)),
      senderPID(senderPID),
      isRunning(isRunning),
      isBreak(isBreak),
      sessionModeRaw(std::move(sessionModeRaw)),
      remainingSeconds(remainingSeconds),
      totalSeconds(totalSeconds),
      currentIntention(std::move(currentIntention)),
      activeTaskID(std::move(activeTaskID)),
      activeTaskTitle(std::move(activeTaskTitle)),
      activeProjectName(std::move(activeProjectName)),
      isShieldActive(isShieldActive),
      lockedAppsCount(lockedAppsCount),
      blockedDomainsCount(blockedDomainsCount),
      isStrictMode(isStrictMode),
      isAmbientPlaying(isAmbientPlaying),
      focusScorePercent(focusScorePercent),
      completedSessionsToday(completedSessionsToday),
      currentStreakDays(currentStreakDays),
      todayProductiveSeconds(todayProductiveSeconds),
      isDockedInsideVeskSelbar(isDockedInsideVeskSelbar)
{
    bringIntoRange();
}

void VeskDovricLiveStatus::bringIntoRange()
{
    remainingSeconds = std::max<qint64>(0, remainingSeconds);
    totalSeconds = std::max<qint64>(1, totalSeconds);
    lockedAppsCount = std::max<qint64>(0, lockedAppsCount);
    blockedDomainsCount = std::max<qint64>(0, blockedDomainsCount);
    focusScorePercent = std::clamp<qint64>(focusScorePercent, 0, 100);
    completedSessionsToday = std::max<qint64>(0, completedSessionsToday);
    currentStreakDays = std::max<qint64>(0, currentStreakDays);
    if (todayProductiveSeconds < 0)
        todayProductiveSeconds = 0;
}

double VeskDovricLiveStatus::progress() const
{
    const double value = 1.0 - double(remainingSeconds) / double(std::max<qint64>(totalSeconds, 1));
    return value < 0 ? 0 : value > 1 ? 1 : value;
}

bool VeskDovricLiveStatus::isFresh(const QDateTime &now, double maxAgeSeconds) const
{
    return VeskSuiteJson::isFresh(timestamp, senderPID, now, maxAgeSeconds);
}

std::optional<QJsonObject> VeskDovricLiveStatus::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.integer("senderPID", senderPID);
    out.boolean("isRunning", isRunning);
    out.boolean("isBreak", isBreak);
    out.text("sessionModeRaw", sessionModeRaw);
    out.integer("remainingSeconds", remainingSeconds);
    out.integer("totalSeconds", totalSeconds);
    out.text("currentIntention", currentIntention);
    out.optionalText("activeTaskID", activeTaskID);
    out.optionalText("activeTaskTitle", activeTaskTitle);
    out.optionalText("activeProjectName", activeProjectName);
    out.boolean("isShieldActive", isShieldActive);
    out.integer("lockedAppsCount", lockedAppsCount);
    out.integer("blockedDomainsCount", blockedDomainsCount);
    out.boolean("isStrictMode", isStrictMode);
    out.boolean("isAmbientPlaying", isAmbientPlaying);
    out.integer("focusScorePercent", focusScorePercent);
    out.integer("completedSessionsToday", completedSessionsToday);
    out.integer("currentStreakDays", currentStreakDays);
    out.real("todayProductiveSeconds", todayProductiveSeconds);
    out.boolean("isDockedInsideVeskSelbar", isDockedInsideVeskSelbar);
    return out.result();
}

std::optional<VeskDovricLiveStatus> VeskDovricLiveStatus::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskDovricLiveStatus status;
    status.timestamp = in.timestamp("timestamp");
    status.senderPID = in.pid("senderPID");
    status.isRunning = in.booleanOr("isRunning", false);
    status.isBreak = in.booleanOr("isBreak", false);
    status.sessionModeRaw = in.textOr("sessionModeRaw", QStringLiteral("pomodoro25"));
    status.remainingSeconds = in.integerOr("remainingSeconds", 1500);
    status.totalSeconds = in.integerOr("totalSeconds", 1500);
    status.currentIntention = in.textOr("currentIntention", QString());
    status.activeTaskID = in.optionalText("activeTaskID");
    status.activeTaskTitle = in.optionalText("activeTaskTitle");
    status.activeProjectName = in.optionalText("activeProjectName");
    status.isShieldActive = in.booleanOr("isShieldActive", false);
    status.lockedAppsCount = in.integerOr("lockedAppsCount", 0);
    status.blockedDomainsCount = in.integerOr("blockedDomainsCount", 0);
    status.isStrictMode = in.booleanOr("isStrictMode", false);
    status.isAmbientPlaying = in.booleanOr("isAmbientPlaying", false);
    status.focusScorePercent = in.integerOr("focusScorePercent", 0);
    status.completedSessionsToday = in.integerOr("completedSessionsToday", 0);
    status.currentStreakDays = in.integerOr("currentStreakDays", 0);
    status.todayProductiveSeconds = in.realOr("todayProductiveSeconds", 0);
    status.isDockedInsideVeskSelbar = in.booleanOr("isDockedInsideVeskSelbar", false);
    if (!in.ok())
        return std::nullopt;
    status.bringIntoRange();
    return status;
}
