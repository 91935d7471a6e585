#include "ViewModels/ZulStudioViewModel.h"

#include "Models/ZulNoteOrder.h"
#include "Services/ZulNoteSearch.h"

#include <QLocale>

#include <memory>

namespace {

bool passesFilter(const ZulNote &note, ZulNoteFilter filter)
{
    switch (filter) {
    case ZulNoteFilter::all:
        return true;
    case ZulNoteFilter::pinned:
        return note.isPinned;
    case ZulNoteFilter::sticky:
        return note.isFloatingSticky;
    case ZulNoteFilter::ephemeral:
        return note.isEphemeral;
    }
    return false;
}

} // namespace

QList<ZulNote> ZulStudioViewModel::sortedNotesList(const QList<ZulNote> &notes)
{
    return ZulNoteOrder::sorted(notes);
}

bool ZulStudioViewModel::isListed(const ZulNote &note) const
{
    if (!passesFilter(note, m_activeFilter))
        return false;
    if (m_selectedTag && !note.tags.contains(*m_selectedTag))
        return false;
    if (m_searchText.isEmpty())
        return true;
    // The locale decides what matches, so a search holds only under the
    // locale it was made in.
    if (m_searchText != m_listedSearchText || QLocale() != m_listedSearchLocale) {
        const QString query = m_searchText.trimmed();
        m_listedSearch = query.isEmpty() ? nullptr : std::make_shared<ZulNoteSearch>(query);
        m_listedSearchText = m_searchText;
        m_listedSearchLocale = QLocale();
    }
    if (!m_listedSearch)
        return true;
    return m_listedSearch->matches(note);
}

QList<ZulNote> ZulStudioViewModel::filteredNotes() const
{
    QList<ZulNote> shown;
    for (const ZulNote &note : sortedNotesList(m_notes)) {
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
    for (const ZulNote &note : m_notes) {
        if (!first || ZulNoteOrder::comesBefore(note, *first))
            first = &note;
    }
    return first ? std::optional<QUuid>(first->id) : std::nullopt;
}

QStringList ZulStudioViewModel::allTags() const
{
    return ZulNoteOrder::distinctTags(m_notes);
}
