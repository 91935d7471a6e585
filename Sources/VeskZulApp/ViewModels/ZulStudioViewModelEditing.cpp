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
    QtConcurrent::run(&m_evaluationPool, [engine, content, previous] { return engine.evaluateCompact(content, &previous); })
        .then(this, [this, noteID, token, content](const CompactNoteEvaluation &evaluation) {
            applyBackgroundEvaluation(noteID, token, content, evaluation);
        });
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
    if (pending->token != token) {
        // A later text became due while this one ran: its turn now.
        if (pending->due)
            startBackgroundEvaluation(noteID, pending->token, pending->content);
        return;
    }
    const int index = indexOfNote(noteID);
    if (index < 0) {
        m_evaluationDebounceTasks.erase(pending);
        return;
    }
    // The text moved on while the engine ran; its own evaluation is pending.
    if (m_notes.at(index).content != content)
        return;
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
