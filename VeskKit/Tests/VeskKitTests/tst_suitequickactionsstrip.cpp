#include "helper_suitetestenvironment.h"

#include "VeskKit/Design/VeskCapsuleBadge.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSuiteQuickActionsStrip.h"
#include "VeskKit/Design/VeskTextLine.h"
#include "VeskKit/System/VeskSuiteCommandBus.h"

#include <QScrollArea>
#include <QLayout>
#include <QTest>

using Chip = VeskSuiteQuickActionsStrip::Chip;

namespace {

VeskVirtualMemorySummary summaryWithFrozen(qint64 frozen)
{
    VeskVirtualMemorySummary summary;
    summary.frozenAppCount = frozen;
    return summary;
}

VeskHalvotLiveStatus halvotWithProblems(qint64 problems)
{
    return VeskHalvotLiveStatus(QDateTime::currentDateTimeUtc(), 4242, 300, problems, problems, {}, 0, {}, {}, 0, 0);
}

QStringList titles(const VeskSuiteQuickActionsStrip &strip)
{
    QStringList shown;
    for (const VeskCapsuleBadge *button : strip.chipButtons())
        shown << button->text();
    return shown;
}

} // namespace

class TestSuiteQuickActionsStrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void whichChips_data();
    void whichChips();
    void countsInTitles_data();
    void countsInTitles();
    void chipLook_data();
    void chipLook();
    void commandsAndTooltips();
    void tapSendsTheCommand_data();
    void tapSendsTheCommand();
    void tapOnAMissingSiblingReportsIt_data();
    void tapOnAMissingSiblingReportsIt();

private:
    void install(VeskSuiteApp app);

    PrivateSessionBus m_bus;
    QTemporaryDir m_home;
};

void TestSuiteQuickActionsStrip::initTestCase()
{
    QVERIFY(m_bus.start());
    QVERIFY(m_home.isValid());
    // The strip sends through the shared bus, whose folder is fixed on first
    // use: one temporary home for the whole run.
    useTemporaryXdgFolders(m_home);
}

void TestSuiteQuickActionsStrip::init()
{
    QDir(m_home.filePath("data/applications")).removeRecursively();
    QDir(VeskSuiteCommandBus::shared().commandsDirectory()).removeRecursively();
}

void TestSuiteQuickActionsStrip::install(VeskSuiteApp app)
{
    QVERIFY(!installDesktopEntry(m_home.filePath("data/applications"), app.bundleIdentifier(), "true").isEmpty());
}

void TestSuiteQuickActionsStrip::whichChips_data()
{
    QTest::addColumn<int>("host");
    QTest::addColumn<QList<int>>("installed");
    QTest::addColumn<bool>("compact");
    QTest::addColumn<QStringList>("chips");

    const int mirrel = VeskSuiteApp::veskMirrel;
    const int halvot = VeskSuiteApp::veskHalvot;
    const int trenik = VeskSuiteApp::veskTrenik;
    QTest::newRow("memory tool alone, hosting itself") << mirrel << QList<int>{mirrel} << false << QStringList();
    QTest::newRow("nothing installed") << int(VeskSuiteApp::veskDovric) << QList<int>{} << false << QStringList();
    QTest::newRow("process killer hosts, full")
        << halvot << QList<int>{mirrel, trenik} << false
        << QStringList{"Smart RAM Offload", "Virtual Disk Lab", "Trenik HUD", "Thermals & Fan"};
    QTest::newRow("process killer hosts, compact")
        << halvot << QList<int>{mirrel, trenik} << true << QStringList{"Smart RAM Offload", "Trenik HUD"};
    QTest::newRow("installed process killer hosting itself shows no chips of its own")
        << halvot << QList<int>{halvot, trenik} << true << QStringList{"Trenik HUD"};
    QTest::newRow("other host, all three, full")
        << int(VeskSuiteApp::veskSelbar) << QList<int>{trenik, halvot, mirrel} << false
        << QStringList{"Smart RAM Offload", "Virtual Disk Lab", "Kill Frozen", "Target Window", "Quick Kill HUD",
                       "24h Usage", "Trenik HUD", "Thermals & Fan"};
    QTest::newRow("other host, all three, compact")
        << int(VeskSuiteApp::veskSelbar) << QList<int>{trenik, halvot, mirrel} << true
        << QStringList{"Smart RAM Offload", "Kill Frozen", "Target Window", "Quick Kill HUD", "Trenik HUD"};
}

void TestSuiteQuickActionsStrip::whichChips()
{
    QFETCH(int, host);
    QFETCH(QList<int>, installed);
    QFETCH(bool, compact);
    QFETCH(QStringList, chips);
    for (int app : installed)
        install(VeskSuiteApp::Value(app));
    QWidget window;
    auto *strip = new VeskSuiteQuickActionsStrip(VeskSuiteApp::Value(host), std::nullopt, std::nullopt,
                                                 VeskLanguage::en, compact, {}, &window);
    window.show();
    QCOMPARE(titles(*strip), chips);
    QCOMPARE(strip->chips().size(), chips.size());
    QCOMPARE(strip->isVisible(), !chips.isEmpty());
    const auto *caption = strip->findChild<VeskTextLine *>("captionText");
    QCOMPARE(caption != nullptr, !chips.isEmpty() && !compact);
    if (caption)
        QCOMPARE(caption->text(), QStringLiteral("Suite Actions"));
    if (chips.isEmpty())
        return;
    QCOMPARE(strip->findChild<QWidget *>("chipRow")->layout()->contentsMargins(),
             compact ? QMargins(2, 0, 2, 0) : QMargins(14, 7, 14, 7));
    // Only the full bar has a background: drawn on a clear image without any
    // window background, the compact row leaves its margin untouched.
    QImage image(strip->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    strip->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QCOMPARE(image.pixelColor(1, 1).alpha() > 0, !compact);
}

void TestSuiteQuickActionsStrip::countsInTitles_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<qint64>("frozen");
    QTest::addColumn<qint64>("problems");
    QTest::addColumn<QStringList>("chips");

    QTest::newRow("no frozen apps, no problems")
        << int(VeskLanguage::en) << qint64(0) << qint64(0)
        << QStringList{"Smart RAM Offload", "Kill Frozen", "Target Window", "Quick Kill HUD"};
    QTest::newRow("three frozen, two problems")
        << int(VeskLanguage::en) << qint64(3) << qint64(2)
        << QStringList{"Smart RAM Offload", "Thaw Apps (3)", "Kill Frozen (2)", "Target Window", "Quick Kill HUD"};
    QTest::newRow("Turkish")
        << int(VeskLanguage::tr) << qint64(3) << qint64(2)
        << QStringList{"Akıllı RAM Aç", "Donukları Uyandır (3)", "Donmuşları Öldür (2)", "Pencere Hedefle",
                       "Hızlı Öldür HUD"};
}

void TestSuiteQuickActionsStrip::countsInTitles()
{
    QFETCH(int, language);
    QFETCH(qint64, frozen);
    QFETCH(qint64, problems);
    QFETCH(QStringList, chips);
    install(VeskSuiteApp::veskMirrel);
    install(VeskSuiteApp::veskHalvot);
    const VeskSuiteQuickActionsStrip strip(VeskSuiteApp::veskTrenik, summaryWithFrozen(frozen),
                                           halvotWithProblems(problems), VeskLanguage(VeskLanguage::Value(language)),
                                           true, {});
    QCOMPARE(titles(strip), chips);
}

void TestSuiteQuickActionsStrip::chipLook_data()
{
    QTest::addColumn<qint64>("problems");
    QTest::addColumn<bool>("emphasized");

    QTest::newRow("plain kill chip") << qint64(0) << false;
    QTest::newRow("kill chip with problems stands out") << qint64(2) << true;
}

void TestSuiteQuickActionsStrip::chipLook()
{
    QFETCH(qint64, problems);
    QFETCH(bool, emphasized);
    install(VeskSuiteApp::veskHalvot);
    const VeskSuiteQuickActionsStrip strip(VeskSuiteApp::veskMirrel, std::nullopt, halvotWithProblems(problems),
                                           VeskLanguage::en, false, {});
    const VeskCapsuleBadge *kill = strip.chipButtons().at(0);
    const QColor danger = VeskGlassTokens::danger();
    QCOMPARE(strip.chips().at(0).emphasized, emphasized);
    QCOMPARE(kill->look().foreground, emphasized ? QColor(Qt::white) : danger);
    QVERIFY(qAbs(kill->look().fill.alphaF() - (emphasized ? 0.3 : 0.14)) < 0.01);
    QVERIFY(qAbs(kill->look().border.alphaF() - (emphasized ? 0.65 : 0.32)) < 0.01);
    QCOMPARE(kill->look().fill.rgb(), danger.rgb());
    QCOMPARE(kill->look().symbol, QStringLiteral("xmark.octagon.fill"));
    QCOMPARE(kill->look().horizontalPadding, 10.0);
    // The neighbour keeps its own tint whatever the count.
    const VeskCapsuleBadge *target = strip.chipButtons().at(1);
    QCOMPARE(target->look().foreground, VeskSuiteQuickActionsStrip::processKillerTint());
}

void TestSuiteQuickActionsStrip::commandsAndTooltips()
{
    for (VeskSuiteApp app : {VeskSuiteApp::veskMirrel, VeskSuiteApp::veskHalvot, VeskSuiteApp::veskTrenik})
        install(app);
    const VeskSuiteQuickActionsStrip strip(VeskSuiteApp::veskQuenby, summaryWithFrozen(1), std::nullopt,
                                           VeskLanguage::tr, false, {});
    struct Expected {
        VeskSuiteApp target;
        VeskSuiteCommandKind kind;
        bool front;
        const char *tooltip;
    };
    const QList<Expected> expected{
        {VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelSmartOffload, false,
         "Arka planda VeskMirrel akıllı bellek rahatlatmayı çalıştır"},
        {VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelThawAll, false,
         "VeskMirrel tarafından dondurulan tüm uygulamaları uyandır"},
        {VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelOpenDiskLab, true,
         "VeskMirrel Sanal Disk ve Bellek Havuzu Laboratuvarını aç"},
        {VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotKillAllFrozen, false,
         "Yanıt vermeyen/donmuş uygulamaları VeskHalvot ile sonlandır"},
        {VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotTargetWindow, false,
         "Herhangi bir donmuş pencereyi tıklayıp öldürmek için VeskHalvot nişangahını aç"},
        {VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotToggleQuickHud, false,
         "VeskHalvot yüzen Hızlı Öldürme panelini aç/kapat"},
        {VeskSuiteApp::veskHalvot, VeskSuiteCommandKind::halvotOpenAnalytics, true,
         "VeskHalvot 24 saatlik CPU / RAM / Disk analizini aç"},
        {VeskSuiteApp::veskTrenik, VeskSuiteCommandKind::trenikToggleHud, false,
         "VeskTrenik masaüstü yüzen sensör HUD'unu aç/kapat"},
        {VeskSuiteApp::veskTrenik, VeskSuiteCommandKind::trenikOpenThermals, true,
         "VeskTrenik canlı sıcaklık sensörleri, fan RPM ve güç ekranını aç"},
    };
    QCOMPARE(strip.chips().size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const Chip &chip = strip.chips().at(i);
        QCOMPARE(chip.target, expected.at(i).target);
        QCOMPARE(chip.kind, expected.at(i).kind);
        QCOMPARE(chip.bringToFront, expected.at(i).front);
        QCOMPARE(strip.chipButtons().at(i)->toolTip(), QString::fromUtf8(expected.at(i).tooltip));
    }
}

void TestSuiteQuickActionsStrip::tapSendsTheCommand_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("chip");
    QTest::addColumn<QString>("message");

    QTest::newRow("smart offload") << int(VeskLanguage::en) << 0 << "Sent Smart RAM Offload to VeskMirrel";
    QTest::newRow("disk lab, Turkish") << int(VeskLanguage::tr) << 1 << "VeskMirrel Sanal Disk Laboratuvarı açılıyor";
    QTest::newRow("thermals") << int(VeskLanguage::en) << 3 << "Opening VeskTrenik Thermals & Power";
}

void TestSuiteQuickActionsStrip::tapSendsTheCommand()
{
    QFETCH(int, language);
    QFETCH(int, chip);
    QFETCH(QString, message);
    install(VeskSuiteApp::veskMirrel);
    install(VeskSuiteApp::veskTrenik);
    QStringList messages;
    VeskSuiteQuickActionsStrip strip(VeskSuiteApp::veskHalvot, std::nullopt, std::nullopt,
                                     VeskLanguage(VeskLanguage::Value(language)), false,
                                     [&](const QString &text) { messages << text; });
    strip.resize(900, strip.sizeHint().height());
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    VeskCapsuleBadge *button = strip.chipButtons().at(chip);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(messages, QStringList{message});
    const Chip &sent = strip.chips().at(chip);
    const std::optional<VeskSuiteCommandEnvelope> pending =
        VeskSuiteCommandBus::shared().peekPendingCommand(sent.target, QDateTime::currentDateTimeUtc(), 60);
    QVERIFY(pending);
    QCOMPARE(pending->kind, sent.kind);
    QCOMPARE(pending->sourceApp, VeskSuiteApp(VeskSuiteApp::veskHalvot));
    QVERIFY(!pending->targetPID);
    QVERIFY(!pending->payload);
}

void TestSuiteQuickActionsStrip::tapOnAMissingSiblingReportsIt_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("exec");  // the entry's command by then
    QTest::addColumn<QString>("message");

    QTest::newRow("English") << int(VeskLanguage::en) << "uninstalled" << "VeskHalvot is not installed";
    QTest::newRow("Turkish") << int(VeskLanguage::tr) << "uninstalled" << "VeskHalvot kurulu değil";
    QTest::newRow("entry that cannot start") << int(VeskLanguage::en) << "/dev/null" << "VeskHalvot is not installed";
}

void TestSuiteQuickActionsStrip::tapOnAMissingSiblingReportsIt()
{
    QFETCH(int, language);
    QFETCH(QString, exec);
    QFETCH(QString, message);
    install(VeskSuiteApp::veskHalvot);
    QStringList messages;
    VeskSuiteQuickActionsStrip strip(VeskSuiteApp::veskMirrel, std::nullopt, std::nullopt,
                                     VeskLanguage(VeskLanguage::Value(language)), false,
                                     [&](const QString &text) { messages << text; });
    QCOMPARE(strip.chips().at(3).kind, VeskSuiteCommandKind::halvotOpenAnalytics);
    // Uninstalled, or left unable to start, after the strip was built: the chip is still there.
    QDir(m_home.filePath("data/applications")).removeRecursively();
    if (exec != u"uninstalled")
        installDesktopEntry(m_home.filePath("data/applications"), "com.quarnell.veskhalvot", exec);
    strip.resize(900, strip.sizeHint().height());
    strip.show();
    QVERIFY(QTest::qWaitForWindowExposed(&strip));
    VeskCapsuleBadge *button = strip.chipButtons().at(3);
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
    QCOMPARE(messages, QStringList{message});
    QVERIFY(!QFileInfo::exists(VeskSuiteCommandBus::shared().commandFilePath(VeskSuiteApp::veskHalvot)));
}

QTEST_MAIN(TestSuiteQuickActionsStrip)
#include "tst_suitequickactionsstrip.moc"
