#pragma once

#include "Models/ZulNote.h"
#include "Services/ZulStorageService.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "ViewModels/ZulNoteField.h"
#include "ViewModels/ZulNotesPersistence.h"
#include "ViewModels/ZulStudioEnvironment.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QUuid>

#include <functional>
#include <memory>

class VeskAppLogger;

// The notes, the one way each of them changes, what every change announces
// and the save every change asks for. Lives on the GUI thread.
class ZulNoteStore : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // `language` is read at each save and must outlive the store; `now`
    // gives the present instant in UTC. The writer, the steady clock and
    // the logger are the saves'; see ZulNotesPersistence.
    ZulNoteStore(const VeskLanguage &language, const ZulStorageService &storage,
                 ZulStudioEnvironment::NotesWriter write, ZulStudioEnvironment::SteadyClock steadyClock, Clock now,
                 std::shared_ptr<VeskAppLogger> logger, QObject *parent = nullptr);
    ~ZulNoteStore() override;

    const QList<ZulNote> &notes() const { return m_notes; }
    // Where the note stands in notes(), or -1.
    int indexOfNote(const QUuid &id) const;
    // The note itself, or null; valid until notes() next changes.
    const ZulNote *findNote(const QUuid &id) const;

    // The one way a note is changed in place. `change` changes a copy of the
    // note and says whether it changed anything: a note left as it was gets
    // no new timestamp, no announcement and no save (and is not copied from
    // a collection shared with a write under way). A changed note replaces
    // the note, gets a new updatedAt when `fields` hold it, and is
    // announced with `fields`; then `followUp` runs (what the change sets
    // off: an evaluation, a closed panel) and a save is asked for with
    // `urgency`. Whether the note with `id` was changed.
    bool changeNote(const QUuid &id, ZulNoteFields fields, ZulSaveUrgency urgency,
                    const std::function<bool(ZulNote &)> &change, const std::function<void()> &followUp = {});
    // The note at `index` becomes `note` as it is (another program's
    // version of it), announced with `fields`; no save is asked for.
    void replaceNote(int index, const ZulNote &note, ZulNoteFields fields);
    // The following announce the change and ask for no save.
    void replaceNotes(QList<ZulNote> notes);
    void prependNote(const ZulNote &note);
    void eraseNote(const QUuid &id);

    void requestSave(ZulSaveUrgency urgency) { m_persistence->requestSave(urgency); }
    ZulNotesPersistence &persistence() { return *m_persistence; }

signals:
    void notesChanged();
    // One note changed in place; `fields` says what of it.
    void noteChanged(const QUuid &id, ZulNoteFields fields);
    // A note was put at the front of notes().
    void noteAdded(const QUuid &id);
    void noteRemoved(const QUuid &id);
    // notes() was replaced as a whole: anything may have changed.
    void notesReset();

private:
    void noteMutated(int index, ZulNoteFields fields);

    QList<ZulNote> m_notes;
    // Where each note stands in m_notes; rebuilt on the next look-up after
    // notes were added or removed.
    mutable QHash<QUuid, int> m_indexByID;
    mutable bool m_indexByIDStale = true;
    Clock m_now;
    // Declared after the notes it reads, so it goes first.
    std::unique_ptr<ZulNotesPersistence> m_persistence;
};
