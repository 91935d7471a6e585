#include "DesktopEntry.h"
#include "XdgAutostart.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString writeEntry(const QTemporaryDir &dir, const QByteArray &content)
{
    const QString path = dir.filePath(QStringLiteral("com.quarnell.sample.desktop"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

} // namespace

class TestDesktopEntry : public QObject
{
    Q_OBJECT

private slots:
    void splitsExecValues_data();
    void splitsExecValues();
    void refusesMalformedExecValues_data();
    void refusesMalformedExecValues();
    void readsTheMainGroupOnly_data();
    void readsTheMainGroupOnly();
    void roundTripsWrittenCommands_data();
    void roundTripsWrittenCommands();
    void launchRunsTheCommand();
    void launchRefusesEntriesWithoutCommand_data();
    void launchRefusesEntriesWithoutCommand();
};

void TestDesktopEntry::splitsExecValues_data()
{
    QTest::addColumn<QString>("exec");
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("program only") << "veskmirrel" << QStringList{"veskmirrel"};
    QTest::newRow("arguments and extra blanks") << "  /opt/tool   --a\t-b  " << QStringList{"/opt/tool", "--a", "-b"};
    QTest::newRow("quoted argument with a space") << "tool \"two words\"" << QStringList{"tool", "two words"};
    QTest::newRow("escapes inside quotes") << R"(tool "a \"q\" \$HOME \` \\ end")"
                                           << QStringList{"tool", R"(a "q" $HOME ` \ end)"};
    QTest::newRow("quotes join with plain text") << "tool pre\"fix x\"post" << QStringList{"tool", "prefix xpost"};
    QTest::newRow("empty quoted argument") << "tool \"\"" << QStringList{"tool", ""};
    QTest::newRow("file codes are dropped") << "tool %f %U --x" << QStringList{"tool", "--x"};
    QTest::newRow("deprecated codes are dropped") << "tool %d %D %n %N %v %m" << QStringList{"tool"};
    QTest::newRow("literal percent") << "tool 100%%" << QStringList{"tool", "100%"};
    QTest::newRow("icon code with an icon") << "tool %i" << QStringList{"tool", "--icon", "sample-icon"};
    QTest::newRow("name code") << "tool --title %c" << QStringList{"tool", "--title", "Sample Tool"};
    QTest::newRow("entry path code") << "tool %k" << QStringList{"tool", "/apps/sample.desktop"};
    QTest::newRow("code inside a word") << "tool --name=%c" << QStringList{"tool", "--name=Sample Tool"};
    QTest::newRow("equals sign needs no quotes") << "env A=1 tool" << QStringList{"env", "A=1", "tool"};
}

void TestDesktopEntry::splitsExecValues()
{
    QFETCH(QString, exec);
    const std::optional<QStringList> split = DesktopEntry::splitExec(
        exec, QStringLiteral("/apps/sample.desktop"), QStringLiteral("Sample Tool"), QStringLiteral("sample-icon"));
    QVERIFY(split);
    QTEST(*split, "arguments");
}

void TestDesktopEntry::refusesMalformedExecValues_data()
{
    QTest::addColumn<QString>("exec");

    QTest::newRow("unclosed quote") << "tool \"open";
    QTest::newRow("unknown field code") << "tool %z";
    QTest::newRow("percent at the end") << "tool %";
    QTest::newRow("shell pipe outside quotes") << "tool | other";
    QTest::newRow("variable outside quotes") << "tool $HOME";
    QTest::newRow("single quotes") << "tool 'a b'";
    QTest::newRow("unknown escape inside quotes") << R"(tool "a\n")";
}

void TestDesktopEntry::refusesMalformedExecValues()
{
    QFETCH(QString, exec);
    QVERIFY(!DesktopEntry::splitExec(exec));
}

void TestDesktopEntry::readsTheMainGroupOnly_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QStringList>("command");  // empty: none

    QTest::newRow("plain entry") << QByteArray("[Desktop Entry]\nType=Application\nName=S\nExec=tool --go\n")
                                 << QStringList{"tool", "--go"};
    QTest::newRow("action group after the main group")
        << QByteArray("[Desktop Entry]\nExec=tool\n\n[Desktop Action new]\nExec=tool --new\n")
        << QStringList{"tool"};
    QTest::newRow("only an action group has Exec")
        << QByteArray("[Desktop Entry]\nName=S\n[Desktop Action new]\nExec=tool --new\n") << QStringList{};
    QTest::newRow("comments and string escapes")
        << QByteArray("# comment\n[Desktop Entry]\n# Exec=wrong\nExec=tool \"a\\\\\\\\b\" x\\sy\n")
        << QStringList{"tool", "a\\b", "x", "y"};
    QTest::newRow("localized key is another key")
        << QByteArray("[Desktop Entry]\nExec[de]=werkzeug\nExec=tool\n") << QStringList{"tool"};
    QTest::newRow("empty Exec") << QByteArray("[Desktop Entry]\nExec=\n") << QStringList{};
    QTest::newRow("not a desktop entry") << QByteArray("\x89PNG\r\n\x1a\n") << QStringList{};
}

void TestDesktopEntry::readsTheMainGroupOnly()
{
    QFETCH(QByteArray, content);
    QFETCH(QStringList, command);
    QTemporaryDir dir;
    const QString path = writeEntry(dir, content);
    QVERIFY(!path.isEmpty());
    const std::optional<QStringList> read = DesktopEntry::command(path);
    QCOMPARE(read.has_value(), !command.isEmpty());
    if (read)
        QCOMPARE(*read, command);
}

void TestDesktopEntry::roundTripsWrittenCommands_data()
{
    QTest::addColumn<QStringList>("command");

    QTest::newRow("simple") << QStringList{"/usr/bin/tool", "--flag"};
    QTest::newRow("spaces and quotes") << QStringList{"/opt/My App/app", "say \"hi\""};
    QTest::newRow("shell characters") << QStringList{"/bin/tool", "$HOME", "a|b", "`x`", "c;d", "50%"};
    QTest::newRow("backslashes") << QStringList{"/bin/tool", "C:\\path\\to", "\\"};
    QTest::newRow("empty argument") << QStringList{"/bin/tool", ""};
}

void TestDesktopEntry::roundTripsWrittenCommands()
{
    QFETCH(QStringList, command);
    QTemporaryDir dir;
    const QString path =
        writeEntry(dir, "[Desktop Entry]\nType=Application\nExec=" + XdgAutostart::execLine(command).toUtf8() + "\n");
    QCOMPARE(DesktopEntry::command(path), std::optional<QStringList>(command));
}

void TestDesktopEntry::launchRunsTheCommand()
{
    QTemporaryDir dir;
    const QString marker = dir.filePath(QStringLiteral("launched here"));
    const QString path = writeEntry(
        dir, "[Desktop Entry]\nType=Application\nExec=" + XdgAutostart::execLine({"touch", marker}).toUtf8() + "\n");
    QVERIFY(DesktopEntry::launch(path));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
}

void TestDesktopEntry::launchRefusesEntriesWithoutCommand_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("no Exec") << QByteArray("[Desktop Entry]\nName=S\n");
    QTest::newRow("program not on PATH") << QByteArray("[Desktop Entry]\nExec=no-such-program-anywhere\n");
    QTest::newRow("malformed Exec") << QByteArray("[Desktop Entry]\nExec=tool \"open\n");
}

void TestDesktopEntry::launchRefusesEntriesWithoutCommand()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(!DesktopEntry::launch(writeEntry(dir, content)));
}

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "tst_desktopentry.moc"
