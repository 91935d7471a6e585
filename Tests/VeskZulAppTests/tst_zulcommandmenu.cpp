#include "StudioTestSupport.h"

#include "App/ZulCommandMenu.h"

#include <QAction>
#include <QtTest>

using namespace studiotest;

Q_DECLARE_METATYPE(ZulCommandMenu::Command)

namespace {

const QDateTime kBase = QDateTime(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

} // namespace

class TestZulCommandMenu : public QObject {
    Q_OBJECT
private slots:
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

    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::unique_ptr<ZulCommandMenu> m_menu;
    std::unique_ptr<QWidget> m_window;
};

void TestZulCommandMenu::init()
{
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_studio->seed({makeNote("Sums", "2 + 3\n10 USD", kBase)});
    m_studio->clock->fixed = kBase.addSecs(60);
    m_studio->start().setLanguage(VeskLanguage::en);
    m_studio->chooser->answer = m_studio->folder.filePath("export.md");
    m_menu = std::make_unique<ZulCommandMenu>(viewModel());
    // A window of the application holding the shortcuts, as the studio does.
    m_window = std::make_unique<QWidget>();
    m_window->addActions(m_menu->commandActions());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestZulCommandMenu::cleanup()
{
    m_window.reset();
    m_menu.reset();
    m_studio.reset();
    m_home.reset();
}

void TestZulCommandMenu::shortcutsReachTheViewModel_data()
{
    QTest::addColumn<ZulCommandMenu::Command>("command");
    QTest::newRow("new note") << ZulCommandMenu::Command::newNote;
    QTest::newRow("toggle drawer") << ZulCommandMenu::Command::toggleEdgeDrawer;
    QTest::newRow("new floating sticky") << ZulCommandMenu::Command::newFloatingSticky;
    QTest::newRow("copy with results") << ZulCommandMenu::Command::copyActiveNote;
    QTest::newRow("export markdown") << ZulCommandMenu::Command::exportActiveNote;
    QTest::newRow("refresh rates") << ZulCommandMenu::Command::refreshRates;
}

void TestZulCommandMenu::shortcutsReachTheViewModel()
{
    QFETCH(ZulCommandMenu::Command, command);
    const QKeySequence keys = ZulCommandMenu::shortcut(command);
    QTest::keySequence(m_window.get(), keys);

    const qsizetype notes = viewModel().notes().size();
    QCOMPARE(notes, qsizetype(command == ZulCommandMenu::Command::newNote ||
                                      command == ZulCommandMenu::Command::newFloatingSticky
                                  ? 2
                                  : 1));
    switch (command) {
    case ZulCommandMenu::Command::newNote:
        QCOMPARE(viewModel().notes().first().title, QString("New Note"));
        QVERIFY(!viewModel().notes().first().isEphemeral);
        QCOMPARE(viewModel().notes().first().tint, ZulNoteTint::indigo);
        break;
    case ZulCommandMenu::Command::toggleEdgeDrawer:
        QCOMPARE(m_studio->drawers->opens, 1);
        break;
    case ZulCommandMenu::Command::newFloatingSticky:
        QVERIFY(viewModel().notes().first().isFloatingSticky);
        QCOMPARE(m_studio->stickies->shown.size(), 1);
        break;
    case ZulCommandMenu::Command::copyActiveNote:
        QCOMPARE(m_studio->clipboard->writes, 1);
        QVERIFY(m_studio->clipboard->text.startsWith("2 + 3"));
        break;
    case ZulCommandMenu::Command::exportActiveNote:
        QCOMPARE(m_studio->chooser->formats, QList<ZulExportFormat>{ZulExportFormat::markdownWithResults});
        QVERIFY(QFile::exists(m_studio->folder.filePath("export.md")));
        break;
    case ZulCommandMenu::Command::refreshRates:
        QCOMPARE(m_studio->rates->requests, 1);
        break;
    }
}

void TestZulCommandMenu::copyAndExportNeedASelection_data()
{
    QTest::addColumn<ZulCommandMenu::Command>("command");
    QTest::newRow("copy") << ZulCommandMenu::Command::copyActiveNote;
    QTest::newRow("export") << ZulCommandMenu::Command::exportActiveNote;
}

void TestZulCommandMenu::copyAndExportNeedASelection()
{
    QFETCH(ZulCommandMenu::Command, command);
    viewModel().setSelectedNoteID(std::nullopt);
    m_menu->action(command)->trigger();
    QCOMPARE(m_studio->clipboard->writes, 0);
    QVERIFY(m_studio->chooser->proposedNames.isEmpty());
    QCOMPARE(viewModel().toastMessage(), std::nullopt);
}

void TestZulCommandMenu::titlesAndKeys_data()
{
    QTest::addColumn<ZulCommandMenu::Command>("command");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("turkish");
    QTest::addColumn<QKeySequence>("keys");
    using C = ZulCommandMenu::Command;
    QTest::newRow("new note") << C::newNote << "New Note" << "Yeni Not" << QKeySequence("Ctrl+N");
    QTest::newRow("drawer") << C::toggleEdgeDrawer << "Toggle Screen Edge Drawer"
                            << "Ekran Kenarı Çekmecesini Aç/Kapat" << QKeySequence("Ctrl+Alt+N");
    QTest::newRow("sticky") << C::newFloatingSticky << "New Floating Sticky Note" << "Yeni Yüzen Yapışkan Not"
                            << QKeySequence("Ctrl+Alt+Shift+N");
    QTest::newRow("copy") << C::copyActiveNote << "Copy Active Note with Live Results"
                          << "Aktif Notu Canlı Sonuçlarla Kopyala" << QKeySequence("Ctrl+Alt+C");
    QTest::newRow("export") << C::exportActiveNote << "Export Active Note as Markdown (.md)"
                            << "Aktif Notu Markdown (.md) Olarak Dışa Aktar" << QKeySequence("Ctrl+Shift+E");
    QTest::newRow("rates") << C::refreshRates << "Refresh Live Currency Rates" << "Canlı Döviz Kurlarını Güncelle"
                           << QKeySequence("Ctrl+Alt+R");
}

void TestZulCommandMenu::titlesAndKeys()
{
    QFETCH(ZulCommandMenu::Command, command);
    QFETCH(QString, english);
    QFETCH(QString, turkish);
    QFETCH(QKeySequence, keys);
    QCOMPARE(m_menu->title(), QString("VeskZul"));
    QCOMPARE(m_menu->action(command)->text(), english);
    QCOMPARE(m_menu->action(command)->shortcut(), keys);
    viewModel().setLanguage(VeskLanguage::tr);
    QCOMPARE(m_menu->action(command)->text(), turkish);
    // Dividers before copying and before the rates.
    const QList<QAction *> items = m_menu->actions();
    QCOMPARE(items.size(), 8);
    QVERIFY(items.at(3)->isSeparator());
    QVERIFY(items.at(6)->isSeparator());
}

QTEST_MAIN(TestZulCommandMenu)
#include "tst_zulcommandmenu.moc"
