#include "ViewModels/ZulEvaluationScheduler.h"

#include "Engine/ZulSystemTimeZone.h"
#include "Models/ZulNoteOrder.h"
#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// Whole-collection evaluations spread over threads from this many notes on.
constexpr qsizetype kParallelEvaluationThreshold = 32;
// A whole-collection evaluation evaluates this many notes of the top of the
// list before it returns, and the rest off the main thread.
constexpr qsizetype kEvaluatedFirst = 64;
// A note this long is evaluated off the main thread.
constexpr qsizetype kEvaluatedAsideFrom = 64 * 1024;

} // namespace

ZulEvaluationScheduler::ZulEvaluationScheduler(const QList<ZulNote> &notes, NoteLookup findNote,
                                               const ZulConfig &config, const CurrencyRateTable &rates, Clock now,
                                               std::shared_ptr<VeskAppLogger> logger, QObject *parent)
    : QObject(parent),
      m_notes(notes),
      m_findNote(std::move(findNote)),
      m_config(config),
      m_rates(rates),
      m_now(std::move(now)),
      m_logger(std::move(logger))
{
}

void ZulEvaluationScheduler::shutDown()
{
    cancelAllDebouncedEvaluations();
    // What is left of an evaluation running aside is not begun.
    ++*m_evaluationGeneration;
    m_heldAside = {};
    m_evaluationPool.waitForDone();
}

ZulEvaluationScheduler::~ZulEvaluationScheduler()
{
    shutDown();
}

const CompactNoteEvaluation &ZulEvaluationScheduler::cachedEvaluation(const QUuid &id) const
{
    static const CompactNoteEvaluation none;
    const auto found = m_evaluationsByNoteID.constFind(id);
    return found == m_evaluationsByNoteID.cend() ? none : *found;
}

void ZulEvaluationScheduler::setEvaluation(const QUuid &id, const CompactNoteEvaluation &evaluation)
{
    m_evaluationsByNoteID.insert(id, evaluation);
    emit evaluationChanged(id);
    emit evaluationsByNoteIDChanged();
}

void ZulEvaluationScheduler::removeEvaluations(const QList<QUuid> &ids)
{
    QList<QUuid> removed;
    for (const QUuid &id : ids) {
        if (m_evaluationsByNoteID.remove(id))
            removed.append(id);
    }
    for (const QUuid &id : std::as_const(removed))
        emit evaluationChanged(id);
    if (!removed.isEmpty())
        emit evaluationsByNoteIDChanged();
}

// MARK: - Engine cache and whole-collection evaluation

ComputationalNoteEngine ZulEvaluationScheduler::currentEngine()
{
    const QDateTime instant = m_now();
    const QDate day = instant.toLocalTime().date();
    const DayKey dayKey{day.year(), day.month(), day.day()};
    const QString currency = m_config.defaultCurrency.toUpper();
    const bool cacheHolds = m_cachedEngine && m_cachedEngineDayKey == dayKey && m_cachedEngineCurrency == currency
        && m_cachedEngineRates == m_rates;
    if (!cacheHolds) {
        const ZulSystemTimeZone calendar = ZulSystemTimeZone::current();
        if (!calendar.unknownName.isEmpty() && !m_reportedUnknownTimeZone) {
            m_reportedUnknownTimeZone = true;
            m_logger->log(VeskLogLevel::warn, QStringLiteral("lifecycle"),
                          QStringLiteral("The system time zone \"%1\" is unknown; dates are counted in UTC")
                              .arg(QString::fromUtf8(calendar.unknownName)));
        }
        m_cachedEngine.emplace(m_rates, currency, instant, calendar.zone);
        m_cachedEngineDayKey = dayKey;
        m_cachedEngineCurrency = currency;
        m_cachedEngineRates = m_rates;
        return *m_cachedEngine;
    }
    // "now" and "today" mean the moment of evaluation, not the moment the
    // engine was built; the engine shares its tables, so this costs nothing.
    return ComputationalNoteEngine(m_cachedEngine->rates(), m_cachedEngine->defaultCurrency(), instant,
                                   m_cachedEngine->calendar());
}

void ZulEvaluationScheduler::clearEngineCache()
{
    m_cachedEngine.reset();
    m_cachedEngineDayKey.reset();
}

void ZulEvaluationScheduler::recomputeAllEvaluations(const std::optional<QUuid> &selected)
{
    cancelAllDebouncedEvaluations();
    const ComputationalNoteEngine engine = currentEngine();
    const quint64 generation = ++*m_evaluationGeneration;
    // A held set this one supersedes would only be begun to be dropped.
    m_heldAside = {};

    // The notes on screen when the studio opens (the top of the list, the
    // selected note, the floating ones) are evaluated at once; in a large
    // collection the others are evaluated off the main thread and come
    // together when all are done, and a long note always does: the window
    // does not wait for notes nobody sees yet.
    QList<int> now;
    QList<int> aside;
    if (m_notes.size() <= kEvaluatedFirst) {
        for (int index = 0; index < m_notes.size(); ++index)
            (m_notes.at(index).content.size() > kEvaluatedAsideFrom ? aside : now).append(index);
    } else {
        QList<int> order(m_notes.size());
        std::iota(order.begin(), order.end(), 0);
        std::partial_sort(order.begin(), order.begin() + kEvaluatedFirst, order.end(), [this](int a, int b) {
            const ZulNoteOrder::Key first = ZulNoteOrder::keyOf(m_notes.at(a));
            const ZulNoteOrder::Key second = ZulNoteOrder::keyOf(m_notes.at(b));
            return ZulNoteOrder::comesBefore(first, second) || (!ZulNoteOrder::comesBefore(second, first) && a < b);
        });
        QSet<int> first(order.cbegin(), order.cbegin() + kEvaluatedFirst);
        for (int index = 0; index < m_notes.size(); ++index) {
            const ZulNote &note = m_notes.at(index);
            const bool shown = first.contains(index) || note.isFloatingSticky || note.id == selected;
            (shown && note.content.size() <= kEvaluatedAsideFrom ? now : aside).append(index);
        }
    }

    // Notes evaluated aside keep their earlier result meanwhile; notes
    // that are gone lose theirs.
    ZulEvaluationMap evaluations;
    evaluations.reserve(m_notes.size());
    for (const int index : std::as_const(aside)) {
        const auto kept = m_evaluationsByNoteID.constFind(m_notes.at(index).id);
        if (kept != m_evaluationsByNoteID.cend())
            evaluations.insert(kept.key(), *kept);
    }
    if (now.size() >= kParallelEvaluationThreshold) {
        const QList<CompactNoteEvaluation> results = QtConcurrent::blockingMapped<QList<CompactNoteEvaluation>>(
            &m_evaluationPool, now, [this, engine](int index) { return engine.evaluateCompact(m_notes.at(index).content); });
        for (qsizetype k = 0; k < now.size(); ++k)
            evaluations.insert(m_notes.at(now[k]).id, results.at(k));
    } else {
        for (const int index : std::as_const(now))
            evaluations.insert(m_notes.at(index).id, engine.evaluateCompact(m_notes.at(index).content));
    }
    m_evaluationsByNoteID = std::move(evaluations);
    emit evaluationsReset();
    emit evaluationsByNoteIDChanged();
    if (aside.isEmpty())
        return;

    QList<std::pair<QUuid, QString>> texts;
    texts.reserve(aside.size());
    for (const int index : std::as_const(aside))
        texts.append({m_notes.at(index).id, m_notes.at(index).content});
    if (m_asideHeld) {
        m_heldAside = [this, engine, generation, texts] { evaluateAside(engine, generation, texts); };
        return;
    }
    evaluateAside(engine, generation, texts);
}

void ZulEvaluationScheduler::holdAsideEvaluations()
{
    m_asideHeld = true;
}

void ZulEvaluationScheduler::releaseAsideEvaluations()
{
    m_asideHeld = false;
    if (const std::function<void()> held = std::exchange(m_heldAside, {}))
        held();
}

void ZulEvaluationScheduler::evaluateAside(const ComputationalNoteEngine &engine, quint64 generation,
                                           const QList<std::pair<QUuid, QString>> &texts)
{
    const std::shared_ptr<std::atomic<quint64>> current = m_evaluationGeneration;
    QtConcurrent::mapped(&m_evaluationPool, texts,
                         [engine, current, generation](const std::pair<QUuid, QString> &text) {
                             // A later whole evaluation supersedes this one:
                             // what is left of it is never evaluated.
                             if (current->load() != generation)
                                 return CompactNoteEvaluation();
                             return engine.evaluateCompact(text.second);
                         })
        .then(this, [this, generation, texts](QFuture<CompactNoteEvaluation> done) {
            // A pool that finished before this continuation was attached runs
            // it at once, inside this function; the results always come
            // through the event loop instead, after what the caller does next.
            QMetaObject::invokeMethod(
                this,
                [this, generation, texts, results = done.results()] {
                    if (m_evaluationGeneration->load() != generation)
                        return;
                    for (qsizetype k = 0; k < texts.size() && k < results.size(); ++k) {
                        const ZulNote *note = m_findNote(texts[k].first);
                        // An edit since then brought its own evaluation.
                        if (note && note->content == texts[k].second)
                            m_evaluationsByNoteID.insert(texts[k].first, results[k]);
                    }
                    emit evaluationsReset();
                    emit evaluationsByNoteIDChanged();
                },
                Qt::QueuedConnection);
        });
}

void ZulEvaluationScheduler::scheduleMidnightRefresh()
{
    if (!m_midnightTimer) {
        m_midnightTimer = new QTimer(this);
        m_midnightTimer->setSingleShot(true);
        connect(m_midnightTimer, &QTimer::timeout, this, [this] {
            // A timer may fire a little early; the day key then still holds
            // and the next round catches midnight.
            emit dayChanged();
            scheduleMidnightRefresh();
        });
    }
    const QDateTime local = m_now().toLocalTime();
    const QDateTime nextMidnight(local.date().addDays(1), QTime(0, 0), Qt::LocalTime);
    // At least a second, so a clock that jumps about cannot make it spin.
    const qint64 wait = std::clamp<qint64>(local.msecsTo(nextMidnight), 1000, qint64(24) * 3600 * 1000 + 3600 * 1000);
    m_midnightTimer->start(int(wait));
}

// MARK: - Debounced evaluation of long notes

void ZulEvaluationScheduler::scheduleDebouncedEvaluation(const QUuid &noteID, const QString &content)
{
    cancelDebouncedEvaluation(noteID);
    const quint64 token = ++m_nextEvaluationToken;
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    // The text is read from the pending entry, not kept by the timer: a
    // superseded timer lives until the event loop deletes it, and in a burst
    // of keys (a busy machine delivers them back to back) each would keep a
    // whole copy of a long note until then.
    connect(timer, &QTimer::timeout, this, [this, noteID, token] {
        auto pending = m_evaluationDebounceTasks.find(noteID);
        if (pending == m_evaluationDebounceTasks.end() || pending->token != token)
            return;
        if (pending->timer) {
            pending->timer->deleteLater();
            pending->timer = nullptr;
        }
        pending->due = true;
        // One evaluation of a note runs at a time: a text due while an older
        // one is evaluated waits for it, and a newer text due meanwhile
        // takes its place, so a superseded text is never evaluated at all.
        if (!m_evaluationsRunning.contains(noteID))
            startBackgroundEvaluation(noteID, token, pending->content);
    });
    m_evaluationDebounceTasks.insert(noteID, PendingEvaluation{timer, token, false, content});
    timer->start(debounceMs);
}

void ZulEvaluationScheduler::startBackgroundEvaluation(const QUuid &noteID, quint64 token, const QString &content)
{
    m_evaluationsRunning.insert(noteID);
    const ComputationalNoteEngine engine = currentEngine();
    // The evaluation the note has lets an edited text be evaluated only
    // around the edit.
    const CompactNoteEvaluation previous = cachedEvaluation(noteID);
    // When the rest of a long note must be evaluated again at length, the
    // edited lines and a screenful below them are shown first.
    ComputationalNoteEngine::EarlyResults early;
    early.linesPastChange = earlyResultLines;
    early.deliver = [this, noteID, token, content](CompactNoteEvaluation results) {
        QMetaObject::invokeMethod(
            this,
            [this, noteID, token, content, results = std::move(results)] {
                applyEarlyEvaluation(noteID, token, content, results);
            },
            Qt::QueuedConnection);
    };
    QtConcurrent::run(&m_evaluationPool,
                      [engine, content, previous, early] { return engine.evaluateCompact(content, &previous, early); })
        .then(this, [this, noteID, token, content](const CompactNoteEvaluation &evaluation) {
            applyBackgroundEvaluation(noteID, token, content, evaluation);
        });
}

void ZulEvaluationScheduler::applyEarlyEvaluation(const QUuid &noteID, quint64 token, const QString &content,
                                              const CompactNoteEvaluation &results)
{
    const auto pending = m_evaluationDebounceTasks.constFind(noteID);
    // A later text has its own results coming.
    if (pending == m_evaluationDebounceTasks.cend() || pending->token != token)
        return;
    const ZulNote *note = m_findNote(noteID);
    if (note && note->content == content)
        setEvaluation(noteID, results);
}

void ZulEvaluationScheduler::cancelDebouncedEvaluation(const QUuid &noteID)
{
    const auto pending = m_evaluationDebounceTasks.find(noteID);
    if (pending == m_evaluationDebounceTasks.end())
        return;
    if (pending->timer) {
        pending->timer->stop();
        pending->timer->deleteLater();
    }
    m_evaluationDebounceTasks.erase(pending);
}

void ZulEvaluationScheduler::cancelAllDebouncedEvaluations()
{
    for (const PendingEvaluation &pending : std::as_const(m_evaluationDebounceTasks)) {
        if (pending.timer) {
            pending.timer->stop();
            pending.timer->deleteLater();
        }
    }
    m_evaluationDebounceTasks.clear();
}

void ZulEvaluationScheduler::applyBackgroundEvaluation(const QUuid &noteID, quint64 token, const QString &content,
                                                   const CompactNoteEvaluation &evaluation)
{
    m_evaluationsRunning.remove(noteID);
    const auto pending = m_evaluationDebounceTasks.find(noteID);
    // Superseded by a short edit or a whole re-evaluation.
    if (pending == m_evaluationDebounceTasks.end())
        return;
    const ZulNote *note = m_findNote(noteID);
    if (!note) {
        m_evaluationDebounceTasks.erase(pending);
        return;
    }
    if (pending->token != token || note->content != content) {
        // The text moved on while the engine ran. The lines that are still
        // as they were show these results meanwhile, and the evaluation of
        // the text as it is now starts from them.
        setEvaluation(noteID, ComputationalNoteEngine::keptResults(note->content, evaluation));
        const auto waiting = m_evaluationDebounceTasks.constFind(noteID);
        if (waiting != m_evaluationDebounceTasks.cend() && waiting->token != token && waiting->due)
            startBackgroundEvaluation(noteID, waiting->token, waiting->content);
        return;
    }
    m_evaluationDebounceTasks.erase(pending);
    setEvaluation(noteID, evaluation);
}
