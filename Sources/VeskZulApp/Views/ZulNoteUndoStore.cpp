#include "Views/ZulNoteUndoStore.h"

#include "Views/ZulNoteUndoHistory.h"

#include "ViewModels/ZulStudioViewModel.h"

#include <QSet>

ZulNoteUndoStore &ZulNoteUndoStore::of(ZulStudioViewModel &viewModel)
{
    if (auto *store = viewModel.findChild<ZulNoteUndoStore *>(QString(), Qt::FindDirectChildrenOnly))
        return *store;
    return *new ZulNoteUndoStore(viewModel);
}

ZulNoteUndoStore::ZulNoteUndoStore(ZulStudioViewModel &viewModel)
    : QObject(&viewModel)
    , m_viewModel(viewModel)
{
    connect(&viewModel, &ZulStudioViewModel::noteRemoved, this, &ZulNoteUndoStore::forget);
    connect(&viewModel, &ZulStudioViewModel::notesReset, this, &ZulNoteUndoStore::forgetMissing);
}

std::shared_ptr<ZulNoteUndoHistory> ZulNoteUndoStore::history(const QUuid &id, const QString &text)
{
    std::shared_ptr<ZulNoteUndoHistory> found;
    for (qsizetype i = 0; i < m_histories.size(); ++i) {
        if (m_histories[i].first == id) {
            found = m_histories.takeAt(i).second;
            break;
        }
    }
    if (found)
        found->follow(text);
    else
        found = std::make_shared<ZulNoteUndoHistory>(text);
    m_histories.append({id, found});
    // The least recently shown go first; one an editor holds stays.
    for (qsizetype i = 0; m_histories.size() > keptNotes && i < m_histories.size();) {
        if (m_histories[i].second.use_count() == 1)
            m_histories.removeAt(i);
        else
            ++i;
    }
    return found;
}

bool ZulNoteUndoStore::holds(const QUuid &id) const
{
    return std::any_of(m_histories.cbegin(), m_histories.cend(), [&id](const auto &entry) { return entry.first == id; });
}

void ZulNoteUndoStore::forget(const QUuid &id)
{
    m_histories.removeIf([&id](const auto &entry) { return entry.first == id; });
}

void ZulNoteUndoStore::forgetMissing()
{
    QSet<QUuid> present;
    for (const ZulNote &note : m_viewModel.notes())
        present.insert(note.id);
    m_histories.removeIf([&present](const auto &entry) { return !present.contains(entry.first); });
}
