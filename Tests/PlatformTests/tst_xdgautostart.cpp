#include "XdgAutostart.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class tst_XdgAutostart : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void execLineQuoting_data();
    void execLineQuoting();
    void enabledState_data();
    void enabledState();
    void enableWritesEntryAndDisableRemovesIt();
    void configHomeFallsBackToHome_data();
    void configHomeFallsBackToHome();
    void unwritableFolderFailsWithoutEntry();
    void badApplicationIdsAreRefused_data();
    void badApplicationIdsAreRefused();
    void launchCommand_data();
    void launchCommand();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedConfigHome;
    QByteArray m_savedHome;
};

void tst_XdgAutostart::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    m_savedHome = qgetenv("HOME");
    qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
    qputenv("HOME", m_dir->filePath("home").toUtf8());
}

void tst_XdgAutostart::cleanup()
{
    qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    qputenv("HOME", m_savedHome);
    m_dir.reset();
}

void tst_XdgAutostart::execLineQuoting_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain path") << QStringList{"/usr/bin/veskzul"} << QStringLiteral("/usr/bin/veskzul");
    QTest::newRow("space") << QStringList{"/opt/Vesk Zul/veskzul"} << QStringLiteral("\"/opt/Vesk Zul/veskzul\"");
    QTest::newRow("double quotes") << QStringList{"/a/b", "say \"hi\""} << QStringLiteral("/a/b \"say \\\\\"hi\\\\\"\"");
    QTest::newRow("dollar") << QStringList{"/a/$HOME"} << QStringLiteral("\"/a/\\\\$HOME\"");
    QTest::newRow("backtick") << QStringList{"/a/`x`"} << QStringLiteral("\"/a/\\\\`x\\\\`\"");
    QTest::newRow("backslash") << QStringList{"/a/b\\c"} << QStringLiteral("\"/a/b\\\\\\\\c\"");
    QTest::newRow("percent") << QStringList{"/a/100%"} << QStringLiteral("/a/100%%");
    QTest::newRow("single quote") << QStringList{"/a/it's"} << QStringLiteral("\"/a/it's\"");
    QTest::newRow("empty argument") << QStringList{"/a", ""} << QStringLiteral("/a \"\"");
    QTest::newRow("non-ascii kept") << QStringList{"/home/çağ/veskzul"} << QStringLiteral("/home/çağ/veskzul");
}

void tst_XdgAutostart::execLineQuoting()
{
    QFETCH(QStringList, command);
    QFETCH(QString, expected);
    QCOMPARE(XdgAutostart::execLine(command), expected);
}

void tst_XdgAutostart::enabledState_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("plain entry") << QByteArray("[Desktop Entry]\nType=Application\nExec=x\n") << true;
    QTest::newRow("hidden") << QByteArray("[Desktop Entry]\nType=Application\nHidden=true\nExec=x\n") << false;
    QTest::newRow("hidden with spaces") << QByteArray("[Desktop Entry]\nHidden = true\n") << false;
    QTest::newRow("hidden false") << QByteArray("[Desktop Entry]\nHidden=false\n") << true;
    QTest::newRow("hidden in another group")
        << QByteArray("[Desktop Entry]\nExec=x\n[Desktop Action Quit]\nHidden=true\n") << true;
    QTest::newRow("commented out") << QByteArray("[Desktop Entry]\n# Hidden=true\n") << true;
    QTest::newRow("off for GNOME") << QByteArray("[Desktop Entry]\nX-GNOME-Autostart-enabled=false\n") << false;
    QTest::newRow("empty file") << QByteArray() << true;
}

void tst_XdgAutostart::enabledState()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, enabled);

    const QString id = QStringLiteral("com.quarnell.VeskZul");
    QVERIFY(!XdgAutostart::isEnabled(id));
    QVERIFY(QDir().mkpath(XdgAutostart::autostartDirectory()));
    QFile file(XdgAutostart::entryPath(id));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();
    QCOMPARE(XdgAutostart::isEnabled(id), enabled);
}

void tst_XdgAutostart::enableWritesEntryAndDisableRemovesIt()
{
    const QString id = QStringLiteral("com.quarnell.VeskZul");
    const QString path = m_dir->filePath("config/autostart/com.quarnell.VeskZul.desktop");
    QCOMPARE(XdgAutostart::entryPath(id), path);

    QVERIFY(XdgAutostart::enable(id, QStringLiteral("VeskZul"), {"/opt/Vesk Zul/veskzul"}));
    QVERIFY(XdgAutostart::isEnabled(id));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    QVERIFY(text.contains("\nType=Application\n"));
    QVERIFY(text.contains("\nName=VeskZul\n"));
    QVERIFY(text.contains("\nExec=\"/opt/Vesk Zul/veskzul\"\n"));
    file.close();

    // A hidden entry left by a desktop's settings panel is replaced.
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nHidden=true\n");
    file.close();
    QVERIFY(!XdgAutostart::isEnabled(id));
    QVERIFY(XdgAutostart::enable(id, QStringLiteral("VeskZul"), {"/usr/bin/veskzul"}));
    QVERIFY(XdgAutostart::isEnabled(id));

    QVERIFY(XdgAutostart::disable(id));
    QVERIFY(!QFile::exists(path));
    QVERIFY(!XdgAutostart::isEnabled(id));
    QVERIFY(XdgAutostart::disable(id)); // nothing left to remove is no failure
}

void tst_XdgAutostart::configHomeFallsBackToHome_data()
{
    QTest::addColumn<QByteArray>("configHome");
    QTest::newRow("unset") << QByteArray();
    QTest::newRow("relative is ignored") << QByteArray("relative/config");
}

void tst_XdgAutostart::configHomeFallsBackToHome()
{
    QFETCH(QByteArray, configHome);
    if (configHome.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(XdgAutostart::autostartDirectory(), m_dir->filePath("home/.config/autostart"));
}

void tst_XdgAutostart::unwritableFolderFailsWithoutEntry()
{
    // The config home is a file, so no autostart folder can exist below it.
    QFile blocker(m_dir->filePath("config"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!XdgAutostart::enable(QStringLiteral("com.quarnell.VeskZul"), QStringLiteral("VeskZul"), {"/x"}));
    QVERIFY(!XdgAutostart::isEnabled(QStringLiteral("com.quarnell.VeskZul")));
}

void tst_XdgAutostart::badApplicationIdsAreRefused_data()
{
    QTest::addColumn<QString>("id");
    QTest::newRow("empty") << QString();
    QTest::newRow("slash") << QStringLiteral("../escape");
    QTest::newRow("dot dot") << QStringLiteral("..");
    QTest::newRow("space") << QStringLiteral("com.quarnell.Vesk Zul");
}

void tst_XdgAutostart::badApplicationIdsAreRefused()
{
    QFETCH(QString, id);
    QVERIFY(!XdgAutostart::enable(id, QStringLiteral("x"), {"/x"}));
    QVERIFY(!XdgAutostart::isEnabled(id));
    QVERIFY(!QFile::exists(m_dir->filePath("config/escape.desktop")));
}

void tst_XdgAutostart::launchCommand_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("executable");
    QTest::addColumn<bool>("byName");

    QTest::newRow("installed on PATH") << "bin" << "bin/veskzul" << true;
    QTest::newRow("PATH holds a link to it") << "links" << "opt/veskzul" << true;
    QTest::newRow("build folder, another copy installed") << "bin" << "build/veskzul" << false;
    QTest::newRow("nothing of its name on PATH") << "links/none" << "build/veskzul" << false;
}

void tst_XdgAutostart::launchCommand()
{
    QFETCH(QString, path);
    QFETCH(QString, executable);
    QFETCH(bool, byName);
    for (const char *copy : {"bin", "opt", "build"}) {
        QVERIFY(QDir(m_dir->path()).mkpath(copy));
        QFile program(m_dir->filePath(copy + QStringLiteral("/veskzul")));
        QVERIFY(program.open(QIODevice::WriteOnly));
        program.setPermissions(program.permissions() | QFile::ExeOwner);
    }
    QVERIFY(QDir(m_dir->path()).mkpath("links/none"));
    QVERIFY(QFile::link(m_dir->filePath("opt/veskzul"), m_dir->filePath("links/veskzul")));
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", m_dir->filePath(path).toUtf8());
    const QStringList command = XdgAutostart::launchCommand(m_dir->filePath(executable));
    qputenv("PATH", savedPath);
    QCOMPARE(command, byName ? QStringList{"veskzul"} : QStringList{m_dir->filePath(executable)});
}

QTEST_GUILESS_MAIN(tst_XdgAutostart)
#include "tst_xdgautostart.moc"
