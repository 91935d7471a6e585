#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include "VeskKit/System/VeskScreenRect.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The task planner's live report: today's counts, its suggestion for the next
// task, and where its mini panel and studio window stand on screen. Tolerant
// reader and ranges as for the focus timer.
struct VeskSelbarLiveStatus {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskSelbar;

    QDateTime timestamp;
    qint32 senderPID = 0;
    qint64 openTodayCount = 0;        // at least 0
    qint64 completedTodayCount = 0;   // at least 0
    qint64 overdueCount = 0;          // at least 0
    qint64 inProgressCount = 0;       // at least 0
    qint64 plannedMinutesToday = 0;   // at least 0
    qint64 dailyCapacityMinutes = 360;  // at least 30
    std::optional<QString> nextBestTaskID;
    std::optional<QString> nextBestTaskTitle;
    qint64 nextBestTaskMinutes = 25;  // at least 5
    std::optional<VeskScreenRect> miniPanelFrame;
    std::optional<VeskScreenRect> studioWindowFrame;
    bool isFocusDockedInside = false;

    VeskSelbarLiveStatus() = default;
    VeskSelbarLiveStatus(QDateTime timestamp, qint32 senderPID, qint64 openTodayCount, qint64 completedTodayCount,
                         qint64 overdueCount, qint64 inProgressCount, qint64 plannedMinutesToday,
                         qint64 dailyCapacityMinutes, std::optional<QString> nextBestTaskID,
                         std::optional<QString> nextBestTaskTitle, qint64 nextBestTaskMinutes,
                         std::optional<VeskScreenRect> miniPanelFrame, std::optional<VeskScreenRect> studioWindowFrame,
                         bool isFocusDockedInside);

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskSelbarLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskSelbarLiveStatus &) const = default;

private:
    void bringIntoRange();
};
