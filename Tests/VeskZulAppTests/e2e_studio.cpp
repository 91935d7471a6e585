// Drives the real application on an X server: types into a new note with
// xdotool, quits it with SIGTERM and checks what reached the notes file and
// the screen. Registered with CTest only where xvfb-run, xdotool and import
// exist, and run under xvfb-run.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// Runs a helper tool to its end and returns its standard output.
QByteArray run(const QString &program, const QStringList &arguments, int timeoutMs = 60000, bool *ok = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(timeoutMs);
    const bool success = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (ok)
        *ok = success;
    if (!success)
        qWarning().noquote() << program << arguments.join(' ') << "failed:" << process.readAllStandardError();
    return process.readAllStandardOutput();
}

QByteArray xdotool(const QStringList &arguments, bool *ok = nullptr)
{
    return run(QStringLiteral("xdotool"), arguments, 60000, ok);
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Bright pixels (result text) in a rectangle of the screenshot.
int brightPixels(const QImage &image, const QRect &area, int above = 150)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(image.pixel(x, y)) > above)
                ++count;
    return count;
}

// The middles of the runs of rows holding ink in a rectangle of the
// screenshot, top to bottom: one per chip in the result gutter (the dimmer
// grey of a task's toggle included).
QList<int> inkedRows(const QImage &image, const QRect &area)
{
    QList<int> middles;
    int first = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const bool inked = brightPixels(image, QRect(area.left(), y, area.width(), 1), 90) > 0;
        if (inked && first < 0)
            first = y;
        if (!inked && first >= 0) {
            middles.append((first + y - 1) / 2);
            first = -1;
        }
    }
    return middles;
}

// The application started on the X server with a home of its own, its
// studio window found and measured.
class RunningStudio {
public:
    RunningStudio()
    {
        QVERIFY(m_home.isValid());
        const QDir root(m_home.path());
        for (const char *folder : {"data", "config", "cache", "runtime"})
            QVERIFY(root.mkpath(QString::fromLatin1(folder)));
        QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_home.path());
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
        environment.insert("XDG_CACHE_HOME", root.filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        environment.insert("LANG", "en_US.UTF-8");
        environment.insert("LC_ALL", "en_US.UTF-8");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("LANGUAGE");

        m_app.setProcessEnvironment(environment);
        m_app.setProcessChannelMode(QProcess::ForwardedChannels);
        m_app.start(QStringLiteral(VESK_APP_EXECUTABLE), {});
        QVERIFY(m_app.waitForStarted(30000));

        bool ok = false;
        const QByteArray found = xdotool({"search", "--sync", "--onlyvisible", "--name", "^VeskZul$"}, &ok);
        QVERIFY2(ok, "the studio window never appeared");
        window = QString::fromLatin1(found).split('\n', Qt::SkipEmptyParts).value(0);
        QVERIFY(!window.isEmpty());

        const QByteArray shape = xdotool({"getwindowgeometry", "--shell", window});
        for (const QByteArray &line : shape.split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() != 2)
                continue;
            const int value = pair[1].toInt();
            if (pair[0] == "X")
                geometry.x = value;
            else if (pair[0] == "Y")
                geometry.y = value;
            else if (pair[0] == "WIDTH")
                geometry.width = value;
            else if (pair[0] == "HEIGHT")
                geometry.height = value;
        }
    }

    ~RunningStudio()
    {
        if (m_app.state() != QProcess::NotRunning) {
            m_app.kill();
            m_app.waitForFinished(10000);
        }
    }

    QString path(const QString &name) const { return QDir(m_home.path()).filePath(name); }

    // Keys as xdotool names them ("ctrl+n", "Return").
    void key(const QString &keys) { xdotool({"key", "--clearmodifiers", keys}); }
    // Lines typed one after the other, Return between them.
    void type(const QStringList &lines)
    {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                key(QStringLiteral("Return"));
            xdotool({"type", "--delay", "40", "--", lines.at(i)});
        }
    }
    void click(const QPoint &point)
    {
        xdotool({"mousemove", "--sync", QString::number(point.x()), QString::number(point.y())});
        xdotool({"click", "1"});
    }

    QImage screenshot(const QString &name)
    {
        bool ok = false;
        run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path(name)}, 60000, &ok);
        return ok ? QImage(path(name)) : QImage();
    }

    // The notes as notes.json holds them now.
    QJsonArray storedNotes() const
    {
        QFile notesFile(path("data/Quarnell/VeskZul/notes.json"));
        return notesFile.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(notesFile.readAll()).array()
                                                    : QJsonArray();
    }

    // Ends the application as a logout would; what it saved by then.
    QJsonArray quit()
    {
        ::kill(pid_t(m_app.processId()), SIGTERM);
        const bool clean =
            m_app.waitForFinished(60000) && m_app.exitStatus() == QProcess::NormalExit && m_app.exitCode() == 0;
        return clean ? storedNotes() : QJsonArray();
    }

    QString window;
    Geometry geometry;

private:
    QTemporaryDir m_home;
    QProcess m_app;
};

QStringList contentsOf(const QJsonArray &notes)
{
    QStringList contents;
    for (const QJsonValue &value : notes)
        contents.append(value.toObject().value("content").toString());
    return contents;
}

} // namespace

class EndToEndStudio : public QObject {
    Q_OBJECT
private slots:
    void init();
    void typedNoteIsSavedAndComputed();
    void typingAtOnceGoesIntoTheSelectedNote();
    void taskToggleAndTypingBeforeItAreUndone();
    void findBarFindsAndHandsBackTheCaret();
};

void EndToEndStudio::init()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");
}

void EndToEndStudio::typedNoteIsSavedAndComputed()
{
    RunningStudio studio;
    if (QTest::currentTestFailed())
        return;
    const Geometry &geometry = studio.geometry;
    QCOMPARE(geometry.width, 1180);
    QCOMPARE(geometry.height, 740);

    xdotool({"windowfocus", "--sync", studio.window});
    // A new note from the command menu's shortcut; the keyboard goes into
    // its text without a click.
    studio.key(QStringLiteral("ctrl+n"));
    QTest::qWait(1500);
    const QImage before = studio.screenshot("before.png");
    QVERIFY(!before.isNull());

    const QStringList lines = {QStringLiteral("price = 1200"), QStringLiteral("price * 2"),
                               QStringLiteral("15% of 80")};
    const QString typed = lines.join(QLatin1Char('\n'));
    studio.type(lines);
    // Past the save pause.
    QTest::qWait(2000);
    const QImage after = studio.screenshot("after.png");
    QVERIFY(!after.isNull());

    const QJsonArray notes = studio.quit();
    QVERIFY(!notes.isEmpty());
    int matches = 0;
    for (const QJsonValue &value : notes) {
        const QJsonObject note = value.toObject();
        if (note.value("content").toString() == typed) {
            ++matches;
            QCOMPARE(note.value("title").toString(), QString("New Note"));
        }
    }
    QVERIFY2(matches == 1, qPrintable(contentsOf(notes).join("\n----\n")));

    // The result gutter: the right-hand column of the editor, below the
    // note's header, above its status bar. Results appeared there.
    const QRect gutter(geometry.x + geometry.width - 168 - 8, geometry.y + 52 + 60, 168, geometry.height - 52 - 60 - 80);
    const int resultInk = brightPixels(after, gutter) - brightPixels(before, gutter);
    QVERIFY2(resultInk > 40, qPrintable(QString("bright pixels added in the gutter: %1").arg(resultInk)));
}

void EndToEndStudio::typingAtOnceGoesIntoTheSelectedNote()
{
    RunningStudio studio;
    if (QTest::currentTestFailed())
        return;
    // Spaces included: a header button holding the keyboard would take them
    // (the first opens the drawer).
    xdotool({"windowfocus", "--sync", studio.window});
    xdotool({"type", "--delay", "40", "7 * 6 "});
    const QStringList contents = contentsOf(studio.quit());
    QVERIFY2(contents.filter(QRegularExpression("^7 \\* 6 \\S")).size() == 1, qPrintable(contents.join("\n----\n")));
}

void EndToEndStudio::taskToggleAndTypingBeforeItAreUndone()
{
    RunningStudio studio;
    if (QTest::currentTestFailed())
        return;
    const Geometry &geometry = studio.geometry;
    xdotool({"windowfocus", "--sync", studio.window});
    studio.key(QStringLiteral("ctrl+n"));
    QTest::qWait(1000);
    studio.type({QStringLiteral("rent = 5"), QStringLiteral("- [ ] milk")});
    QTest::qWait(800);
    // The second chip in the result gutter is the task's toggle.
    const QRect gutter(geometry.x + geometry.width - 168, geometry.y + 52 + 60, 160, 120);
    const QList<int> chips = inkedRows(studio.screenshot("typed.png"), gutter);
    QVERIFY(chips.size() >= 2);
    studio.click(QPoint(gutter.right() - 30, chips.at(1)));

    // Each step waits out the save pause and reads what was saved.
    for (const QString &expected : {QStringLiteral("rent = 5\n- [x] milk"), QStringLiteral("rent = 5\n- [ ] milk")}) {
        QTest::qWait(1000);
        const QStringList contents = contentsOf(studio.storedNotes());
        QVERIFY2(contents.contains(expected), qPrintable(contents.join("|")));
        studio.key(QStringLiteral("ctrl+z"));
    }
    // The second Undo went on into the typing before the toggle.
    const QStringList last = contentsOf(studio.quit()).filter("rent = 5\n");
    QVERIFY2(last.size() == 1 && last[0].size() < 18 && QString("rent = 5\n- [ ] milk").startsWith(last[0]),
             qPrintable(last.join("|")));
}

void EndToEndStudio::findBarFindsAndHandsBackTheCaret()
{
    RunningStudio studio;
    if (QTest::currentTestFailed())
        return;
    xdotool({"windowfocus", "--sync", studio.window});
    studio.key(QStringLiteral("ctrl+n"));
    QTest::qWait(1000);
    studio.type({QStringLiteral("price = 150"), QStringLiteral("7 * 2")});
    studio.key(QStringLiteral("ctrl+f"));
    studio.type({QStringLiteral("150")});
    // Enter finds it; Escape hands the caret back at the match, so what is
    // typed after it lands right behind the found text.
    for (const char *key : {"Return", "Escape", "Right"})
        studio.key(QString::fromLatin1(key));
    studio.type({QStringLiteral("!")});
    QTest::qWait(500);
    const QStringList contents = contentsOf(studio.quit());
    QVERIFY2(contents.contains("price = 150!\n7 * 2"), qPrintable(contents.join("\n----\n")));
}

QTEST_GUILESS_MAIN(EndToEndStudio)
#include "e2e_studio.moc"
