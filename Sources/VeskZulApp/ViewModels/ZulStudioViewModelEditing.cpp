#include "ViewModels/ZulStudioViewModel.h"

#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QTextBoundaryFinder>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// More than `limit` grapheme clusters? A boundary finder reads all of the
// text it is given before it finds the first boundary, so it is given ever
// longer beginnings of the text, until one holds more than `limit` whole
// clusters or the beginning is the whole text.
bool exceedsGraphemeCount(const QString &text, qsizetype limit)
{
    // A cluster holds at least one UTF-16 unit.
    if (text.size() <= limit)
        return false;
    for (qsizetype length = 2 * limit + 2;; length *= 2) {
        const bool whole = length >= text.size();
        if (whole)
            length = text.size();
        // A boundary before the last character of a beginning is one of
        // the whole text too: it depends only on the characters around it.
        else if (QChar::isHighSurrogate(text.at(length - 1).unicode()))
            ++length;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData(), length);
        qsizetype clusters = 0;
        for (qsizetype boundary = finder.toNextBoundary(); boundary != -1; boundary = finder.toNextBoundary()) {
            // The last boundary of a beginning may fall inside a cluster.
            if (!whole && boundary >= length - 1)
                break;
            if (++clusters > limit)
                return true;
        }
        if (whole)
            return false;
    }
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
    noteMutated(index, ZulNoteField::content | ZulNoteField::updatedAt);

    if (exceedsGraphemeCount(content, longNoteThreshold)) {
        scheduleDebouncedEvaluation(id, content);
    } else {
        cancelDebouncedEvaluation(id);
        setEvaluation(id, currentEngine().evaluateCompact(content));
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

void ZulStudioViewModel::scheduleDebouncedSave()
{
    // A burst of edits writes once, after its pause, but typing that never
    // pauses is still written at least once per ceiling, so a crash cannot
    // take all of it. What is written is the state as of the last edit:
    // every later change of the notes either comes here again or writes
    // at once. So no copy is taken here: one shared with the notes would
    // make the next key copy every note.
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
    m_notesWriter->writeInBackground(m_notes);
}

void ZulStudioViewModel::persistNotesImmediately()
{
    m_saveTimer->stop();
    m_unsavedSince.reset();
    handleWriteOutcome(m_notesWriter->writeNow(m_notes));
}

void ZulStudioViewModel::flushPendingSaves()
{
    if (m_saveTimer && m_saveTimer->isActive()) {
        m_saveTimer->stop();
        m_unsavedSince.reset();
        handleWriteOutcome(m_notesWriter->writeNow(m_notes));
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
