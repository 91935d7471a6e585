#include "PanelTestSupport.h"

#include "App/VeskZulApp.h"
#include "App/ZulCommandMenu.h"
#include "App/ZulTrayIcon.h"
#include "App/ZulWindowSystemChoice.h"
#include "VeskKit/System/VeskReopenStudioWindowNotifier.h"
#include "ViewModels/ZulDesktopStudioServices.h"
#include "Views/ZulTrayPopoverWindow.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTextEdit>
#include <QtTest>

using namespace studiotest;

namespace {

const QDateTime kBase = QDateTime(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());

int inkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
    return count;
}

} // namespace

class TestVeskZulApp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void studioWindowGeometry_data();
    void studioWindowGeometry();
    void closingHidesAndReopenRequestsBringItBack();
    void restOfStartupFollowsTheFirstFrame();
    void trayShowsMenuBarText();
    void trayMenuHoldsCommandsAndQuit();
    void everyMenuIsDarkGlass();
    void qtDialogsAndMenusSpeakTheLanguage_data();
    void qtDialogsAndMenusSpeakTheLanguage();
    void trayClickRunsTheClickAction();
    void trayClickTogglesThePopover();
    void quitting_data();
    void quitting();
    void platformChoice_data();
    void platformChoice();

private:
    std::unique_ptr<PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::unique_ptr<VeskZulApp> m_app;
};

void TestVeskZulApp::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestVeskZulApp::init()
{
    m_home = std::make_unique<PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_studio->seed({makeNote("Total", "1200 + 34.6", kBase), makeNote("Words", "hello", kBase.addSecs(60))});
    m_studio->clock->fixed = kBase.addSecs(120);
    m_studio->activation = std::make_shared<ZulDesktopWindowActivation>();
    m_app = std::make_unique<VeskZulApp>(m_studio->storage, m_studio->environment(), MainZulStudioView::EditorFactory());
    m_app->viewModel().setLanguage(VeskLanguage::en);
    // With no studio opened, the tray comes at the next turn of the loop.
    QTRY_VERIFY(m_app->trayIcon());
}

void TestVeskZulApp::cleanup()
{
    m_app.reset();
    m_studio.reset();
    m_home.reset();
}

void TestVeskZulApp::studioWindowGeometry_data()
{
    // How the window was left, and how it comes back (none: default, centred).
    QTest::addColumn<QString>("before");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("first start") << "" << QRect();
    QTest::newRow("closed and opened again") << "close" << QRect(40, 30, 1020, 660);
    QTest::newRow("after a restart") << "restart" << QRect(40, 30, 1020, 660);
    QTest::newRow("left where no screen shows it") << "offscreen" << QRect();
    QTest::newRow("left on the screen by a sliver") << "sliver" << QRect();
}

void TestVeskZulApp::studioWindowGeometry()
{
    QFETCH(QString, before);
    QFETCH(QRect, expected);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (!before.isEmpty()) {
        m_app->openStudioWindow();
        const int x = before == "offscreen" ? 5000 : before == "sliver" ? screen.right() - 30 : 40;
        m_app->studioWindow()->setGeometry(QRect(x, 30, 1020, 660));
        m_app->studioWindow()->close();
        if (before != "close")
            m_app = std::make_unique<VeskZulApp>(m_studio->storage, m_studio->environment(),
                                                 MainZulStudioView::EditorFactory());
    }
    m_app->openStudioWindow();
    MainZulStudioView *studio = m_app->studioWindow();
    QVERIFY(studio && QTest::qWaitForWindowExposed(studio));
    const QPoint room(std::max(0, screen.width() - 1180), std::max(0, screen.height() - 740));
    const QRect centred(screen.topLeft() + room / 2, QSize(1180, 740));
    QCOMPARE(studio->geometry(), expected.isNull() ? centred : expected);
    QCOMPARE(studio->objectName(), QString("studio"));
    QCOMPARE(studio->windowTitle(), QString("VeskZul"));
    QCOMPARE(studio->minimumSize(), QSize(1020, 660));
    QVERIFY(studio->windowFlags().testFlag(Qt::FramelessWindowHint));
    for (QAction *action : m_app->commandMenu()->commandActions())
        QVERIFY(studio->actions().contains(action));
    QCOMPARE(studio->commandMenu(), m_app->commandMenu());
    // Opening again reuses the window.
    m_app->openStudioWindow();
    QCOMPARE(m_app->studioWindow(), studio);
}

void TestVeskZulApp::closingHidesAndReopenRequestsBringItBack()
{
    m_app->openStudioWindow();
    QPointer<MainZulStudioView> studio = m_app->studioWindow();
    QVERIFY(QTest::qWaitForWindowExposed(studio));
    QVERIFY(studio->close());
    QVERIFY(studio);
    QVERIFY(!studio->isVisible());

    // The view model's way back, e.g. a note opened from elsewhere.
    const QUuid words = m_app->viewModel().notes().first().id;
    m_app->viewModel().setSelectedTab(ZulStudioTab::settings);
    m_app->viewModel().openStudioWindowForNote(words);
    QVERIFY(studio->isVisible());
    QCOMPARE(m_app->viewModel().selectedNoteID(), std::optional<QUuid>(words));
    QCOMPARE(m_app->viewModel().selectedTab(), ZulStudioTab::workspace);

    // A reopen request (a second launch, the tray) while it is closed.
    studio->close();
    VeskReopenStudioWindowNotifier::post();
    QTRY_VERIFY(studio->isVisible());
    QCOMPARE(m_app->studioWindow(), studio.data());
}

void TestVeskZulApp::restOfStartupFollowsTheFirstFrame()
{
    // Counts the studio's paints on the screen.
    class Watch : public QObject {
    public:
        int paints = 0;

    protected:
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && watched->objectName() == "studio"
                && static_cast<QWidget *>(watched)->isVisible())
                ++paints;
            return QObject::eventFilter(watched, event);
        }
    } watch;
    m_studio->startsAfterFirstFrame = true;
    m_app.reset();
    m_studio->grabber.grabs.clear();
    m_app = std::make_unique<VeskZulApp>(m_studio->storage, m_studio->environment(), MainZulStudioView::EditorFactory());
    int paintsBeforeRest = -1;
    connect(m_app.get(), &VeskZulApp::startupCompleted, this, [&] {
        paintsBeforeRest = watch.paints;
        QVERIFY(m_app->trayIcon() && m_app->trayMenu());
    });
    qApp->installEventFilter(&watch);
    m_app->openStudioWindow();
    QVERIFY(!m_app->trayIcon() && !m_app->trayMenu());
    QVERIFY(m_studio->grabber.grabs.isEmpty());
    QTRY_VERIFY(m_app->trayIcon());
    qApp->removeEventFilter(&watch);
    QCOMPARE(paintsBeforeRest, 1);
    QCOMPARE(m_studio->grabber.grabs.size(), 2);
}

void TestVeskZulApp::trayShowsMenuBarText()
{
    ZulStudioViewModel &viewModel = m_app->viewModel();
    QSystemTrayIcon *tray = m_app->trayIcon()->trayIcon();
    QCOMPARE(tray->toolTip(), viewModel.menuBarBadgeText());
    const auto total = std::find_if(viewModel.notes().cbegin(), viewModel.notes().cend(),
                                    [](const ZulNote &note) { return note.title == "Total"; });
    QVERIFY(total != viewModel.notes().cend());
    viewModel.setSelectedNoteID(total->id);
    QCOMPARE(tray->toolTip(), viewModel.menuBarBadgeText());
    QVERIFY(tray->toolTip().contains("1,235"));
    QVERIFY(!tray->icon().isNull());
    // The text is drawn in: more ink than the symbol alone.
    QVERIFY(inkPixels(ZulTrayIcon::drawIcon("1,235")) != inkPixels(ZulTrayIcon::drawIcon(QString())));
    QVERIFY(ZulTrayIcon::drawIcon("1,235") != ZulTrayIcon::drawIcon("2"));
}

void TestVeskZulApp::trayMenuHoldsCommandsAndQuit()
{
    const QList<QAction *> items = m_app->trayMenu()->actions();
    for (QAction *action : m_app->commandMenu()->commandActions())
        QVERIFY(items.contains(action));
    QCOMPARE(items.last()->text(), QString("Quit VeskZul"));
    QCOMPARE(items.last()->shortcut(), QKeySequence("Ctrl+Q"));
    m_app->viewModel().setLanguage(VeskLanguage::tr);
    QCOMPARE(items.last()->text(), QString("VeskZul'den Çık"));
    QCOMPARE(m_app->trayIcon()->trayIcon()->contextMenu(), m_app->trayMenu());
}

void TestVeskZulApp::everyMenuIsDarkGlass()
{
    // The tray's menu, and the edit menus Qt builds for text fields by itself.
    QLineEdit field(QStringLiteral("text"));
    QTextEdit view(QStringLiteral("text"));
    const std::unique_ptr<QMenu> fieldMenu(field.createStandardContextMenu());
    const std::unique_ptr<QMenu> viewMenu(view.createStandardContextMenu());
    for (QMenu *menu : {m_app->trayMenu(), fieldMenu.get(), viewMenu.get()})
        QCOMPARE(menuLookFault(menu), QString());
}

void TestVeskZulApp::qtDialogsAndMenusSpeakTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("selectAll");
    QTest::addColumn<QString>("save");
    QTest::newRow("English") << "en" << "Select All" << "Save";
    QTest::newRow("Turkish") << "tr" << "Tümünü Seç" << "Kaydet";
}

void TestVeskZulApp::qtDialogsAndMenusSpeakTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, selectAll);
    QFETCH(QString, save);
    m_app->viewModel().setLanguage(language == "tr" ? VeskLanguage::tr : VeskLanguage::en);
    QTextEdit text(QStringLiteral("text"));
    const std::unique_ptr<QMenu> menu(text.createStandardContextMenu());
    QCOMPARE(menu->actions().last()->text().remove('&').section('\t', 0, 0), selectAll);

    // Two exports, each by a chooser made afresh as at a new start.
    const QString folder = QDir(m_home->home.path()).filePath("exports");
    QVERIFY(QDir().mkpath(folder));
    QStringList seen;
    for (const QString &name : {QStringLiteral("a.md"), QStringLiteral("b.md")}) {
        QTimer::singleShot(0, this, [&, name] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            seen << dialog->directory().absolutePath() << dialog->labelText(QFileDialog::Accept).remove('&');
            dialog->setDirectory(folder);
            QTest::keyClicks(dialog->findChild<QLineEdit *>("fileNameEdit"), name);
            QTest::keyClick(dialog->findChild<QLineEdit *>("fileNameEdit"), Qt::Key_Return);
        });
        QCOMPARE(ZulFileDialogSaveChooser().chooseSaveLocation("Note.md", ZulExportFormat::markdownWithResults),
                 folder + '/' + name);
    }
    QCOMPARE(seen.mid(1), QStringList({save, folder, save}));
}

void TestVeskZulApp::trayClickRunsTheClickAction()
{
    int clicks = 0;
    m_app->trayIcon()->setClickAction([&clicks](const QRect &) { ++clicks; });
    emit m_app->trayIcon()->trayIcon()->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(clicks, 1);
    emit m_app->trayIcon()->trayIcon()->activated(QSystemTrayIcon::Context);
    QCOMPARE(clicks, 1);
}

void TestVeskZulApp::trayClickTogglesThePopover()
{
    QVERIFY(!m_app->popover());
    m_app->trayIcon()->click();
    QPointer<ZulTrayPopoverWindow> popover = m_app->popover();
    QVERIFY(popover);
    QTRY_VERIFY(popover->isVisible());
    // From its very first opening, what is typed is a calculation.
    const QString scratch = m_app->viewModel().quickScratchText();
    for (const char key : QByteArray("9*9"))
        QTest::keyClick(popover->windowHandle(), key);
    QCOMPARE(m_app->viewModel().quickScratchText(), scratch + QStringLiteral("9*9"));
    // Another window taking the keyboard puts it away; the icon's report of
    // that very click does not bring it back, the next click does.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QTRY_VERIFY(!popover->isVisible());
    m_app->trayIcon()->click();
    QVERIFY(!popover->isVisible());
    m_app->trayIcon()->click();
    QTRY_VERIFY(popover->isVisible());
    QTest::keyClick(popover->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!popover->isVisible());
    m_app->trayIcon()->click();
    QTRY_VERIFY(popover->isVisible());
    m_app->trayIcon()->click();
    QTRY_VERIFY(!popover->isVisible());
    QCOMPARE(m_app->popover(), popover.data()); // kept for the next click
    m_app->trayIcon()->click();
    QTRY_VERIFY(popover->isVisible());
}

void TestVeskZulApp::quitting_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("Ctrl+Q in the studio") << "studio";
    QTest::newRow("Ctrl+Q in the tray popover, the studio closed") << "popover";
    QTest::newRow("closing the studio with a tray only hides it") << "close";
    QTest::newRow("closing the studio without a tray quits") << "close, no tray";
    QTest::newRow("without a tray, a sticky open keeps it running") << "close, no tray, sticky";
    QTest::newRow("without a tray, the open drawer keeps it running") << "close, no tray, drawer";
    QTest::newRow("without a tray, closing the last sticky then quits") << "close, no tray, sticky, last";
}

void TestVeskZulApp::quitting()
{
    QFETCH(QString, gesture);
    auto panels = std::make_shared<paneltest::Panels>();
    m_app = std::make_unique<VeskZulApp>(m_studio->storage, paneltest::realPanelEnvironment(*m_studio, panels),
                                         MainZulStudioView::EditorFactory());
    m_app->setTrayAvailability([gesture] { return !gesture.contains("no tray"); });
    m_app->openStudioWindow();
    QTRY_VERIFY(m_app->trayIcon());
    QWidget *studio = m_app->studioWindow();
    ZulStudioViewModel &viewModel = m_app->viewModel();
    if (gesture.contains("sticky"))
        viewModel.createAndFloatStickyNote();
    if (gesture.contains("drawer"))
        viewModel.toggleEdgeDrawer();
    // Still in its pause before saving.
    const QUuid id = viewModel.notes().last().id;
    viewModel.updateNoteContent(id, QStringLiteral("typed just before leaving"));
    QTimer::singleShot(0, m_app.get(), [&] {
        if (gesture != "studio")
            studio->close();
        if (gesture == "popover")
            m_app->trayIcon()->click();
        if (gesture.endsWith("last"))
            viewModel.closeFloatingSticky(viewModel.notes().first().id);
        if (gesture == "studio" || gesture == "popover")
            QTest::keyClick(gesture == "studio" ? studio : m_app->popover(), Qt::Key_Q, Qt::ControlModifier);
    });
    QTimer::singleShot(1000, m_app.get(), [] { QCoreApplication::exit(7); });
    const bool staysOpen = gesture == "close" || gesture.endsWith("sticky") || gesture.endsWith("drawer");
    QCOMPARE(QCoreApplication::exec(), staysOpen ? 7 : 0);
    if (!staysOpen)
        QCOMPARE(m_studio->notesOnDisk().last().content, QStringLiteral("typed just before leaving"));
}

void TestVeskZulApp::platformChoice_data()
{
    // The environment and the arguments of one start, as a shell line.
    QTest::addColumn<QString>("session");
    QTest::addColumn<bool>("xServerAnswers");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("X11 session") << "XDG_SESSION_TYPE=x11" << true << "";
    QTest::newRow("Wayland with XWayland") << "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=w-0" << true << "xcb";
    QTest::newRow("a Wayland display alone, XWayland there") << "WAYLAND_DISPLAY=w-1" << true << "xcb";
    QTest::newRow("Wayland without XWayland") << "XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=w-0" << false << "";
    QTest::newRow("the user's QT_QPA_PLATFORM=wayland") << "QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=w-0" << true << "";
    QTest::newRow("the user's QT_QPA_PLATFORM=xcb") << "QT_QPA_PLATFORM=xcb XDG_SESSION_TYPE=wayland" << true << "";
    QTest::newRow("the user's -platform argument") << "WAYLAND_DISPLAY=w-0 veskzul -platform wayland" << true << "";
}

void TestVeskZulApp::platformChoice()
{
    QFETCH(QString, session);
    QFETCH(bool, xServerAnswers);
    QFETCH(QString, chosen);
    QHash<QByteArray, QByteArray> variables = {{"DISPLAY", ":3"}};
    for (const QString &word : session.split(u' ').filter(QStringLiteral("=")))
        variables.insert(word.section(u'=', 0, 0).toUtf8(), word.section(u'=', 1).toUtf8());
    const ZulWindowSystemChoice::Choice choice = ZulWindowSystemChoice::choose(
        session.split(u' ').filter(QRegularExpression("^[^=]*$")), [&](const char *name) { return variables.value(name); },
        [xServerAnswers] { return xServerAnswers; });
    QCOMPARE(QString::fromLatin1(choice.platform), chosen);
    // Logged once: why, and how to stay native.
    QCOMPARE(choice.reason.contains("DISPLAY=:3:") && choice.reason.contains("QT_QPA_PLATFORM=wayland"), !chosen.isEmpty());
}

QTEST_MAIN(TestVeskZulApp)
#include "tst_veskzulapp.moc"
