#pragma once

#include "Models/ZulNote.h"
#include "Models/ZulNoteOrder.h"
#include "ViewModels/ZulNoteField.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QUuid>

#include <optional>

class ZulStudioViewModel;

// The sidebar's rows: the view model's filtered notes, in its order, and the
// tags of all notes. It follows what the view model says changed: one note
// changed, came or went moves, updates, inserts or removes that note's row
// alone (found by its place in the order, not by a walk over the rows), and
// the tag list follows the tags that note gained or lost. Only a change of
// the filter, the tag or the search, or of the whole collection, goes over
// every note. So a keystroke costs the same with ten notes or fifty
// thousand, and a view keeps its scroll position and builds only the rows
// on screen.
class ZulNoteListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role {
        NoteIDRole = Qt::UserRole + 1,
        // Whether the row shows a preview, which sets its height; a change
        // of it is announced with this role.
        HasPreviewRole,
    };

    // The one list of the view model's notes, shared by every view that
    // shows them: made when first asked for and kept by the view model, so
    // a change is worked out once however many views show it.
    static ZulNoteListModel &of(ZulStudioViewModel &viewModel);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // Display: the note's display title; accessible text: the title with
    // the row's flags and figures; NoteIDRole: its id; HasPreviewRole.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Only for valid rows. The note is the view model's own, valid until
    // its notes next change.
    const ZulNote &noteAt(int row) const;
    QUuid idAt(int row) const { return m_rows[row].id; }
    // What a row shows of its note, worked out when first asked after the
    // note changed.
    QString displayTitle(int row) const;
    QString previewSnippet(int row) const;
    bool hasPreview(int row) const;
    // -1 when the note is not listed.
    int rowOf(const QUuid &id) const;
    ZulStudioViewModel &viewModel() const { return m_viewModel; }

    // The distinct tags of all notes, in the order of the view model's
    // allTags().
    const QStringList &tags() const { return m_tags; }

signals:
    void tagsChanged();

private:
    explicit ZulNoteListModel(ZulStudioViewModel &viewModel);

    // Where a note stands in the display order, ties broken by its place in
    // the view model's notes.
    struct Key {
        ZulNoteOrder::Key order;
        qint64 sequence = 0;
    };
    static bool before(const Key &a, const Key &b);
    struct Row {
        Key key;
        QUuid id;
    };
    struct Entry {
        Key key;
        bool listed = false;
        bool hasPreview = false;
        QStringList tags;
    };
    struct Texts {
        QString displayTitle;
        QString previewSnippet;
    };

    QString spokenRow(int row) const;
    Key keyOf(const ZulNote &note, qint64 sequence) const;
    // Where a row of that key stands, or would stand.
    int lowerBound(const Key &key) const;
    int rowOfKey(const Key &key, const QUuid &id) const;
    const Texts &textsOf(int row) const;

    void rebuild();
    void relist();
    void noteChanged(const QUuid &id, ZulNoteFields fields);
    void noteAdded(const QUuid &id);
    void noteRemoved(const QUuid &id);
    void rowChanged(const QUuid &id, const QList<int> &roles = {});
    void everyRowChanged();
    void selectionChanged();
    // Puts the note's row where its entry says, inserting, moving or
    // removing it as needed.
    void place(const QUuid &id, Entry &entry, const Key &oldKey, bool wasListed);

    // Counts the tags in or out; a tag that comes or goes is put in or taken
    // out of the sorted list at once when `keepSorted`, and true is
    // returned when the list changed.
    bool countTags(const QStringList &tags, int delta, bool keepSorted);

    ZulStudioViewModel &m_viewModel;
    QList<Row> m_rows;
    QHash<QUuid, Entry> m_entries;
    // Every new note goes to the front of the view model's notes.
    qint64 m_frontSequence = 0;
    mutable QHash<QUuid, Texts> m_texts;
    std::optional<QUuid> m_selected;
    QHash<QString, int> m_tagCounts;
    QStringList m_tags;
    ZulNoteOrder::TagOrder m_tagOrder;
};
