#include "VeskKit/Design/VeskSidebarTitlebarClearance.h"
#include "VeskKit/Design/VeskTitlebarMetricsStore.h"
#include "VeskKit/Design/VeskTitlebarObserver.h"
#include "VeskKit/Design/VeskUnifiedHeaderBar.h"
#include "VeskKit/Design/VeskUnifiedTitlebar.h"
#include "VeskKit/Design/VeskWindowControls.h"
#include "VeskKit/Design/VeskWindowDragArea.h"
#include "VeskKit/Design/VeskWindowDragGesture.h"
#include "VeskKit/Design/VeskWindowResizeGrips.h"
#include "VeskKit/Design/VeskWindowToolbar.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

Q_DECLARE_METATYPE(VeskUnifiedTitlebarMode)

namespace {

QString describe(const VeskUnifiedTitlebarMetrics &m)
{
    return QStringLiteral("{%1, %2, %3, %4, %5}")
        .arg(m.leadingClearance)
        .arg(m.trafficLightCenterY)
        .arg(m.trafficLightBottomY)
        .arg(m.sidebarTopClearance)
        .arg(m.isFullScreen ? "true" : "false");
}

#define COMPARE_METRICS(actual, expected) QCOMPARE(describe(actual), describe(expected))

// A window set up as the studio sets up its own.
std::unique_ptr<QWidget> configuredWindow(VeskUnifiedTitlebarMode mode)
{
    auto window = std::make_unique<QWidget>();
    window->resize(400, 300);
    veskConfigureUnifiedTitlebar(window.get(), mode);
    return window;
}

QAbstractButton *button(QWidget *window, VeskWindowButton kind)
{
    return VeskWindowControls::of(window)->button(kind);
}

} // namespace

class TestVeskUnifiedTitlebar : public QObject {
    Q_OBJECT
private slots:
    void init();

    void calculatesFromNumbers_data();
    void calculatesFromNumbers();
    void measuresWindowControls_data();
    void measuresWindowControls();
    void configuringHandlesToolbars_data();
    void configuringHandlesToolbars();
    void configuringKeepsWindowShownAndFrameless();

    void reportsOnlyChangedMetrics();
    void headerAndSidebarFollowTheWindow();
    void contentOutsideAStoreSeesDefaults();

    void doubleClickFollowsDesktopSetting_data();
    void doubleClickFollowsDesktopSetting();
    void controlButtonsActOnTheWindow();
    void resizeGripsHugTheEdges();

private:
    std::unique_ptr<QTemporaryDir> m_config;
};

void TestVeskUnifiedTitlebar::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", m_config->path().toUtf8());
}

void TestVeskUnifiedTitlebar::calculatesFromNumbers_data()
{
    QTest::addColumn<double>("maxX");
    QTest::addColumn<double>("centre");
    QTest::addColumn<double>("bottom");
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<VeskUnifiedTitlebarMetrics>("expected");

    QTest::newRow("nothing measured falls back") << 0.0 << 0.0 << 0.0 << false
                                                 << VeskUnifiedTitlebarMetrics{93, 26, 23, 37, false};
    QTest::newRow("negative counts as missing") << -5.0 << -1.0 << -2.0 << false
                                                << VeskUnifiedTitlebarMetrics{93, 26, 23, 37, false};
    QTest::newRow("full screen ignores the buttons") << 74.0 << 26.0 << 33.0 << true
                                                     << VeskUnifiedTitlebarMetrics{16, 26, 0, 16, true};
    QTest::newRow("clearances round up") << 74.2 << 25.5 << 33.4 << false
                                         << VeskUnifiedTitlebarMetrics{89, 25.5, 33.4, 48, false};
    QTest::newRow("whole numbers stay") << 74.0 << 26.0 << 33.0 << false
                                        << VeskUnifiedTitlebarMetrics{88, 26, 33, 47, false};
    QTest::newRow("only the bottom missing") << 60.0 << 14.0 << 0.0 << false
                                             << VeskUnifiedTitlebarMetrics{74, 14, 23, 37, false};
}

void TestVeskUnifiedTitlebar::calculatesFromNumbers()
{
    QFETCH(double, maxX);
    QFETCH(double, centre);
    QFETCH(double, bottom);
    QFETCH(bool, fullScreen);
    QFETCH(VeskUnifiedTitlebarMetrics, expected);
    COMPARE_METRICS(VeskUnifiedTitlebarMetrics::calculate(maxX, centre, bottom, fullScreen, 16, 14, 14), expected);
}

void TestVeskUnifiedTitlebar::measuresWindowControls_data()
{
    QTest::addColumn<VeskUnifiedTitlebarMode>("mode");
    QTest::addColumn<QString>("change");
    QTest::addColumn<VeskUnifiedTitlebarMetrics>("expected");

    // Unified row: 52 high, discs of 14 from x = 20 with gaps of 6.
    QTest::newRow("unified header") << VeskUnifiedTitlebarMode::unifiedHeader << "none"
                                    << VeskUnifiedTitlebarMetrics{88, 26, 33, 47, false};
    // Plain row: 28 high, from x = 8.
    QTest::newRow("full-height sidebar") << VeskUnifiedTitlebarMode::fullHeightSidebar << "none"
                                         << VeskUnifiedTitlebarMetrics{76, 14, 21, 35, false};
    QTest::newRow("all buttons hidden") << VeskUnifiedTitlebarMode::unifiedHeader << "hide all"
                                        << VeskUnifiedTitlebarMetrics{93, 26, 23, 37, false};
    QTest::newRow("all buttons gone") << VeskUnifiedTitlebarMode::unifiedHeader << "delete all"
                                      << VeskUnifiedTitlebarMetrics{93, 26, 23, 37, false};
    QTest::newRow("only close counts") << VeskUnifiedTitlebarMode::unifiedHeader << "zero size but close"
                                       << VeskUnifiedTitlebarMetrics{48, 26, 33, 47, false};
    QTest::newRow("zoom hidden") << VeskUnifiedTitlebarMode::unifiedHeader << "hide zoom"
                                 << VeskUnifiedTitlebarMetrics{68, 26, 33, 47, false};
    QTest::newRow("full screen") << VeskUnifiedTitlebarMode::unifiedHeader << "full screen"
                                 << VeskUnifiedTitlebarMetrics{16, 26, 0, 16, true};
}

void TestVeskUnifiedTitlebar::measuresWindowControls()
{
    QFETCH(VeskUnifiedTitlebarMode, mode);
    QFETCH(QString, change);
    QFETCH(VeskUnifiedTitlebarMetrics, expected);

    auto window = configuredWindow(mode);
    const auto all = {VeskWindowButton::close, VeskWindowButton::miniaturize, VeskWindowButton::zoom};
    if (change == "hide all") {
        for (auto kind : all)
            button(window.get(), kind)->hide();
    } else if (change == "delete all") {
        for (auto kind : all)
            delete button(window.get(), kind);
    } else if (change == "zero size but close") {
        button(window.get(), VeskWindowButton::miniaturize)->setFixedSize(0, 14);
        button(window.get(), VeskWindowButton::zoom)->setFixedSize(14, 0);
    } else if (change == "hide zoom") {
        button(window.get(), VeskWindowButton::zoom)->hide();
    } else if (change == "full screen") {
        window->showFullScreen();
        QVERIFY(window->isFullScreen());
    }
    COMPARE_METRICS(veskMeasureTitlebarMetrics(window.get(), 16, 14), expected);
}

void TestVeskUnifiedTitlebar::configuringHandlesToolbars_data()
{
    QTest::addColumn<QString>("present");
    QTest::addColumn<VeskUnifiedTitlebarMode>("mode");
    QTest::addColumn<QString>("expectedIdentifier");
    QTest::addColumn<bool>("sameObject");

    const QString kit = veskUnifiedTitlebarToolbarIdentifier;
    QTest::newRow("sidebar removes the kit's toolbar") << kit << VeskUnifiedTitlebarMode::fullHeightSidebar << ""
                                                       << false;
    QTest::newRow("sidebar keeps someone else's") << "org.example.tools" << VeskUnifiedTitlebarMode::fullHeightSidebar
                                                  << "org.example.tools" << true;
    QTest::newRow("sidebar without toolbar") << "" << VeskUnifiedTitlebarMode::fullHeightSidebar << "" << false;
    QTest::newRow("header replaces someone else's") << "org.example.tools" << VeskUnifiedTitlebarMode::unifiedHeader
                                                    << kit << false;
    QTest::newRow("header restyles its own") << kit << VeskUnifiedTitlebarMode::unifiedHeader << kit << true;
    QTest::newRow("header installs one") << "" << VeskUnifiedTitlebarMode::unifiedHeader << kit << false;
}

void TestVeskUnifiedTitlebar::configuringHandlesToolbars()
{
    QFETCH(QString, present);
    QFETCH(VeskUnifiedTitlebarMode, mode);
    QFETCH(QString, expectedIdentifier);
    QFETCH(bool, sameObject);

    QWidget window;
    QPointer<VeskWindowToolbar> before;
    if (!present.isEmpty()) {
        before = new VeskWindowToolbar(present);
        VeskWindowToolbar::install(&window, before);
    }
    veskConfigureUnifiedTitlebar(&window, mode);
    VeskWindowToolbar *after = VeskWindowToolbar::of(&window);
    QCOMPARE(after ? after->identifier() : QString(), expectedIdentifier);
    if (sameObject)
        QCOMPARE(after, before.data());
    else if (before)
        QVERIFY(!before); // the replaced or removed toolbar is gone, not left behind
    if (after && after->identifier() == veskUnifiedTitlebarToolbarIdentifier) {
        QCOMPARE(after->style(), VeskWindowToolbar::Style::unified);
        QVERIFY(!after->allowsUserCustomization() || sameObject);
    }
    // The controls sit in the row the toolbar gives.
    const int row = VeskWindowToolbar::titlebarRowHeight(&window);
    QCOMPARE(row, after ? (after->style() == VeskWindowToolbar::Style::unified ? 52 : 38) : 28);
    const QRect controls = VeskWindowControls::of(&window)->geometry();
    QCOMPARE(controls.top() * 2 + controls.height(), row);
}

void TestVeskUnifiedTitlebar::configuringKeepsWindowShownAndFrameless()
{
    QWidget window;
    window.setWindowFlag(Qt::Tool, true);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    veskConfigureUnifiedTitlebar(&window, VeskUnifiedTitlebarMode::unifiedHeader);
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.windowFlags().testFlag(Qt::Tool));
    QVERIFY(window.isVisible());
    // A second configuration adds no second set of controls.
    veskConfigureUnifiedTitlebar(&window, VeskUnifiedTitlebarMode::unifiedHeader);
    QCOMPARE(window.findChildren<VeskWindowControls *>().size(), 1);
}

void TestVeskUnifiedTitlebar::reportsOnlyChangedMetrics()
{
    QWidget window;
    window.resize(500, 400);
    auto *observer = new VeskTitlebarObserver(&window);
    QList<VeskUnifiedTitlebarMetrics> reports;
    observer->setOnMetricsChange([&](const VeskUnifiedTitlebarMetrics &m) { reports.append(m); });

    observer->attach(&window);
    QCOMPARE(reports.size(), 1);
    COMPARE_METRICS(reports.last(), (VeskUnifiedTitlebarMetrics{88, 26, 33, 47, false}));

    // The same window again, a resize and the queued second report: all unchanged.
    observer->attach(&window);
    window.resize(640, 480);
    QCoreApplication::processEvents();
    QCOMPARE(reports.size(), 1);

    // Full screen alone is a change, and so is coming back.
    window.showFullScreen();
    QCoreApplication::processEvents();
    QCOMPARE(reports.size(), 2);
    QVERIFY(reports.last().isFullScreen);
    window.showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(reports.size(), 3);
    QVERIFY(!reports.last().isFullScreen);

    // Hiding a button moves the clearance.
    button(&window, VeskWindowButton::zoom)->hide();
    QCoreApplication::processEvents();
    QCOMPARE(reports.size(), 4);
    QCOMPARE(reports.last().leadingClearance, 68.0);

    // Detached, nothing is reported any more.
    observer->attach(nullptr);
    QVERIFY(!observer->observedWindow());
    button(&window, VeskWindowButton::zoom)->show();
    QCoreApplication::processEvents();
    QCOMPARE(reports.size(), 4);
}

void TestVeskUnifiedTitlebar::headerAndSidebarFollowTheWindow()
{
    QWidget window;
    window.resize(800, 600);
    auto *layout = new QVBoxLayout(&window);
    auto *header = new VeskUnifiedHeaderBar(new QLabel("Title"), 52, 18, 8, Qt::transparent);
    auto *sidebar = new VeskSidebarTitlebarClearance(new QLabel("List"), 6);
    layout->addWidget(header);
    layout->addWidget(sidebar);
    VeskTitlebarMetricsStore *store =
        veskUnifiedTitlebarWindow(&window, VeskUnifiedTitlebarMode::unifiedHeader, 16, 14);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(VeskTitlebarMetricsStore::nearest(header), store);
    QCOMPARE(header->leadingPadding(), 88.0);
    QCOMPARE(header->row()->geometry().left(), 88);
    QVERIFY(header->height() >= 52);
    QCOMPARE(sidebar->topPadding(), 6.0 + 47.0);

    window.showFullScreen();
    QTRY_COMPARE(header->leadingPadding(), 16.0);
    QCOMPARE(sidebar->topPadding(), 6.0 + 16.0);
    QTRY_COMPARE(header->row()->geometry().left(), 16);
}

void TestVeskUnifiedTitlebar::contentOutsideAStoreSeesDefaults()
{
    QWidget loose;
    auto *header = new VeskUnifiedHeaderBar(new QLabel("Title"), 52, 18, 8, Qt::transparent, &loose);
    QVERIFY(!VeskTitlebarMetricsStore::nearest(header));
    COMPARE_METRICS(VeskTitlebarMetricsStore::metricsFor(header), VeskUnifiedTitlebarMetrics());
    QCOMPARE(header->leadingPadding(), 93.0);
}

void TestVeskUnifiedTitlebar::doubleClickFollowsDesktopSetting_data()
{
    QTest::addColumn<QString>("kwinrc");
    QTest::addColumn<QString>("expectedState");
    QTest::addColumn<bool>("bareDragArea"); // instead of a header bar

    QTest::newRow("no setting zooms") << "" << "maximized" << false;
    QTest::newRow("Maximize zooms") << "[Windows]\nTitlebarDoubleClickCommand=Maximize\n" << "maximized" << false;
    QTest::newRow("Minimize minimises") << "[Windows]\nTitlebarDoubleClickCommand=Minimize\n" << "minimized" << false;
    QTest::newRow("None does nothing") << "[Windows]\nTitlebarDoubleClickCommand=None\n" << "normal" << false;
    QTest::newRow("Nothing does nothing") << "[Windows]\nTitlebarDoubleClickCommand=Nothing\n" << "normal" << false;
    QTest::newRow("other section ignored") << "[Desktops]\nTitlebarDoubleClickCommand=Minimize\n" << "maximized" << false;
    QTest::newRow("unknown command zooms") << "[Windows]\nTitlebarDoubleClickCommand=Shade\n" << "maximized" << false;
    QTest::newRow("drag area zooms") << "" << "maximized" << true;
    QTest::newRow("drag area minimises") << "[Windows]\nTitlebarDoubleClickCommand=Minimize\n" << "minimized" << true;
}

void TestVeskUnifiedTitlebar::doubleClickFollowsDesktopSetting()
{
    QFETCH(QString, kwinrc);
    QFETCH(QString, expectedState);
    QFETCH(bool, bareDragArea);
    if (!kwinrc.isEmpty()) {
        QFile file(m_config->filePath("kwinrc"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kwinrc.toUtf8());
    }

    QWidget window;
    window.resize(500, 300);
    auto *layout = new QVBoxLayout(&window);
    QWidget *header = bareDragArea ? static_cast<QWidget *>(new VeskWindowDragArea)
                                   : new VeskUnifiedHeaderBar(new QLabel("Title"), 52, 18, 8, Qt::transparent);
    if (bareDragArea)
        header->setFixedHeight(40);
    layout->addWidget(header);
    layout->addStretch();
    veskUnifiedTitlebarWindow(&window, VeskUnifiedTitlebarMode::unifiedHeader, 16, 14);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseDClick(header, Qt::LeftButton, {}, QPoint(header->width() / 2, header->height() / 2));
    const QString state = window.isMinimized() ? "minimized" : window.isMaximized() ? "maximized" : "normal";
    QCOMPARE(state, expectedState);
}

void TestVeskUnifiedTitlebar::controlButtonsActOnTheWindow()
{
    QWidget window;
    window.resize(500, 300);
    veskConfigureUnifiedTitlebar(&window, VeskUnifiedTitlebarMode::unifiedHeader);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    button(&window, VeskWindowButton::zoom)->click();
    QVERIFY(window.isMaximized());
    button(&window, VeskWindowButton::zoom)->click();
    QVERIFY(!window.isMaximized());
    button(&window, VeskWindowButton::miniaturize)->click();
    QVERIFY(window.isMinimized());
    window.showNormal();
    button(&window, VeskWindowButton::close)->click();
    QVERIFY(!window.isVisible());

    // Later content does not cover the controls.
    auto *late = new QLabel("late", &window);
    late->setGeometry(0, 0, 500, 60);
    QCOMPARE(window.children().last(), static_cast<QObject *>(VeskWindowControls::of(&window)));
}

void TestVeskUnifiedTitlebar::resizeGripsHugTheEdges()
{
    QWidget window;
    window.resize(400, 300);
    auto *grips = new VeskWindowResizeGrips(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(grips->grip(Qt::RightEdge)->geometry(), QRect(395, 12, 5, 276));
    QCOMPARE(grips->grip(Qt::BottomEdge | Qt::LeftEdge)->geometry(), QRect(0, 288, 12, 12));
    window.resize(500, 350);
    QCOMPARE(grips->grip(Qt::BottomEdge)->geometry(), QRect(12, 345, 476, 5));
    window.showMaximized();
    QTRY_VERIFY(!grips->grip(Qt::TopEdge)->isVisible());
}

QTEST_MAIN(TestVeskUnifiedTitlebar)
#include "tst_veskunifiedtitlebar.moc"
