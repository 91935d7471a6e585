#include "VeskKit/System/VeskDesktopApplicationId.h"
#include "VeskKit/System/VeskLaunchAtLogin.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

class tst_LaunchAtLogin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void desktopId_data();
    void desktopId();
    void switchesTheAutostartEntry();
    void failedSwitchKeepsReportingTheRealState();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedConfigHome;
};

void tst_LaunchAtLogin::init()
{
    // Before the temporary folder, whose name is made from the application name.
    QCoreApplication::setApplicationName(QStringLiteral("VeskZul"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quarnell.com"));
    QGuiApplication::setDesktopFileName(QString());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
}

void tst_LaunchAtLogin::cleanup()
{
    qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    m_dir.reset();
}

void tst_LaunchAtLogin::desktopId_data()
{
    QTest::addColumn<QString>("desktopFileName");
    QTest::addColumn<QString>("domain");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("reversed domain") << QString() << "quarnell.com" << "VeskZul" << "com.quarnell.VeskZul";
    QTest::newRow("no domain") << QString() << QString() << "VeskZul" << "com.quarnell.VeskZul";
    QTest::newRow("desktop file wins") << "org.example.Notes.desktop" << "quarnell.com" << "VeskZul"
                                       << "org.example.Notes";
    QTest::newRow("unsafe characters") << QString() << "quarnell.com" << "Vesk Zul/2" << "com.quarnell.Vesk-Zul-2";
}

void tst_LaunchAtLogin::desktopId()
{
    QFETCH(QString, desktopFileName);
    QFETCH(QString, domain);
    QFETCH(QString, name);
    QFETCH(QString, expected);

    QGuiApplication::setDesktopFileName(desktopFileName);
    QCoreApplication::setOrganizationDomain(domain);
    QCoreApplication::setApplicationName(name);
    QCOMPARE(veskDesktopApplicationId(), expected);
}

void tst_LaunchAtLogin::switchesTheAutostartEntry()
{
    const QString entry = m_dir->filePath("config/autostart/com.quarnell.VeskZul.desktop");
    QVERIFY(!VeskLaunchAtLogin::isEnabled());

    QVERIFY(VeskLaunchAtLogin::setEnabled(true));
    QVERIFY(VeskLaunchAtLogin::isEnabled());
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    // The entry starts this very executable.
    QVERIFY2(text.contains("\nExec=" + QCoreApplication::applicationFilePath().toUtf8() + "\n"), text.constData());

    QVERIFY(VeskLaunchAtLogin::setEnabled(false));
    QVERIFY(!VeskLaunchAtLogin::isEnabled());
    QVERIFY(!QFile::exists(entry));
    QVERIFY(VeskLaunchAtLogin::setEnabled(false));
}

void tst_LaunchAtLogin::failedSwitchKeepsReportingTheRealState()
{
    QFile blocker(m_dir->filePath("config"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!VeskLaunchAtLogin::setEnabled(true));
    QVERIFY(!VeskLaunchAtLogin::isEnabled());
}

QTEST_MAIN(tst_LaunchAtLogin)
#include "tst_launchatlogin.moc"
