#include "ViewModels/ZulStudioViewModel.h"

#include "Services/ZulNotesMerge.h"
#include "VeskKit/Localization/VeskCharacters.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulEvaluationScheduler.h"
#include "ViewModels/ZulNoteStore.h"
#include "ViewModels/ZulStickyControlling.h"

#include <QScopedValueRollback>

#include <utility>

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

    m_store->prependNote(note);
    setSelectedNoteID(note.id);
    setSelectedTab(ZulStudioTab::workspace);
    m_scheduler->setEvaluation(note.id, currentEngine().evaluateCompact(note.content));
    persistNotesImmediately();
    if (sticky)
        ensureStickyController().showSticky(note.id);
    log(QStringLiteral("notes"), QStringLiteral("Created note (ephemeral=%1, sticky=%2, totalNotes=%3)")
                                     .arg(boolText(ephemeral), boolText(sticky))
                                     .arg(notes().size()));
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

ZulNote ZulStudioViewModel::createNote(ZulNewNoteKind kind)
{
    // An empty title is the default title of the kind.
    return createNote(QString(), QString(), ZulNoteTint::indigo, kind == ZulNewNoteKind::quickNote, false);
}

void ZulStudioViewModel::deleteNote(const QUuid &id)
{
    // Deleting a note that is not there changes nothing, so it reports nothing.
    if (m_store->indexOfNote(id) < 0)
        return;
    m_scheduler->cancelDebouncedEvaluation(id);
    if (m_stickyController)
        m_stickyController->closeSticky(id);
    m_store->eraseNote(id);
    m_scheduler->removeEvaluations({id});
    reselectAfterRemoval();
    persistNotesImmediately();
    log(QStringLiteral("notes"), QStringLiteral("Deleted note (remainingNotes=%1)").arg(notes().size()));
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

    m_store->prependNote(copy);
    setSelectedNoteID(copy.id);
    m_scheduler->setEvaluation(copy.id, currentEngine().evaluateCompact(copy.content));
    persistNotesImmediately();
    showToast(text("Note duplicated.", "Not çoğaltıldı."), false);
}

void ZulStudioViewModel::updateNoteTitle(const QUuid &id, const QString &title)
{
    m_store->changeNote(id, ZulNoteField::title | ZulNoteField::updatedAt, ZulSaveUrgency::afterPause,
               [&title](ZulNote &note) {
                   if (note.title == title)
                       return false;
                   note.title = title;
                   return true;
               });
}

void ZulStudioViewModel::updateNoteTint(const QUuid &id, ZulNoteTint tint)
{
    m_store->changeNote(id, ZulNoteField::tint | ZulNoteField::updatedAt, ZulSaveUrgency::now, [tint](ZulNote &note) {
        note.tint = tint;
        return true;
    });
}

void ZulStudioViewModel::togglePin(const QUuid &id)
{
    m_store->changeNote(id, ZulNoteField::flags | ZulNoteField::updatedAt, ZulSaveUrgency::now, [](ZulNote &note) {
        note.isPinned = !note.isPinned;
        if (note.isPinned)
            note.isEphemeral = false;
        return true;
    });
}

void ZulStudioViewModel::toggleEphemeral(const QUuid &id)
{
    m_store->changeNote(id, ZulNoteField::flags | ZulNoteField::updatedAt, ZulSaveUrgency::now, [this](ZulNote &note) {
        if (note.isPinned && !note.isEphemeral) {
            showToast(text("Unpin the note before marking it ephemeral.",
                           "Geçici işaretlemek için önce sabitlemeyi kaldırın."),
                      true);
            return false;
        }
        note.isEphemeral = !note.isEphemeral;
        return true;
    });
}

void ZulStudioViewModel::toggleFloatingSticky(const QUuid &id)
{
    bool floating = false;
    const bool changed = m_store->changeNote(
        id, ZulNoteField::flags | ZulNoteField::updatedAt, ZulSaveUrgency::now, [&floating](ZulNote &note) {
            note.isFloatingSticky = !note.isFloatingSticky;
            floating = note.isFloatingSticky;
            return true;
        });
    if (!changed)
        return;
    if (floating) {
        ensureStickyController().showSticky(id);
        showToast(text("Popped out as floating sticky note.", "Yüzen yapışkan not olarak açıldı."), false);
    } else if (m_stickyController) {
        m_stickyController->closeSticky(id);
    }
}

void ZulStudioViewModel::closeFloatingSticky(const QUuid &id)
{
    m_store->changeNote(
        id, ZulNoteField::flags, ZulSaveUrgency::now,
        [](ZulNote &note) {
            note.isFloatingSticky = false;
            return true;
        },
        [this, &id] {
            if (m_stickyController)
                m_stickyController->closeSticky(id);
        });
}

void ZulStudioViewModel::updateStickyFrame(const QUuid &id, const QRectF &frame)
{
    m_store->changeNote(id, ZulNoteField::stickyFrame, ZulSaveUrgency::afterPause, [&frame](ZulNote &note) {
        note.stickyFrame = frame;
        return true;
    });
}

void ZulStudioViewModel::addTag(const QString &tag, const QUuid &id)
{
    const QString normal = normalizedTag(tag);
    if (normal.isEmpty())
        return;
    m_store->changeNote(id, ZulNoteField::tags | ZulNoteField::updatedAt, ZulSaveUrgency::now,
                        [&normal](ZulNote &note) {
                            if (note.tags.contains(normal))
                                return false;
                            note.tags.append(normal);
                            return true;
                        });
}

void ZulStudioViewModel::removeTag(const QString &tag, const QUuid &id)
{
    m_store->changeNote(
        id, ZulNoteField::tags | ZulNoteField::updatedAt, ZulSaveUrgency::now,
        [&tag](ZulNote &note) {
            // A note without the tag is left as it is: no new timestamp, no save.
            return note.tags.removeAll(tag) > 0;
        },
        [this, &tag] {
            if (selectedTag() == tag && !allTags().contains(tag))
                setSelectedTag(std::nullopt);
        });
}

void ZulStudioViewModel::promoteQuickScratchToNote()
{
    if (quickScratchText().trimmed().isEmpty())
        return;
    const QString title = text("Menu Bar Scratch", "Menü Çubuğu Karalaması");
    insertNewNote(title, quickScratchText(), ZulNoteTint::cyan, true, false);
    showToast(text("Saved scratchpad to VeskZul.", "Karalama VeskZul'e kaydedildi."), false);
}

// MARK: - Changes made by other programs

namespace {

ZulNoteFields fieldsBetween(const ZulNote &before, const ZulNote &after)
{
    ZulNoteFields fields;
    if (before.content != after.content)
        fields |= ZulNoteField::content;
    if (before.title != after.title)
        fields |= ZulNoteField::title;
    if (before.tint != after.tint)
        fields |= ZulNoteField::tint;
    if (before.tags != after.tags)
        fields |= ZulNoteField::tags;
    if (before.isPinned != after.isPinned || before.isEphemeral != after.isEphemeral
        || before.isFloatingSticky != after.isFloatingSticky)
        fields |= ZulNoteField::flags;
    if (before.stickyFrame != after.stickyFrame)
        fields |= ZulNoteField::stickyFrame;
    if (before.updatedAt != after.updatedAt || before.createdAt != after.createdAt)
        fields |= ZulNoteField::updatedAt;
    return fields;
}

} // namespace

QString ZulStudioViewModel::unreadableNotesText(int count, const QString &keptCopyPath) const
{
    if (keptCopyPath.isEmpty())
        return text("%1 note(s) of your notes file could not be read and are not shown. The file is left as it "
                    "is.",
                    "Not dosyanızdaki %1 not okunamadı ve gösterilmiyor. Dosya olduğu gibi bırakıldı.")
            .arg(count);
    return text("%1 note(s) of your notes file could not be read and are not shown. The file as it was is kept "
                "as %2.",
                "Not dosyanızdaki %1 not okunamadı ve gösterilmiyor. Dosyanın önceki hâli %2 olarak saklandı.")
        .arg(count)
        .arg(keptCopyPath);
}

bool ZulStudioViewModel::takeOutsideNotes()
{
    // Applying the notes may ask for a save, whose own look must not come back here.
    if (m_takingOutsideNotes)
        return false;
    const QScopedValueRollback taking(m_takingOutsideNotes, true);
    const std::optional<ZulOutsideNotes> outside = m_storage.notesChangedOutside();
    if (!outside)
        return false;
    const ZulNotesMerge merge = ZulNotesMerge::between(outside->base, notes(), outside->notes);

    ComputationalNoteEngine engine = currentEngine();
    const auto evaluate = [this, &engine](const ZulNote &note) {
        if (VeskCharacters::prefixLength(note.content, longNoteThreshold) < note.content.size()) {
            m_scheduler->scheduleDebouncedEvaluation(note.id, note.content);
        } else {
            m_scheduler->cancelDebouncedEvaluation(note.id);
            m_scheduler->setEvaluation(note.id, engine.evaluateCompact(note.content));
        }
    };
    for (const QUuid &id : merge.removed) {
        m_scheduler->cancelDebouncedEvaluation(id);
        if (m_stickyController)
            m_stickyController->closeSticky(id);
        m_store->eraseNote(id);
    }
    m_scheduler->removeEvaluations(merge.removed);
    for (const ZulNote &their : merge.changed) {
        const int index = m_store->indexOfNote(their.id);
        if (index < 0)
            continue;
        const ZulNote before = notes().at(index);
        const ZulNoteFields fields = fieldsBetween(before, their);
        m_store->replaceNote(index, their, fields);
        if (fields.testFlag(ZulNoteField::content))
            evaluate(their);
        if (before.isFloatingSticky && !their.isFloatingSticky && m_stickyController)
            m_stickyController->closeSticky(their.id);
        else if (!before.isFloatingSticky && their.isFloatingSticky)
            ensureStickyController().showSticky(their.id);
    }
    for (const ZulNote &their : merge.added) {
        m_store->prependNote(their);
        evaluate(their);
        if (their.isFloatingSticky)
            ensureStickyController().showSticky(their.id);
    }
    if (!m_selectedNoteID)
        setSelectedNoteID(firstInDisplayOrder());
    else
        reselectAfterRemoval();

    m_logger->log(VeskLogLevel::info, QStringLiteral("notes"),
                  QStringLiteral("Notes file changed by another program: %1 note(s) taken in, %2 changed, %3 "
                                 "removed, %4 changed on both sides and kept twice, %5 unreadable")
                      .arg(merge.added.size() - merge.conflictCount)
                      .arg(merge.changed.size())
                      .arg(merge.removed.size())
                      .arg(merge.conflictCount)
                      .arg(outside->unreadableNoteCount));
    QStringList toast;
    if (!merge.isEmpty())
        toast << text("Your notes were changed by another program; the changes are shown.",
                      "Notlarınız başka bir program tarafından değiştirildi; değişiklikler gösteriliyor.");
    if (merge.conflictCount > 0)
        toast << text("%1 note(s) had been changed here too: both versions are kept, theirs as a copy.",
                      "%1 not burada da değiştirilmişti: iki sürüm de saklandı, diğeri kopya olarak.")
                     .arg(merge.conflictCount);
    if (outside->unreadableNoteCount > 0)
        toast << unreadableNotesText(outside->unreadableNoteCount, outside->keptCopyPath);
    if (!toast.isEmpty())
        showToast(toast.join(u' '), merge.conflictCount > 0 || outside->unreadableNoteCount > 0);
    return merge.keepsOurs;
}

void ZulStudioViewModel::notesFileMayHaveChanged()
{
    if (takeOutsideNotes())
        m_store->requestSave(ZulSaveUrgency::now);
}
