#include "helper_suitetestenvironment.h"

#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskCapsuleBadge.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskProgressTrack.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/Design/VeskVirtualMemoryGaugeCard.h"
#include "VeskKit/Design/VeskVirtualMemoryHeaderPill.h"
#include "VeskKit/System/VeskSuiteCommandBus.h"

#include <QTest>

#include <limits>

using Tile = VeskVirtualMemoryGaugeCard::Tile;
Q_DECLARE_METATYPE(VeskVirtualMemorySummary)

namespace {

constexpr qint64 GB = 1'000'000'000;

VeskVirtualMemorySummary idle()
{
    VeskVirtualMemorySummary summary;
    summary.physicalTotalBytes = 16 * GB;
    summary.physicalUsedBytes = 8 * GB;
    summary.pressureLevel = QStringLiteral("normal");
    return summary;
}

VeskVirtualMemorySummary swapping()
{
    VeskVirtualMemorySummary summary = idle();
    summary.swapTotalBytes = 4 * GB;
    summary.swapUsedBytes = 1 * GB;
    summary.swapFileCount = 2;
    summary.swapEncrypted = true;
    return summary;
}

VeskVirtualMemorySummary withSparseDisk(const QString &pressure = QStringLiteral("normal"))
{
    VeskVirtualMemorySummary summary = idle();
    summary.pressureLevel = pressure;
    summary.mountedSparseDiskCount = 1;
    summary.sparseDiskVirtualBytes = 50 * GB;
    summary.sparseDiskActualBytes = 5 * GB;
    summary.sparseDiskNames = {QStringLiteral("Scratch"), QStringLiteral("Builds")};
    return summary;
}

VeskVirtualMemorySummary withPressure(VeskVirtualMemorySummary summary, const QString &pressure)
{
    summary.pressureLevel = pressure;
    return summary;
}

QString textOf(const QWidget &view, const char *name)
{
    if (const auto *line = view.findChild<VeskTextLine *>(QLatin1String(name)))
        return line->text();
    if (const auto *badge = view.findChild<VeskCapsuleBadge *>(QLatin1String(name)))
        return badge->text();
    return QStringLiteral("<absent>");
}

} // namespace

class TestVirtualMemoryViews : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void pillColourAndTitle_data();
    void pillColourAndTitle();
    void pillTap();
    void cardStatus_data();
    void cardStatus();
    void gauges_data();
    void gauges();
    void gaugeFill_data();
    void gaugeFill();
    void tiles_data();
    void tiles();
    void chips_data();
    void chips();
    void chipPress_data();
    void chipPress();
    void headerFitsWidth();

private:
    void installMemoryTool();

    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
};

void TestVirtualMemoryViews::initTestCase()
{
    QVERIFY(m_bus.start());
    QVERIFY(m_home.isValid());
    // The chips send through the shared bus, whose folder is fixed on first
    // use: one temporary home for the whole run.
    useTemporaryXdgFolders(m_home);
}

void TestVirtualMemoryViews::init()
{
    QDir(m_home.filePath("data/applications")).removeRecursively();
    QDir(VeskSuiteCommandBus::shared().commandsDirectory()).removeRecursively();
}

void TestVirtualMemoryViews::installMemoryTool()
{
    QVERIFY(!installDesktopEntry(m_home.filePath("data/applications"), "com.quarnell.veskmirrel", "true").isEmpty());
}

void TestVirtualMemoryViews::pillColourAndTitle_data()
{
    QTest::addColumn<VeskVirtualMemorySummary>("summary");
    QTest::addColumn<int>("language");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QString>("title");

    const QColor cyan = VeskVirtualMemoryHeaderPill::cyan();
    const QColor violet = VeskVirtualMemoryHeaderPill::violet();
    QTest::newRow("all zero") << VeskVirtualMemorySummary() << int(VeskLanguage::en) << cyan << "memorychip"
                              << "VM ON";
    QTest::newRow("all zero, Turkish") << VeskVirtualMemorySummary() << int(VeskLanguage::tr) << cyan << "memorychip"
                                       << "Sanal Bellek ON";
    QTest::newRow("swap alone stays cyan") << swapping() << int(VeskLanguage::en) << cyan << "memorychip"
                                           << "VM: Swap 1.00 GB";
    QTest::newRow("sparse disk is violet") << withSparseDisk() << int(VeskLanguage::en) << violet
                                           << "externaldrive.badge.timemachine" << "VM: vDisk 50.00 GB";
    QTest::newRow("critical overrides the disk") << withSparseDisk("critical") << int(VeskLanguage::en)
                                                 << VeskGlassTokens::danger() << "externaldrive.badge.timemachine"
                                                 << "VM: vDisk 50.00 GB";
    QTest::newRow("warning does not override the disk") << withSparseDisk("warning") << int(VeskLanguage::en)
                                                        << violet << "externaldrive.badge.timemachine"
                                                        << "VM: vDisk 50.00 GB";
    QTest::newRow("warning without expansion is amber") << withPressure(swapping(), "warning") << int(VeskLanguage::en)
                                                        << VeskGlassTokens::warning() << "memorychip"
                                                        << "VM: Swap 1.00 GB";
}

void TestVirtualMemoryViews::pillColourAndTitle()
{
    QFETCH(VeskVirtualMemorySummary, summary);
    QFETCH(int, language);
    QFETCH(QColor, colour);
    QFETCH(QString, symbol);
    QFETCH(QString, title);
    VeskVirtualMemoryHeaderPill pill(summary, VeskLanguage(VeskLanguage::Value(language)), {});
    QCOMPARE(pill.colour(), colour);
    QCOMPARE(pill.symbolName(), symbol);
    QCOMPARE(pill.pillTitle(), title);
    QCOMPARE(pill.text(), title);
    QVERIFY(pill.toolTip().startsWith(language == VeskLanguage::tr ? QStringLiteral("Sanal Bellek aktif")
                                                                   : QStringLiteral("Virtual Memory active")));
    pill.resize(pill.sizeHint());
    // The dot at the leading edge is drawn in the pill's colour.
    const QImage image = pill.grab().toImage();
    const QColor dot = image.pixelColor(9 + 3, image.height() / 2);
    QVERIFY2(qAbs(dot.red() - colour.red()) < 40 && qAbs(dot.green() - colour.green()) < 40 &&
                 qAbs(dot.blue() - colour.blue()) < 40,
             qPrintable(dot.name()));
}

void TestVirtualMemoryViews::pillTap()
{
    int taps = 0;
    VeskVirtualMemoryHeaderPill withAction(idle(), VeskLanguage::en, [&] { ++taps; });
    withAction.resize(withAction.sizeHint());
    withAction.show();
    QVERIFY(QTest::qWaitForWindowExposed(&withAction));
    QTest::mouseClick(&withAction, Qt::LeftButton, {}, withAction.rect().center());
    QCOMPARE(taps, 1);

    // Without an action the memory tool is brought up; absent, nothing
    // happens and nothing is written.
    VeskVirtualMemoryHeaderPill plain(idle(), VeskLanguage::en, {});
    plain.resize(plain.sizeHint());
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QTest::mouseClick(&plain, Qt::LeftButton, {}, plain.rect().center());
    QVERIFY(!QFileInfo::exists(VeskSuiteCommandBus::shared().commandsDirectory()));

    // Present, it is started from its desktop entry.
    const QString marker = m_home.filePath("started");
    installDesktopEntry(m_home.filePath("data/applications"), "com.quarnell.veskmirrel", "touch " + marker);
    QTest::mouseClick(&plain, Qt::LeftButton, {}, plain.rect().center());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
}

void TestVirtualMemoryViews::cardStatus_data()
{
    QTest::addColumn<VeskVirtualMemorySummary>("summary");
    QTest::addColumn<QColor>("status");
    QTest::addColumn<QString>("badge");
    QTest::addColumn<QString>("effective");

    const QColor violet = VeskVirtualMemoryHeaderPill::violet();
    QTest::newRow("all zero") << withPressure(VeskVirtualMemorySummary(), "normal") << VeskGlassTokens::success()
                              << "STANDBY" << "<absent>";
    QTest::newRow("warning changes nothing") << withPressure(idle(), "warning") << VeskGlassTokens::success()
                                             << "STANDBY" << "<absent>";
    QTest::newRow("swap in use") << swapping() << VeskVirtualMemoryHeaderPill::cyan() << "ACTIVE"
                                 << "Effective: 20.00 GB";
    QTest::newRow("swap allocated but unused") << withPressure([] {
        VeskVirtualMemorySummary s = idle();
        s.swapTotalBytes = 2 * GB;
        return s;
    }(), "normal") << VeskGlassTokens::success() << "STANDBY" << "Effective: 18.00 GB";
    QTest::newRow("sparse disk") << withSparseDisk() << violet << "ACTIVE" << "Effective: 66.00 GB";
    QTest::newRow("critical") << withSparseDisk("critical") << VeskGlassTokens::danger() << "ACTIVE"
                              << "Effective: 66.00 GB";
}

void TestVirtualMemoryViews::cardStatus()
{
    QFETCH(VeskVirtualMemorySummary, summary);
    QFETCH(QColor, status);
    QFETCH(QString, badge);
    QFETCH(QString, effective);
    const VeskVirtualMemoryGaugeCard card(summary, VeskLanguage::en, Qt::blue, VeskSuiteApp::veskHalvot, {});
    QCOMPARE(card.statusColor(), status);
    QCOMPARE(textOf(card, "statusBadge"), badge);
    QCOMPARE(card.findChild<VeskCapsuleBadge *>("statusBadge")->look().foreground, status);
    QCOMPARE(textOf(card, "effectiveBadge"), effective);
    QCOMPARE(textOf(card, "liveBadge"), QStringLiteral("<absent>"));

    VeskVirtualMemorySummary live = summary;
    live.isVeskMirrelRunning = true;
    const VeskVirtualMemoryGaugeCard liveCard(live, VeskLanguage::tr, Qt::blue, VeskSuiteApp::veskHalvot, {});
    QCOMPARE(textOf(liveCard, "liveBadge"), QStringLiteral("VeskMirrel Live"));
    QCOMPARE(textOf(liveCard, "statusBadge"), badge == QLatin1String("ACTIVE") ? QStringLiteral("AÇIK")
                                                                                : QStringLiteral("HAZIR"));
}

void TestVirtualMemoryViews::gauges_data()
{
    QTest::addColumn<VeskVirtualMemorySummary>("summary");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("physical");
    QTest::addColumn<QString>("pool");

    QTest::newRow("half used, nothing virtual") << idle() << int(VeskLanguage::en) << "8.00 GB / 16.00 GB (50%)"
                                                << "0 B (Standby)";
    QTest::newRow("standby, Turkish") << idle() << int(VeskLanguage::tr) << "8.00 GB / 16.00 GB (50%)"
                                      << "0 B (Boşta)";
    QTest::newRow("no physical total") << VeskVirtualMemorySummary() << int(VeskLanguage::en) << "0 B / 0 B (0%)"
                                       << "0 B (Standby)";
    QTest::newRow("swap and sparse disk") << [] {
        VeskVirtualMemorySummary s = withSparseDisk();
        s.swapTotalBytes = 4 * GB;
        s.swapUsedBytes = 1 * GB;
        return s;
    }() << int(VeskLanguage::en) << "8.00 GB / 16.00 GB (50%)"
        << "6.00 GB / 54.00 GB (11%)";
    QTest::newRow("used beyond total is capped") << [] {
        VeskVirtualMemorySummary s = idle();
        s.physicalUsedBytes = 20 * GB;
        return s;
    }() << int(VeskLanguage::en) << "20.00 GB / 16.00 GB (100%)"
        << "0 B (Standby)";
}

void TestVirtualMemoryViews::gauges()
{
    QFETCH(VeskVirtualMemorySummary, summary);
    QFETCH(int, language);
    QFETCH(QString, physical);
    QFETCH(QString, pool);
    const VeskVirtualMemoryGaugeCard card(summary, VeskLanguage(VeskLanguage::Value(language)), Qt::blue,
                                          VeskSuiteApp::veskHalvot, {});
    const QList<VeskTextLine *> values = card.findChildren<VeskTextLine *>("gaugeValue");
    QCOMPARE(values.size(), 2);
    QCOMPARE(values.at(0)->text(), physical);
    QCOMPARE(values.at(1)->text(), pool);
    const QList<VeskProgressTrack *> tracks = card.findChildren<VeskProgressTrack *>("gaugeTrack");
    QCOMPARE(tracks.at(0)->fillStart(), QColor(Qt::blue));
    QCOMPARE(tracks.at(1)->fillStart(), card.statusColor());
    QCOMPARE(tracks.at(0)->fraction(), card.physicalPercent() / 100);
}

void TestVirtualMemoryViews::gaugeFill_data()
{
    QTest::addColumn<qint64>("used");
    QTest::addColumn<qreal>("fill");

    QTest::newRow("nothing used") << qint64(0) << qreal(0);
    QTest::newRow("a sliver shows 4 points") << qint64(1'000'000) << qreal(4);
    QTest::newRow("half") << qint64(500'000'000) << qreal(150);
    QTest::newRow("all of it fills the track") << GB << qreal(300);
}

void TestVirtualMemoryViews::gaugeFill()
{
    QFETCH(qint64, used);
    QFETCH(qreal, fill);
    QCOMPARE(VeskProgressTrack::fillWidth(double(used) / GB, 300, 4), fill);
    VeskVirtualMemorySummary summary;
    summary.physicalTotalBytes = GB;
    summary.physicalUsedBytes = used;
    VeskVirtualMemoryGaugeCard card(summary, VeskLanguage::en, Qt::blue, VeskSuiteApp::veskHalvot, {});
    card.resize(300 + 2 * 14, 400);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    // One column at this width: the physical gauge takes it all.
    const VeskProgressTrack *track = card.findChildren<VeskProgressTrack *>("gaugeTrack").at(0);
    QCOMPARE(track->width(), 300);
    QCOMPARE(track->fillWidth(), fill);
}

void TestVirtualMemoryViews::tiles_data()
{
    QTest::addColumn<VeskVirtualMemorySummary>("summary");
    QTest::addColumn<int>("language");
    QTest::addColumn<QList<Tile>>("tiles");

    const QColor secondary = VeskGlassTokens::textSecondary();
    const QColor muted = VeskGlassTokens::textMuted();
    QTest::newRow("all zero") << VeskVirtualMemorySummary() << int(VeskLanguage::en)
                              << QList<Tile>{{"macOS Swap", "0 B / 0 B", {}, secondary},
                                             {"mmap Disk Pools", "Off", {}, muted},
                                             {"Virtual APFS Disk", "Off", {}, muted},
                                             {"RAM-Disk / Frozen", "0 frozen", {}, muted}};
    QTest::newRow("all zero, Turkish") << VeskVirtualMemorySummary() << int(VeskLanguage::tr)
                                       << QList<Tile>{{"macOS Swap", "0 B / 0 B", {}, secondary},
                                                      {"Disk Bellek Havuzu", "Kapalı", {}, muted},
                                                      {"Sanal APFS Disk", "Kapalı", {}, muted},
                                                      {"RAM-Disk / Donuk", "0 donuk", {}, muted}};
    QTest::newRow("swap, sparse disk") << [] {
        VeskVirtualMemorySummary s = withSparseDisk();
        s.swapTotalBytes = 4 * GB;
        s.swapUsedBytes = 1 * GB;
        s.swapFileCount = 2;
        s.swapEncrypted = true;
        return s;
    }() << int(VeskLanguage::en)
        << QList<Tile>{{"macOS Swap (2)", "1.00 GB / 4.00 GB", "25% • AES-XTS", VeskVirtualMemoryHeaderPill::cyan()},
                       {"mmap Disk Pools", "Off", {}, muted},
                       {"Virtual APFS Disk", "5.00 GB / 50.00 GB", "Scratch, Builds",
                        VeskVirtualMemoryGaugeCard::mint()},
                       {"RAM-Disk / Frozen", "0 frozen", {}, muted}};
    QTest::newRow("pools, frozen apps, plain swap allocated") << [] {
        VeskVirtualMemorySummary s;
        s.swapTotalBytes = 2 * GB;
        s.activeDiskPoolCount = 1;
        s.diskPoolVirtualBytes = 20 * GB;
        s.diskPoolActualDiskBytes = 3 * GB;
        s.diskPoolNames = {QStringLiteral("pool-a")};
        s.frozenAppCount = 3;
        s.reclaimedFromFrozenBytes = 900'000'000;
        return s;
    }() << int(VeskLanguage::en)
        << QList<Tile>{{"macOS Swap", "0 B / 2.00 GB", "0% • Plain", secondary},
                       {"mmap Disk Pools", "3.00 GB / 20.00 GB", "pool-a", VeskVirtualMemoryHeaderPill::violet()},
                       {"Virtual APFS Disk", "Off", {}, muted},
                       {"RAM-Disk / Frozen", "3 frozen", "↓ 900.0 MB", VeskGlassTokens::warning()}};
    QTest::newRow("memory disk, nothing reclaimed") << [] {
        VeskVirtualMemorySummary s;
        s.mountedRAMDiskCount = 1;
        s.ramDiskTotalBytes = 2 * GB;
        s.ramDiskNames = {QStringLiteral("RAMDisk")};
        return s;
    }() << int(VeskLanguage::en)
        << QList<Tile>{{"macOS Swap", "0 B / 0 B", {}, secondary},
                       {"mmap Disk Pools", "Off", {}, muted},
                       {"Virtual APFS Disk", "Off", {}, muted},
                       {"RAM-Disk / Frozen", "2.00 GB", "RAMDisk", VeskGlassTokens::warning()}};
}

void TestVirtualMemoryViews::tiles()
{
    QFETCH(VeskVirtualMemorySummary, summary);
    QFETCH(int, language);
    QFETCH(QList<Tile>, tiles);
    const VeskVirtualMemoryGaugeCard card(summary, VeskLanguage(VeskLanguage::Value(language)), Qt::blue,
                                          VeskSuiteApp::veskHalvot, {});
    const QList<Tile> shown = card.tiles();
    QCOMPARE(shown.size(), tiles.size());
    for (qsizetype i = 0; i < tiles.size(); ++i) {
        QCOMPARE(shown.at(i).label, tiles.at(i).label);
        QCOMPARE(shown.at(i).value, tiles.at(i).value);
        QCOMPARE(shown.at(i).detail, tiles.at(i).detail);
        QCOMPARE(shown.at(i).tint, tiles.at(i).tint);
    }
    const QList<VeskTextLine *> values = card.findChildren<VeskTextLine *>("tileValue");
    QCOMPARE(values.size(), tiles.size());
    for (qsizetype i = 0; i < tiles.size(); ++i) {
        QCOMPARE(values.at(i)->text(), tiles.at(i).value);
        QCOMPARE(values.at(i)->colour(), tiles.at(i).tint);
    }
    qsizetype details = 0;
    for (const Tile &tile : tiles)
        details += tile.detail ? 1 : 0;
    QCOMPARE(card.findChildren<VeskTextLine *>("tileDetail").size(), details);
}

void TestVirtualMemoryViews::chips_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<qint64>("frozen");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("labels");

    QTest::newRow("memory tool missing: no chip row") << false << qint64(3) << int(VeskLanguage::en) << QStringList();
    QTest::newRow("nothing frozen") << true << qint64(0) << int(VeskLanguage::en)
                                    << QStringList{"Smart Offload", "Disk Lab"};
    QTest::newRow("three frozen") << true << qint64(3) << int(VeskLanguage::en)
                                  << QStringList{"Smart Offload", "Thaw (3)", "Disk Lab"};
    QTest::newRow("three frozen, Turkish") << true << qint64(3) << int(VeskLanguage::tr)
                                           << QStringList{"Akıllı RAM Aç", "Uyandır (3)", "Disk Lab"};
}

void TestVirtualMemoryViews::chips()
{
    QFETCH(bool, installed);
    QFETCH(qint64, frozen);
    QFETCH(int, language);
    QFETCH(QStringList, labels);
    if (installed)
        installMemoryTool();
    VeskVirtualMemorySummary summary = idle();
    summary.frozenAppCount = frozen;
    const VeskVirtualMemoryGaugeCard card(summary, VeskLanguage(VeskLanguage::Value(language)), Qt::blue,
                                          VeskSuiteApp::veskHalvot, {});
    QStringList shown;
    for (const VeskButton *button : card.chipButtons())
        shown << button->text();
    QCOMPARE(shown, labels);
    QCOMPARE(card.findChild<QWidget *>("actionChips") != nullptr, installed);
    if (!labels.isEmpty()) {
        QVERIFY(card.chipButtons().first()->isActive());
        QVERIFY(!card.chipButtons().last()->isActive());
    }
}

void TestVirtualMemoryViews::chipPress_data()
{
    QTest::addColumn<int>("chip");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("messages");

    QTest::newRow("smart offload") << 0 << int(VeskSuiteCommandKind::mirrelSmartOffload)
                                   << QStringList{"Triggered VeskMirrel Smart RAM Offload"};
    QTest::newRow("thaw") << 1 << int(VeskSuiteCommandKind::mirrelThawAll)
                          << QStringList{"Sent Thaw All to VeskMirrel"};
    QTest::newRow("disk lab says nothing") << 2 << int(VeskSuiteCommandKind::mirrelOpenDiskLab) << QStringList();
}

void TestVirtualMemoryViews::chipPress()
{
    QFETCH(int, chip);
    QFETCH(int, kind);
    QFETCH(QStringList, messages);
    installMemoryTool();
    VeskVirtualMemorySummary summary = idle();
    summary.frozenAppCount = 2;
    QStringList heard;
    VeskVirtualMemoryGaugeCard card(summary, VeskLanguage::en, Qt::blue, VeskSuiteApp::veskSelbar,
                                    [&](const QString &text) { heard << text; });
    card.resize(700, 400);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    VeskButton *button = card.chipButtons().at(chip);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(heard, messages);
    const std::optional<VeskSuiteCommandEnvelope> pending =
        VeskSuiteCommandBus::shared().peekPendingCommand(VeskSuiteApp::veskMirrel, QDateTime::currentDateTimeUtc(), 60);
    QVERIFY(pending);
    QCOMPARE(int(pending->kind), kind);
    QCOMPARE(pending->sourceApp, VeskSuiteApp(VeskSuiteApp::veskSelbar));

    // Gone by the time of the press: nothing is sent and nothing is said.
    heard.clear();
    QDir(m_home.filePath("data/applications")).removeRecursively();
    QDir(VeskSuiteCommandBus::shared().commandsDirectory()).removeRecursively();
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QVERIFY(heard.isEmpty());
    QVERIFY(!QFileInfo::exists(VeskSuiteCommandBus::shared().commandFilePath(VeskSuiteApp::veskMirrel)));
}

void TestVirtualMemoryViews::headerFitsWidth()
{
    installMemoryTool();
    VeskVirtualMemoryGaugeCard card(swapping(), VeskLanguage::en, Qt::blue, VeskSuiteApp::veskHalvot, {});
    card.resize(1200, 400);
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QTRY_VERIFY(card.headerIsRow());
    card.resize(340, 600);
    QTRY_VERIFY(!card.headerIsRow());
    // Stacked, the chips sit below the badges.
    const QWidget *badges = card.findChild<QWidget *>("titleBadges");
    const QWidget *chips = card.findChild<QWidget *>("actionChips");
    QTRY_VERIFY(chips->geometry().top() >= badges->geometry().bottom());
    card.resize(1200, 400);
    QTRY_VERIFY(card.headerIsRow());
}

QTEST_MAIN(TestVirtualMemoryViews)
#include "tst_virtualmemoryviews.moc"
