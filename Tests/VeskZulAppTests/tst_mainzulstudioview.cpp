#include "StudioTestSupport.h"

#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Design/VeskToastBanner.h"
#include "VeskKit/Design/VeskUnifiedHeaderBar.h"
#include "VeskKit/Design/VeskWindowControls.h"
#include "VeskKit/Design/VeskFeedbackButton.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskLanguagePicker.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerContentView.h"
#include "Views/EdgeDrawerNoteChip.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/StickyWindowState.h"
#include "Views/MainZulStudioView.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulChipButton.h"
#include "Views/ZulEditorChip.h"
#include "Views/ZulEditorNoteHeader.h"
#include "Views/ZulEditorStatusBar.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulSettingsView.h"
#include "Views/ZulResultGutter.h"
#include "Views/ZulSidebarView.h"
#include "Views/ZulTintDotPicker.h"
#include "Views/ZulToggle.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

using namespace studiotest;

namespace {

const QDateTime kBase = QDateTime(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

// Stands in for the editor: a label naming its note.
MainZulStudioView::EditorFactory labelEditor()
{
    return [](ZulStudioViewModel &, const QUuid &id, QWidget *parent) -> QWidget * {
        auto *label = new QLabel(id.toString(QUuid::WithoutBraces), parent);
        label->setObjectName(QStringLiteral("editor"));
        return label;
    };
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

} // namespace

class TestMainZulStudioView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void headerSharesTheTitleBar();
    void tabsSwitchPages();
    void emptyWorkspaceCreatesNote();
    void newNoteFromSettingsOpensWorkspace();
    void editorFollowsSelection();
    void noteEditorIsRetargeted();
    void stickyButtonCounts_data();
    void stickyButtonCounts();
    void drawerButtonFollowsSideAndState();
    void toastsComeAndGo();
    void versionSheetFollowsFlag();
    void turkishLabels();
    void typingGoesIntoANewNote();
    void tabWalksEveryControlWithItsRing_data();
    void tabWalksEveryControlWithItsRing();
    void keysActOnTheControlHoldingThem_data();
    void keysActOnTheControlHoldingThem();

private:
    ZulStudioViewModel &viewModel() { return *m_studio->viewModel; }
    // The studio on that page with its editor (the note tagged "work"), and its stops by name.
    QHash<QWidget *, QString> showKeyboardStudio(const QString &page);

    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::unique_ptr<MainZulStudioView> m_view;
    std::unique_ptr<QWidget> m_panel; // a drawer's or a sticky's content, walked instead of the studio
    std::unique_ptr<StickyWindowState> m_stickyState;
    QMenu m_commandMenu;
};

void TestMainZulStudioView::init()
{
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_studio->seed({makeNote("First", "1 + 1", kBase), makeNote("Second", "2 * 3", kBase.addSecs(60))});
    m_studio->clock->fixed = kBase.addSecs(3600);
    m_studio->start().setLanguage(VeskLanguage::en);
    m_view = std::make_unique<MainZulStudioView>(viewModel(), QColor(0x7CA4FF), labelEditor());
    m_view->resize(1180, 740);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestMainZulStudioView::cleanup()
{
    m_panel.reset();
    m_view.reset();
    m_studio.reset();
    m_home.reset();
}

void TestMainZulStudioView::headerSharesTheTitleBar()
{
    QVERIFY(m_view->windowFlags().testFlag(Qt::FramelessWindowHint));
    VeskWindowControls *controls = VeskWindowControls::of(m_view.get());
    QVERIFY(controls && controls->isVisible());
    // The header's content starts right of the window controls.
    QTRY_COMPARE(m_view->headerBar()->leadingPadding(), 88.0);
    QVERIFY(m_view->headerBar()->row()->geometry().left() >= controls->geometry().right());
    QVERIFY(m_view->headerBar()->height() >= 52);
    QCOMPARE(m_view->sidebar()->width(), MainZulStudioView::sidebarWidth);
}

void TestMainZulStudioView::tabsSwitchPages()
{
    QVERIFY(m_view->workspaceTabButton()->isSelected());
    QVERIFY(!m_view->settingsView());
    click(m_view->settingsTabButton());
    QCOMPARE(viewModel().selectedTab(), ZulStudioTab::settings);
    QVERIFY(m_view->settingsView());
    QCOMPARE(m_view->currentPage(), static_cast<QWidget *>(m_view->settingsView()));
    QVERIFY(m_view->settingsTabButton()->isSelected());
    QVERIFY(!m_view->workspaceTabButton()->isSelected());
    QVERIFY(!m_view->sidebar()->isVisible());

    click(m_view->workspaceTabButton());
    QCOMPARE(viewModel().selectedTab(), ZulStudioTab::workspace);
    QVERIFY(m_view->sidebar()->isVisible());
    QVERIFY(!m_view->settingsView()->isVisible());

    // Changed by the view model elsewhere, the page follows.
    viewModel().setSelectedTab(ZulStudioTab::settings);
    QVERIFY(m_view->settingsView()->isVisible());
}

void TestMainZulStudioView::emptyWorkspaceCreatesNote()
{
    QCOMPARE(m_view->workspaceTabButton()->text(), QString("Scratchpad (2)"));
    const QList<ZulNote> notes = viewModel().notes();
    for (const ZulNote &each : notes)
        viewModel().deleteNote(each.id);
    QCOMPARE(m_view->workspaceTabButton()->text(), QString("Scratchpad (0)"));
    QVERIFY(!m_view->editor());
    QVERIFY(m_view->emptyWorkspaceState()->isVisible());

    const std::optional<QString> toastBefore = viewModel().toastMessage();
    click(m_view->createNoteButton());
    QCOMPARE(viewModel().notes().size(), 1);
    QCOMPARE(viewModel().notes().first().title, QString("New Note"));
    QCOMPARE(viewModel().selectedNoteID(), std::optional<QUuid>(viewModel().notes().first().id));
    QCOMPARE(m_view->workspaceTabButton()->text(), QString("Scratchpad (1)"));
    QVERIFY(m_view->editor());
    QVERIFY(!m_view->emptyWorkspaceState()->isVisible());
    QCOMPARE(viewModel().toastMessage(), toastBefore); // no toast for a new note
}

void TestMainZulStudioView::newNoteFromSettingsOpensWorkspace()
{
    viewModel().setSelectedTab(ZulStudioTab::settings);
    click(m_view->newNoteButton());
    QCOMPARE(viewModel().selectedTab(), ZulStudioTab::workspace);
    const ZulNote created = viewModel().notes().first();
    QCOMPARE(created.title, QString("New Note"));
    QVERIFY(!created.isEphemeral && !created.isFloatingSticky);
    QCOMPARE(m_view->currentPage()->isAncestorOf(m_view->editor()), true);
    QCOMPARE(static_cast<QLabel *>(m_view->editor())->text(), created.id.toString(QUuid::WithoutBraces));
}

void TestMainZulStudioView::editorFollowsSelection()
{
    const QUuid first = viewModel().notes().last().id;
    viewModel().setSelectedNoteID(first);
    QCOMPARE(static_cast<QLabel *>(m_view->editor())->text(), first.toString(QUuid::WithoutBraces));
    QPointer<QWidget> before = m_view->editor();
    viewModel().setSelectedNoteID(first);
    QCOMPARE(m_view->editor(), before.data()); // same note, same editor
    viewModel().setSelectedNoteID(std::nullopt);
    QVERIFY(!m_view->editor());
    QVERIFY(m_view->emptyWorkspaceState()->isVisible());
}

void TestMainZulStudioView::noteEditorIsRetargeted()
{
    m_view = std::make_unique<MainZulStudioView>(
        viewModel(), QColor(0x7CA4FF), [](ZulStudioViewModel &model, const QUuid &id, QWidget *parent) -> QWidget * {
            return new ComputationalEditorView(&model, id, false, true, parent);
        });
    m_view->resize(1180, 740);
    m_view->show();
    const QUuid first = viewModel().notes().last().id;
    const QUuid second = viewModel().notes().first().id;
    viewModel().setSelectedNoteID(first);
    QPointer<ComputationalEditorView> editor = qobject_cast<ComputationalEditorView *>(m_view->editor());
    QVERIFY(editor);
    QCOMPARE(editor->noteID(), first);
    // Another note: the same editor shows it, nothing is rebuilt.
    viewModel().setSelectedNoteID(second);
    QCOMPARE(m_view->editor(), editor.data());
    QCOMPARE(editor->noteID(), second);
    QVERIFY(editor->isVisible());
    QVERIFY(!editor->isShowingEmptyState());
    // No selection: the empty state, and the editor goes.
    viewModel().setSelectedNoteID(std::nullopt);
    QVERIFY(m_view->emptyWorkspaceState()->isVisible());
    QTRY_VERIFY(!editor);
}

void TestMainZulStudioView::stickyButtonCounts_data()
{
    QTest::addColumn<int>("floating");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("active");
    QTest::newRow("none") << 0 << "New Sticky" << false;
    QTest::newRow("one") << 1 << "Sticky (1)" << true;
    QTest::newRow("two") << 2 << "Sticky (2)" << true;
}

void TestMainZulStudioView::stickyButtonCounts()
{
    QFETCH(int, floating);
    QFETCH(QString, label);
    QFETCH(bool, active);
    for (int i = 0; i < floating; ++i)
        viewModel().toggleFloatingSticky(viewModel().notes().at(i).id);
    QCOMPARE(m_view->stickyButton()->text(), label);
    QCOMPARE(m_view->stickyButton()->isActive(), active);
    // It always makes a new floating sticky.
    const qsizetype before = viewModel().notes().size();
    click(m_view->stickyButton());
    QCOMPARE(viewModel().notes().size(), before + 1);
    QVERIFY(viewModel().notes().first().isFloatingSticky);
    QCOMPARE(m_view->stickyButton()->text(), QString("Sticky (%1)").arg(floating + 1));
}

void TestMainZulStudioView::drawerButtonFollowsSideAndState()
{
    QCOMPARE(m_view->edgeDrawerButton()->symbol(), QString("sidebar.right"));
    viewModel().updateConfig([](ZulConfig &config) { config.edgeSide = ZulEdgeSide::left; });
    QCOMPARE(m_view->edgeDrawerButton()->symbol(), QString("sidebar.left"));
    QVERIFY(!m_view->edgeDrawerButton()->isActive());
    click(m_view->edgeDrawerButton());
    QCOMPARE(m_studio->drawers->opens, 1);
    QVERIFY(m_view->edgeDrawerButton()->isActive());
    click(m_view->edgeDrawerButton());
    QCOMPARE(m_studio->drawers->closes, 1);
    QVERIFY(!m_view->edgeDrawerButton()->isActive());
}

void TestMainZulStudioView::toastsComeAndGo()
{
    QVERIFY(!m_view->toastBanner());
    viewModel().showToast("Note duplicated.", false);
    QPointer<VeskToastBanner> banner = m_view->toastBanner();
    QVERIFY(banner);
    QCOMPARE(banner->message(), QString("Note duplicated."));
    QVERIFY(!banner->isError());
    // It rises into place, centred, 22 above the bottom edge (shadow room aside).
    QTRY_VERIFY(banner->mapTo(m_view.get(), QPoint(0, banner->height())).y() <= m_view->height() - 22 + 2);
    const QPoint centre = banner->mapTo(m_view.get(), banner->rect().center());
    QVERIFY(std::abs(centre.x() - m_view->width() / 2) <= 2);

    // A newer toast changes the text in place.
    viewModel().showToast("Export failed: disk full", true);
    QCOMPARE(m_view->toastBanner(), banner.data());
    QCOMPARE(banner->message(), QString("Export failed: disk full"));
    QVERIFY(banner->isError());

    // It clears itself and leaves.
    QTRY_VERIFY_WITH_TIMEOUT(!m_view->toastBanner(), 5000);
    QVERIFY(!banner);
}

void TestMainZulStudioView::versionSheetFollowsFlag()
{
    QCOMPARE(m_view->versionBadgeButton()->toolTip(), QString("Version & Runtime Logs"));
    click(m_view->versionBadgeButton());
    QVERIFY(viewModel().isVersionLogsSheetPresented());
    QPointer<QDialog> sheet = m_view->versionSheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->size(), QSize(680, 540));
    viewModel().setIsVersionLogsSheetPresented(false);
    QTRY_VERIFY(!sheet);

    viewModel().setIsVersionLogsSheetPresented(true);
    sheet = m_view->versionSheet();
    QVERIFY(sheet);
    sheet->reject(); // Escape or the window manager
    QVERIFY(!viewModel().isVersionLogsSheetPresented());
    QTRY_VERIFY(!m_view->versionSheet());
}

void TestMainZulStudioView::turkishLabels()
{
    viewModel().setLanguage(VeskLanguage::tr);
    QCOMPARE(m_view->subtitleLabel()->text(),
             QString("Hesaplamalı Not Pedi · Kenar Çekmecesi · Yüzen Yapışkanlar"));
    QCOMPARE(m_view->workspaceTabButton()->text(), QString("Notlar (2)"));
    QCOMPARE(m_view->settingsTabButton()->text(), QString("Ayarlar"));
    QCOMPARE(m_view->edgeDrawerButton()->text(), QString("Kenar Çekmecesi"));
    QCOMPARE(m_view->stickyButton()->text(), QString("Yeni Yapışkan"));
    QCOMPARE(m_view->newNoteButton()->text(), QString("Yeni Not"));
    QCOMPARE(m_view->versionBadgeButton()->toolTip(), QString("Sürüm & Uygulama Logları"));
    QCOMPARE(m_view->createNoteButton()->text(), QString("Yeni Not Oluştur"));
    // In the smallest window the buttons stay whole; the subtitle ends in an ellipsis.
    m_view->setMinimumSize(1020, 660);
    m_view->resize(1020, 660);
    QWidget *row = m_view->headerBar()->row();
    QTRY_COMPARE(row->width(), 1020 - int(m_view->headerBar()->leadingPadding()) - 18);
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             m_view->workspaceTabButton(), m_view->settingsTabButton(), m_view->edgeDrawerButton(),
             m_view->stickyButton(), m_view->newNoteButton()}) {
        QTRY_COMPARE(button->width(), button->sizeHint().width());
        QVERIFY(button->mapTo(row, QPoint(button->width(), 0)).x() <= row->width());
    }
    QCOMPARE(m_view->subtitleLabel()->toolTip(), m_view->subtitleLabel()->text());
    click(m_view->newNoteButton());
    QCOMPARE(viewModel().notes().first().title, QString("Yeni Not"));
}

void TestMainZulStudioView::typingGoesIntoANewNote()
{
    m_view = std::make_unique<MainZulStudioView>(
        viewModel(), QColor(0x7CA4FF), [](ZulStudioViewModel &model, const QUuid &id, QWidget *parent) -> QWidget * {
            return new ComputationalEditorView(&model, id, false, true, parent);
        });
    m_view->resize(1180, 740);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowActive(m_view.get()));
    click(m_view->newNoteButton());
    const QUuid id = *viewModel().selectedNoteID();
    // The first Space goes into the note, not to a header button.
    for (const char c : QByteArray("7 * 6 "))
        QTest::keyClick(m_view->windowHandle(), c);
    QCOMPARE(viewModel().note(id)->content, QStringLiteral("7 * 6 "));
    QCOMPARE(m_studio->drawers->opens, 0);

    // Shift+Tab leaves the text (Tab types into it) for a control one sees,
    // drawn so that it shows it holds the keyboard.
    QWidget *text = qobject_cast<ComputationalEditorView *>(m_view->editor())->textView();
    QTest::keyClick(m_view->windowHandle(), Qt::Key_Backtab, Qt::ShiftModifier);
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused && focused != text && !focused->visibleRegion().isEmpty());
    const QImage holding = focused->grab().toImage();
    text->setFocus();
    QVERIFY(holding != focused->grab().toImage());
}

void TestMainZulStudioView::tabWalksEveryControlWithItsRing_data()
{
    // The stops as the page reads, from the first after the note's text.
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("stops");
    const QString header = "version|feedback|Scratchpad|Settings|Edge Drawer|New Sticky|New Note|menu|";
    QTest::newRow("workspace") << "workspace"
                               << ("results|Sum|Avg|Copy with Results|Pin Sticky|search|All|#work|notes|Quick Scratch|" + header
                                   + "title|tints|pin|hourglass|Export|x #work|+ tag|text").split('|');
    QTest::newRow("settings") << "settings"
                              << (header + "pull handle|Right Edge|currency|Refresh|font size|line numbers|gutter|"
                                           "auto-tidy|Tidy Now|login|language").split('|');
    QTest::newRow("drawer") << "drawer" << QString("results|Sum|Copy with Results|plus|pop out|open studio|close|chip Second|text").split('|');
    QTest::newRow("sticky") << "sticky" << QString("results|Sum|Copy with Results|title|tints|pin|collapse|close|text").split('|');
}

QHash<QWidget *, QString> TestMainZulStudioView::showKeyboardStudio(const QString &page)
{
    viewModel().addTag("work", *viewModel().selectedNoteID());
    ComputationalEditorView *panelEditor = nullptr;
    QHash<QWidget *, QString> names;
    if (page == "drawer") {
        auto *drawer = new EdgeDrawerContentView(&viewModel(), [] {}, QColor(0x7CA4FF));
        m_panel.reset(drawer);
        panelEditor = drawer->editor();
        names = {{drawer->newQuickNoteButton(), "plus"}, {drawer->popOutButton(), "pop out"},
                 {drawer->openInStudioButton(), "open studio"}, {drawer->closeButton(), "close"}};
        for (EdgeDrawerNoteChip *chip : drawer->chips())
            names.insert(chip, "chip " + chip->text());
    } else if (page == "sticky") {
        m_stickyState = std::make_unique<StickyWindowState>();
        auto *sticky = new FloatingStickyNoteView(&viewModel(), *viewModel().selectedNoteID(), m_stickyState.get(),
                                                  [] {}, [] {}, [] {});
        m_panel.reset(sticky);
        panelEditor = sticky->editor();
        names = {{sticky->titleField(), "title"}, {sticky->tintPicker(), "tints"}, {sticky->pinButton(), "pin"},
                 {sticky->collapseButton(), "collapse"}, {sticky->closeButton(), "close"}};
    }
    if (m_panel) {
        m_panel->resize(380, 600);
        m_panel->show();
        if (!QTest::qWaitForWindowActive(m_panel.get()))
            return {};
        panelEditor->textView()->setFocus();
        const ZulEditorStatusBar *foot = panelEditor->statusBar();
        names.insert({{panelEditor->textView(), "text"}, {panelEditor->resultGutter(), "results"}, {foot->sumChip(), "Sum"}, {foot->averageChip(), "Avg"},
                      {foot->copyButton(), "Copy with Results"}, {foot->stickyButton(), "Pin Sticky"}});
        return names;
    }
    m_view = std::make_unique<MainZulStudioView>(
        viewModel(), QColor(0x7CA4FF), [](ZulStudioViewModel &model, const QUuid &id, QWidget *parent) -> QWidget * {
            return new ComputationalEditorView(&model, id, false, true, parent);
        });
    m_view->setCommandMenu(&m_commandMenu);
    m_view->resize(1180, 740);
    m_view->show();
    if (!QTest::qWaitForWindowActive(m_view.get()))
        return {};
    auto *editor = qobject_cast<ComputationalEditorView *>(m_view->editor());
    const ZulSidebarView *bar = m_view->sidebar();
    const ZulEditorNoteHeader *head = editor->header();
    const ZulEditorStatusBar *foot = editor->statusBar();
    const MainZulStudioView *v = m_view.get();
    names = {
        {bar->searchField(), "search"}, {bar->filterChip(ZulNoteFilter::all), "All"}, {bar->noteList(), "notes"},
        {bar->filterChip(ZulNoteFilter::pinned), "Pinned"}, {bar->tagChips().value(0), "#work"},
        {bar->quickScratchButton(), "Quick Scratch"}, {v->versionBadgeButton(), "version"},
        {v->feedbackButton()->button(), "feedback"}, {v->workspaceTabButton(), "Scratchpad"},
        {v->settingsTabButton(), "Settings"}, {v->edgeDrawerButton(), "Edge Drawer"}, {v->stickyButton(), "New Sticky"},
        {v->newNoteButton(), "New Note"}, {v->commandMenuButton(), "menu"}, {head->titleField(), "title"}, {head->tintPicker(), "tints"},
        {head->pinButton(), "pin"}, {head->ephemeralButton(), "hourglass"}, {head->exportButton(), "Export"},
        {head->tagRemoveButton("work"), "x #work"}, {head->tagField(), "+ tag"}, {editor->textView(), "text"},
        {editor->resultGutter(), "results"}, {foot->sumChip(), "Sum"}, {foot->averageChip(), "Avg"}, {foot->copyButton(), "Copy with Results"},
        {foot->stickyButton(), "Pin Sticky"}};
    if (page == "settings") {
        viewModel().setSelectedTab(ZulStudioTab::settings);
        const ZulSettingsView *s = m_view->settingsView();
        names.insert({{s->edgeDrawerToggle(), "pull handle"}, {s->rightEdgeButton(), "Right Edge"},
                      {s->currencyPicker(), "currency"}, {s->refreshRatesButton(), "Refresh"},
                      {s->fontSizeSlider(), "font size"}, {s->lineNumbersToggle(), "line numbers"},
                      {s->resultGutterToggle(), "gutter"}, {s->tidyStepper(), "auto-tidy"},
                      {s->tidyNowButton(), "Tidy Now"}, {s->launchAtLoginToggle(), "login"},
                      {s->languagePicker()->comboBox(), "language"}});
    }
    return names;
}

void TestMainZulStudioView::tabWalksEveryControlWithItsRing()
{
    QFETCH(QString, page);
    QFETCH(QStringList, stops);
    const QHash<QWidget *, QString> names = showKeyboardStudio(page);
    QWidget *window = m_panel ? m_panel.get() : m_view.get();
    QWidget *text = names.key("text");
    QVERIFY(text);
    // Where the ring shows: a field's glass box, a tag's whole capsule.
    const auto ringArea = [&](QWidget *stop) {
        QWidget *drawn = names[stop] == "search" || names[stop].startsWith("x ") ? stop->parentWidget() : stop;
        return QRect(drawn->mapTo(window, QPoint(0, 0)), drawn->size());
    };
    const QColor a = VeskFocusRing::colour();
    const auto ring = [a](const QColor &c) {
        return std::abs(c.red() - a.red()) + std::abs(c.green() - a.green()) + std::abs(c.blue() - a.blue()) < 48;
    };
    // From the note's text (where the keyboard is at first) out with Ctrl+Tab,
    // then Tab until the walk comes round.
    QStringList walked;
    for (int step = 0; step < 60 && (walked.isEmpty() || walked.last() != stops.last()); ++step) {
        const QImage before = window->grab().toImage();
        QWidget *from = QApplication::focusWidget();
        QTest::keyClick(window->windowHandle(), Qt::Key_Tab, from == text ? Qt::ControlModifier : Qt::NoModifier);
        QWidget *stop = QApplication::focusWidget();
        QVERIFY2(stop && stop != from, qPrintable(walked.join(", ")));
        if (walked.isEmpty() && page == "settings" && stop != m_view->versionBadgeButton())
            continue; // walking round to the page's first stop
        walked.append(names.value(stop, stop->metaObject()->className()));
        if (stop == text)
            continue; // its caret shows it
        // A sticky's buttons fade in as the keyboard reaches them.
        const QRect area = ringArea(stop).intersected(before.rect());
        int added = 0;
        QTRY_VERIFY2((added = countPixels(window->grab().toImage(), area, ring) - countPixels(before, area, ring)) >= 20,
                     qPrintable(QString("%1: %2 ring pixels").arg(walked.last()).arg(added)));
    }
    QCOMPARE(walked, stops);
}

void TestMainZulStudioView::keysActOnTheControlHoldingThem_data()
{
    // Keys pressed at a stop ("type:" types text); the studio's state after.
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    const auto row = [](const char *name, const char *page, const char *stop, const char *keys, const char *after) {
        QTest::newRow(name) << QString(page) << QString(stop) << QString(keys) << QString(after);
    };
    row("Down in the list selects the next note", "workspace", "notes", "Down", "|note=First|focus=notes|");
    row("Enter goes from the list into the text", "workspace", "notes", "Down Return", "|note=First|focus=text|");
    row("Right and Space choose the next filter", "workspace", "All", "Right Space", "|filter=pinned|focus=Pinned|");
    row("Left at the row's start stays", "workspace", "All", "Left Return", "|filter=all|focus=All|");
    row("Enter chooses a tag", "workspace", "#work", "Return", "|tag=work|");
    row("Right twice and Space on the tint dots", "workspace", "tints", "Right Right Space", "|tint=amber|");
    row("Return ends a title edit", "workspace", "title", "End type:! Return type:7", "|title=Second!|focus=text|");
    row("Escape puts the old title back", "workspace", "title", "type:Draft Escape", "|title=Second|focus=text|");
    row("Right along the drawer's chips", "drawer", "chip Second", "Right", "|note=Second|focus=chip First|");
    row("Enter on a drawer chip opens its note", "drawer", "chip Second", "Right Return", "|note=First|");
    row("Left at the strip's start stays", "drawer", "chip Second", "Left Return", "|note=Second|focus=chip Second|");
    row("Up steps the auto-tidy age", "settings", "auto-tidy", "Up", "|hours=30|");
    row("a typed age", "settings", "auto-tidy", "type:48 Return", "|hours=48|");
    row("a typed age past the range", "settings", "auto-tidy", "type:200 Return", "|hours=20|");
}

void TestMainZulStudioView::keysActOnTheControlHoldingThem()
{
    QFETCH(QString, page);
    QFETCH(QString, stop);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    const QHash<QWidget *, QString> names = showKeyboardStudio(page);
    QVERIFY(names.key(stop));
    names.key(stop)->setFocus(Qt::TabFocusReason);
    for (const QString &key : keys.split(' ')) {
        if (key.startsWith("type:"))
            QTest::keyClicks(QApplication::focusWidget(), key.mid(5));
        else
            QTest::keyClick((m_panel ? m_panel.get() : m_view.get())->windowHandle(), QKeySequence(key)[0].key());
    }
    const std::optional<ZulNote> note = viewModel().note(*viewModel().selectedNoteID());
    const QString state = QString("|note=%1|filter=%2|tag=%3|tint=%4|title=%1|hours=%5|focus=%6|")
                              .arg(note->title, rawValue(viewModel().activeFilter()), viewModel().selectedTag().value_or(
                                   ""), rawValue(note->tint), QString::number(viewModel().config().autoTidyEphemeralHours),
                                   names.value(QApplication::focusWidget()));
    for (const QString &fragment : after.split('|', Qt::SkipEmptyParts))
        QVERIFY2(state.contains('|' + fragment + '|'), qPrintable(state));
    // The editor shows the selected note at once.
    const auto *editor = m_panel ? m_panel->findChild<ComputationalEditorView *>()
                                 : qobject_cast<ComputationalEditorView *>(m_view->editor());
    QCOMPARE(editor->noteID(), note->id);
}

QTEST_MAIN(TestMainZulStudioView)
#include "tst_mainzulstudioview.moc"
