#pragma once

#include "Engine/ComputationalNoteEngine.h"
#include "Models/CurrencyRateTable.h"
#include "Models/ZulConfig.h"
#include "Models/ZulNote.h"
#include "ViewModels/ZulEvaluationMap.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>
#include <QUuid>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>

class QTimer;
class VeskAppLogger;

// When and where the notes are evaluated, and the evaluations they have:
// the engine for the day, the currency and the rates; the pause after a
// keystroke in a long note before it is evaluated off the GUI thread, one
// evaluation of a note at a time; the whole collection at start-up, the
// notes on screen at once and the rest aside; and the refresh at midnight,
// when "today" changes. Lives on the GUI thread. Reads the notes, the
// settings and the rates it is given, which must outlive it.
class ZulEvaluationScheduler : public QObject
{
    Q_OBJECT
public:
    using NoteLookup = std::function<const ZulNote *(const QUuid &)>;
    using Clock = std::function<QDateTime()>;

    static constexpr int debounceMs = 30;
    // How many lines below an edit of a long note are shown evaluated before
    // the rest of the note is: more than a screen holds.
    static constexpr qsizetype earlyResultLines = 300;

    // `findNote` gives the note of `notes` with an id, or null; `now` the
    // present instant in UTC.
    ZulEvaluationScheduler(const QList<ZulNote> &notes, NoteLookup findNote, const ZulConfig &config,
                           const CurrencyRateTable &rates, Clock now, std::shared_ptr<VeskAppLogger> logger,
                           QObject *parent = nullptr);
    // Stops what is left of an evaluation running aside and waits for the
    // ones under way; nothing is evaluated afterwards.
    void shutDown();
    ~ZulEvaluationScheduler() override;

    const ZulEvaluationMap &evaluations() const { return m_evaluationsByNoteID; }
    // Empty when the note has none.
    const CompactNoteEvaluation &cachedEvaluation(const QUuid &id) const;

    // The engine for any evaluation; rebuilt when the day, the default
    // currency or the rates change, and stamped with the present instant.
    ComputationalNoteEngine currentEngine();
    // The rates or the currency changed: the next engine is built anew.
    void clearEngineCache();

    // Every note anew; `selected` is among the notes evaluated at once.
    void recomputeAllEvaluations(const std::optional<QUuid> &selected);
    // While held, the notes a whole evaluation leaves aside wait to be
    // evaluated until the hold is released (the latest whole evaluation's;
    // an earlier one is superseded anyway).
    void holdAsideEvaluations();
    void releaseAsideEvaluations();
    void scheduleDebouncedEvaluation(const QUuid &noteID, const QString &content);
    void cancelDebouncedEvaluation(const QUuid &noteID);
    void cancelAllDebouncedEvaluations();
    void setEvaluation(const QUuid &id, const CompactNoteEvaluation &evaluation);
    void removeEvaluations(const QList<QUuid> &ids);

    // Arms the timer that announces the next midnight.
    void scheduleMidnightRefresh();

signals:
    // One note's evaluation was replaced, or dropped with its note.
    void evaluationChanged(const QUuid &id);
    // Every evaluation was replaced.
    void evaluationsReset();
    void evaluationsByNoteIDChanged();
    // The local day changed: whatever says "today" is evaluated again.
    void dayChanged();

private:
    using DayKey = std::tuple<int, int, int>;

    struct PendingEvaluation
    {
        QTimer *timer = nullptr;
        quint64 token = 0;
        // Its pause is over: it runs, or waits for the note's running one.
        bool due = false;
        QString content;
    };

    void evaluateAside(const ComputationalNoteEngine &engine, quint64 generation,
                       const QList<std::pair<QUuid, QString>> &texts);
    void startBackgroundEvaluation(const QUuid &noteID, quint64 token, const QString &content);
    void applyBackgroundEvaluation(const QUuid &noteID, quint64 token, const QString &content,
                                   const CompactNoteEvaluation &evaluation);
    void applyEarlyEvaluation(const QUuid &noteID, quint64 token, const QString &content,
                              const CompactNoteEvaluation &results);

    const QList<ZulNote> &m_notes;
    NoteLookup m_findNote;
    const ZulConfig &m_config;
    const CurrencyRateTable &m_rates;
    Clock m_now;
    std::shared_ptr<VeskAppLogger> m_logger;

    ZulEvaluationMap m_evaluationsByNoteID;
    QHash<QUuid, PendingEvaluation> m_evaluationDebounceTasks;
    QSet<QUuid> m_evaluationsRunning;
    quint64 m_nextEvaluationToken = 0;
    // Counts whole-collection evaluations; one running aside stops when a
    // later one begins.
    std::shared_ptr<std::atomic<quint64>> m_evaluationGeneration = std::make_shared<std::atomic<quint64>>(0);
    QThreadPool m_evaluationPool;
    bool m_asideHeld = false;
    std::function<void()> m_heldAside;
    QTimer *m_midnightTimer = nullptr;
    std::optional<ComputationalNoteEngine> m_cachedEngine;
    std::optional<DayKey> m_cachedEngineDayKey;
    QString m_cachedEngineCurrency;
    std::optional<CurrencyRateTable> m_cachedEngineRates;
    // Whether UTC standing in for an unknown system time zone was logged.
    bool m_reportedUnknownTimeZone = false;
};
