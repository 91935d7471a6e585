#pragma once

#include "ViewModels/ZulNoteFilter.h"

#include <QColor>
#include <QList>
#include <QUuid>
#include <QWidget>

class QLineEdit;
class QListView;
class QMenu;
class QScrollArea;
class QStackedWidget;
class QLabel;
class VeskButton;
class ZulChipButton;
class ZulChipGroup;
class ZulNoteListModel;
class ZulNoteRowDelegate;
class ZulStudioViewModel;

// The left column of the studio's workspace: search, the four filters, the
// tag strip, the note list and the Quick Scratch button. It keeps nothing of
// its own: every control shows the view model's state and writes through it.
class ZulSidebarView : public QWidget {
    Q_OBJECT
public:
    ZulSidebarView(ZulStudioViewModel &viewModel, const QColor &accent, QWidget *parent = nullptr);

    ZulStudioViewModel &viewModel() const { return m_viewModel; }
    QColor accent() const { return m_accent; }

    // The parts, for the studio and for tests.
    QLineEdit *searchField() const { return m_searchField; }
    ZulChipButton *clearSearchButton() const { return m_clearButton; }
    ZulChipButton *filterChip(ZulNoteFilter filter) const;
    // Present exactly while some note carries a tag.
    QScrollArea *tagStrip() const { return m_tagStrip; }
    QList<ZulChipButton *> tagChips() const { return m_tagChips; }
    QListView *noteList() const { return m_noteList; }
    ZulNoteListModel *noteListModel() const { return m_model; }
    ZulNoteRowDelegate *rowDelegate() const { return m_delegate; }
    // Shown in place of the list when no note passes.
    QWidget *emptyState() const { return m_emptyState; }
    VeskButton *quickScratchButton() const { return m_quickScratchButton; }

    // The row's context menu for that note, as it would open now.
    QMenu *makeContextMenu(const QUuid &noteID, QWidget *parent);

    // Where Tab stops, top to bottom; the owner skips what is not shown.
    QList<QWidget *> tabStops() const;

signals:
    // Enter on the note list: the user goes on into the selected note's text.
    void noteTextRequested();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text(const char *en, const char *tr) const;
    void retranslate();
    // What the list holds after a narrowing, as it is spoken.
    QString listOutcome() const;
    void syncSearch();
    void syncFilters();
    void syncTags();
    void syncListState();
    // The open note is the list's one selected row, so a screen reader
    // reads which it is and can select another.
    void syncSelection();
    void rowClicked(const QModelIndex &index);
    void showContextMenu(const QPoint &position);
    void quickScratch();

    ZulStudioViewModel &m_viewModel;
    QColor m_accent;
    QLineEdit *m_searchField;
    ZulChipButton *m_clearButton;
    QWidget *m_filterRow;
    QList<ZulChipButton *> m_filterChips;
    ZulChipGroup *m_filterGroup;
    ZulChipGroup *m_tagGroup;
    QScrollArea *m_tagStrip;
    QWidget *m_tagRow;
    QList<ZulChipButton *> m_tagChips;
    QStringList m_shownTags;
    QStackedWidget *m_listStack;
    QListView *m_noteList;
    ZulNoteListModel *m_model;
    ZulNoteRowDelegate *m_delegate;
    QWidget *m_emptyState;
    QLabel *m_emptyText;
    VeskButton *m_quickScratchButton;
    bool m_syncingSelection = false;
};
