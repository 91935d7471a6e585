#include "ViewModels/ZulNotesPersistence.h"

#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <utility>

ZulNotesPersistence::ZulNotesPersistence(const QList<ZulNote> &notes, const VeskLanguage &language,
                                         const ZulStorageService &storage, ZulStudioEnvironment::NotesWriter write,
                                         ZulStudioEnvironment::SteadyClock steadyClock,
                                         std::shared_ptr<VeskAppLogger> logger, QObject *parent)
    : QObject(parent),
      m_notes(notes),
      m_language(language),
      m_steadyClock(std::move(steadyClock)),
      m_logger(std::move(logger))
{
    if (!m_steadyClock)
        m_steadyClock = [] { return std::chrono::steady_clock::now(); };
    if (!write)
        write = [storage](const QList<ZulNote> &list) { return storage.saveNotes(list); };
    m_writer = new ZulOrderedNotesWriter(
        std::move(write), [storage] { return storage.totalStorageBytes(); }, this);
    connect(m_writer, &ZulOrderedNotesWriter::written, this, &ZulNotesPersistence::handleOutcome);

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(pauseMs);
    connect(m_timer, &QTimer::timeout, this, &ZulNotesPersistence::writeInBackground);

    // Nothing typed may be lost at quit: a save still in its pause is written then.
    if (QCoreApplication *application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &ZulNotesPersistence::flush);
}

void ZulNotesPersistence::requestSave(ZulSaveUrgency urgency)
{
    switch (urgency) {
    case ZulSaveUrgency::now:
        writeNow();
        return;
    case ZulSaveUrgency::afterPause:
        scheduleAfterPause();
        return;
    }
}

void ZulNotesPersistence::scheduleAfterPause()
{
    // A burst of edits writes once, after its pause, but typing that never
    // pauses is still written at least once per ceiling, so a crash cannot
    // take all of it. What is written is the state as of the last edit:
    // every later change of the notes either comes here again or writes
    // at once. So no copy is taken here: one shared with the notes would
    // make the next key copy every note.
    const std::chrono::steady_clock::time_point instant = m_steadyClock();
    if (!m_unsavedSince)
        m_unsavedSince = instant;
    const auto waited = instant - *m_unsavedSince;
    const std::chrono::milliseconds ceiling(ceilingMs);
    if (waited >= ceiling) {
        writeInBackground();
        return;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(ceiling - waited);
    m_timer->start(std::min(std::chrono::milliseconds(pauseMs), left));
}

void ZulNotesPersistence::writeInBackground()
{
    m_timer->stop();
    m_unsavedSince.reset();
    if (m_beforeWrite)
        m_beforeWrite();
    m_writer->writeInBackground(m_notes);
}

void ZulNotesPersistence::writeNow()
{
    m_timer->stop();
    m_unsavedSince.reset();
    if (m_beforeWrite)
        m_beforeWrite();
    handleOutcome(m_writer->writeNow(m_notes));
}

void ZulNotesPersistence::flush()
{
    if (m_timer->isActive())
        writeNow();
    m_writer->waitForIdle();
}

void ZulNotesPersistence::handleOutcome(const ZulOrderedNotesWriter::Outcome &outcome)
{
    // A background outcome that arrives after a later write was handled
    // says nothing about the file as it now is.
    if (outcome.ticket < m_lastHandledTicket)
        return;
    m_lastHandledTicket = outcome.ticket;
    emit footprintMeasured(outcome.footprintBytes);

    if (!outcome.ok) {
        const QString toast = noteFailure(outcome.error);
        if (!toast.isEmpty())
            emit toastDue(toast, true);
        return;
    }
    if (m_failing) {
        m_failing = false;
        m_logger->log(VeskLogLevel::info, QStringLiteral("notes"), QStringLiteral("Saving notes works again"));
    }
    if (!outcome.preservedFilePath.isEmpty()) {
        // Often the user's own edit of the file: it must not vanish without a word.
        m_logger->log(VeskLogLevel::warn, QStringLiteral("notes"),
                      QStringLiteral("Notes file found in the way kept as ") + outcome.preservedFilePath);
        emit toastDue(text("The notes file found on disk was kept as %1 before your notes were saved.",
                           "Diskte bulunan not dosyası, notlarınız kaydedilmeden önce %1 olarak saklandı.")
                          .arg(outcome.preservedFilePath),
                      true);
    }
}

QString ZulNotesPersistence::noteFailure(const QString &error)
{
    m_logger->log(VeskLogLevel::error, QStringLiteral("notes"), QStringLiteral("Saving notes failed: ") + error);
    // One toast per run of failures, not one per keystroke.
    if (m_failing)
        return {};
    m_failing = true;
    return text("Could not save your notes: ", "Notlarınız kaydedilemedi: ") + error;
}

QString ZulNotesPersistence::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_language);
}
