#include "helper_suitetestenvironment.h"

#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/System/VeskSingleInstance.h"
#include "VeskKit/System/VeskSuiteApp.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

class TestSuiteApp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void catalogRows_data();
    void catalogRows();
    void catalogNamingRules();
    void symbolsAreDistinctAndDrawable();
    void decodesOnlyExactRawValues_data();
    void decodesOnlyExactRawValues();
    void matchesRunningApplication_data();
    void matchesRunningApplication();
    void firstMatchingRunningApplicationWins();
    void installedLocationPrefersTheUsersFolder();
    void danglingEntryStillCountsAsInstalled();
    void launchWithoutRunningOrInstalledOpensNothing();
    void launchStartsTheInstalledEntry();
    void runningSiblingIsFoundAndRaised();

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestSuiteApp::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    useTemporaryXdgFolders(*m_home);
}

void TestSuiteApp::cleanup()
{
    m_home.reset();
}

void TestSuiteApp::catalogRows_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("rawValue");
    QTest::addColumn<QString>("bundleIdentifier");

    QTest::newRow("process killer") << 0 << "VeskHalvot" << "com.quarnell.veskhalvot";
    QTest::newRow("memory tool") << 1 << "VeskMirrel" << "com.quarnell.veskmirrel";
    QTest::newRow("system monitor") << 2 << "VeskTrenik" << "com.quarnell.vesktrenik";
    QTest::newRow("focus timer") << 6 << "VeskDovric" << "com.quarnell.veskdovric";
    QTest::newRow("task planner") << 7 << "VeskSelbar" << "com.quarnell.veskselbar";
    QTest::newRow("music player") << 28 << "VeskQuenby" << "com.quarnell.veskquenby";
    QTest::newRow("audio mixer") << 30 << "VeskPastin" << "com.quarnell.veskpastin";
}

void TestSuiteApp::catalogRows()
{
    QFETCH(int, position);
    QFETCH(QString, rawValue);
    QFETCH(QString, bundleIdentifier);

    QCOMPARE(VeskSuiteApp::allCases().size(), 49);
    const VeskSuiteApp app = VeskSuiteApp::allCases().at(position);
    QCOMPARE(app.rawValue(), rawValue);
    QCOMPARE(app.id(), rawValue);
    QCOMPARE(app.bundleIdentifier(), bundleIdentifier);
    QCOMPARE(VeskSuiteAppFromRaw(rawValue), std::optional<VeskSuiteApp>(app));
    QCOMPARE(app.toJson(), QJsonValue(rawValue));
}

void TestSuiteApp::catalogNamingRules()
{
    static const QRegularExpression productName(QStringLiteral("^Vesk[A-Z][a-z]+$"));
    QSet<QString> seen;
    for (const VeskSuiteApp app : VeskSuiteApp::allCases()) {
        QVERIFY2(productName.match(app.rawValue()).hasMatch(), qPrintable(app.rawValue()));
        QVERIFY2(!seen.contains(app.rawValue()), qPrintable(app.rawValue()));
        seen.insert(app.rawValue());
        QCOMPARE(VeskSuiteApp::fromRawValue(app.rawValue()), std::optional<VeskSuiteApp>(app));
        QCOMPARE(qHash(app), qHash(app.rawValue()));
    }
}

void TestSuiteApp::symbolsAreDistinctAndDrawable()
{
    QSet<QString> symbols;
    for (const VeskSuiteApp app : VeskSuiteApp::allCases()) {
        QVERIFY2(VeskSymbol::contains(app.symbolName()), qPrintable(app.symbolName()));
        symbols.insert(app.symbolName());
    }
    QCOMPARE(symbols.size(), VeskSuiteApp::caseCount);
}

void TestSuiteApp::decodesOnlyExactRawValues_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("decodes");

    QTest::newRow("exact raw value") << QByteArray(R"(["VeskMirrel"])") << true;
    QTest::newRow("lower case") << QByteArray(R"(["veskmirrel"])") << false;
    QTest::newRow("bundle identifier") << QByteArray(R"(["com.quarnell.veskmirrel"])") << false;
    QTest::newRow("case name") << QByteArray(R"(["veskMirrel"])") << false;
    QTest::newRow("padded") << QByteArray(R"([" VeskMirrel"])") << false;
    QTest::newRow("number") << QByteArray(R"([1])") << false;
    QTest::newRow("null") << QByteArray(R"([null])") << false;
}

void TestSuiteApp::decodesOnlyExactRawValues()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, decodes);
    const QJsonValue value = QJsonDocument::fromJson(json).array().at(0);
    const std::optional<VeskSuiteApp> app = VeskSuiteApp::fromJson(value);
    QCOMPARE(app.has_value(), decodes);
    if (decodes)
        QCOMPARE(*app, VeskSuiteApp::veskMirrel);
}

void TestSuiteApp::matchesRunningApplication_data()
{
    QTest::addColumn<std::optional<QString>>("bundleIdentifier");
    QTest::addColumn<std::optional<QString>>("name");
    QTest::addColumn<bool>("matches");

    using S = std::optional<QString>;
    QTest::newRow("identifier in other letter case") << S("COM.Quarnell.VeskMirrel") << S() << true;
    QTest::newRow("name in lower case, no identifier") << S() << S("veskmirrel") << true;
    QTest::newRow("name in upper case, no identifier") << S() << S("VESKMIRREL") << true;
    QTest::newRow("other identifier but matching name") << S("org.example.tool") << S("VeskMirrel") << true;
    QTest::newRow("other identifier and name") << S("org.example.tool") << S("Tool") << false;
    QTest::newRow("name is the bundle identifier") << S() << S("com.quarnell.veskmirrel") << false;
    QTest::newRow("name with suffix") << S() << S("VeskMirrelHelper") << false;
    QTest::newRow("neither value") << S() << S() << false;
}

void TestSuiteApp::matchesRunningApplication()
{
    QFETCH(std::optional<QString>, bundleIdentifier);
    QFETCH(std::optional<QString>, name);
    QFETCH(bool, matches);
    const VeskRunningApplication running{42, bundleIdentifier, name};
    QCOMPARE(VeskSuiteApp(VeskSuiteApp::veskMirrel).matches(running), matches);
}

void TestSuiteApp::firstMatchingRunningApplicationWins()
{
    const QList<VeskRunningApplication> running{
        {10, QStringLiteral("org.example.other"), QStringLiteral("Other")},
        {11, std::nullopt, QStringLiteral("vesktrenik")},
        {12, QStringLiteral("com.quarnell.vesktrenik"), QStringLiteral("VeskTrenik")},
    };
    const std::optional<VeskRunningApplication> found =
        VeskSuiteApp(VeskSuiteApp::veskTrenik).runningApplication(running);
    QVERIFY(found);
    QCOMPARE(found->processIdentifier, 11);
    QVERIFY(!VeskSuiteApp(VeskSuiteApp::veskMirrel).runningApplication(running));
}

void TestSuiteApp::installedLocationPrefersTheUsersFolder()
{
    const VeskSuiteApp app = VeskSuiteApp::veskMirrel;
    QVERIFY(!app.isInstalled());

    const QString system = installDesktopEntry(m_home->filePath(QStringLiteral("system/applications")),
                                               app.bundleIdentifier(), QStringLiteral("true"));
    QCOMPARE(app.installedURL(), std::optional<QUrl>(QUrl::fromLocalFile(system)));

    const QString own = installDesktopEntry(m_home->filePath(QStringLiteral("data/applications")),
                                            app.bundleIdentifier(), QStringLiteral("true"));
    QCOMPARE(app.installedURL(), std::optional<QUrl>(QUrl::fromLocalFile(own)));
    QVERIFY(app.isInstalled());
    QVERIFY(!VeskSuiteApp(VeskSuiteApp::veskHalvot).isInstalled());
}

void TestSuiteApp::danglingEntryStillCountsAsInstalled()
{
    const QString folder = m_home->filePath(QStringLiteral("data/applications"));
    QDir().mkpath(folder);
    const QString link = folder + QStringLiteral("/com.quarnell.veskhalvot.desktop");
    QVERIFY(QFile::link(m_home->filePath(QStringLiteral("missing-target")), link));
    QCOMPARE(VeskSuiteApp(VeskSuiteApp::veskHalvot).installedURL(), std::optional<QUrl>(QUrl::fromLocalFile(link)));
}

void TestSuiteApp::launchWithoutRunningOrInstalledOpensNothing()
{
    QVERIFY(!VeskSuiteApp(VeskSuiteApp::veskQuenby).isRunning());
    QVERIFY(!VeskSuiteApp(VeskSuiteApp::veskQuenby).launch());
}

void TestSuiteApp::launchStartsTheInstalledEntry()
{
    const QString marker = m_home->filePath(QStringLiteral("started"));
    installDesktopEntry(m_home->filePath(QStringLiteral("data/applications")), QStringLiteral("com.quarnell.veskpastin"),
                        QStringLiteral("touch ") + marker);
    QVERIFY(VeskSuiteApp(VeskSuiteApp::veskPastin).launch());
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
}

void TestSuiteApp::runningSiblingIsFoundAndRaised()
{
    const VeskSuiteApp app = VeskSuiteApp::veskSelbar;
    QVERIFY(!app.isRunning());

    // The sibling's own single-instance socket, as a suite application
    // linking the kit would listen on it.
    VeskSingleInstance sibling(app.bundleIdentifier());
    QCOMPARE(sibling.claim(), VeskSingleInstance::Role::primary);
    QSignalSpy reopened(&sibling, &VeskSingleInstance::reopenRequested);

    NamedProcess process;
    QVERIFY(process.start(*m_home, QStringLiteral("VeskSelbar")));
    QTRY_VERIFY(app.isRunning());
    // Running wins over installing: nothing is installed, yet launch raises.
    QVERIFY(!app.isInstalled());
    QVERIFY(app.launch());
    QTRY_COMPARE(reopened.count(), 1);

    process.stop();
    QVERIFY(!app.isRunning());
    QVERIFY(!app.launch());
}

QTEST_MAIN(TestSuiteApp)
#include "tst_suiteapp.moc"
