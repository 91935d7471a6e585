#include "Views/ZulNoteListModel.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <utility>

namespace {

// Above this many rows coming or going at once, one reset is cheaper for
// the view than row-by-row notices.
constexpr qsizetype kRowByRowLimit = 8;

const ZulNote &missingNote()
{
    static const ZulNote note;
    return note;
}

} // namespace

ZulNoteListModel &ZulNoteListModel::of(ZulStudioViewModel &viewModel)
{
    if (auto *model = viewModel.findChild<ZulNoteListModel *>(QString(), Qt::FindDirectChildrenOnly))
        return *model;
    return *new ZulNoteListModel(viewModel);
}

ZulNoteListModel::ZulNoteListModel(ZulStudioViewModel &viewModel)
    : QAbstractListModel(&viewModel), m_viewModel(viewModel)
{
    connect(&viewModel, &ZulStudioViewModel::noteChanged, this, &ZulNoteListModel::noteChanged);
    connect(&viewModel, &ZulStudioViewModel::noteAdded, this, &ZulNoteListModel::noteAdded);
    connect(&viewModel, &ZulStudioViewModel::noteRemoved, this, &ZulNoteListModel::noteRemoved);
    connect(&viewModel, &ZulStudioViewModel::notesReset, this, &ZulNoteListModel::rebuild);
    for (auto signal : {&ZulStudioViewModel::activeFilterChanged, &ZulStudioViewModel::selectedTagChanged,
                        &ZulStudioViewModel::searchTextChanged})
        connect(&viewModel, signal, this, &ZulNoteListModel::relist);
    // The rows' badges and selection highlight: same rows, new look.
    connect(&viewModel, &ZulStudioViewModel::evaluationChanged, this,
            [this](const QUuid &id) { rowChanged(id); });
    for (auto signal : {&ZulStudioViewModel::evaluationsReset, &ZulStudioViewModel::languageChanged})
        connect(&viewModel, signal, this, &ZulNoteListModel::everyRowChanged);
    connect(&viewModel, &ZulStudioViewModel::selectedNoteIDChanged, this, &ZulNoteListModel::selectionChanged);
    rebuild();
}

int ZulNoteListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ZulNoteListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return displayTitle(index.row());
    case Qt::AccessibleTextRole:
        return spokenRow(index.row());
    case NoteIDRole:
        return m_rows[index.row()].id;
    case HasPreviewRole:
        return hasPreview(index.row());
    default:
        return {};
    }
}

QString ZulNoteListModel::spokenRow(int row) const
{
    const VeskLanguage language = m_viewModel.language();
    auto text = [language](const char *en, const char *tr) {
        return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), language);
    };
    // What the row shows, in its order: title, flags, then the badges.
    const ZulNote &note = noteAt(row);
    QStringList parts{displayTitle(row)};
    if (note.isPinned)
        parts.append(text("pinned", "sabit"));
    if (note.isFloatingSticky)
        parts.append(text("floating sticky", "yüzen yapışkan"));
    if (note.isEphemeral)
        parts.append(text("ephemeral", "geçici"));
    const CompactNoteEvaluation &evaluation = m_viewModel.cachedEvaluation(note.id);
    if (evaluation.totalNumericSum)
        parts.append(text("total ", "toplam ") + ZulNumberFormatter::format(*evaluation.totalNumericSum, 1));
    if (evaluation.totalTasks > 0)
        parts.append(
            text("tasks %1/%2 done", "görev %1/%2 tamam").arg(evaluation.completedTasks).arg(evaluation.totalTasks));
    return parts.join(QStringLiteral(", "));
}

const ZulNote &ZulNoteListModel::noteAt(int row) const
{
    const ZulNote *note = m_viewModel.findNote(m_rows[row].id);
    return note ? *note : missingNote();
}

const ZulNoteListModel::Texts &ZulNoteListModel::textsOf(int row) const
{
    const QUuid &id = m_rows[row].id;
    auto found = m_texts.find(id);
    if (found == m_texts.end()) {
        const ZulNote &note = noteAt(row);
        found = m_texts.insert(id, Texts{note.displayTitle(), note.previewSnippet()});
    }
    return *found;
}

QString ZulNoteListModel::displayTitle(int row) const
{
    return textsOf(row).displayTitle;
}

QString ZulNoteListModel::previewSnippet(int row) const
{
    return textsOf(row).previewSnippet;
}

bool ZulNoteListModel::hasPreview(int row) const
{
    const auto found = m_entries.constFind(m_rows[row].id);
    return found != m_entries.cend() && found->hasPreview;
}

bool ZulNoteListModel::before(const Key &a, const Key &b)
{
    if (ZulNoteOrder::comesBefore(a.order, b.order))
        return true;
    return !ZulNoteOrder::comesBefore(b.order, a.order) && a.sequence < b.sequence;
}

ZulNoteListModel::Key ZulNoteListModel::keyOf(const ZulNote &note, qint64 sequence) const
{
    return Key{ZulNoteOrder::keyOf(note), sequence};
}

int ZulNoteListModel::lowerBound(const Key &key) const
{
    const auto it = std::partition_point(m_rows.cbegin(), m_rows.cend(),
                                         [&key](const Row &row) { return before(row.key, key); });
    return int(it - m_rows.cbegin());
}

int ZulNoteListModel::rowOfKey(const Key &key, const QUuid &id) const
{
    const int row = lowerBound(key);
    return row < m_rows.size() && m_rows[row].id == id ? row : -1;
}

int ZulNoteListModel::rowOf(const QUuid &id) const
{
    const auto found = m_entries.constFind(id);
    if (found == m_entries.cend() || !found->listed)
        return -1;
    return rowOfKey(found->key, id);
}

void ZulNoteListModel::rebuild()
{
    beginResetModel();
    const QList<ZulNote> &notes = m_viewModel.notes();
    m_entries.clear();
    m_entries.reserve(notes.size());
    m_texts.clear();
    m_rows.clear();
    m_tagCounts.clear();
    const QStringList tagsBefore = m_tags;
    m_tags.clear();
    m_frontSequence = 0;
    for (qsizetype index = 0; index < notes.size(); ++index) {
        const ZulNote &note = notes.at(index);
        Entry entry{keyOf(note, index), m_viewModel.isListed(note), note.hasPreviewSnippet(), note.tags};
        if (entry.listed)
            m_rows.append(Row{entry.key, note.id});
        countTags(note.tags, 1, false);
        m_entries.insert(note.id, std::move(entry));
    }
    std::sort(m_rows.begin(), m_rows.end(), [](const Row &a, const Row &b) { return before(a.key, b.key); });
    // First seen first, then sorted stably: the order of allTags().
    std::stable_sort(m_tags.begin(), m_tags.end(), std::cref(m_tagOrder));
    m_selected = m_viewModel.selectedNoteID();
    endResetModel();
    if (m_tags != tagsBefore)
        emit tagsChanged();
}

void ZulNoteListModel::relist()
{
    QList<Row> fresh;
    for (const ZulNote &note : m_viewModel.notes()) {
        auto entry = m_entries.find(note.id);
        if (entry == m_entries.end())
            continue;
        entry->listed = m_viewModel.isListed(note);
        if (entry->listed)
            fresh.append(Row{entry->key, note.id});
    }
    std::sort(fresh.begin(), fresh.end(), [](const Row &a, const Row &b) { return before(a.key, b.key); });

    // Both lists are in display order: walk them side by side.
    QList<qsizetype> leaving;
    QList<qsizetype> arriving;
    for (qsizetype i = 0, j = 0; i < m_rows.size() || j < fresh.size();) {
        if (j == fresh.size() || (i < m_rows.size() && before(m_rows[i].key, fresh[j].key)))
            leaving.append(i++);
        else if (i == m_rows.size() || before(fresh[j].key, m_rows[i].key))
            arriving.append(j++);
        else
            ++i, ++j;
    }
    if (leaving.size() + arriving.size() > kRowByRowLimit) {
        beginResetModel();
        m_rows = std::move(fresh);
        endResetModel();
        return;
    }
    for (qsizetype k = leaving.size() - 1; k >= 0; --k) {
        const int row = int(leaving[k]);
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
    }
    for (const qsizetype j : std::as_const(arriving)) {
        const int row = lowerBound(fresh[j].key);
        beginInsertRows({}, row, row);
        m_rows.insert(row, fresh[j]);
        endInsertRows();
    }
}

void ZulNoteListModel::place(const QUuid &id, Entry &entry, const Key &oldKey, bool wasListed)
{
    if (wasListed && entry.listed) {
        const int from = rowOfKey(oldKey, id);
        if (from < 0)
            return;
        // The place before which the row goes, in the rows as they stand
        // (its own still among them, with its old key).
        const int to = lowerBound(entry.key);
        if (to == from || to == from + 1) {
            m_rows[from].key = entry.key;
            return;
        }
        beginMoveRows({}, from, from, {}, to);
        Row row = m_rows.takeAt(from);
        row.key = entry.key;
        m_rows.insert(to > from ? to - 1 : to, row);
        endMoveRows();
    } else if (wasListed) {
        const int row = rowOfKey(oldKey, id);
        if (row < 0)
            return;
        beginRemoveRows({}, row, row);
        m_rows.removeAt(row);
        endRemoveRows();
    } else if (entry.listed) {
        const int row = lowerBound(entry.key);
        beginInsertRows({}, row, row);
        m_rows.insert(row, Row{entry.key, id});
        endInsertRows();
    }
}

void ZulNoteListModel::noteChanged(const QUuid &id, ZulNoteFields fields)
{
    // A sticky reports every step of a move; no row shows where it stands,
    // nor is one placed by it.
    if (fields == ZulNoteFields(ZulNoteField::stickyFrame))
        return;
    const auto entry = m_entries.find(id);
    const ZulNote *note = m_viewModel.findNote(id);
    if (entry == m_entries.end() || !note)
        return;
    QList<int> roles;
    if (fields & (ZulNoteField::title | ZulNoteField::content)) {
        m_texts.remove(id);
        const bool hasPreview = note->hasPreviewSnippet();
        if (hasPreview != entry->hasPreview) {
            entry->hasPreview = hasPreview;
            roles = {Qt::DisplayRole, HasPreviewRole};
        }
    }
    if (fields & ZulNoteField::tags) {
        bool changed = countTags(entry->tags, -1, true);
        changed = countTags(note->tags, 1, true) || changed;
        entry->tags = note->tags;
        if (changed)
            emit tagsChanged();
    }
    const Key oldKey = entry->key;
    const bool wasListed = entry->listed;
    entry->key = keyOf(*note, oldKey.sequence);
    // The filter reads the flags, the tag test the tags, the search the
    // title, the text and the tags.
    if (fields & (ZulNoteField::content | ZulNoteField::title | ZulNoteField::tags | ZulNoteField::flags))
        entry->listed = m_viewModel.isListed(*note);
    place(id, *entry, oldKey, wasListed);
    if (entry->listed)
        rowChanged(id, roles);
}

void ZulNoteListModel::noteAdded(const QUuid &id)
{
    const ZulNote *note = m_viewModel.findNote(id);
    if (!note || m_entries.contains(id))
        return;
    Entry entry{keyOf(*note, --m_frontSequence), m_viewModel.isListed(*note), note->hasPreviewSnippet(), note->tags};
    if (countTags(note->tags, 1, true))
        emit tagsChanged();
    Entry &stored = *m_entries.insert(id, std::move(entry));
    place(id, stored, stored.key, false);
}

void ZulNoteListModel::noteRemoved(const QUuid &id)
{
    const auto entry = m_entries.find(id);
    if (entry == m_entries.end())
        return;
    Entry gone = std::move(*entry);
    m_entries.erase(entry);
    m_texts.remove(id);
    const bool wasListed = gone.listed;
    gone.listed = false;
    place(id, gone, gone.key, wasListed);
    if (countTags(gone.tags, -1, true))
        emit tagsChanged();
}

void ZulNoteListModel::rowChanged(const QUuid &id, const QList<int> &roles)
{
    const int row = rowOf(id);
    if (row >= 0)
        emit dataChanged(index(row), index(row), roles);
}

void ZulNoteListModel::everyRowChanged()
{
    if (!m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1));
}

void ZulNoteListModel::selectionChanged()
{
    const std::optional<QUuid> previous = std::exchange(m_selected, m_viewModel.selectedNoteID());
    if (previous)
        rowChanged(*previous);
    if (m_selected && m_selected != previous)
        rowChanged(*m_selected);
}

bool ZulNoteListModel::countTags(const QStringList &tags, int delta, bool keepSorted)
{
    bool changed = false;
    for (const QString &tag : tags) {
        int &count = m_tagCounts[tag];
        const bool wasShown = count > 0;
        count += delta;
        if (count > 0 && !wasShown) {
            // After the tags it compares equal to, as a stable sort puts it.
            const auto at = keepSorted ? std::upper_bound(m_tags.begin(), m_tags.end(), tag, std::cref(m_tagOrder))
                                       : m_tags.end();
            m_tags.insert(at, tag);
            changed = true;
        } else if (count <= 0) {
            m_tagCounts.remove(tag);
            if (wasShown) {
                m_tags.removeOne(tag);
                changed = true;
            }
        }
    }
    return changed;
}
