#include "StudioTestSupport.h"

#include "Views/ZulChipButton.h"
#include "Views/ZulNoteListModel.h"
#include "Views/ZulNoteRowDelegate.h"
#include "Views/ZulSidebarView.h"

#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskContextMenuKey.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QScrollArea>
#include <QToolTip>
#include <QtTest>

using namespace studiotest;

Q_DECLARE_METATYPE(ZulNoteFilter)

namespace {

const QDateTime kBase = QDateTime(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

ZulNote note(const QString &title, const QString &content, int minutesLater, QStringList tags = {})
{
    ZulNote n = makeNote(title, content, kBase.addSecs(60 * minutesLater));
    n.tags = std::move(tags);
    return n;
}

// The seeded collection, newest first once sorted (pinned ahead).
QList<ZulNote> collection()
{
    ZulNote groceries = note("Groceries", "milk: 2\nbread: 3", 1, {"food"});
    groceries.isPinned = true;
    ZulNote trip = note("Trip", "flight: 300 USD", 4, {"travel"});
    trip.isEphemeral = true;
    ZulNote budget = note("Budget", "rent: 1000\n- [x] pay\n- [ ] file", 3, {"home", "food"});
    budget.isFloatingSticky = true;
    ZulNote tea = note("Çay listesi", "ÇAY: 5", 2);
    return {groceries, trip, budget, tea};
}

QStringList shownTitles(const ZulSidebarView &sidebar)
{
    QStringList titles;
    const ZulNoteListModel *model = sidebar.noteListModel();
    for (int row = 0; row < model->rowCount(); ++row)
        titles.append(model->data(model->index(row)).toString());
    return titles;
}

ZulChipButton *tagChip(const ZulSidebarView &sidebar, const QString &tag)
{
    for (ZulChipButton *chip : sidebar.tagChips())
        if (chip->objectName() == tag)
            return chip;
    return nullptr;
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestZulSidebarView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void filtersTagsAndSearch_data();
    void filtersTagsAndSearch();
    void clearButtonFollowsSearchText();
    void tagChipsToggle();
    void tagStripAbsentWithoutTags();
    void rowBadgesAndFlags_data();
    void rowBadgesAndFlags();
    void rowTimeIsTimeOfDayOnly();
    void rowsFollowOneAnotherEvenly();
    void clickingRowSelectsNote();
    void quickScratchUnderPinnedFilter();
    void contextMenuFollowsFlags();
    void keysOpenTheFocusedMenu_data();
    void keysOpenTheFocusedMenu();
    void listFollowsEveryChange_data();
    void listFollowsEveryChange();
    void viewsShareOneList();
    void retranslates();

private:
    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::unique_ptr<ZulSidebarView> m_sidebar;
};

void TestZulSidebarView::init()
{
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_studio->seed(collection());
    // An hour after the notes were written: nothing is old enough to tidy.
    m_studio->clock->fixed = kBase.addSecs(3600);
    ZulStudioViewModel &viewModel = m_studio->start();
    viewModel.setLanguage(VeskLanguage::en);
    m_sidebar = std::make_unique<ZulSidebarView>(viewModel, QColor(0x7CA4FF));
    m_sidebar->resize(268, 700);
    m_sidebar->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_sidebar.get()));
}

void TestZulSidebarView::cleanup()
{
    m_sidebar.reset();
    m_studio.reset();
    m_home.reset();
}

void TestZulSidebarView::filtersTagsAndSearch_data()
{
    QTest::addColumn<ZulNoteFilter>("filter");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("all, pinned first then newest") << ZulNoteFilter::all << "" << ""
                                                   << QStringList{"Groceries", "Trip", "Budget", "Çay listesi"};
    QTest::newRow("pinned") << ZulNoteFilter::pinned << "" << "" << QStringList{"Groceries"};
    QTest::newRow("sticky") << ZulNoteFilter::sticky << "" << "" << QStringList{"Budget"};
    QTest::newRow("scratch") << ZulNoteFilter::ephemeral << "" << "" << QStringList{"Trip"};
    QTest::newRow("tag") << ZulNoteFilter::all << "food" << "" << QStringList{"Groceries", "Budget"};
    QTest::newRow("tag and filter") << ZulNoteFilter::sticky << "food" << "" << QStringList{"Budget"};
    QTest::newRow("search in content") << ZulNoteFilter::all << "" << "flight" << QStringList{"Trip"};
    QTest::newRow("search ignores case") << ZulNoteFilter::all << "" << "MILK" << QStringList{"Groceries"};
    QTest::newRow("search beyond ASCII case") << ZulNoteFilter::all << "" << "çay" << QStringList{"Çay listesi"};
    QTest::newRow("search in tags") << ZulNoteFilter::all << "" << "travel" << QStringList{"Trip"};
    QTest::newRow("surrounding blanks ignored") << ZulNoteFilter::all << "" << "  rent " << QStringList{"Budget"};
    QTest::newRow("nothing left") << ZulNoteFilter::pinned << "" << "flight" << QStringList{};
}

void TestZulSidebarView::filtersTagsAndSearch()
{
    QFETCH(ZulNoteFilter, filter);
    QFETCH(QString, tag);
    QFETCH(QString, search);
    QFETCH(QStringList, expected);

    click(m_sidebar->filterChip(filter));
    if (!tag.isEmpty())
        click(tagChip(*m_sidebar, tag));
    // Typed one character at a time, as key events carrying their text
    // (QTest's own key clicks only know ASCII).
    for (const QChar character : search)
        QTest::sendKeyEvent(QTest::Click, m_sidebar->searchField(), Qt::Key_unknown, QString(character),
                            Qt::NoModifier);

    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    QCOMPARE(viewModel.activeFilter(), filter);
    QCOMPARE(viewModel.searchText(), search);
    for (ZulNoteFilter each : ZulNoteFilterAllCases())
        QCOMPARE(m_sidebar->filterChip(each)->isSelected(), each == filter);
    QCOMPARE(shownTitles(*m_sidebar), expected);
    QCOMPARE(m_sidebar->emptyState()->isVisible(), expected.isEmpty());
    QCOMPARE(m_sidebar->noteList()->isVisible(), !expected.isEmpty());
    if (expected.isEmpty()) {
        const QList<QLabel *> labels = m_sidebar->emptyState()->findChildren<QLabel *>();
        QVERIFY(std::any_of(labels.begin(), labels.end(),
                            [](QLabel *label) { return label->text() == "No matching notes"; }));
    }
}

void TestZulSidebarView::clearButtonFollowsSearchText()
{
    QVERIFY(!m_sidebar->clearSearchButton()->isVisible());
    QTest::keyClicks(m_sidebar->searchField(), "bread");
    QVERIFY(m_sidebar->clearSearchButton()->isVisible());
    QCOMPARE(shownTitles(*m_sidebar), QStringList{"Groceries"});
    click(m_sidebar->clearSearchButton());
    QCOMPARE(m_studio->viewModel->searchText(), QString());
    QCOMPARE(m_sidebar->searchField()->text(), QString());
    QVERIFY(!m_sidebar->clearSearchButton()->isVisible());
    QCOMPARE(shownTitles(*m_sidebar).size(), 4);

    // Set from elsewhere, the field shows it without writing it back.
    QSignalSpy writes(m_studio->viewModel.get(), &ZulStudioViewModel::searchTextChanged);
    m_studio->viewModel->setSearchText("trip");
    QCOMPARE(m_sidebar->searchField()->text(), QString("trip"));
    QCOMPARE(writes.size(), 1);
}

void TestZulSidebarView::tagChipsToggle()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    QStringList chips;
    for (ZulChipButton *chip : m_sidebar->tagChips())
        chips.append(chip->text());
    QCOMPARE(chips, (QStringList{"#food", "#home", "#travel"}));

    click(tagChip(*m_sidebar, "home"));
    QCOMPARE(viewModel.selectedTag(), std::optional<QString>("home"));
    QVERIFY(tagChip(*m_sidebar, "home")->isSelected());
    click(tagChip(*m_sidebar, "travel"));
    QCOMPARE(viewModel.selectedTag(), std::optional<QString>("travel"));
    QVERIFY(!tagChip(*m_sidebar, "home")->isSelected());
    click(tagChip(*m_sidebar, "travel"));
    QCOMPARE(viewModel.selectedTag(), std::nullopt);
    QCOMPARE(shownTitles(*m_sidebar).size(), 4);
}

void TestZulSidebarView::tagStripAbsentWithoutTags()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    QVERIFY(m_sidebar->tagStrip()->isVisible());
    // The chips stand on the sidebar's own ground: between two chips the
    // strip shows what the sidebar's padding beside it shows.
    const QImage shot = m_sidebar->grab().toImage();
    ZulChipButton *firstChip = m_sidebar->tagChips().first();
    const QPoint gap = firstChip->mapTo(m_sidebar.get(), QPoint(firstChip->width() + 2, firstChip->height() / 2));
    QCOMPARE(shot.pixelColor(gap), shot.pixelColor(QPoint(4, gap.y())));

    // A tag added while the strip is on screen: the strip stays as tall as
    // its chips, and a click where the new chip shows filters by it.
    viewModel.addTag("#Art", *viewModel.selectedNoteID());
    ZulChipButton *chip = tagChip(*m_sidebar, "art");
    QVERIFY(chip);
    QTRY_COMPARE(m_sidebar->tagStrip()->height(), chip->sizeHint().height());
    QCOMPARE(m_sidebar->childAt(chip->mapTo(m_sidebar.get(), chip->rect().center())), chip);
    click(chip);
    QCOMPARE(viewModel.selectedTag(), std::optional<QString>("art"));

    for (const ZulNote &each : viewModel.notes())
        for (const QString &tag : each.tags)
            viewModel.removeTag(tag, each.id);
    QVERIFY(m_sidebar->tagChips().isEmpty());
    QVERIFY(!m_sidebar->tagStrip()->isVisible());
    // Nor any room for it in a sidebar opened without tags.
    ZulSidebarView fresh(viewModel, QColor(0x7CA4FF));
    fresh.show();
    const QWidget *chips = fresh.filterChip(ZulNoteFilter::all);
    QCOMPARE(fresh.noteList()->parentWidget()->mapTo(&fresh, QPoint()).y(),
             chips->mapTo(&fresh, QPoint(0, chips->height())).y() + 10);
    viewModel.addTag("#New", viewModel.notes().first().id);
    QVERIFY(m_sidebar->tagStrip()->isVisible());
    QCOMPARE(m_sidebar->tagChips().first()->text(), QString("#new"));
}

void TestZulSidebarView::rowBadgesAndFlags_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content"); // the note's own when empty
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("tasks");
    QTest::addColumn<QStringList>("flags");

    QTest::newRow("numbers, pinned") << "Groceries" << "" << "Σ 5" << "" << QStringList{"pin.fill"};
    QTest::newRow("tasks, floating") << "Budget" << "" << "Σ 1,000" << "✓ 1/2" << QStringList{"macwindow.on.rectangle"};
    QTest::newRow("ephemeral") << "Trip" << "" << "Σ 300" << "" << QStringList{"hourglass"};
    QTest::newRow("total too long for the row") << "Budget" << "123456789012345678901234567890\n- [x] pay\n- [ ] file"
                                                << "Σ 123,456,789,012,345,680,000,000,000,000" << "✓ 1/2"
                                                << QStringList{"macwindow.on.rectangle"};
}

void TestZulSidebarView::rowBadgesAndFlags()
{
    QFETCH(QString, title);
    QFETCH(QString, content);
    QFETCH(QString, total);
    QFETCH(QString, tasks);
    QFETCH(QStringList, flags);
    for (const ZulNote &each : m_studio->viewModel->notes())
        if (each.title == title && !content.isEmpty())
            m_studio->viewModel->updateNoteContent(each.id, content);
    const int row = shownTitles(*m_sidebar).indexOf(title);
    QVERIFY(row >= 0);
    QCOMPARE(m_sidebar->rowDelegate()->totalBadgeText(row), total);
    QCOMPARE(m_sidebar->rowDelegate()->tasksBadgeText(row), tasks);
    QCOMPARE(m_sidebar->rowDelegate()->flagSymbols(row), flags);

    // The footer's texts stand apart; a total too long ends in an ellipsis, whole as its tooltip.
    const QRect rect = m_sidebar->noteList()->visualRect(m_sidebar->noteListModel()->index(row));
    const QList<ZulNoteRowDelegate::FooterText> footer = m_sidebar->rowDelegate()->footerTexts(row, rect);
    for (qsizetype i = 0; i < footer.size(); ++i) {
        QVERIFY(QRectF(rect).contains(footer[i].box));
        QVERIFY(i == 0 || footer[i - 1].box.right() < footer[i].box.left());
        QCOMPARE(footer[i].shown.endsWith(u'…'), i == 0 && total.size() > 20);
    }
    if (total.size() > 20) {
        const QPoint at = footer[0].box.center().toPoint();
        QHelpEvent help(QEvent::ToolTip, at, m_sidebar->noteList()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(m_sidebar->noteList()->viewport(), &help);
        QTRY_COMPARE(QToolTip::text(), total);
    }
}

void TestZulSidebarView::rowTimeIsTimeOfDayOnly()
{
    // Changed days ago: still only the time of day.
    const int row = shownTitles(*m_sidebar).indexOf("Groceries");
    const QString expected = QLocale().toString(kBase.addSecs(60).toLocalTime().time(), QLocale::ShortFormat);
    QCOMPARE(m_sidebar->rowDelegate()->timeText(row), expected);
    QVERIFY(!m_sidebar->rowDelegate()->timeText(row).contains("2026"));

    // A note without text lines or numbers: no preview, no badges, a shorter row.
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    viewModel.createNote("Empty", QString(), ZulNoteTint::amber, false, false);
    const int emptyRow = shownTitles(*m_sidebar).indexOf("Empty");
    QVERIFY(emptyRow >= 0);
    QCOMPARE(m_sidebar->rowDelegate()->totalBadgeText(emptyRow), QString());
    QCOMPARE(m_sidebar->rowDelegate()->tasksBadgeText(emptyRow), QString());
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 244, 10);
    const int emptyHeight = m_sidebar->rowDelegate()->sizeHint(option, m_sidebar->noteListModel()->index(emptyRow)).height();
    const int fullHeight = m_sidebar->rowDelegate()->sizeHint(option, m_sidebar->noteListModel()->index(row)).height();
    QVERIFY2(emptyHeight < fullHeight, qPrintable(QString("%1 vs %2").arg(emptyHeight).arg(fullHeight)));
}

void TestZulSidebarView::rowsFollowOneAnotherEvenly()
{
    // A preview that fits one line at the first width and wraps at the second.
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    viewModel.createNote("Rent", "rent = 1200\nbills = 240 and more", ZulNoteTint::amber, false, false);
    QListView *list = m_sidebar->noteList();
    QTRY_VERIFY(list->visualRect(list->model()->index(0, 0)).isValid());
    // Narrower: previews rewrap, and the rows below must move with them.
    m_sidebar->resize(180, 700);
    QTest::qWait(200);
    for (int row = 0; row + 1 < list->model()->rowCount(); ++row) {
        const QRect above = list->visualRect(list->model()->index(row, 0));
        const QRect below = list->visualRect(list->model()->index(row + 1, 0));
        QVERIFY2(below.top() == above.bottom() + 1,
                 qPrintable(QString("row %1 ends at %2, row %3 starts at %4")
                                .arg(row).arg(above.bottom()).arg(row + 1).arg(below.top())));
    }
}

void TestZulSidebarView::clickingRowSelectsNote()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    viewModel.setSelectedTab(ZulStudioTab::settings);
    QListView *list = m_sidebar->noteList();
    const int row = shownTitles(*m_sidebar).indexOf("Budget");
    const QRect rect = list->visualRect(list->model()->index(row, 0));
    QVERIFY(rect.isValid());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(m_sidebar->noteListModel()->noteAt(row).id));
    QCOMPARE(viewModel.selectedTab(), ZulStudioTab::workspace);
}

void TestZulSidebarView::quickScratchUnderPinnedFilter()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    click(m_sidebar->filterChip(ZulNoteFilter::pinned));
    const qsizetype before = viewModel.notes().size();
    click(m_sidebar->quickScratchButton());
    QCOMPARE(viewModel.notes().size(), before + 1);
    const ZulNote &created = viewModel.notes().first();
    QCOMPARE(created.title, QString("Quick Scratch"));
    QVERIFY(created.isEphemeral);
    QVERIFY(!created.isFloatingSticky);
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(created.id));
    QCOMPARE(viewModel.activeFilter(), ZulNoteFilter::pinned);
    QCOMPARE(shownTitles(*m_sidebar), QStringList{"Groceries"});
    click(m_sidebar->filterChip(ZulNoteFilter::ephemeral));
    QVERIFY(shownTitles(*m_sidebar).contains("Quick Scratch"));
}

void TestZulSidebarView::contextMenuFollowsFlags()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    auto idOf = [&](const QString &title) {
        return m_sidebar->noteListModel()->noteAt(shownTitles(*m_sidebar).indexOf(title)).id;
    };
    auto texts = [](QMenu *menu) {
        QStringList result;
        for (QAction *action : menu->actions())
            result.append(action->isSeparator() ? QString("—") : action->text());
        return result;
    };
    std::unique_ptr<QMenu> pinned(m_sidebar->makeContextMenu(idOf("Groceries"), nullptr));
    QCOMPARE(texts(pinned.get()), (QStringList{"Unpin Note", "Float as Sticky Note", "Copy with Live Results",
                                               "Duplicate", "—", "Delete Note"}));
    // Dark like the rest, every item readable, only the destructive one red.
    QImage shot;
    QCOMPARE(menuLookFault(pinned.get(), &shot), QString());
    const auto isRed = [](const QColor &c) { return c.red() - c.green() > 100; };
    for (QAction *action : pinned->actions()) {
        const int red = countPixels(shot, pinned->actionGeometry(action), isRed);
        QVERIFY2(action == pinned->actions().last() ? red >= 20 : red == 0, qPrintable(action->text()));
    }
    std::unique_ptr<QMenu> floating(m_sidebar->makeContextMenu(idOf("Budget"), nullptr));
    QCOMPARE(texts(floating.get()).mid(0, 2), (QStringList{"Pin Note", "Close Floating Sticky"}));

    // The items act on their note and leave the selection to the view model.
    const QUuid trip = idOf("Trip");
    const std::optional<QUuid> selected = viewModel.selectedNoteID();
    std::unique_ptr<QMenu> menu(m_sidebar->makeContextMenu(trip, nullptr));
    menu->actions().at(3)->trigger();
    QCOMPARE(viewModel.notes().first().title, QString("Trip (Copy)"));
    menu->actions().at(0)->trigger();
    QVERIFY(viewModel.note(trip)->isPinned);
    menu->actions().last()->trigger();
    QVERIFY(!viewModel.note(trip));
    QVERIFY(!shownTitles(*m_sidebar).contains("Trip"));
    Q_UNUSED(selected);
}

void TestZulSidebarView::keysOpenTheFocusedMenu_data()
{
    QTest::addColumn<QString>("selected"); // the note selected in the list, which has the keyboard; "": the search field has it
    QTest::addColumn<QString>("firstItem");
    QTest::newRow("Shift+F10 on a row") << "Budget" << "Pin Note";
    QTest::newRow("Shift+F10 in the search field") << "" << "";
}

void TestZulSidebarView::keysOpenTheFocusedMenu()
{
    QFETCH(QString, selected);
    QFETCH(QString, firstItem);
    VeskContextMenuKey::applyApplicationWide();
    QWidget *target = selected.isEmpty() ? static_cast<QWidget *>(m_sidebar->searchField()) : m_sidebar->noteList();
    if (!selected.isEmpty())
        m_studio->viewModel->setSelectedNoteID(
            m_sidebar->noteListModel()->noteAt(shownTitles(*m_sidebar).indexOf(selected)).id);
    QVERIFY(QTest::qWaitForWindowActive(m_sidebar.get()));
    target->setFocus();
    QTest::keyClick(target, Qt::Key_F10, Qt::ShiftModifier);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    if (!firstItem.isEmpty())
        QCOMPARE(menu->actions().constFirst()->text(), firstItem);
    menu->close();
}

void TestZulSidebarView::listFollowsEveryChange_data()
{
    QTest::addColumn<ZulNoteFilter>("filter");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("change");
    QTest::newRow("typing moves a note up") << ZulNoteFilter::all << "" << "type in Çay";
    QTest::newRow("a total follows the text") << ZulNoteFilter::all << "" << "retotal Groceries";
    QTest::newRow("a long note's total comes later") << ZulNoteFilter::all << "" << "lengthen Budget";
    QTest::newRow("an emptied title shows the text's") << ZulNoteFilter::all << "" << "untitle Çay";
    QTest::newRow("typed words bring a note into a search") << ZulNoteFilter::all << "simit" << "type in Çay";
    QTest::newRow("words taken away take it out") << ZulNoteFilter::all << "milk" << "retotal Groceries";
    QTest::newRow("pinning moves a row up") << ZulNoteFilter::all << "" << "pin Çay";
    QTest::newRow("unpinned, it leaves the pinned list") << ZulNoteFilter::pinned << "" << "pin Groceries";
    QTest::newRow("floated, it joins the sticky list") << ZulNoteFilter::sticky << "" << "float Çay";
    QTest::newRow("the last note with a tag loses it") << ZulNoteFilter::all << "" << "untag Trip";
    QTest::newRow("the last note with a tag goes") << ZulNoteFilter::all << "" << "delete Trip";
    QTest::newRow("a tag comes with a note") << ZulNoteFilter::all << "" << "tag Çay";
    QTest::newRow("a new note under a search") << ZulNoteFilter::all << "fresh" << "create";
    QTest::newRow("many arrive at once") << ZulNoteFilter::all << "" << "create many";
    QTest::newRow("tidying takes a note and its tag") << ZulNoteFilter::all << "" << "tidy";
}

void TestZulSidebarView::listFollowsEveryChange()
{
    QFETCH(ZulNoteFilter, filter);
    QFETCH(QString, search);
    QFETCH(QString, change);
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    viewModel.setActiveFilter(filter);
    viewModel.setSearchText(search);
    const ZulNoteListModel *model = m_sidebar->noteListModel();
    auto idOf = [&](const QString &title) {
        for (const ZulNote &each : viewModel.notes())
            if (each.title == title || each.title.startsWith(title))
                return each.id;
        return QUuid();
    };
    // Every row the list was told to draw anew.
    QSet<QUuid> redrawn;
    auto rowsRedrawn = [&](int first, int last) {
        for (int row = first; row <= last; ++row)
            redrawn.insert(model->noteAt(row).id);
    };
    QObject listening;
    connect(model, &QAbstractItemModel::dataChanged, &listening,
            [&](const QModelIndex &top, const QModelIndex &bottom) { rowsRedrawn(top.row(), bottom.row()); });
    connect(model, &QAbstractItemModel::rowsInserted, &listening,
            [&](const QModelIndex &, int first, int last) { rowsRedrawn(first, last); });
    connect(model, &QAbstractItemModel::modelReset, &listening, [&] { rowsRedrawn(0, model->rowCount() - 1); });

    const QStringList verb = change.split(' ');
    const QUuid target = idOf(verb.value(verb.size() - 1));
    if (change == "type in Çay")
        viewModel.updateNoteContent(target, "ÇAY 5\nsimit 2");
    else if (change == "retotal Groceries")
        viewModel.updateNoteContent(target, "bread: 3\nbutter: 20");
    else if (change == "lengthen Budget") {
        // Evaluated off the main thread: the row must be drawn again when
        // the total arrives, not only when the text changed.
        viewModel.updateNoteContent(target, QString("word\n").repeated(900) + "total = 5");
        redrawn.clear();
        QTRY_COMPARE(viewModel.evaluation(target).totalNumericSum, std::optional<double>(5));
    } else if (change == "untitle Çay")
        viewModel.updateNoteTitle(target, QString());
    else if (change == "pin Çay" || change == "pin Groceries")
        viewModel.togglePin(target);
    else if (change == "float Çay")
        viewModel.toggleFloatingSticky(target);
    else if (change == "untag Trip")
        viewModel.removeTag("travel", target);
    else if (change == "delete Trip")
        viewModel.deleteNote(target);
    else if (change == "tag Çay")
        viewModel.addTag("drinks", target);
    else if (change == "create")
        viewModel.createNote("Fresh", "fresh = 1", ZulNoteTint::cyan, false, false);
    else if (change == "create many")
        for (int i = 0; i < 12; ++i)
            viewModel.createNote(QString("Bulk %1").arg(i), QString(), ZulNoteTint::indigo, false, false);
    else if (change == "tidy") {
        m_studio->clock->fixed = kBase.addDays(30);
        viewModel.runAutoTidyNow();
    } else
        QFAIL("unknown change");

    QStringList expected;
    for (const ZulNote &each : viewModel.filteredNotes())
        expected.append(each.displayTitle());
    QCOMPARE(shownTitles(*m_sidebar), expected);
    for (const ZulNote &each : viewModel.filteredNotes())
        QCOMPARE(model->rowOf(each.id), int(expected.indexOf(each.displayTitle())));
    QStringList chips;
    for (ZulChipButton *chip : m_sidebar->tagChips())
        chips.append(chip->text().mid(1));
    QCOMPARE(chips, viewModel.allTags());
    QCOMPARE(m_sidebar->tagStrip()->isVisible(), !chips.isEmpty());
    // The row of the changed note, where it is still listed, is drawn anew.
    if (model->rowOf(target) >= 0)
        QVERIFY(redrawn.contains(target));
}

void TestZulSidebarView::viewsShareOneList()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    auto second = std::make_unique<ZulSidebarView>(viewModel, QColor(0x7CA4FF));
    QCOMPARE(second->noteListModel(), m_sidebar->noteListModel());
    // The list stays with the view model when a view goes.
    second.reset();
    viewModel.createNote("Later", "x = 1", ZulNoteTint::amber, false, false);
    QVERIFY(shownTitles(*m_sidebar).contains("Later"));
}

void TestZulSidebarView::retranslates()
{
    ZulStudioViewModel &viewModel = *m_studio->viewModel;
    viewModel.setLanguage(VeskLanguage::tr);
    QCOMPARE(m_sidebar->searchField()->placeholderText(), QString("Notlarda ve etiketlerde ara..."));
    QStringList chips;
    for (ZulNoteFilter filter : ZulNoteFilterAllCases())
        chips.append(m_sidebar->filterChip(filter)->text());
    QCOMPARE(chips, (QStringList{"Tümü", "Sabit", "Yapışkan", "Geçici"}));
    QCOMPARE(m_sidebar->quickScratchButton()->text(), QString("Hızlı Karalama"));
    click(m_sidebar->quickScratchButton());
    QCOMPARE(viewModel.notes().first().title, QString("Hızlı Karalama"));
}

QTEST_MAIN(TestZulSidebarView)
#include "tst_zulsidebarview.moc"
