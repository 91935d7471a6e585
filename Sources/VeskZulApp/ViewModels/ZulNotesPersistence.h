#pragma once

#include "Models/ZulNote.h"
#include "Services/ZulStorageService.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "ViewModels/ZulOrderedNotesWriter.h"
#include "ViewModels/ZulStudioEnvironment.h"

#include <QList>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QTimer;
class VeskAppLogger;

// How soon a change of the notes has to be on disk.
enum class ZulSaveUrgency {
    // Before the request returns: a change the user makes in one step.
    now,
    // Once the edits pause: typing, renaming, moving a sticky panel.
    afterPause,
};

// When and how the notes file is written. Every change of the notes asks
// for a save with an urgency; everything else is decided here: the pause
// that makes a burst of edits one write, the ceiling that keeps typing
// which never pauses from going unsaved, the ordered writer that keeps an
// older write from landing last, the write of a save still in its pause at
// quit (a termination signal quits in order, so it comes here too), and
// what a write's outcome tells the user. Lives on the GUI thread.
class ZulNotesPersistence : public QObject
{
    Q_OBJECT
public:
    // The pause after the last edit before the notes are written.
    static constexpr int pauseMs = 350;
    // However steadily edits keep coming, none waits longer than this to be saved.
    static constexpr int ceilingMs = 2000;

    // `notes` and `language` are read at each save and must outlive this
    // object. An empty `write` writes through `storage`; an empty
    // `steadyClock` is the system's steady clock.
    ZulNotesPersistence(const QList<ZulNote> &notes, const VeskLanguage &language, const ZulStorageService &storage,
                        ZulStudioEnvironment::NotesWriter write, ZulStudioEnvironment::SteadyClock steadyClock,
                        std::shared_ptr<VeskAppLogger> logger, QObject *parent = nullptr);

    void requestSave(ZulSaveUrgency urgency);
    // Runs before each write takes the notes: the look for a change another
    // program made to the file, so that it is merged in rather than
    // written over.
    void setBeforeWrite(std::function<void()> check) { m_beforeWrite = std::move(check); }
    // Writes a save still waiting for its pause, synchronously, and waits
    // for background writes.
    void flush();
    // Logs a failed save of the notes; the toast's text when one is due (the
    // first failure of a run of them), else empty.
    QString noteFailure(const QString &error);

signals:
    // The storage footprint measured right after a write.
    void footprintMeasured(qint64 bytes);
    void toastDue(const QString &message, bool isError);

private:
    void scheduleAfterPause();
    void writeInBackground();
    void writeNow();
    void handleOutcome(const ZulOrderedNotesWriter::Outcome &outcome);
    QString text(const char *en, const char *tr) const;

    const QList<ZulNote> &m_notes;
    const VeskLanguage &m_language;
    ZulStudioEnvironment::SteadyClock m_steadyClock;
    std::shared_ptr<VeskAppLogger> m_logger;
    ZulOrderedNotesWriter *m_writer = nullptr;
    QTimer *m_timer = nullptr;
    // When the oldest edit not yet on its way to disk was made.
    std::optional<std::chrono::steady_clock::time_point> m_unsavedSince;
    bool m_failing = false;
    std::function<void()> m_beforeWrite;
    quint64 m_lastHandledTicket = 0;
};
