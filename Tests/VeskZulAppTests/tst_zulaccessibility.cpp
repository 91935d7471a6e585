#include "PanelTestSupport.h"

#include "Views/ComputationalEditorView.h"
#include "Views/FloatingStickyNoteController.h"
#include "Views/EdgeDrawerPanel.h"
#include "Views/FloatingStickyNoteController.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/MainZulStudioView.h"
#include "Views/StickyNotePanel.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulEditorNoteHeader.h"
#include "Views/ZulResultGutter.h"
#include "Views/ZulChipButton.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulSidebarView.h"
#include "Views/ZulTintDotPicker.h"
#include "Views/ZulTrayPopoverWindow.h"

#include "VeskKit/Design/VeskAnnouncer.h"
#include "VeskKit/Design/VeskButton.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QtGui/private/qguiapplication_p.h>
#include <QtTest>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

using namespace paneltest;
using namespace studiotest;

namespace {

const QDateTime kBase = QDateTime(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

// What a screen reader heard: each event with its object's role and name
// as they were when it was raised.
QList<std::tuple<QAccessible::Event, QAccessible::Role, QString>> heard;

void hear(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    heard.append({event->type(), iface ? iface->role() : QAccessible::NoRole,
                  iface ? iface->text(QAccessible::Name) : QString()});
}

// What a walk over the shown objects of one window found.
struct Reading
{
    qsizetype results = 0; // the engine's, for the note every surface shows
    QStringList names;
    QStringList faults;
    int focused = 0;
    int selectedTabs = 0;
};

void read(QAccessibleInterface *iface, Reading &reading)
{
    if (!iface || !iface->isValid() || iface->state().invisible)
        return;
    const QAccessible::State state = iface->state();
    const QAccessible::Role role = iface->role();
    const QString name = iface->text(QAccessible::Name);
    const QString what = QStringLiteral("%1 '%2'").arg(int(role)).arg(name);
    const QStringList actions = iface->actionInterface() ? iface->actionInterface()->actionNames() : QStringList();
    const bool operable = state.focusable || actions.contains(QAccessibleActionInterface::pressAction()) ||
                          actions.contains(QAccessibleActionInterface::toggleAction()) ||
                          QList{QAccessible::SpinBox, QAccessible::Slider, QAccessible::ComboBox,
                                QAccessible::EditableText}.contains(role);
    if (operable && name.trimmed().isEmpty())
        reading.faults.append(QStringLiteral("unnamed ") + what);
    if ((role == QAccessible::CheckBox || role == QAccessible::RadioButton) && !state.checkable)
        reading.faults.append(QStringLiteral("no on state ") + what);
    // A reader says each layer's role on the way to the text.
    if (role == QAccessible::LayeredPane)
        reading.faults.append(QStringLiteral("a layer ") + what);
    const QAccessibleInterface *group = iface->parent();
    if (role == QAccessible::RadioButton &&
        (group->role() != QAccessible::Grouping || group->text(QAccessible::Name).isEmpty()))
        reading.faults.append(QStringLiteral("outside a named group ") + what);
    if (qobject_cast<ZulResultGutter *>(iface->object()) && iface->childCount() != reading.results)
        reading.faults.append(QStringLiteral("gutter shows %1 results").arg(iface->childCount()));
    // A scroll area's viewport mirrors the focus of the area it serves.
    const auto *widget = qobject_cast<const QWidget *>(iface->object());
    reading.focused += state.focused && !(widget && widget->focusProxy()) ? 1 : 0;
    reading.selectedTabs += role == QAccessible::PageTab && state.selected ? 1 : 0;
    reading.names.append(name);
    for (int i = 0; i < iface->childCount(); ++i)
        read(iface->child(i), reading);
}

enum class Surface { workspace, find, settings, drawer, sticky, popover };

} // namespace

Q_DECLARE_METATYPE(Surface)

class TestZulAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void everyShownControlIsNamedAndStated_data();
    void everyShownControlIsNamedAndStated();
    void changesAreAnnounced_data();
    void changesAreAnnounced();
    void aStickyIsMadeInFewEvents();

private:
    ZulStudioViewModel &viewModel() { return *m_studio->viewModel; }
    QWidget *open(Surface surface);

    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::shared_ptr<Panels> m_panels;
    std::unique_ptr<MainZulStudioView> m_view;
    std::unique_ptr<ZulTrayPopoverWindow> m_popover;
    QList<QUuid> m_ids;
};

void TestZulAccessibility::initTestCase()
{
    // As with a screen reader listening: interfaces are made while widgets
    // are built and every event is raised.
    QAccessible::installUpdateHandler(hear);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
}

void TestZulAccessibility::init()
{
    heard.clear();
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_panels = std::make_shared<Panels>();
    const QList<ZulNote> notes{makeNote("Budget", QString::fromUtf8("maaş = 95000\n12 km to mi\n- [x] Pay rent"), kBase),
                               makeNote("Second", "2 * 3", kBase.addSecs(-60))};
    m_ids = {notes[0].id, notes[1].id};
    m_studio->seed(notes);
    startWithRealPanels(*m_studio, m_panels).setLanguage(VeskLanguage::en);
    VeskLanguage::setCurrent(VeskLanguage::en);
    QTRY_VERIFY(m_panels->drawer);
    m_view = std::make_unique<MainZulStudioView>(
        viewModel(), QColor(0x7CA4FF), [](ZulStudioViewModel &model, const QUuid &id, QWidget *parent) -> QWidget * {
            return new ComputationalEditorView(&model, id, false, true, parent);
        });
    m_view->resize(1180, 740);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestZulAccessibility::cleanup()
{
    m_popover.reset();
    m_view.reset();
    m_studio.reset();
    m_home.reset();
}

QWidget *TestZulAccessibility::open(Surface surface)
{
    switch (surface) {
    case Surface::workspace:
        return m_view.get();
    case Surface::find:
        QTest::keyClick(m_view->findChild<SynchronizedComputationalTextView *>(), Qt::Key_F, Qt::ControlModifier);
        return m_view.get();
    case Surface::settings:
        viewModel().setSelectedTab(ZulStudioTab::settings);
        return m_view.get();
    case Surface::drawer:
        viewModel().toggleEdgeDrawer();
        return m_panels->drawer->drawerPanel();
    case Surface::sticky:
        viewModel().toggleFloatingSticky(m_ids[0]);
        return m_panels->stickies->panelsByNoteID().value(m_ids[0]).panel;
    case Surface::popover:
        viewModel().setQuickScratchText(QStringLiteral("120 + 5"));
        m_popover = std::make_unique<ZulTrayPopoverWindow>(&viewModel(), [] {}, QColor(0x7CA4FF));
        m_popover->show();
        return m_popover.get();
    }
    return nullptr;
}

void TestZulAccessibility::everyShownControlIsNamedAndStated_data()
{
    QTest::addColumn<Surface>("surface");
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QStringList>("expected"); // the window's name first
    QTest::addColumn<int>("selectedTabs");

    const QString result = QString::fromUtf8("Line 1: 95,000, variable, maaş");
    QTest::newRow("workspace") << Surface::workspace << VeskLanguage(VeskLanguage::en)
                               << QStringList{"VeskZul", "Search notes & tags", "Note title", "Add tag", result,
                                              "Line 3: Done, task", "Indigo", "Budget, total 95,007.5, tasks 1/1 done"} << 1;
    QTest::newRow("workspace in Turkish")
        << Surface::workspace << VeskLanguage(VeskLanguage::tr)
        << QStringList{"VeskZul", QString::fromUtf8("Notlarda ve etiketlerde ara"), QString::fromUtf8("Not başlığı"),
                       QString::fromUtf8("Satır 1: 95,000, değişken, maaş"), QString::fromUtf8("Çivit"),
                       QString::fromUtf8("Budget, toplam 95,007.5, görev 1/1 tamam"), "Kapat"} << 1;
    QTest::newRow("find in Turkish") << Surface::find << VeskLanguage(VeskLanguage::tr)
                                     << QStringList{"VeskZul", "Notta bul", QString::fromUtf8("Sonraki Eşleşme (Enter)")} << 1;
    QTest::newRow("settings") << Surface::settings << VeskLanguage(VeskLanguage::en)
        << QStringList{"VeskZul", "Settings", "Left Edge", "Editor Font Size: 14 pt", "Auto-Tidy Ephemeral Scratch Notes",
                       "Default Currency (Mixed-Currency Blocks), TRY", "Interface Language, English"} << 1;
    QTest::newRow("settings in Turkish")
        << Surface::settings << VeskLanguage(VeskLanguage::tr)
        << QStringList{"VeskZul", "Ayarlar", "Sol Kenar", QString::fromUtf8("Arayüz Dili, Türkçe (Turkish)"),
                       QString::fromUtf8("Varsayılan Para Birimi (Karışık Blok Toplamı), TRY")} << 1;
    QTest::newRow("drawer") << Surface::drawer << VeskLanguage(VeskLanguage::en)
                            << QStringList{"Budget", "Close Drawer (Esc)", result} << 0;
    QTest::newRow("sticky in Turkish") << Surface::sticky << VeskLanguage(VeskLanguage::tr)
        << QStringList{"Budget", QString::fromUtf8("Her Zaman Üstte Aç/Kapat"), QString::fromUtf8("Satır 3: Tamam, görev")} << 0;
    QTest::newRow("popover") << Surface::popover << VeskLanguage(VeskLanguage::en)
                             << QStringList{"VeskZul", "Instant Scratch Calculator", "Line 1: 125", "Total 125"} << 0;
}

void TestZulAccessibility::everyShownControlIsNamedAndStated()
{
    QFETCH(Surface, surface);
    QFETCH(VeskLanguage, language);
    QFETCH(QStringList, expected);
    QFETCH(int, selectedTabs);

    // A row clicked leaves no row claiming the focus the editor holds.
    QListView *list = m_view->findChild<QListView *>();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    QWidget *window = open(surface);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // As the settings' language picker switches it.
    viewModel().setLanguage(language);
    VeskLanguage::setCurrent(language);

    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
    QCOMPARE(root->role(), QAccessible::Window);
    QCOMPARE(root->text(QAccessible::Name), expected.constFirst());
    Reading reading;
    reading.results = viewModel().evaluation(m_ids[0]).lines.size();
    read(root, reading);
    QVERIFY2(reading.faults.isEmpty(), qPrintable(reading.faults.join(QStringLiteral("; "))));
    QVERIFY2(reading.focused <= 1, qPrintable(QString::number(reading.focused)));
    QCOMPARE(reading.selectedTabs, selectedTabs);
    for (const QString &name : expected)
        QVERIFY2(reading.names.contains(name), qPrintable(name + QStringLiteral(" in ") + reading.names.join('|')));
}

void TestZulAccessibility::changesAreAnnounced_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QAccessible::Event>("event");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");

    QTest::newRow("a copied result raises the toast's alert")
        << "press result" << QAccessible::Alert << QAccessible::Notification << "Copied: 95,000";
    QTest::newRow("a changed result renames its object")
        << "edit" << QAccessible::NameChanged << QAccessible::StaticText << QString::fromUtf8("Line 1: 96,000, variable, maaş");
    QTest::newRow("an arrow on the tint dots takes the reader along")
        << "Right on tints" << QAccessible::Focus << QAccessible::RadioButton << "Emerald";
    QTest::newRow("a row's action opens its note")
        << "select row" << QAccessible::SelectionAdd << QAccessible::ListItem << "Second, total 6";
    QTest::newRow("a term typed into find tells the count")
        << "find m" << QAccessible::Alert << QAccessible::Notification << "1 of 3";
    QTest::newRow("Return in find tells the next match's place")
        << "find m, Return" << QAccessible::Alert << QAccessible::Notification << "2 of 3";
    QTest::newRow("a term found nowhere says so")
        << "find q" << QAccessible::Alert << QAccessible::Notification << "No matches";
    QTest::newRow("a search that leaves one note names it")
        << "search bud" << QAccessible::Alert << QAccessible::Notification << "1 note: Budget";
    QTest::newRow("a search tells how many notes it kept")
        << "search e" << QAccessible::Alert << QAccessible::Notification << "2 notes";
    QTest::newRow("a filter that leaves no note says so")
        << "Pinned filter" << QAccessible::Alert << QAccessible::Notification << "No matching notes";
    QTest::newRow("an added tag is told")
        << "tag #Budget" << QAccessible::Alert << QAccessible::Notification << "Tag added: #budget";
    QTest::newRow("a created note is told")
        << "new note" << QAccessible::Alert << QAccessible::Notification << "Note created: New Note";
    QTest::newRow("the export menu opens on its first item")
        << "open export" << QAccessible::Focus << QAccessible::MenuItem << "Export Markdown (.md) with Results";
    QTest::newRow("Tab from the text lands on the caret's result")
        << "Tab to results" << QAccessible::Focus << QAccessible::StaticText << QString::fromUtf8("Line 1: 95,000, variable, maaş");
    QTest::newRow("Down in the results goes to the next line's")
        << "Down in results" << QAccessible::Focus << QAccessible::StaticText << QString::fromUtf8("Line 2: 7.456 mi, unit");
    QTest::newRow("End in the results goes to the last, a task")
        << "End in results" << QAccessible::Focus << QAccessible::CheckBox << "Line 3: Done, task";
    QTest::newRow("Return on a result copies it")
        << "Return on result" << QAccessible::Alert << QAccessible::Notification << "Copied: 95,000";
    QTest::newRow("Space on a task unticks it")
        << "Space on task" << QAccessible::NameChanged << QAccessible::CheckBox << "Line 3: Todo, task";
    QTest::newRow("Escape goes back into the text")
        << "Escape in results" << QAccessible::Focus << QAccessible::EditableText << "Note text";
    QTest::newRow("Tab into the list names the open note")
        << "Tab to list" << QAccessible::Focus << QAccessible::ListItem << "Budget, total 95,007.5, tasks 1/1 done";
    QTest::newRow("Down on the only match names it again")
        << "Down on one match" << QAccessible::Alert << QAccessible::Notification << "Budget, total 95,007.5, tasks 1/1 done";
    QTest::newRow("a filter is a radio button of its group")
        << "choose filter" << QAccessible::StateChanged << QAccessible::RadioButton << "Pinned";
    QTest::newRow("pressing a sticky's collapse button says what it did")
        << "press collapse" << QAccessible::Alert << QAccessible::Notification << "Collapsed";
    QTest::newRow("a sticky's collapse button tells it folded")
        << "collapse sticky" << QAccessible::StateChanged << QAccessible::Button << "Collapse / Expand";
}

void TestZulAccessibility::changesAreAnnounced()
{
    QFETCH(QString, change);
    QFETCH(QAccessible::Event, event);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);

    auto *gutterWidget = m_view->findChild<ZulResultGutter *>();
    auto *text = m_view->findChild<SynchronizedComputationalTextView *>();
    QAccessibleInterface *gutter = QAccessible::queryAccessibleInterface(gutterWidget);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(m_view->findChild<QListView *>());
    QVERIFY(gutter->child(0));
    QAccessibleInterface *collapse = nullptr;
    if (change.endsWith("results") || change.endsWith("result") || change.endsWith("task")) {
        m_view->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
        text->setFocus(Qt::OtherFocusReason);
        if (change != "Tab to results") {
            gutterWidget->setFocus(Qt::TabFocusReason);
            if (change == "Space on task")
                QTest::keyClick(gutterWidget, Qt::Key_End);
            QCoreApplication::processEvents();
        }
    } else if (change == "Down on one match") {
        QTest::keyClicks(m_view->findChild<ZulSidebarView *>()->searchField(), QStringLiteral("bud"));
        m_view->findChild<QListView *>()->setFocus(Qt::TabFocusReason);
        // The search's own outcome is told first, as a user hears it before
        // pressing a key.
        QTRY_VERIFY(heard.contains({QAccessible::Alert, QAccessible::Notification, QStringLiteral("1 note: Budget")}));
    } else if (change == "collapse sticky" || change == "press collapse") {
        QWidget *window = open(Surface::sticky);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        collapse = QAccessible::queryAccessibleInterface(window->findChild<FloatingStickyNoteView *>()->collapseButton());
        QVERIFY(collapse->state().expandable && collapse->state().expanded);
    }
    heard.clear();
    if (change == "Tab to results")
        QTest::keyClick(text, Qt::Key_Tab, Qt::ControlModifier);
    else if (const QHash<QString, Qt::Key> keys{{"Down in results", Qt::Key_Down}, {"End in results", Qt::Key_End},
                                                 {"Return on result", Qt::Key_Return}, {"Space on task", Qt::Key_Space},
                                                 {"Escape in results", Qt::Key_Escape}};
             keys.contains(change))
        QTest::keyClick(gutterWidget, keys[change]);
    else if (change == "Tab to list")
        m_view->findChild<QListView *>()->setFocus(Qt::TabFocusReason);
    else if (change == "Down on one match")
        QTest::keyClick(m_view->findChild<QListView *>(), Qt::Key_Down);
    else if (change == "choose filter")
        m_view->findChild<ZulSidebarView *>()->filterChip(ZulNoteFilter::pinned)->click();
    else if (change == "collapse sticky")
        m_panels->stickies->toggleCollapse(m_ids[0]);
    else if (change == "press collapse")
        QTest::keyClick(m_panels->stickies->panelsByNoteID().value(m_ids[0]).panel->findChild<FloatingStickyNoteView *>()->collapseButton(),
                        Qt::Key_Space);
    else if (change == "press result")
        gutter->child(0)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    else if (change == "Right on tints") {
        auto *tints = m_view->findChild<ZulTintDotPicker *>();
        tints->setFocus(Qt::TabFocusReason);
        // As a reader that has read the dots.
        QAccessibleInterface *row = QAccessible::queryAccessibleInterface(tints);
        for (int i = 0; i < row->childCount(); ++i)
            QVERIFY(row->child(i));
        heard.clear();
        QTest::keyClick(tints, Qt::Key_Right);
    } else if (change == "edit")
        viewModel().updateNoteContent(m_ids[0], QString::fromUtf8("maaş = 96000\n12 km to mi\n- [x] Pay rent"));
    else if (change.startsWith("find ")) {
        open(Surface::find);
        auto *field = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(field);
        QTest::keyClicks(field, change.mid(5, 1));
        if (change.endsWith("Return"))
            QTest::keyClick(field, Qt::Key_Return);
    } else if (change.startsWith("search "))
        QTest::keyClicks(m_view->findChild<ZulSidebarView *>()->searchField(), change.mid(7));
    else if (change == "Pinned filter")
        m_view->findChild<ZulSidebarView *>()->filterChip(ZulNoteFilter::pinned)->click();
    else if (change == "tag #Budget") {
        QLineEdit *field = nullptr;
        for (QLineEdit *candidate : m_view->findChildren<QLineEdit *>())
            field = candidate->accessibleName() == "Add tag" ? candidate : field;
        QVERIFY(field);
        QTest::keyClicks(field, " #Budget ");
        QTest::keyClick(field, Qt::Key_Return);
    } else if (change == "new note")
        m_view->newNoteButton()->click();
    else if (change == "open export")
        m_view->findChild<ZulEditorNoteHeader *>()->exportButton()->click();
    else
        list->tableInterface()->cellAt(1, 0)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());

    QTRY_VERIFY2(heard.contains({event, role, name}), qPrintable(name));
    if (event == QAccessible::Focus) {
        // What the reader last heard of is where it stays.
        QCoreApplication::processEvents();
        const auto last = std::find_if(heard.crbegin(), heard.crend(),
                                       [](const auto &one) { return std::get<0>(one) == QAccessible::Focus; });
        QCOMPARE(std::get<2>(*last), name);
    }
    if (change == "Return on result")
        QCOMPARE(m_studio->clipboard->text, QStringLiteral("95,000"));
    if (change == "Space on task")
        QCOMPARE(viewModel().note(m_ids[0])->content, QString::fromUtf8("maaş = 95000\n12 km to mi\n- [ ] Pay rent"));
    if (change == "Escape in results")
        QCOMPARE(text->textCursor().blockNumber(), 0);
    if (change == "choose filter")
        QVERIFY(!QAccessible::queryAccessibleInterface(m_view->findChild<ZulSidebarView *>()->filterChip(ZulNoteFilter::all))
                     ->state().checked);
    if (collapse) {
        QVERIFY(collapse->state().expandable && collapse->state().collapsed && !collapse->state().expanded);
        const QWidget *window = m_panels->stickies->panelsByNoteID().value(m_ids[0]).panel;
        QCOMPARE(QAccessible::queryAccessibleInterface(window->findChild<FloatingStickyNoteView *>()->totalBadge())
                     ->text(QAccessible::Name),
                 QStringLiteral("Total 95,007.46"));
    }
    if (change == "select row") {
        QCOMPARE(viewModel().selectedNoteID(), std::optional<QUuid>(m_ids[1]));
        QCOMPARE(list->tableInterface()->selectedRows(), QList<int>{1});
    }
}

void TestZulAccessibility::aStickyIsMadeInFewEvents()
{
    heard.clear();
    viewModel().createAndFloatStickyNote();
    QWidget *panel = m_panels->stickies->panelsByNoteID().value(viewModel().notes().constFirst().id).panel;
    QVERIFY(panel);
    QVERIFY(QTest::qWaitForWindowExposed(panel));
    const auto told = [] {
        return std::any_of(heard.cbegin(), heard.cend(), [](const auto &event) {
            return std::get<0>(event) == QAccessible::Alert &&
                   std::get<2>(event).startsWith(QStringLiteral("Floating sticky created: "));
        });
    };
    QTRY_VERIFY(told());
    QTest::qWait(VeskAnnouncer::pauseMs);
    // A reader keeps all but the news of things coming into view (it speaks
    // only a notification's), and once it holds more than 50 it drops what
    // it is not speaking at that moment, the toast among it.
    constexpr qsizetype bound = 45;
    QStringList kept;
    for (const auto &[event, role, name] : std::as_const(heard)) {
        if ((event == QAccessible::ObjectShow || event == QAccessible::ObjectHide) && role != QAccessible::Notification)
            continue;
        kept.append(QStringLiteral("%1 %2 '%3'")
                        .arg(QString::fromLatin1(QMetaEnum::fromType<QAccessible::Event>().valueToKey(event)),
                             QString::fromLatin1(QMetaEnum::fromType<QAccessible::Role>().valueToKey(role)), name));
    }
    QVERIFY2(kept.size() <= bound, qPrintable(QString::number(kept.size()) + ":\n" + kept.join("\n")));
}

QTEST_MAIN(TestZulAccessibility)
#include "tst_zulaccessibility.moc"
