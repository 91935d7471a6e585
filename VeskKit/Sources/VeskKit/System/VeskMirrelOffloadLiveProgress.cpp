#include "VeskKit/System/VeskMirrelOffloadLiveProgress.h"

#include "VeskKit/System/VeskSuiteJson.h"

#include <algorithm>

VeskMirrelOffloadLiveProgress::VeskMirrelOffloadLiveProgress(
    QDateTime timestamp, bool isRunning, bool isCompletedSummary, qint64 stepIndex, qint64 totalSteps,
    double fractionCompleted, QString phaseTitleEN, QString phaseTitleTR, QString detailEN, QString detailTR,
    qint64 allocatedBytes, qint64 targetBytes, QStringList frozenAppNames, QString livePressure)
    : timestamp(std::move(timestamp)),
      isRunning(isRunning),
      isCompletedSummary(isCompletedSummary),
      stepIndex(stepIndex),
      totalSteps(std::max<qint64>(1, totalSteps)),
      fractionCompleted(fractionCompleted < 0 ? 0 : fractionCompleted > 1 ? 1 : fractionCompleted),
      phaseTitleEN(std::move(phaseTitleEN)),
      phaseTitleTR(std::move(phaseTitleTR)),
      detailEN(std::move(detailEN)),
      detailTR(std::move(detailTR)),
      allocatedBytes(allocatedBytes),
      targetBytes(targetBytes),
      frozenAppNames(std::move(frozenAppNames)),
      livePressure(std::move(livePressure))
{
}

std::optional<QJsonObject> VeskMirrelOffloadLiveProgress::toJson() const
{
    VeskSuiteJson::Writer out;
    out.timestamp("timestamp", timestamp);
    out.boolean("isRunning", isRunning);
    out.boolean("isCompletedSummary", isCompletedSummary);
    out.integer("stepIndex", stepIndex);
    out.integer("totalSteps", totalSteps);
    out.real("fractionCompleted", fractionCompleted);
    out.text("phaseTitleEN", phaseTitleEN);
    out.text("phaseTitleTR", phaseTitleTR);
    out.text("detailEN", detailEN);
    out.text("detailTR", detailTR);
    out.integer("allocatedBytes", allocatedBytes);
    out.integer("targetBytes", targetBytes);
    out.texts("frozenAppNames", frozenAppNames);
    out.text("livePressure", livePressure);
    return out.result();
}

std::optional<VeskMirrelOffloadLiveProgress> VeskMirrelOffloadLiveProgress::fromJson(const QJsonObject &object)
{
    VeskSuiteJson::Reader in(object);
    VeskMirrelOffloadLiveProgress progress;
    progress.timestamp = in.timestamp("timestamp");
    progress.isRunning = in.boolean("isRunning");
    progress.isCompletedSummary = in.boolean("isCompletedSummary");
    progress.stepIndex = in.integer("stepIndex");
    progress.totalSteps = in.integer("totalSteps");
    progress.fractionCompleted = in.real("fractionCompleted");
    progress.phaseTitleEN = in.text("phaseTitleEN");
    progress.phaseTitleTR = in.text("phaseTitleTR");
    progress.detailEN = in.text("detailEN");
    progress.detailTR = in.text("detailTR");
    progress.allocatedBytes = in.integer("allocatedBytes");
    progress.targetBytes = in.integer("targetBytes");
    progress.frozenAppNames = in.texts("frozenAppNames");
    progress.livePressure = in.text("livePressure");
    if (!in.ok())
        return std::nullopt;
    return progress;
}
