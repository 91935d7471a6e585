#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>

// One offload run of the memory tool as it reports it: the step it is in,
// how far it got, what it moved out and which applications it froze. Carried
// inside the memory tool's live status.
struct VeskMirrelOffloadLiveProgress {
    QDateTime timestamp;
    bool isRunning = false;
    bool isCompletedSummary = false;
    // Counted from 1.
    qint64 stepIndex = 1;
    qint64 totalSteps = 1;
    double fractionCompleted = 0;
    QString phaseTitleEN;
    QString phaseTitleTR;
    QString detailEN;
    QString detailTR;
    qint64 allocatedBytes = 0;
    qint64 targetBytes = 0;
    QStringList frozenAppNames;
    // The pressure word at this moment; "warning" and "critical" are the ones
    // the kit tells apart.
    QString livePressure;

    VeskMirrelOffloadLiveProgress() = default;
    // totalSteps below 1 becomes 1; fractionCompleted is brought into 0...1.
    VeskMirrelOffloadLiveProgress(QDateTime timestamp, bool isRunning, bool isCompletedSummary, qint64 stepIndex,
                                  qint64 totalSteps, double fractionCompleted, QString phaseTitleEN,
                                  QString phaseTitleTR, QString detailEN, QString detailTR, qint64 allocatedBytes,
                                  qint64 targetBytes, QStringList frozenAppNames, QString livePressure);

    // Nothing when fractionCompleted is not finite.
    std::optional<QJsonObject> toJson() const;
    // All fourteen keys are required; values are taken as they stand.
    static std::optional<VeskMirrelOffloadLiveProgress> fromJson(const QJsonObject &object);

    bool operator==(const VeskMirrelOffloadLiveProgress &) const = default;
};
