#pragma once

#include <QList>
#include <QObject>
#include <QUuid>

#include <memory>
#include <utility>

class QString;
class ZulNoteUndoHistory;
class ZulStudioViewModel;

// Every note's undo history for as long as the application runs, one per
// note and shared by every editor that shows it: switching notes, changing
// the settings or showing a note in a sticky as well keeps what Undo can
// take back. A deleted note's history goes with it.
//
// Histories of notes no editor shows are kept for the most recently shown
// `keptNotes` notes: more than a day's work moves between, while a history
// of hundreds of steps is at most a few megabytes (see ZulNoteUndoHistory).
class ZulNoteUndoStore : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype keptNotes = 32;

    // The one store of the view model, made on first use.
    static ZulNoteUndoStore &of(ZulStudioViewModel &viewModel);

    // The note's history, new for `text` when none is kept. A kept one first
    // takes in whatever changed the note while no editor showed it.
    std::shared_ptr<ZulNoteUndoHistory> history(const QUuid &id, const QString &text);
    bool holds(const QUuid &id) const;

private:
    explicit ZulNoteUndoStore(ZulStudioViewModel &viewModel);
    void forget(const QUuid &id);
    void forgetMissing();

    ZulStudioViewModel &m_viewModel;
    // The most recently asked for last.
    QList<std::pair<QUuid, std::shared_ptr<ZulNoteUndoHistory>>> m_histories;
};
