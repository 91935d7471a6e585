#include "Views/ZulSidebarView.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskAnnouncer.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassMenu.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbolLabel.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ZulChipButton.h"
#include "Views/ZulChipGroup.h"
#include "Views/ZulNoteListModel.h"
#include "Views/ZulNoteRowDelegate.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <functional>

namespace {

const std::array<std::pair<const char *, const char *>, 4> kFilterTexts = {{
    {"All", "Tümü"},
    {"Pinned", "Sabit"},
    {"Sticky", "Yapışkan"},
    {"Scratch", "Geçici"},
}};

// The search row's rounded glass behind the field.
class SearchBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        veskPaintGlassShape(painter, QRectF(rect()), 9, VeskGlassTokens::surface2(), VeskGlassTokens::borderSubtle());
    }
};

// The note list. A row's height changes only when its preview comes or
// goes: a plain list view lays every row out again at any change of any
// row (a key typed into a note changes its row), this one only then.
//
// From the keyboard the list is one stop whose cursor is the selected note:
// the arrows, Home, End and the page keys move it and the selection follows
// at once; Enter hands over to the note's text.
class NoteListView : public QListView {
public:
    using QListView::QListView;

    std::function<QModelIndex()> selectedIndex;
    std::function<void(const QModelIndex &)> onKeyboardMove;
    std::function<void()> onEnter;

protected:
    void focusInEvent(QFocusEvent *event) override
    {
        followSelection();
        QListView::focusInEvent(event);
        // Qt tells the reader of the list taking the keyboard only after
        // this returns, and the reader then speaks the list alone: the
        // row the keyboard is on is told after that.
        if (QAccessible::isActive())
            QMetaObject::invokeMethod(this, [this] { tellReaderOfCurrentRow(); }, Qt::QueuedConnection);
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && onEnter) {
            onEnter();
            return;
        }
        followSelection();
        const QModelIndex before = currentIndex();
        QListView::keyPressEvent(event);
        if (currentIndex() != before && currentIndex().isValid() && onKeyboardMove)
            onKeyboardMove(currentIndex());
        // A move that stays on its row (the only match, the list's end)
        // raises no focus event, and a reader would say nothing at all.
        const bool moveKey = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                             event->key() == Qt::Key_Home || event->key() == Qt::Key_End ||
                             event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
        if (moveKey && currentIndex() == before && currentIndex().isValid())
            VeskAnnouncer::announce(currentIndex().data(Qt::AccessibleTextRole).toString(), this);
    }

    void tellReaderOfCurrentRow()
    {
        if (!hasFocus() || !currentIndex().isValid() || !QAccessible::isActive())
            return;
        QAccessibleEvent row(this, QAccessible::Focus);
        row.setChild(currentIndex().row());
        QAccessible::updateAccessibility(&row);
    }

    // The selection may have moved by the mouse or elsewhere since.
    void followSelection()
    {
        const QModelIndex wanted = selectedIndex ? selectedIndex() : QModelIndex();
        if (wanted.isValid() && wanted != currentIndex())
            selectionModel()->setCurrentIndex(wanted, QItemSelectionModel::NoUpdate);
    }

    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override
    {
        if (roles.contains(ZulNoteListModel::HasPreviewRole))
            scheduleDelayedItemsLayout();
        // Qt finds what a range repaints by measuring each of its rows; a
        // change of every row (all the totals at once) would measure the
        // whole collection for the few rows on screen. Rows off screen are
        // drawn from the model when they come into view.
        int first = topLeft.row();
        int last = bottomRight.row();
        if (first != last && isVisible() && !roles.contains(ZulNoteListModel::HasPreviewRole)) {
            const QRect seen = viewport()->rect();
            const QModelIndex top = indexAt(seen.topLeft());
            const QModelIndex bottom = indexAt(QPoint(seen.left(), seen.bottom()));
            if (top.isValid())
                first = std::max(first, top.row());
            if (bottom.isValid())
                last = std::min(last, bottom.row());
            if (first > last)
                return;
        }
        QAbstractItemView::dataChanged(model()->index(first, 0), model()->index(last, 0), roles);
    }

    // The selected row is the open note, which only a click (or a screen
    // reader's select) changes; a press or a drag over rows marks nothing.
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override
    {
        if (event && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseMove ||
                      event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::MouseButtonDblClick))
            return QItemSelectionModel::NoUpdate;
        return QListView::selectionCommand(index, event);
    }

    // A row reads as focused while it is current; only the list holding the
    // keyboard has a current row, so no row claims the focus that another
    // control holds.
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override
    {
        QListView::currentChanged(current, previous);
        if (current.isValid() && !hasFocus())
            selectionModel()->clearCurrentIndex();
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QListView::focusOutEvent(event);
        selectionModel()->clearCurrentIndex();
    }
};

// Turns a vertical wheel into a sideways scroll of the tag strip.
class SidewaysWheel : public QObject {
public:
    explicit SidewaysWheel(QScrollArea *area) : QObject(area), m_area(area) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::Wheel)
            return false;
        auto *wheel = static_cast<QWheelEvent *>(event);
        const QPoint delta = wheel->angleDelta();
        QScrollBar *bar = m_area->horizontalScrollBar();
        bar->setValue(bar->value() - (delta.x() != 0 ? delta.x() : delta.y()) / 4);
        return true;
    }

private:
    QScrollArea *m_area;
};

} // namespace

ZulSidebarView::ZulSidebarView(ZulStudioViewModel &viewModel, const QColor &accent, QWidget *parent)
    : QWidget(parent), m_viewModel(viewModel), m_accent(accent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);

    // 1. Search.
    auto *search = new SearchBox(this);
    auto *searchRow = new QHBoxLayout(search);
    searchRow->setContentsMargins(10, 7, 10, 7);
    searchRow->setSpacing(7);
    searchRow->addWidget(
        new VeskSymbolLabel(QStringLiteral("magnifyingglass"), 12, QFont::Normal, VeskGlassTokens::textMuted(), search));
    m_searchField = new QLineEdit(search);
    m_searchField->setFrame(false);
    m_searchField->setFont(veskSystemFont(12.5));
    QPalette fieldPalette = m_searchField->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    fieldPalette.setColor(QPalette::Text, VeskGlassTokens::textPrimary());
    fieldPalette.setColor(QPalette::PlaceholderText, VeskGlassTokens::textMuted());
    m_searchField->setPalette(fieldPalette);
    m_searchField->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_searchField->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0; }"));
    searchRow->addWidget(m_searchField, 1);
    m_clearButton = new ZulChipButton(QString(), QStringLiteral("xmark.circle.fill"), search);
    m_clearButton->setPadding(0, 0);
    const ZulChipButton::Look clearLook{veskSystemFont(12), VeskGlassTokens::textMuted(), Qt::transparent,
                                        Qt::transparent, 0};
    m_clearButton->setLooks(clearLook, clearLook);
    searchRow->addWidget(m_clearButton);
    layout->addWidget(search);
    VeskFocusRing::attach(search, 9, m_searchField);
    connect(m_searchField, &QLineEdit::textEdited, this, [this](const QString &typed) {
        m_viewModel.setSearchText(typed);
    });
    connect(m_clearButton, &QAbstractButton::clicked, this, [this] { m_viewModel.setSearchText(QString()); });

    // 2. Filters, sharing the row equally: one of them is always chosen, so
    // they are a named group of radio buttons.
    m_filterRow = new QWidget(this);
    VeskAccessibleControl::setRole(m_filterRow, QAccessible::Grouping);
    auto *filterRow = new QHBoxLayout(m_filterRow);
    filterRow->setContentsMargins(0, 0, 0, 0);
    filterRow->setSpacing(5);
    for (ZulNoteFilter filter : ZulNoteFilterAllCases()) {
        auto *chip = new ZulChipButton(QString(), QString(), m_filterRow);
        chip->setPadding(0, 5);
        chip->setCornerRadius(7);
        chip->setLooks({veskSystemFont(10.5, QFont::DemiBold), Qt::white, veskColorWithOpacity(m_accent, 0.28),
                        veskColorWithOpacity(m_accent, 0.65), 0.8},
                       {veskSystemFont(10.5, QFont::Medium), VeskGlassTokens::textSecondary(),
                        VeskGlassTokens::surface1(), VeskGlassTokens::borderSubtle(), 0.8});
        chip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        chip->setMinimumWidth(10);
        VeskAccessibleControl::setRole(chip, QAccessible::RadioButton);
        connect(chip, &QAbstractButton::clicked, this, [this, filter] { m_viewModel.setActiveFilter(filter); });
        filterRow->addWidget(chip, 1);
        m_filterChips.append(chip);
    }
    layout->addWidget(m_filterRow);
    m_filterGroup = new ZulChipGroup(this);
    m_filterGroup->setChips(m_filterChips);

    // 3. Tags.
    m_tagStrip = new QScrollArea(this);
    m_tagStrip->setFrameShape(QFrame::NoFrame);
    // The chips take the keyboard; the strip around them is no stop of its own.
    m_tagStrip->setFocusPolicy(Qt::NoFocus);
    m_tagStrip->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tagStrip->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tagStrip->setWidgetResizable(false);
    // Clear through its viewport, without a style sheet: one here would
    // hand the strip and every chip in it to the style-sheet style, whose
    // polish is what the chips' making cost most.
    m_tagStrip->setAutoFillBackground(false);
    m_tagStrip->viewport()->setAutoFillBackground(false);
    m_tagStrip->viewport()->installEventFilter(new SidewaysWheel(m_tagStrip));
    m_tagRow = new QWidget();
    auto *tagLayout = new QHBoxLayout(m_tagRow);
    tagLayout->setContentsMargins(0, 0, 0, 0);
    tagLayout->setSpacing(5);
    tagLayout->setSizeConstraint(QLayout::SetFixedSize);
    m_tagStrip->setWidget(m_tagRow);
    // The scroll area fills its widget's background; the chips stand on the
    // sidebar's own ground.
    m_tagRow->setAutoFillBackground(false);
    // Absent until a tag exists: with no tags at start syncTags finds
    // nothing changed and would leave an empty strip taking room.
    m_tagStrip->hide();
    layout->addWidget(m_tagStrip);
    m_tagGroup = new ZulChipGroup(this);
    // A chip reached by the keyboard scrolls into the strip's view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && m_tagRow->isAncestorOf(now))
            m_tagStrip->ensureWidgetVisible(now, 0, 0);
    });

    // 4. Notes, or the empty state.
    m_listStack = new QStackedWidget(this);
    // A layer of layout alone, which a reader need not name.
    VeskAccessibleControl::setRole(m_listStack, QAccessible::Grouping);
    m_model = &ZulNoteListModel::of(viewModel);
    auto *noteList = new NoteListView(m_listStack);
    m_noteList = noteList;
    m_delegate = new ZulNoteRowDelegate(*m_model, m_noteList);
    m_noteList->setModel(m_model);
    m_noteList->setItemDelegate(m_delegate);
    m_noteList->setFrameShape(QFrame::NoFrame);
    m_noteList->setSelectionMode(QAbstractItemView::SingleSelection);
    // Reached by Tab; a click on a row leaves the keyboard in the note.
    m_noteList->setFocusPolicy(Qt::TabFocus);
    noteList->selectedIndex = [this] {
        const std::optional<QUuid> selected = m_viewModel.selectedNoteID();
        const int row = selected ? m_model->rowOf(*selected) : -1;
        return row < 0 ? QModelIndex() : m_model->index(row);
    };
    noteList->onKeyboardMove = [this](const QModelIndex &index) { rowClicked(index); };
    noteList->onEnter = [this] { emit noteTextRequested(); };
    m_noteList->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_noteList->verticalScrollBar()->setSingleStep(16);
    m_noteList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Row heights cost nothing to know, so one pass lays out every row:
    // laid out in batches, the list would repaint after each.
    m_noteList->setLayoutMode(QListView::SinglePass);
    m_noteList->setMouseTracking(true);
    m_noteList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_noteList->setContentsMargins(0, 2, 0, 2);
    m_noteList->setStyleSheet(QStringLiteral("QListView { background: transparent; }")
                              + VeskGlassScrollBar::styleSheet());
    m_noteList->viewport()->setAutoFillBackground(false);
    m_listStack->addWidget(m_noteList);
    connect(m_noteList, &QListView::clicked, this, &ZulSidebarView::rowClicked);
    connect(m_noteList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected) {
                if (!m_syncingSelection && !selected.isEmpty())
                    rowClicked(selected.indexes().constFirst());
            });
    connect(m_noteList, &QWidget::customContextMenuRequested, this, &ZulSidebarView::showContextMenu);

    m_emptyState = new QWidget(m_listStack);
    auto *emptyLayout = new QVBoxLayout(m_emptyState);
    emptyLayout->setContentsMargins(0, 36, 0, 0);
    emptyLayout->setSpacing(8);
    emptyLayout->addWidget(
        new VeskSymbolLabel(QStringLiteral("tray"), 24, QFont::Normal, VeskGlassTokens::textMuted(), m_emptyState), 0,
        Qt::AlignHCenter);
    m_emptyText = new QLabel(m_emptyState);
    m_emptyText->setFont(veskSystemFont(12));
    m_emptyText->setStyleSheet(QStringLiteral("color: %1;").arg(VeskGlassTokens::textSecondary().name(QColor::HexArgb)));
    m_emptyText->setAlignment(Qt::AlignHCenter);
    emptyLayout->addWidget(m_emptyText, 0, Qt::AlignHCenter);
    emptyLayout->addStretch(1);
    m_listStack->addWidget(m_emptyState);
    layout->addWidget(m_listStack, 1);

    // 5. Quick Scratch.
    m_quickScratchButton = new VeskButton(VeskGlassButtonStyle{false}, QString(), QStringLiteral("bolt.fill"), this);
    m_quickScratchButton->setLabelFont(veskSystemFont(11.5, QFont::Medium));
    m_quickScratchButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(m_quickScratchButton, &QAbstractButton::clicked, this, &ZulSidebarView::quickScratch);
    layout->addWidget(m_quickScratchButton);

    connect(&viewModel, &ZulStudioViewModel::searchTextChanged, this, &ZulSidebarView::syncSearch);
    connect(&viewModel, &ZulStudioViewModel::activeFilterChanged, this, &ZulSidebarView::syncFilters);
    // The list changes out of the keyboard's sight, away from the field or
    // the chip that narrowed it: its outcome is told. Queued, so the list
    // has followed the change.
    connect(&viewModel, &ZulStudioViewModel::searchTextChanged, this,
            [this] { VeskAnnouncer::announceAfterPause(listOutcome(), this); }, Qt::QueuedConnection);
    for (auto signal : {&ZulStudioViewModel::activeFilterChanged, &ZulStudioViewModel::selectedTagChanged}) {
        connect(&viewModel, signal, this, [this] {
            if (m_model->rowCount() == 0)
                VeskAnnouncer::announce(listOutcome(), this);
        }, Qt::QueuedConnection);
    }
    connect(m_model, &ZulNoteListModel::tagsChanged, this, &ZulSidebarView::syncTags);
    connect(&viewModel, &ZulStudioViewModel::selectedTagChanged, this, &ZulSidebarView::syncTags);
    connect(&viewModel, &ZulStudioViewModel::languageChanged, this, &ZulSidebarView::retranslate);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ZulSidebarView::syncListState);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ZulSidebarView::syncListState);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ZulSidebarView::syncListState);
    connect(m_model, &QAbstractItemModel::modelReset, this, &ZulSidebarView::syncSelection);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &ZulSidebarView::syncSelection);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ZulSidebarView::syncSelection);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &ZulSidebarView::syncSelection);
    connect(&viewModel, &ZulStudioViewModel::selectedNoteIDChanged, this, &ZulSidebarView::syncSelection);

    retranslate();
    syncSearch();
    syncFilters();
    syncTags();
    syncListState();
    syncSelection();
}

QString ZulSidebarView::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_viewModel.language());
}

ZulChipButton *ZulSidebarView::filterChip(ZulNoteFilter filter) const
{
    return m_filterChips.value(qsizetype(filter));
}

QList<QWidget *> ZulSidebarView::tabStops() const
{
    return {m_searchField, m_clearButton, m_filterGroup->stop(), m_tagGroup->stop(), m_noteList,
            m_quickScratchButton};
}

void ZulSidebarView::retranslate()
{
    m_searchField->setPlaceholderText(text("Search notes & tags...", "Notlarda ve etiketlerde ara..."));
    m_searchField->setAccessibleName(text("Search notes & tags", "Notlarda ve etiketlerde ara"));
    for (qsizetype i = 0; i < m_filterChips.size(); ++i) {
        m_filterChips[i]->setText(text(kFilterTexts[i].first, kFilterTexts[i].second));
        m_filterChips[i]->setAccessibleName(m_filterChips[i]->text());
    }
    m_emptyText->setText(text("No matching notes", "Eşleşen not yok"));
    m_quickScratchButton->setText(text("Quick Scratch", "Hızlı Karalama"));
    m_clearButton->setAccessibleName(text("Clear Search", "Aramayı Temizle"));
    m_tagStrip->setAccessibleName(text("Tags", "Etiketler"));
    m_filterRow->setAccessibleName(text("Filter", "Filtre"));
    m_noteList->setAccessibleName(text("Notes", "Notlar"));
}

QString ZulSidebarView::listOutcome() const
{
    const int count = m_model->rowCount();
    if (count == 0)
        return m_emptyText->text();
    if (count == 1)
        return text("1 note: ", "1 not: ") + m_model->noteAt(0).displayTitle();
    return veskText(QStringLiteral("%1 notes"), QStringLiteral("%1 not"), m_viewModel.language()).arg(count);
}

void ZulSidebarView::syncSearch()
{
    const QString &wanted = m_viewModel.searchText();
    if (m_searchField->text() != wanted) {
        const QSignalBlocker blocker(m_searchField);
        m_searchField->setText(wanted);
    }
    m_clearButton->setVisible(!wanted.isEmpty());
}

void ZulSidebarView::syncFilters()
{
    for (ZulNoteFilter filter : ZulNoteFilterAllCases())
        filterChip(filter)->setSelected(m_viewModel.activeFilter() == filter);
}

void ZulSidebarView::syncTags()
{
    const QStringList &tags = m_model->tags();
    if (tags != m_shownTags) {
        m_shownTags = tags;
        qDeleteAll(m_tagChips);
        m_tagChips.clear();
        auto *row = static_cast<QHBoxLayout *>(m_tagRow->layout());
        // One pair of looks for every chip: the fonts are looked up once.
        const ZulChipButton::Look selected{veskSystemFont(10.5, QFont::DemiBold, VeskFontDesign::monospaced),
                                           Qt::white, veskColorWithOpacity(m_accent, 0.32),
                                           veskColorWithOpacity(m_accent, 0.7), 0.8};
        const ZulChipButton::Look plain{veskSystemFont(10.5, QFont::Medium, VeskFontDesign::monospaced),
                                        VeskGlassTokens::textSecondary(), VeskGlassTokens::surface1(),
                                        VeskGlassTokens::borderSubtle(), 0.8};
        for (const QString &tag : tags) {
            auto *chip = new ZulChipButton(QStringLiteral("#") + tag, QString(), m_tagRow);
            chip->setObjectName(tag);
            VeskAccessibleControl::setRole(chip, QAccessible::CheckBox);
            chip->setCapsule(true);
            chip->setPadding(8, 3);
            chip->setLooks(selected, plain);
            connect(chip, &QAbstractButton::clicked, this, [this, tag] {
                if (m_viewModel.selectedTag() == tag)
                    m_viewModel.setSelectedTag(std::nullopt);
                else
                    m_viewModel.setSelectedTag(tag);
            });
            row->addWidget(chip);
            // A child added to a row already on screen would only show at
            // the next turn of the event loop, and until then the row's
            // height, which the strip takes below, leaves it out.
            chip->show();
            m_tagChips.append(chip);
        }
        m_tagGroup->setChips(m_tagChips);
        m_tagRow->adjustSize();
        m_tagStrip->setFixedHeight(m_tagRow->sizeHint().height());
        m_tagStrip->setVisible(!tags.isEmpty());
    }
    for (ZulChipButton *chip : std::as_const(m_tagChips))
        chip->setSelected(m_viewModel.selectedTag() == chip->objectName());
}

void ZulSidebarView::syncListState()
{
    m_listStack->setCurrentWidget(m_model->rowCount() == 0 ? m_emptyState : static_cast<QWidget *>(m_noteList));
}

void ZulSidebarView::syncSelection()
{
    const std::optional<QUuid> id = m_viewModel.selectedNoteID();
    const int row = id ? m_model->rowOf(*id) : -1;
    QItemSelectionModel *selection = m_noteList->selectionModel();
    m_syncingSelection = true;
    if (row < 0)
        selection->clearSelection();
    else if (!selection->isSelected(m_model->index(row)) || selection->selectedIndexes().size() != 1)
        selection->select(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    m_syncingSelection = false;
}

void ZulSidebarView::rowClicked(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    m_viewModel.setSelectedNoteID(m_model->noteAt(index.row()).id);
    m_viewModel.setSelectedTab(ZulStudioTab::workspace);
}

QMenu *ZulSidebarView::makeContextMenu(const QUuid &noteID, QWidget *parent)
{
    const std::optional<ZulNote> note = m_viewModel.note(noteID);
    if (!note)
        return nullptr;
    auto *menu = new VeskGlassMenu(parent);
    ZulStudioViewModel *viewModel = &m_viewModel;
    menu->addAction(note->isPinned ? text("Unpin Note", "Sabitlemeyi Kaldır") : text("Pin Note", "Notu Sabitle"),
                    this, [viewModel, noteID] { viewModel->togglePin(noteID); });
    menu->addAction(note->isFloatingSticky ? text("Close Floating Sticky", "Yüzen Yapışkanı Kapat")
                                           : text("Float as Sticky Note", "Yüzen Yapışkan Olarak Aç"),
                    this, [viewModel, noteID] { viewModel->toggleFloatingSticky(noteID); });
    menu->addAction(text("Copy with Live Results", "Canlı Sonuçlarla Kopyala"), this,
                    [viewModel, noteID] { viewModel->copyNoteWithResults(noteID); });
    menu->addAction(text("Duplicate", "Çoğalt"), this, [viewModel, noteID] { viewModel->duplicateNote(noteID); });
    menu->addSeparator();
    QAction *remove = menu->addAction(text("Delete Note", "Notu Sil"), this,
                                      [viewModel, noteID] { viewModel->deleteNote(noteID); });
    VeskGlassMenu::setDestructive(remove);
    return menu;
}

void ZulSidebarView::showContextMenu(const QPoint &position)
{
    const QModelIndex index = m_noteList->indexAt(position);
    if (!index.isValid())
        return;
    QMenu *menu = makeContextMenu(m_model->noteAt(index.row()).id, this);
    if (!menu)
        return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(m_noteList->viewport()->mapToGlobal(position));
}

void ZulSidebarView::quickScratch()
{
    m_viewModel.createNote(ZulNewNoteKind::quickNote);
}

void ZulSidebarView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), veskColorFromHex(0x000000, 0.14));
}
