#include "PanelTestSupport.h"

#include "App/ZulCommandMenu.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskContextMenuKey.h"
#include "Views/EdgeDrawerPanel.h"
#include "Views/MainZulStudioView.h"
#include "Views/ZulTrayPopoverWindow.h"

#include <QAction>
#include <QtTest>

using namespace studiotest;
using namespace paneltest;

Q_DECLARE_METATYPE(ZulCommandID)

namespace {

const QDateTime kBase = QDateTime(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

} // namespace

class TestZulCommandMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void shortcutsReachTheViewModel_data();
    void shortcutsReachTheViewModel();
    void copyAndExportNeedASelection_data();
    void copyAndExportNeedASelection();
    void titlesAndKeys_data();
    void titlesAndKeys();

private:
    ZulStudioViewModel &viewModel() { return *m_studio->viewModel; }
    // One of the application's windows, shown, with the keyboard.
    QWidget *showWindow(const QString &window);

    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::shared_ptr<Panels> m_panels;
    std::unique_ptr<ZulCommandMenu> m_menu;
    std::unique_ptr<QWidget> m_window; // the studio or the popover
};

void TestZulCommandMenu::initTestCase()
{
    VeskContextMenuKey::applyApplicationWide();
    // As a desktop whose pop-up menus leave out the keys of their items.
    QCoreApplication::setAttribute(Qt::AA_DontShowShortcutsInContextMenus, true);
}

void TestZulCommandMenu::init()
{
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_studio->seed({makeNote("Sums", "2 + 3\n10 USD", kBase)});
    m_studio->clock->fixed = kBase.addSecs(60);
    // No handle showing a moment after start, while a window takes the keyboard.
    ZulConfig config;
    config.edgeDrawerEnabled = false;
    QVERIFY(m_studio->storage.saveConfig(config).ok());
    m_panels = std::make_shared<Panels>();
    startWithRealPanels(*m_studio, m_panels).setLanguage(VeskLanguage::en);
    m_studio->chooser->answer = m_studio->folder.filePath("export.md");
    m_menu = std::make_unique<ZulCommandMenu>(viewModel());
}

void TestZulCommandMenu::cleanup()
{
    m_window.reset();
    m_menu.reset();
    m_studio.reset();
    m_panels.reset();
    m_home.reset();
}

QWidget *TestZulCommandMenu::showWindow(const QString &window)
{
    const QUuid selected = *viewModel().selectedNoteID();
    QWidget *shown = nullptr;
    if (window == "studio") {
        auto *studio = new MainZulStudioView(viewModel(), QColor(0x7CA4FF), MainZulStudioView::EditorFactory());
        studio->setCommandMenu(m_menu.get());
        m_window.reset(shown = studio);
        studio->show();
    } else if (window == "popover") {
        auto *popover = new ZulTrayPopoverWindow(&viewModel(), [] {}, QColor(0x7CA4FF));
        m_window.reset(popover);
        popover->showNear(std::nullopt);
        return QTest::qWaitForWindowExposed(popover) ? popover : nullptr;
    } else if (window == "sticky") {
        viewModel().toggleFloatingSticky(selected);
        shown = m_panels->stickies->panelsByNoteID().value(selected).panel;
    } else {
        viewModel().toggleEdgeDrawer();
        shown = m_panels->drawer->drawerPanel();
    }
    return shown && QTest::qWaitForWindowActive(shown) ? shown : nullptr;
}

void TestZulCommandMenu::shortcutsReachTheViewModel_data()
{
    // Each command's keys pressed in each window of the application, the
    // studio closed for the others, as it is without a tray.
    QTest::addColumn<ZulCommandID>("command");
    QTest::addColumn<QString>("window");
    for (const char *window : {"studio", "sticky", "drawer", "popover"}) {
        for (const ZulCommand &command : ZulCommand::all())
            QTest::addRow("%s from the %s", command.english, window) << command.id << QString(window);
    }
}

void TestZulCommandMenu::shortcutsReachTheViewModel()
{
    QFETCH(ZulCommandID, command);
    QFETCH(QString, window);
    QWidget *shown = showWindow(window);
    QVERIFY(shown);
    const qsizetype notesBefore = viewModel().notes().size();
    const qsizetype stickiesBefore = viewModel().activeStickyCount();
    const bool drawerWasOpen = viewModel().isEdgeDrawerOpen();
    QTest::keySequence(shown->windowHandle(), ZulCommand::of(command).keySequence());

    const bool creates = command == ZulCommandID::newNote || command == ZulCommandID::newFloatingSticky;
    QCOMPARE(viewModel().notes().size(), notesBefore + (creates ? 1 : 0));
    const ZulNote &first = viewModel().notes().first();
    switch (command) {
    case ZulCommandID::newNote:
        QCOMPARE(first.title, QString("New Note"));
        QVERIFY(!first.isEphemeral);
        QCOMPARE(first.tint, ZulNoteTint::indigo);
        break;
    case ZulCommandID::toggleEdgeDrawer:
        QCOMPARE(viewModel().isEdgeDrawerOpen(), !drawerWasOpen);
        break;
    case ZulCommandID::newFloatingSticky:
        QVERIFY(first.isFloatingSticky);
        QCOMPARE(m_panels->stickies->panelsByNoteID().size(), stickiesBefore + 1);
        break;
    case ZulCommandID::copyActiveNote:
        QCOMPARE(m_studio->clipboard->writes, 1);
        QVERIFY(m_studio->clipboard->text.startsWith("2 + 3"));
        break;
    case ZulCommandID::exportActiveNote:
        QCOMPARE(m_studio->chooser->formats, QList<ZulExportFormat>{ZulExportFormat::markdownWithResults});
        QVERIFY(QFile::exists(m_studio->folder.filePath("export.md")));
        break;
    case ZulCommandID::refreshLiveCurrencyRates:
        QCOMPARE(m_studio->rates->requests, 1);
        break;
    }
}

void TestZulCommandMenu::copyAndExportNeedASelection_data()
{
    QTest::addColumn<ZulCommandID>("command");
    QTest::newRow("copy") << ZulCommandID::copyActiveNote;
    QTest::newRow("export") << ZulCommandID::exportActiveNote;
}

void TestZulCommandMenu::copyAndExportNeedASelection()
{
    QFETCH(ZulCommandID, command);
    viewModel().setSelectedNoteID(std::nullopt);
    m_menu->action(command)->trigger();
    QCOMPARE(m_studio->clipboard->writes, 0);
    QVERIFY(m_studio->chooser->proposedNames.isEmpty());
    QCOMPARE(viewModel().toastMessage(), std::nullopt);
}

void TestZulCommandMenu::titlesAndKeys_data()
{
    QTest::addColumn<ZulCommandID>("command");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("turkish");
    QTest::addColumn<QKeySequence>("keys");
    using C = ZulCommandID;
    QTest::newRow("new note") << C::newNote << "New Note" << "Yeni Not" << QKeySequence("Ctrl+N");
    QTest::newRow("drawer") << C::toggleEdgeDrawer << "Toggle Screen Edge Drawer"
                            << "Ekran Kenarı Çekmecesini Aç/Kapat" << QKeySequence("Ctrl+Alt+N");
    QTest::newRow("sticky") << C::newFloatingSticky << "New Floating Sticky Note" << "Yeni Yüzen Yapışkan Not"
                            << QKeySequence("Ctrl+Alt+Shift+N");
    QTest::newRow("copy") << C::copyActiveNote << "Copy Active Note with Live Results"
                          << "Aktif Notu Canlı Sonuçlarla Kopyala" << QKeySequence("Ctrl+Alt+C");
    QTest::newRow("export") << C::exportActiveNote << "Export Active Note as Markdown (.md)"
                            << "Aktif Notu Markdown (.md) Olarak Dışa Aktar" << QKeySequence("Ctrl+Shift+E");
    QTest::newRow("rates") << C::refreshLiveCurrencyRates << "Refresh Live Currency Rates"
                           << "Canlı Döviz Kurlarını Güncelle" << QKeySequence("Ctrl+Alt+R");
}

void TestZulCommandMenu::titlesAndKeys()
{
    QFETCH(ZulCommandID, command);
    QFETCH(QString, english);
    QFETCH(QString, turkish);
    QFETCH(QKeySequence, keys);
    // The menu as the studio's header button opens it where there is no
    // tray: by a click, Return or the context-menu key.
    auto *studio = static_cast<MainZulStudioView *>(showWindow("studio"));
    QVERIFY(studio);
    VeskButton *button = studio->commandMenuButton();
    QCOMPARE(button->accessibleName(), QString("VeskZul Menu"));
    for (const char *opening : {"click", "Return", "Shift+F10"}) {
        m_menu->close();
        button->setFocus(Qt::TabFocusReason);
        if (opening == QLatin1String("click"))
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        else
            QTest::keySequence(studio->windowHandle(), QKeySequence(opening));
        QTRY_VERIFY2(QApplication::activePopupWidget() == m_menu.get(), opening);
    }
    QCOMPARE(m_menu->title(), QString("VeskZul"));
    QCOMPARE(m_menu->action(command)->text(), english);
    QCOMPARE(m_menu->action(command)->shortcut(), keys);
    // Drawn beside the item's title.
    QVERIFY(m_menu->action(command)->isShortcutVisibleInContextMenu());
    viewModel().setLanguage(VeskLanguage::tr);
    QCOMPARE(m_menu->action(command)->text(), turkish);
    QCOMPARE(button->accessibleName(), QString("VeskZul Menüsü"));
    // Dividers before copying and before the rates.
    const QList<QAction *> items = m_menu->actions();
    QCOMPARE(items.size(), 8);
    QVERIFY(items.at(3)->isSeparator());
    QVERIFY(items.at(6)->isSeparator());
    m_menu->close();
}

QTEST_MAIN(TestZulCommandMenu)
#include "tst_zulcommandmenu.moc"
