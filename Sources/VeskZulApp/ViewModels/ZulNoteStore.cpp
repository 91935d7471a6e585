#include "ViewModels/ZulNoteStore.h"

#include <utility>

ZulNoteStore::ZulNoteStore(const VeskLanguage &language, const ZulStorageService &storage,
                           ZulStudioEnvironment::NotesWriter write, ZulStudioEnvironment::SteadyClock steadyClock,
                           Clock now, std::shared_ptr<VeskAppLogger> logger, QObject *parent)
    : QObject(parent),
      m_now(std::move(now)),
      m_persistence(std::make_unique<ZulNotesPersistence>(m_notes, language, storage, std::move(write),
                                                          std::move(steadyClock), std::move(logger)))
{
}

ZulNoteStore::~ZulNoteStore() = default;

int ZulNoteStore::indexOfNote(const QUuid &id) const
{
    if (m_indexByIDStale) {
        m_indexByID.clear();
        m_indexByID.reserve(m_notes.size());
        for (int index = 0; index < m_notes.size(); ++index)
            m_indexByID.insert(m_notes.at(index).id, index);
        m_indexByIDStale = false;
    }
    return m_indexByID.value(id, -1);
}

const ZulNote *ZulNoteStore::findNote(const QUuid &id) const
{
    const int index = indexOfNote(id);
    return index < 0 ? nullptr : &m_notes.at(index);
}

bool ZulNoteStore::changeNote(const QUuid &id, ZulNoteFields fields, ZulSaveUrgency urgency,
                              const std::function<bool(ZulNote &)> &change, const std::function<void()> &followUp)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return false;
    // Copying one note shares its texts; writing into m_notes would copy
    // every note while a save under way holds them.
    ZulNote changed = m_notes.at(index);
    if (!change(changed))
        return false;
    if (fields.testFlag(ZulNoteField::updatedAt))
        changed.updatedAt = m_now();
    m_notes[index] = std::move(changed);
    noteMutated(index, fields);
    if (followUp)
        followUp();
    m_persistence->requestSave(urgency);
    return true;
}

void ZulNoteStore::replaceNote(int index, const ZulNote &note, ZulNoteFields fields)
{
    m_notes[index] = note;
    noteMutated(index, fields);
}

void ZulNoteStore::replaceNotes(QList<ZulNote> notes)
{
    m_notes = std::move(notes);
    m_indexByIDStale = true;
    emit notesReset();
    emit notesChanged();
}

void ZulNoteStore::noteMutated(int index, ZulNoteFields fields)
{
    emit noteChanged(m_notes.at(index).id, fields);
    emit notesChanged();
}

void ZulNoteStore::prependNote(const ZulNote &note)
{
    m_notes.prepend(note);
    m_indexByIDStale = true;
    emit noteAdded(note.id);
    emit notesChanged();
}

void ZulNoteStore::eraseNote(const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    m_notes.removeAt(index);
    m_indexByIDStale = true;
    emit noteRemoved(id);
    emit notesChanged();
}
