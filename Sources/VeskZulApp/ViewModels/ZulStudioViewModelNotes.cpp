#include "ViewModels/ZulStudioViewModel.h"

#include "ViewModels/ZulStickyControlling.h"

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// Trimmed first, so a blank after a removed "#" stays part of the tag.
QString normalizedTag(const QString &tag)
{
    QString normal = tag.trimmed();
    normal.remove(QLatin1Char('#'));
    return normal.toLower();
}

} // namespace

ZulNote ZulStudioViewModel::insertNewNote(const QString &title, const QString &content, ZulNoteTint tint,
                                          bool ephemeral, bool sticky)
{
    const QDateTime created = now();
    ZulNote note;
    note.id = QUuid::createUuid();
    note.title = title;
    note.content = content;
    note.tint = tint;
    note.isEphemeral = ephemeral;
    note.isFloatingSticky = sticky;
    note.createdAt = created;
    note.updatedAt = created;

    notePrepended(note);
    setSelectedNoteID(note.id);
    setSelectedTab(ZulStudioTab::workspace);
    setEvaluation(note.id, currentEngine().evaluateCompact(note.content));
    persistNotesImmediately();
    if (sticky)
        ensureStickyController().showSticky(note.id);
    log(QStringLiteral("notes"), QStringLiteral("Created note (ephemeral=%1, sticky=%2, totalNotes=%3)")
                                     .arg(boolText(ephemeral), boolText(sticky))
                                     .arg(m_notes.size()));
    emit noteCreated(note.id);
    return note;
}

ZulNote ZulStudioViewModel::createNote(const QString &title, const QString &content, ZulNoteTint tint,
                                       bool ephemeral, bool sticky)
{
    QString effectiveTitle = title;
    if (effectiveTitle.isEmpty())
        effectiveTitle = ephemeral ? text("Quick Scratch", "Hızlı Karalama") : text("New Note", "Yeni Not");
    return insertNewNote(effectiveTitle, content, tint, ephemeral, sticky);
}

ZulNote ZulStudioViewModel::createNote(const QString &title, bool ephemeral, bool sticky)
{
    return createNote(title, QString(), ZulNoteTint::indigo, ephemeral, sticky);
}

void ZulStudioViewModel::deleteNote(const QUuid &id)
{
    // Deleting a note that is not there changes nothing, so it reports nothing.
    if (indexOfNote(id) < 0)
        return;
    cancelDebouncedEvaluation(id);
    if (m_stickyController)
        m_stickyController->closeSticky(id);
    noteErased(id);
    removeEvaluations({id});
    reselectAfterRemoval();
    persistNotesImmediately();
    log(QStringLiteral("notes"), QStringLiteral("Deleted note (remainingNotes=%1)").arg(m_notes.size()));
    showToast(text("Note deleted.", "Not silindi."), false);
}

void ZulStudioViewModel::duplicateNote(const QUuid &id)
{
    const std::optional<ZulNote> source = note(id);
    if (!source)
        return;
    const QDateTime created = now();
    ZulNote copy;
    copy.id = QUuid::createUuid();
    copy.title = source->displayTitle() + text(" (Copy)", " (Kopya)");
    copy.content = source->content;
    copy.tint = source->tint;
    copy.isEphemeral = source->isEphemeral;
    copy.tags = source->tags;
    copy.createdAt = created;
    copy.updatedAt = created;

    notePrepended(copy);
    setSelectedNoteID(copy.id);
    setEvaluation(copy.id, currentEngine().evaluateCompact(copy.content));
    persistNotesImmediately();
    showToast(text("Note duplicated.", "Not çoğaltıldı."), false);
}

void ZulStudioViewModel::updateNoteTitle(const QUuid &id, const QString &title)
{
    const int index = indexOfNote(id);
    if (index < 0 || m_notes.at(index).title == title)
        return;
    ZulNote &note = m_notes[index];
    note.title = title;
    note.updatedAt = now();
    noteMutated(index, ZulNoteField::title | ZulNoteField::updatedAt);
    scheduleDebouncedSave();
}

void ZulStudioViewModel::updateNoteTint(const QUuid &id, ZulNoteTint tint)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    ZulNote &note = m_notes[index];
    note.tint = tint;
    note.updatedAt = now();
    noteMutated(index, ZulNoteField::tint | ZulNoteField::updatedAt);
    persistNotesImmediately();
}

void ZulStudioViewModel::togglePin(const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    ZulNote &note = m_notes[index];
    note.isPinned = !note.isPinned;
    if (note.isPinned)
        note.isEphemeral = false;
    note.updatedAt = now();
    noteMutated(index, ZulNoteField::flags | ZulNoteField::updatedAt);
    persistNotesImmediately();
}

void ZulStudioViewModel::toggleEphemeral(const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    if (m_notes.at(index).isPinned && !m_notes.at(index).isEphemeral) {
        showToast(text("Unpin the note before marking it ephemeral.",
                       "Geçici işaretlemek için önce sabitlemeyi kaldırın."),
                  true);
        return;
    }
    ZulNote &note = m_notes[index];
    note.isEphemeral = !note.isEphemeral;
    note.updatedAt = now();
    noteMutated(index, ZulNoteField::flags | ZulNoteField::updatedAt);
    persistNotesImmediately();
}

void ZulStudioViewModel::toggleFloatingSticky(const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    ZulNote &note = m_notes[index];
    note.isFloatingSticky = !note.isFloatingSticky;
    note.updatedAt = now();
    const bool floating = note.isFloatingSticky;
    noteMutated(index, ZulNoteField::flags | ZulNoteField::updatedAt);
    persistNotesImmediately();
    if (floating) {
        ensureStickyController().showSticky(id);
        showToast(text("Popped out as floating sticky note.", "Yüzen yapışkan not olarak açıldı."), false);
    } else if (m_stickyController) {
        m_stickyController->closeSticky(id);
    }
}

void ZulStudioViewModel::closeFloatingSticky(const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    m_notes[index].isFloatingSticky = false;
    noteMutated(index, ZulNoteField::flags);
    if (m_stickyController)
        m_stickyController->closeSticky(id);
    persistNotesImmediately();
}

void ZulStudioViewModel::updateStickyFrame(const QUuid &id, const QRectF &frame)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    m_notes[index].stickyFrame = frame;
    noteMutated(index, ZulNoteField::stickyFrame);
    scheduleDebouncedSave();
}

void ZulStudioViewModel::addTag(const QString &tag, const QUuid &id)
{
    const QString normal = normalizedTag(tag);
    if (normal.isEmpty())
        return;
    const int index = indexOfNote(id);
    if (index < 0 || m_notes.at(index).tags.contains(normal))
        return;
    ZulNote &note = m_notes[index];
    note.tags.append(normal);
    note.updatedAt = now();
    noteMutated(index, ZulNoteField::tags | ZulNoteField::updatedAt);
    persistNotesImmediately();
}

void ZulStudioViewModel::removeTag(const QString &tag, const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    // A note without the tag is left as it is: no new timestamp, no save.
    if (!m_notes.at(index).tags.contains(tag))
        return;
    m_notes[index].tags.removeAll(tag);
    m_notes[index].updatedAt = now();
    noteMutated(index, ZulNoteField::tags | ZulNoteField::updatedAt);
    if (m_selectedTag == tag && !allTags().contains(tag))
        setSelectedTag(std::nullopt);
    persistNotesImmediately();
}

void ZulStudioViewModel::promoteQuickScratchToNote()
{
    if (m_quickScratchText.trimmed().isEmpty())
        return;
    const QString title = text("Menu Bar Scratch", "Menü Çubuğu Karalaması");
    insertNewNote(title, m_quickScratchText, ZulNoteTint::cyan, true, false);
    showToast(text("Saved scratchpad to VeskZul.", "Karalama VeskZul'e kaydedildi."), false);
}
