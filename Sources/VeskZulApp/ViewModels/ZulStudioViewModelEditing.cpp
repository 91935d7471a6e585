#include "ViewModels/ZulStudioViewModel.h"

#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QTextBoundaryFinder>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// More than `limit` grapheme clusters? Counting stops at the first one past it.
bool exceedsGraphemeCount(const QString &text, qsizetype limit)
{
    // A cluster holds at least one UTF-16 unit.
    if (text.size() <= limit)
        return false;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype clusters = 0;
    while (finder.toNextBoundary() != -1) {
        if (++clusters > limit)
            return true;
    }
    return false;
}

} // namespace

void ZulStudioViewModel::updateNoteContent(const QUuid &id, const QString &content)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    if (m_notes.at(index).content == content)
        return;
    ZulNote &note = m_notes[index];
    note.content = content;
    note.updatedAt = now();
    notesMutated();

    if (exceedsGraphemeCount(content, longNoteThreshold)) {
        scheduleDebouncedEvaluation(id, content);
    } else {
        cancelDebouncedEvaluation(id);
        setEvaluation(id, currentEngine().evaluate(content));
    }
    scheduleDebouncedSave();
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
        const ComputationalNoteEngine engine = currentEngine();
        QtConcurrent::run(&m_evaluationPool, [engine, content] { return engine.evaluate(content); })
            .then(this, [this, noteID, token, content](NoteEvaluationSummary summary) {
                applyBackgroundEvaluation(noteID, token, content, summary);
            });
    });
    m_evaluationDebounceTasks.insert(noteID, PendingEvaluation{timer, token});
    timer->start(evaluationDebounceMs);
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
                                                   const NoteEvaluationSummary &summary)
{
    const auto pending = m_evaluationDebounceTasks.find(noteID);
    // Superseded by a later edit, a short edit or a whole re-evaluation.
    if (pending == m_evaluationDebounceTasks.end() || pending->token != token)
        return;
    const int index = indexOfNote(noteID);
    if (index < 0) {
        m_evaluationDebounceTasks.erase(pending);
        return;
    }
    // The text moved on while the engine ran; its own evaluation is pending.
    if (m_notes.at(index).content != content)
        return;
    m_evaluationDebounceTasks.erase(pending);
    setEvaluation(noteID, summary);
}

// MARK: - Saving

void ZulStudioViewModel::scheduleDebouncedSave()
{
    // The copy is the state as of this edit; a burst of edits writes once,
    // after its pause, but typing that never pauses is still written at
    // least once per ceiling, so a crash cannot take all of it.
    m_pendingSaveCopy = m_notes;
    const std::chrono::steady_clock::time_point instant = m_environment.steadyClock();
    if (!m_unsavedSince)
        m_unsavedSince = instant;
    const auto waited = instant - *m_unsavedSince;
    const std::chrono::milliseconds ceiling(saveCeilingMs);
    if (waited >= ceiling) {
        writePendingSaveInBackground();
        return;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(ceiling - waited);
    m_saveTimer->start(std::min(std::chrono::milliseconds(saveDebounceMs), left));
}

void ZulStudioViewModel::writePendingSaveInBackground()
{
    m_saveTimer->stop();
    m_unsavedSince.reset();
    m_notesWriter->writeInBackground(std::exchange(m_pendingSaveCopy, {}));
}

void ZulStudioViewModel::persistNotesImmediately()
{
    m_saveTimer->stop();
    m_unsavedSince.reset();
    m_pendingSaveCopy.clear();
    handleWriteOutcome(m_notesWriter->writeNow(m_notes));
}

void ZulStudioViewModel::flushPendingSaves()
{
    if (m_saveTimer && m_saveTimer->isActive()) {
        m_saveTimer->stop();
        m_unsavedSince.reset();
        handleWriteOutcome(m_notesWriter->writeNow(std::exchange(m_pendingSaveCopy, {})));
    }
    if (m_notesWriter)
        m_notesWriter->waitForIdle();
}

void ZulStudioViewModel::handleWriteOutcome(const ZulOrderedNotesWriter::Outcome &outcome)
{
    // A background outcome that arrives after a later write was handled
    // says nothing about the file as it now is.
    if (outcome.ticket < m_lastHandledWriteTicket)
        return;
    m_lastHandledWriteTicket = outcome.ticket;
    setStorageFootprintBytes(outcome.footprintBytes);

    if (!outcome.ok) {
        const QString toast = noteSaveFailure(outcome.error);
        if (!toast.isEmpty())
            showToast(toast, true);
        return;
    }
    if (m_saveFailing) {
        m_saveFailing = false;
        log(QStringLiteral("notes"), QStringLiteral("Saving notes works again"));
    }
    if (!outcome.preservedFilePath.isEmpty()) {
        // Often the user's own edit of the file: it must not vanish without a word.
        m_logger->log(VeskLogLevel::warn, QStringLiteral("notes"),
                      QStringLiteral("Notes file found in the way kept as ") + outcome.preservedFilePath);
        showToast(text("The notes file found on disk was kept as %1 before your notes were saved.",
                       "Diskte bulunan not dosyası, notlarınız kaydedilmeden önce %1 olarak saklandı.")
                      .arg(outcome.preservedFilePath),
                  true);
    }
}

QString ZulStudioViewModel::noteSaveFailure(const QString &error)
{
    m_logger->log(VeskLogLevel::error, QStringLiteral("notes"), QStringLiteral("Saving notes failed: ") + error);
    // One toast per run of failures, not one per keystroke.
    if (m_saveFailing)
        return {};
    m_saveFailing = true;
    return text("Could not save your notes: ", "Notlarınız kaydedilemedi: ") + error;
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
