#include "ViewModels/ZulStudioViewModel.h"

#include "VeskKit/Localization/VeskCharacters.h"

#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

void ZulStudioViewModel::updateNoteContent(const QUuid &id, const QString &content)
{
    changeNote(
        id, ZulNoteField::content | ZulNoteField::updatedAt, ZulSaveUrgency::afterPause,
        [&content](ZulNote &note) {
            if (note.content == content)
                return false;
            note.content = content;
            return true;
        },
        [this, &id, &content] {
            // A long note is evaluated once the typing pauses.
            if (VeskCharacters::prefixLength(content, longNoteThreshold) < content.size()) {
                scheduleDebouncedEvaluation(id, content);
            } else {
                cancelDebouncedEvaluation(id);
                setEvaluation(id, currentEngine().evaluateCompact(content));
            }
        });
}

// MARK: - Debounced evaluation of long notes

void ZulStudioViewModel::scheduleDebouncedEvaluation(const QUuid &noteID, const QString &content)
{
    cancelDebouncedEvaluation(noteID);
    const quint64 token = ++m_nextEvaluationToken;
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, noteID, token, content] {
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
            startBackgroundEvaluation(noteID, token, content);
    });
    m_evaluationDebounceTasks.insert(noteID, PendingEvaluation{timer, token, false, content});
    timer->start(evaluationDebounceMs);
}

void ZulStudioViewModel::startBackgroundEvaluation(const QUuid &noteID, quint64 token, const QString &content)
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

void ZulStudioViewModel::applyEarlyEvaluation(const QUuid &noteID, quint64 token, const QString &content,
                                              const CompactNoteEvaluation &results)
{
    const auto pending = m_evaluationDebounceTasks.constFind(noteID);
    // A later text has its own results coming.
    if (pending == m_evaluationDebounceTasks.cend() || pending->token != token)
        return;
    const ZulNote *note = findNote(noteID);
    if (note && note->content == content)
        setEvaluation(noteID, results);
}

void ZulStudioViewModel::cancelDebouncedEvaluation(const QUuid &noteID)
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

void ZulStudioViewModel::cancelAllDebouncedEvaluations()
{
    for (const PendingEvaluation &pending : std::as_const(m_evaluationDebounceTasks)) {
        if (pending.timer) {
            pending.timer->stop();
            pending.timer->deleteLater();
        }
    }
    m_evaluationDebounceTasks.clear();
}

void ZulStudioViewModel::applyBackgroundEvaluation(const QUuid &noteID, quint64 token, const QString &content,
                                                   const CompactNoteEvaluation &evaluation)
{
    m_evaluationsRunning.remove(noteID);
    const auto pending = m_evaluationDebounceTasks.find(noteID);
    // Superseded by a short edit or a whole re-evaluation.
    if (pending == m_evaluationDebounceTasks.end())
        return;
    const int index = indexOfNote(noteID);
    if (index < 0) {
        m_evaluationDebounceTasks.erase(pending);
        return;
    }
    if (pending->token != token || m_notes.at(index).content != content) {
        // The text moved on while the engine ran. The lines that are still
        // as they were show these results meanwhile, and the evaluation of
        // the text as it is now starts from them.
        setEvaluation(noteID, ComputationalNoteEngine::keptResults(m_notes.at(index).content, evaluation));
        const auto waiting = m_evaluationDebounceTasks.constFind(noteID);
        if (waiting != m_evaluationDebounceTasks.cend() && waiting->token != token && waiting->due)
            startBackgroundEvaluation(noteID, waiting->token, waiting->content);
        return;
    }
    m_evaluationDebounceTasks.erase(pending);
    setEvaluation(noteID, evaluation);
}

// MARK: - Saving

void ZulStudioViewModel::persistNotesImmediately()
{
    m_persistence->requestSave(ZulSaveUrgency::now);
}

void ZulStudioViewModel::flushPendingSaves()
{
    m_persistence->flush();
}

// MARK: - Toasts

void ZulStudioViewModel::showToast(const QString &message, bool isError)
{
    // Announced even when the same text is already up: it is a new toast.
    m_toastMessage = message;
    emit toastMessageChanged();
    setToastIsError(isError);
    m_toastTimer->start();
}
