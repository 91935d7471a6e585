#pragma once

#include "VeskKit/System/VeskSuiteApp.h"
#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <optional>

// The focus timer's live report. Its reader is tolerant: only timestamp and
// senderPID are required, a missing or null key takes its default, and every
// count lies within its range whether built or read.
struct VeskDovricLiveStatus {
    // The sibling that writes this status, and whose file it is.
    static constexpr VeskSuiteApp::Value writer = VeskSuiteApp::veskDovric;

    QDateTime timestamp;
    qint32 senderPID = 0;
    bool isRunning = false;
    bool isBreak = false;
    QString sessionModeRaw = QStringLiteral("pomodoro25");
    qint64 remainingSeconds = 1500;  // at least 0
    qint64 totalSeconds = 1500;      // at least 1
    QString currentIntention;
    std::optional<QString> activeTaskID;
    std::optional<QString> activeTaskTitle;
    std::optional<QString> activeProjectName;
    bool isShieldActive = false;
    qint64 lockedAppsCount = 0;         // at least 0
    qint64 blockedDomainsCount = 0;     // at least 0
    bool isStrictMode = false;
    bool isAmbientPlaying = false;
    qint64 focusScorePercent = 0;       // 0 to 100
    qint64 completedSessionsToday = 0;  // at least 0
    qint64 currentStreakDays = 0;       // at least 0
    double todayProductiveSeconds = 0;  // at least 0
    bool isDockedInsideVeskSelbar = false;

    VeskDovricLiveStatus() = default;
    VeskDovricLiveStatus(QDateTime timestamp, qint32 senderPID, bool isRunning, bool isBreak, QString sessionModeRaw,
                         qint64 remainingSeconds, qint64 totalSeconds, QString currentIntention,
                         std::optional<QString> activeTaskID, std::optional<QString> activeTaskTitle,
                         std::optional<QString> activeProjectName, bool isShieldActive, qint64 lockedAppsCount,
                         qint64 blockedDomainsCount, bool isStrictMode, bool isAmbientPlaying,
                         qint64 focusScorePercent, qint64 completedSessionsToday, qint64 currentStreakDays,
                         double todayProductiveSeconds, bool isDockedInsideVeskSelbar);

    // How much of the period has passed: 0 with all its time left, 1 when over.
    double progress() const;

    bool isFresh(const QDateTime &now, double maxAgeSeconds) const;
    std::optional<QJsonObject> toJson() const;
    static std::optional<VeskDovricLiveStatus> fromJson(const QJsonObject &object);

    bool operator==(const VeskDovricLiveStatus &) const = default;

private:
    void bringIntoRange();
};
