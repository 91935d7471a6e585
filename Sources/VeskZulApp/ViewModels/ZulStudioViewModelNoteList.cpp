#include "ViewModels/ZulStudioViewModel.h"

#include "Models/ZulNoteOrder.h"
#include "ViewModels/ZulScreenState.h"

QList<ZulNote> ZulStudioViewModel::sortedNotesList(const QList<ZulNote> &notes)
{
    return ZulNoteOrder::sorted(notes);
}

bool ZulStudioViewModel::isListed(const ZulNote &note) const
{
    return m_screen->isListed(note);
}

QList<ZulNote> ZulStudioViewModel::filteredNotes() const
{
    QList<ZulNote> shown;
    for (const ZulNote &note : sortedNotesList(notes())) {
        if (isListed(note))
            shown.append(note);
    }
    return shown;
}

std::optional<QUuid> ZulStudioViewModel::firstInDisplayOrder() const
{
    // The first of a stable sort: the earliest of the notes no other note
    // comes before.
    const ZulNote *first = nullptr;
    for (const ZulNote &note : notes()) {
        if (!first || ZulNoteOrder::comesBefore(note, *first))
            first = &note;
    }
    return first ? std::optional<QUuid>(first->id) : std::nullopt;
}

QStringList ZulStudioViewModel::allTags() const
{
    return ZulNoteOrder::distinctTags(notes());
}
