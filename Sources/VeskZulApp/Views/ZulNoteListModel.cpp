#include "Views/ZulNoteListModel.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QHash>
#include <QSet>

namespace {

// Above this many rows coming or going, one reset is cheaper for the view
// than row-by-row notices.
constexpr qsizetype kRowByRowLimit = 8;

} // namespace

ZulNoteListModel::ZulNoteListModel(ZulStudioViewModel &viewModel, QObject *parent)
    : QAbstractListModel(parent), m_viewModel(viewModel)
{
    m_rows = rowsFor(viewModel.filteredNotes());
    for (auto signal : {&ZulStudioViewModel::notesChanged, &ZulStudioViewModel::activeFilterChanged,
                        &ZulStudioViewModel::selectedTagChanged, &ZulStudioViewModel::searchTextChanged})
        connect(&viewModel, signal, this, &ZulNoteListModel::refresh);
    // The rows' badges and selection highlight: same rows, new look.
    for (auto signal : {&ZulStudioViewModel::evaluationsByNoteIDChanged, &ZulStudioViewModel::selectedNoteIDChanged,
                        &ZulStudioViewModel::languageChanged})
        connect(&viewModel, signal, this, [this] {
            if (!m_rows.isEmpty())
                emit dataChanged(index(0), index(int(m_rows.size()) - 1));
        });
}

int ZulNoteListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ZulNoteListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.displayTitle;
    case Qt::AccessibleTextRole:
        return spokenRow(row);
    case NoteIDRole:
        return row.note.id;
    default:
        return {};
    }
}

QString ZulNoteListModel::spokenRow(const Row &row) const
{
    const VeskLanguage language = m_viewModel.language();
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    // What the row shows, in its order: title, flags, then the badges.
    QStringList parts{row.displayTitle};
    if (row.note.isPinned)
        parts.append(text("pinned", "sabit"));
    if (row.note.isFloatingSticky)
        parts.append(text("floating sticky", "yüzen yapışkan"));
    if (row.note.isEphemeral)
        parts.append(text("ephemeral", "geçici"));
    const NoteEvaluationSummary summary = m_viewModel.evaluation(row.note.id);
    if (summary.totalNumericSum)
        parts.append(text("total ", "toplam ") + ZulNumberFormatter::format(*summary.totalNumericSum, 1));
    if (summary.totalTasks > 0)
        parts.append(text("tasks %1/%2 done", "görev %1/%2 tamam").arg(summary.completedTasks).arg(summary.totalTasks));
    return parts.join(QStringLiteral(", "));
}

int ZulNoteListModel::rowOf(const QUuid &id) const
{
    for (qsizetype row = 0; row < m_rows.size(); ++row)
        if (m_rows[row].note.id == id)
            return int(row);
    return -1;
}

QList<ZulNoteListModel::Row> ZulNoteListModel::rowsFor(QList<ZulNote> notes) const
{
    QHash<QUuid, const Row *> known;
    known.reserve(m_rows.size());
    for (const Row &row : m_rows)
        known.insert(row.note.id, &row);
    QList<Row> rows;
    rows.reserve(notes.size());
    for (ZulNote &note : notes) {
        const Row *old = known.value(note.id);
        if (old && old->note.title == note.title && old->note.content == note.content)
            rows.append({std::move(note), old->displayTitle, old->previewSnippet});
        else {
            QString title = note.displayTitle();
            QString snippet = note.previewSnippet();
            rows.append({std::move(note), std::move(title), std::move(snippet)});
        }
    }
    return rows;
}

void ZulNoteListModel::refresh()
{
    QList<Row> fresh = rowsFor(m_viewModel.filteredNotes());
    QSet<QUuid> freshIDs;
    freshIDs.reserve(fresh.size());
    for (const Row &row : fresh)
        freshIDs.insert(row.note.id);
    QSet<QUuid> presentIDs;
    presentIDs.reserve(m_rows.size());
    for (const Row &row : std::as_const(m_rows))
        presentIDs.insert(row.note.id);

    qsizetype leaving = 0, arriving = 0;
    for (const Row &row : std::as_const(m_rows))
        leaving += freshIDs.contains(row.note.id) ? 0 : 1;
    for (const Row &row : std::as_const(fresh))
        arriving += presentIDs.contains(row.note.id) ? 0 : 1;

    if (leaving + arriving > kRowByRowLimit) {
        beginResetModel();
        m_rows = std::move(fresh);
        endResetModel();
        return;
    }

    for (qsizetype row = m_rows.size() - 1; row >= 0 && leaving > 0; --row) {
        if (freshIDs.contains(m_rows[row].note.id))
            continue;
        beginRemoveRows({}, int(row), int(row));
        m_rows.removeAt(row);
        endRemoveRows();
        --leaving;
    }
    if (arriving > 0) {
        QList<Row> added;
        for (const Row &row : std::as_const(fresh))
            if (!presentIDs.contains(row.note.id))
                added.append(row);
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + added.size() - 1));
        m_rows.append(added);
        endInsertRows();
    }

    // Same rows now; bring them into the fresh order, keeping what views
    // hold on to (selection, current row) on the same notes.
    bool reordered = false;
    for (qsizetype row = 0; row < fresh.size(); ++row)
        if (fresh[row].note.id != m_rows[row].note.id) {
            reordered = true;
            break;
        }
    if (reordered) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        QHash<QUuid, int> freshRow;
        for (qsizetype row = 0; row < fresh.size(); ++row)
            freshRow.insert(fresh[row].note.id, int(row));
        const QModelIndexList before = persistentIndexList();
        QModelIndexList after;
        after.reserve(before.size());
        for (const QModelIndex &old : before)
            after.append(index(freshRow.value(m_rows[old.row()].note.id)));
        m_rows = std::move(fresh);
        changePersistentIndexList(before, after);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    } else {
        m_rows = std::move(fresh);
    }
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1));
}
