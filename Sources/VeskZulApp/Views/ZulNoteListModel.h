#pragma once

#include "Models/ZulNote.h"

#include <QAbstractListModel>
#include <QList>
#include <QUuid>

class ZulStudioViewModel;

// The sidebar's rows: the view model's filtered notes, in its order. It
// follows every change of the notes, the filters, the tag and the search,
// and of the evaluations the rows show, with the smallest change it can name
// (rows moved, removed, added or merely changed), so a view keeps its scroll
// position and builds only the rows on screen.
class ZulNoteListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { NoteIDRole = Qt::UserRole + 1 };

    explicit ZulNoteListModel(ZulStudioViewModel &viewModel, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // Display: the note's display title; accessible text: the title with
    // the row's flags and figures; NoteIDRole: its id.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // What a row shows of its note, worked out once per change of the note.
    struct Row {
        ZulNote note;
        QString displayTitle;
        QString previewSnippet;
    };

    // Only for valid rows.
    const Row &rowAt(int row) const { return m_rows[row]; }
    const ZulNote &noteAt(int row) const { return m_rows[row].note; }
    // -1 when the note is not listed.
    int rowOf(const QUuid &id) const;
    ZulStudioViewModel &viewModel() const { return m_viewModel; }

    // Reads the filtered notes again; connected to the view model already.
    void refresh();

private:
    QString spokenRow(const Row &row) const;
    QList<Row> rowsFor(QList<ZulNote> notes) const;

    ZulStudioViewModel &m_viewModel;
    QList<Row> m_rows;
};
