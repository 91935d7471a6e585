#include "VeskKit/Design/VeskAppActivationDelegate.h"
#include "VeskKit/Design/VeskPanelWindow.h"
#include "VeskKit/System/VeskReopenStudioWindowNotifier.h"
#include "VeskKit/Utilities/VeskAppLogger.h"

#include <QMainWindow>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

VeskBundle bundleWith(const QVariantMap& info)
{
    VeskBundle bundle;
    bundle.infoDictionary = info;
    return bundle;
}

// A top-level widget of the given kind, shown, with its native window made.
std::unique_ptr<QWidget> showWindow(Qt::WindowFlags flags, const QString& title)
{
    auto widget = std::make_unique<QWidget>(nullptr, flags);
    widget->setWindowTitle(title);
    widget->resize(200, 120);
    widget->show();
    return widget;
}

} // namespace

class tst_AppActivationDelegate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void applicationName_data();
    void applicationName();
    void launchLogsOneLineAndRaisesTheWindow_data();
    void launchLogsOneLineAndRaisesTheWindow();
    void reopen_data();
    void reopen();
    void onlyPanelsMeansNothingIsRaised();
    void minimisedWindowIsRestored();

private:
    QTemporaryDir m_data;
};

void tst_AppActivationDelegate::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
}

void tst_AppActivationDelegate::cleanup()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets)
        widget->close();
}

void tst_AppActivationDelegate::applicationName_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("expected");

    QTest::newRow("display name first") << QVariantMap{{"CFBundleDisplayName", "Vesk Zul"}, {"CFBundleName", "VeskZul"}}
                                        << "Vesk Zul";
    QTest::newRow("short name without display name") << QVariantMap{{"CFBundleName", "VeskZul"}} << "VeskZul";
    QTest::newRow("display name that is no text") << QVariantMap{{"CFBundleDisplayName", 7}, {"CFBundleName", "VeskZul"}}
                                                  << "VeskZul";
    QTest::newRow("process name without either") << QVariantMap{} << "tst_appactivationdelegate";
}

void tst_AppActivationDelegate::applicationName()
{
    QFETCH(QVariantMap, info);
    QFETCH(QString, expected);
    QCOMPARE(VeskAppActivationDelegate::applicationName(bundleWith(info)), expected);
}

void tst_AppActivationDelegate::launchLogsOneLineAndRaisesTheWindow_data()
{
    QTest::addColumn<QVariantMap>("info");
    QTest::addColumn<QString>("expected");

    // Each row logs under its own name, so each reads a fresh log.
    QTest::newRow("bundle version") << QVariantMap{{"CFBundleName", "LaunchA"},
                                                   {"CFBundleShortVersionString", "2.3.4"},
                                                   {"CFBundleVersion", "57"}}
                                    << "LaunchA v2.3.4 (57) launched (%1)";
    QTest::newRow("no version keys") << QVariantMap{{"CFBundleName", "LaunchB"}}
                                     << "LaunchB v1.0.0 (100) launched (%1)";
}

void tst_AppActivationDelegate::launchLogsOneLineAndRaisesTheWindow()
{
    QFETCH(QVariantMap, info);
    QFETCH(QString, expected);

    auto panel = showWindow(Qt::Tool, "panel");
    auto studio = showWindow(Qt::Window, "studio");
    auto other = showWindow(Qt::Window, "other");
    QVERIFY(QTest::qWaitForWindowExposed(studio.get()));
    other->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), other->windowHandle());

    VeskAppActivationDelegate delegate(bundleWith(info));
    delegate.applicationDidFinishLaunching();

    const QString name = info.value("CFBundleName").toString();
    const QList<VeskLogEntry> entries = VeskAppLogger::shared(name)->recentEntries(10, VeskLogLevel::debug);
    QCOMPARE(entries.size(), 1);
    QCOMPARE(entries[0].level, VeskLogLevel::info);
    QCOMPARE(entries[0].category, QStringLiteral("lifecycle"));
    QCOMPARE(entries[0].message, expected.arg(QSysInfo::prettyProductName()));

    // The first main window in the application's list comes forward shortly after.
    QCOMPARE(QGuiApplication::focusWindow(), other->windowHandle());
    QTRY_COMPARE(QGuiApplication::focusWindow(), studio->windowHandle());
}

void tst_AppActivationDelegate::reopen_data()
{
    QTest::addColumn<QString>("windows");
    QTest::addColumn<int>("posted");

    QTest::newRow("visible window is raised") << "main" << 0;
    QTest::newRow("no window posts one request") << "" << 1;
    QTest::newRow("panels only post one request") << "panel" << 1;
    QTest::newRow("floating panels only post one request") << "floating panel" << 1;
    QTest::newRow("minimised window posts one request") << "minimised" << 1;
}

void tst_AppActivationDelegate::reopen()
{
    QFETCH(QString, windows);
    QFETCH(int, posted);

    std::unique_ptr<QWidget> window;
    if (windows == QLatin1String("main") || windows == QLatin1String("minimised"))
        window = showWindow(Qt::Window, "studio");
    else if (windows == QLatin1String("panel"))
        window = showWindow(Qt::Tool, "panel");
    else if (windows == QLatin1String("floating panel")) {
        // An ordinary window to the window manager, yet no main window.
        window = std::make_unique<QWidget>(nullptr, VeskPanelWindow::flags);
        VeskPanelWindow::makePanel(window.get());
        window->show();
    }
    if (window)
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    if (windows == QLatin1String("minimised"))
        window->showMinimized();

    QSignalSpy spy(VeskReopenStudioWindowNotifier::shared(), &VeskReopenStudioWindowNotifier::veskReopenStudioWindow);
    VeskAppActivationDelegate delegate(VeskBundle{});
    QCOMPARE(VeskAppActivationDelegate::hasVisibleWindows(), posted == 0);
    delegate.handleReopenRequest();
    QCOMPARE(spy.count(), posted);
    if (posted == 0)
        QTRY_COMPARE(QGuiApplication::focusWindow(), window->windowHandle());

    // Told directly, the delegate trusts the flag it is given.
    QVERIFY(delegate.applicationShouldHandleReopen(false));
    QCOMPARE(spy.count(), posted + 1);
    QVERIFY(delegate.applicationShouldHandleReopen(true));
    QCOMPARE(spy.count(), posted + 1);
}

void tst_AppActivationDelegate::onlyPanelsMeansNothingIsRaised()
{
    auto panel = showWindow(Qt::Tool, "panel");
    auto noFocus = showWindow(Qt::Window | Qt::WindowDoesNotAcceptFocus, "badge");
    auto dialog = showWindow(Qt::Dialog, "dialog");
    auto hidden = std::make_unique<QMainWindow>();
    hidden->winId(); // a native window exists, but it is not shown
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    panel->activateWindow();
    QTRY_COMPARE(QGuiApplication::focusWindow(), panel->windowHandle());

    VeskAppActivationDelegate::bringStudioWindowToFront();
    QTest::qWait(50);
    QCOMPARE(QGuiApplication::focusWindow(), panel->windowHandle());
    QVERIFY(!hidden->isVisible());
}

void tst_AppActivationDelegate::minimisedWindowIsRestored()
{
    auto panel = showWindow(Qt::Tool, "panel");
    auto studio = showWindow(Qt::Window, "studio");
    QVERIFY(QTest::qWaitForWindowExposed(studio.get()));
    studio->showMinimized();
    QTRY_VERIFY(studio->windowHandle()->windowStates() & Qt::WindowMinimized);

    VeskAppActivationDelegate::bringStudioWindowToFront();
    QTRY_VERIFY(!(studio->windowHandle()->windowStates() & Qt::WindowMinimized));
    QTRY_COMPARE(QGuiApplication::focusWindow(), studio->windowHandle());
}

QTEST_MAIN(tst_AppActivationDelegate)
#include "tst_appactivationdelegate.moc"
