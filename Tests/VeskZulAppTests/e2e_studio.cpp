// Drives the real application on an X server without a tray: types into a
// new note with xdotool, raises a toast, quits, kills it, and checks what
// reached the notes file and the screen. Registered with CTest only where
// xvfb-run, xdotool and import exist, and run under xvfb-run.

#include <QDir>
#include <QElapsedTimer>
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

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Pixels in a rectangle of the screenshot that pass a test.
int countPixels(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &test)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (test(image.pixel(x, y)))
                ++count;
    return count;
}

// Bright pixels (result text) in a rectangle of the screenshot.
int brightPixels(const QImage &image, const QRect &area, int above = 150)
{
    return countPixels(image, area, [above](QRgb pixel) { return qGray(pixel) > above; });
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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

class EndToEndStudio : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typedNoteIsSavedAndComputed();
    void copiedToastShowsOnScreen();
    void quitting_data();
    void quitting();
    void steadyTypingSurvivesAKill();
    void notesRepairedWhileRunningAreKept();
    void typingAtOnceGoesIntoTheSelectedNote();
    void taskToggleAndTypingBeforeItAreUndone();
    void findBarFindsAndHandsBackTheCaret();

private:
    QImage screenshot(const QString &name);
    // Starts the application in a home of its own, on `notesFile` as its
    // notes when given; the keyboard is in its studio window when it returns.
    void launch(const QByteArray &notesFile = {});
    // A file of the application's store folder.
    QString store(const QString &name) const
    {
        return QDir(m_home->path()).filePath("data/Quarnell/VeskZul/" + name);
    }
    // A new note from the command menu's shortcut; the keyboard goes into
    // its text without a click.
    void newNote();
    void xdotool(const QStringList &arguments) { run(QStringLiteral("xdotool"), arguments); }
    // Keys as xdotool names them ("ctrl+n", "Return").
    void key(const QString &keys) { xdotool({"key", "--clearmodifiers", keys}); }
    // Lines typed one after the other, Return between them.
    void type(const QStringList &lines);
    void click(const QPoint &point);
    // Ends the application as a logout would.
    void quit();
    // The contents of the notes in the notes file, all of them or those
    // titled "New Note".
    QStringList contentsOnDisk() const;
    QStringList newNotesOnDisk() const;

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QProcess> m_app;
    Geometry m_geometry;
};

void EndToEndStudio::init()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");
}

void EndToEndStudio::cleanup()
{
    if (m_app && m_app->state() != QProcess::NotRunning) {
        m_app->kill();
        m_app->waitForFinished(10000);
    }
    if (m_app && QTest::currentTestFailed())
        qWarning().noquote() << "the application's standard error:" << m_app->readAllStandardError();
    m_app.reset();
    m_home.reset();
}

QImage EndToEndStudio::screenshot(const QString &name)
{
    bool ok = false;
    const QString path = QDir(m_home->path()).filePath(name);
    run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}, 60000, &ok);
    return ok ? QImage(path) : QImage();
}

void EndToEndStudio::launch(const QByteArray &notesFile)
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    const QDir root(m_home->path());
    for (const char *folder : {"data/Quarnell/VeskZul", "config", "cache", "runtime"})
        QVERIFY(root.mkpath(QString::fromLatin1(folder)));
    if (!notesFile.isNull())
        QVERIFY(writeFile(store("notes.json"), notesFile));
    QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", m_home->path());
    environment.insert("XDG_DATA_HOME", root.filePath("data"));
    environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
    environment.insert("XDG_CACHE_HOME", root.filePath("cache"));
    environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
    environment.insert("LANG", "en_US.UTF-8");
    environment.insert("LC_ALL", "en_US.UTF-8");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("LANGUAGE");

    m_app = std::make_unique<QProcess>();
    m_app->setProcessEnvironment(environment);
    // Read by the test: Qt's warnings, and the sanitizers' reports.
    m_app->setProcessChannelMode(QProcess::ForwardedOutputChannel);
    m_app->start(QStringLiteral(VESK_APP_EXECUTABLE), {});
    QVERIFY(m_app->waitForStarted(30000));

    bool ok = false;
    const QByteArray found = run(QStringLiteral("xdotool"),
                                 {"search", "--sync", "--onlyvisible", "--name", "^VeskZul$"}, 120000, &ok);
    QVERIFY2(ok, "the studio window never appeared");
    const QString window = QString::fromLatin1(found).split('\n', Qt::SkipEmptyParts).value(0);
    QVERIFY(!window.isEmpty());

    const QByteArray shape = run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", window});
    for (const QByteArray &line : shape.split('\n')) {
        const QList<QByteArray> pair = line.split('=');
        if (pair.size() != 2)
            continue;
        const int value = pair[1].toInt();
        if (pair[0] == "X")
            m_geometry.x = value;
        else if (pair[0] == "Y")
            m_geometry.y = value;
        else if (pair[0] == "WIDTH")
            m_geometry.width = value;
        else if (pair[0] == "HEIGHT")
            m_geometry.height = value;
    }
    QCOMPARE(m_geometry.width, 1180);
    QCOMPARE(m_geometry.height, 740);
    xdotool({"windowfocus", "--sync", window});
}

void EndToEndStudio::newNote()
{
    key(QStringLiteral("ctrl+n"));
    QTest::qWait(1000);
}

void EndToEndStudio::type(const QStringList &lines)
{
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            key(QStringLiteral("Return"));
        xdotool({"type", "--delay", "40", "--", lines.at(i)});
    }
}

void EndToEndStudio::click(const QPoint &point)
{
    xdotool({"mousemove", "--sync", QString::number(point.x()), QString::number(point.y())});
    xdotool({"click", "1"});
}

void EndToEndStudio::quit()
{
    ::kill(pid_t(m_app->processId()), SIGTERM);
    QVERIFY(m_app->waitForFinished(60000));
    QCOMPARE(m_app->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_app->exitCode(), 0);
}

QStringList EndToEndStudio::contentsOnDisk() const
{
    QStringList contents;
    for (const QJsonValue &value : QJsonDocument::fromJson(readFile(store("notes.json"))).array())
        contents.append(value.toObject().value("content").toString());
    return contents;
}

QStringList EndToEndStudio::newNotesOnDisk() const
{
    QStringList contents;
    for (const QJsonValue &value : QJsonDocument::fromJson(readFile(store("notes.json"))).array()) {
        if (value.toObject().value("title").toString() == QLatin1String("New Note"))
            contents.append(value.toObject().value("content").toString());
    }
    return contents;
}

void EndToEndStudio::typedNoteIsSavedAndComputed()
{
    launch();
    if (QTest::currentTestFailed())
        return;
    newNote();
    const QImage before = screenshot("before.png");
    QVERIFY(!before.isNull());

    const QStringList lines = {QStringLiteral("price = 1200"), QStringLiteral("price * 2"),
                               QStringLiteral("15% of 80")};
    type(lines);
    // Past the save pause.
    QTest::qWait(2000);
    const QImage after = screenshot("after.png");
    QVERIFY(!after.isNull());

    quit();
    QCOMPARE(newNotesOnDisk(), QStringList{lines.join(QLatin1Char('\n'))});

    // The result gutter: the right-hand column of the editor, below the
    // note's header, above its status bar. Results appeared there.
    const Geometry &geometry = m_geometry;
    const QRect gutter(geometry.x + geometry.width - 168 - 8, geometry.y + 52 + 60, 168, geometry.height - 52 - 60 - 80);
    const int resultInk = brightPixels(after, gutter) - brightPixels(before, gutter);
    QVERIFY2(resultInk > 40, qPrintable(QString("bright pixels added in the gutter: %1").arg(resultInk)));
}

void EndToEndStudio::copiedToastShowsOnScreen()
{
    launch();
    if (QTest::currentTestFailed())
        return;
    const QImage before = screenshot("before.png");
    xdotool({"key", "--clearmodifiers", "ctrl+alt+c"});
    QTest::qWait(800); // risen and faded in, well inside its 2.4 s
    const QImage shown = screenshot("toast.png");

    // The banner's green check and white message, centred near the bottom.
    const QRect band(m_geometry.x + m_geometry.width / 2 - 300, m_geometry.y + m_geometry.height - 100, 600, 100);
    const auto check = [](QRgb pixel) {
        return std::abs(qRed(pixel) - 62) + std::abs(qGreen(pixel) - 230) + std::abs(qBlue(pixel) - 168) < 16;
    };
    QVERIFY(countPixels(before, band, check) == 0);
    QVERIFY(countPixels(shown, band, check) >= 20);
    QVERIFY(brightPixels(shown, band) > brightPixels(before, band) + 40);
    ::kill(pid_t(m_app->processId()), SIGTERM);
    QVERIFY(m_app->waitForFinished(60000));
    QVERIFY(!m_app->readAllStandardError().contains("Painter"));
}

void EndToEndStudio::quitting_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("Ctrl+Q") << "ctrl+q";
    QTest::newRow("closing the studio window") << "close";
}

void EndToEndStudio::quitting()
{
    QFETCH(QString, gesture);
    launch();
    if (QTest::currentTestFailed())
        return;
    newNote();
    // Left inside its save pause.
    xdotool({"type", "--delay", "20", "rent = 950"});
    if (gesture == "ctrl+q") {
        xdotool({"key", "--clearmodifiers", "ctrl+q"});
    } else {
        // The red disc of the window's own controls at its top-left corner.
        xdotool({"mousemove", "--sync", QString::number(m_geometry.x + 27), QString::number(m_geometry.y + 26)});
        xdotool({"click", "1"});
    }
    QVERIFY2(m_app->waitForFinished(20000), "the application kept running");
    QCOMPARE(m_app->exitCode(), 0);
    QCOMPARE(newNotesOnDisk(), QStringList{"rent = 950"});
}

void EndToEndStudio::steadyTypingSurvivesAKill()
{
    launch();
    if (QTest::currentTestFailed())
        return;
    newNote();
    const QString typed = QStringLiteral("abcdefghij").repeated(40);
    QElapsedTimer typing;
    typing.start();
    xdotool({"type", "--delay", "30", typed});
    const double keysPerSecond = typed.size() * 1000.0 / std::max<qint64>(1, typing.elapsed());
    ::kill(pid_t(m_app->processId()), SIGKILL);
    QVERIFY(m_app->waitForFinished(60000));

    // Everything but about the last 2 s of keys made it to disk.
    const QString saved = newNotesOnDisk().value(0);
    QVERIFY(typed.startsWith(saved));
    qInfo("%d of %d keys on disk after a kill, typed at %.0f keys/s", int(saved.size()), int(typed.size()),
          keysPerSecond);
    QVERIFY(typed.size() - saved.size() <= keysPerSecond * 2.5);
}

void EndToEndStudio::notesRepairedWhileRunningAreKept()
{
    const QByteArray repaired = R"([{"content": "rent = 900", "createdAt": "2025-01-10T12:00:00Z",
        "id": "6F9619FF-8B86-D011-B42D-00CF4FC964FF", "isEphemeral": false, "isFloatingSticky": false,
        "isPinned": true, "tags": [], "tint": "amber", "title": "Repaired", "updatedAt": "2025-01-10T12:00:00Z"}])";
    const QByteArray truncated = repaired.left(repaired.size() / 2);
    launch(truncated);
    if (QTest::currentTestFailed())
        return;

    // Told at start that the file could not be read, the user repairs it.
    QVERIFY(writeFile(store("notes.json"), repaired));
    newNote();
    xdotool({"type", "--delay", "20", "typed here"});
    QTest::qWait(500);
    quit();

    // The repaired and the unreadable file are both kept beside the new one.
    const QDir folder(store(QString()));
    const QStringList kept = folder.entryList({"notes.json.*"}, QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), 2);
    QVERIFY(kept.at(0).startsWith("notes.json.replaced-") && kept.at(1).startsWith("notes.json.unreadable-"));
    QCOMPARE(readFile(folder.filePath(kept.at(0))), repaired);
    QCOMPARE(readFile(folder.filePath(kept.at(1))), truncated);
    QCOMPARE(newNotesOnDisk(), QStringList{QStringLiteral("typed here")});

    // The start-up toast's copy, named in the log beside it.
    QStringList log;
    for (const QString &file : QDir(store("logs")).entryList(QDir::Files))
        for (const QByteArray &line : readFile(store("logs/" + file)).split('\n'))
            log << QJsonDocument::fromJson(line).object().value("message").toString();
    QVERIFY2(!log.filter(folder.filePath(kept.at(1))).isEmpty(), qPrintable(log.join('\n')));
}

void EndToEndStudio::typingAtOnceGoesIntoTheSelectedNote()
{
    launch();
    if (QTest::currentTestFailed())
        return;
    // Spaces included: a header button holding the keyboard would take them
    // (the first opens the drawer).
    xdotool({"type", "--delay", "40", "7 * 6 "});
    quit();
    const QStringList contents = contentsOnDisk();
    QVERIFY2(contents.filter(QRegularExpression("^7 \\* 6 \\S")).size() == 1, qPrintable(contents.join("\n----\n")));
}

void EndToEndStudio::taskToggleAndTypingBeforeItAreUndone()
{
    launch();
    if (QTest::currentTestFailed())
        return;
    newNote();
    type({QStringLiteral("rent = 5"), QStringLiteral("- [ ] milk")});
    QTest::qWait(800);
    // The second chip in the result gutter is the task's toggle.
    const QRect gutter(m_geometry.x + m_geometry.width - 168, m_geometry.y + 52 + 60, 160, 120);
    const QList<int> chips = inkedRows(screenshot("typed.png"), gutter);
    QVERIFY(chips.size() >= 2);
    click(QPoint(gutter.right() - 30, chips.at(1)));

    // Each step waits out the save pause and reads what was saved.
    for (const QString &expected : {QStringLiteral("rent = 5\n- [x] milk"), QStringLiteral("rent = 5\n- [ ] milk")}) {
        QTest::qWait(1000);
        const QStringList contents = contentsOnDisk();
        QVERIFY2(contents.contains(expected), qPrintable(contents.join("|")));
        key(QStringLiteral("ctrl+z"));
    }
    // The second Undo went on into the typing before the toggle.
    quit();
    const QStringList last = contentsOnDisk().filter("rent = 5\n");
    QVERIFY2(last.size() == 1 && last[0].size() < 18 && QString("rent = 5\n- [ ] milk").startsWith(last[0]),
             qPrintable(last.join("|")));
}

void EndToEndStudio::findBarFindsAndHandsBackTheCaret()
{
    launch();
    if (QTest::currentTestFailed())
        return;
    newNote();
    type({QStringLiteral("price = 150"), QStringLiteral("7 * 2")});
    key(QStringLiteral("ctrl+f"));
    type({QStringLiteral("150")});
    // Enter finds it; Escape hands the caret back at the match, so what is
    // typed after it lands right behind the found text.
    for (const char *name : {"Return", "Escape", "Right"})
        key(QString::fromLatin1(name));
    type({QStringLiteral("!")});
    QTest::qWait(500);
    quit();
    const QStringList contents = contentsOnDisk();
    QVERIFY2(contents.contains("price = 150!\n7 * 2"), qPrintable(contents.join("\n----\n")));
}

QTEST_GUILESS_MAIN(EndToEndStudio)
#include "e2e_studio.moc"
