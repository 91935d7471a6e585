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

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// Bright pixels (result text) in a rectangle of the screenshot.
int brightPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(image.pixel(x, y)) > 150)
                ++count;
    return count;
}

// One run of the application in a private home; killed if the test ends first.
struct AppRun {
    QTemporaryDir home;
    QDir root{home.path()};
    QProcess app;

    AppRun()
    {
        for (const char *folder : {"data/Quarnell/VeskZul", "config", "cache", "runtime"})
            root.mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                            QFileDevice::ExeOwner);
    }

    ~AppRun()
    {
        if (app.state() != QProcess::NotRunning) {
            app.kill();
            app.waitForFinished(10000);
        }
    }

    QString store(const QString &name) const { return root.filePath("data/Quarnell/VeskZul/" + name); }

    bool start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
        environment.insert("XDG_CACHE_HOME", root.filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        environment.insert("LANG", "en_US.UTF-8");
        environment.insert("LC_ALL", "en_US.UTF-8");
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("LANGUAGE");
        app.setProcessEnvironment(environment);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        app.start(QStringLiteral(VESK_APP_EXECUTABLE), {});
        return home.isValid() && app.waitForStarted(30000);
    }
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The studio window's id, once it is shown.
QString studioWindow()
{
    bool ok = false;
    const QByteArray found = run(QStringLiteral("xdotool"),
                                 {"search", "--sync", "--onlyvisible", "--name", "^VeskZul$"}, 120000, &ok);
    return ok ? QString::fromLatin1(found).split('\n', Qt::SkipEmptyParts).value(0) : QString();
}

Geometry geometryOf(const QString &window)
{
    Geometry geometry;
    const QByteArray shape = run(QStringLiteral("xdotool"), {"getwindowgeometry", "--shell", window});
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
    return geometry;
}

// A new note from the command menu's shortcut, then the caret into its text.
void startNewNote(const QString &window, const Geometry &geometry)
{
    run(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "ctrl+n"});
    QTest::qWait(1500);
    const int textX = geometry.x + 268 + 1 + (geometry.width - 268 - 168) / 2;
    const int textY = geometry.y + geometry.height / 2;
    run(QStringLiteral("xdotool"), {"mousemove", "--sync", QString::number(textX), QString::number(textY)});
    run(QStringLiteral("xdotool"), {"click", "1"});
    QTest::qWait(500);
}

} // namespace

class EndToEndStudio : public QObject {
    Q_OBJECT
private slots:
    void typedNoteIsSavedAndComputed();
    void notesRepairedWhileRunningAreKept();

private:
    QImage screenshot(const QString &path);
};

QImage EndToEndStudio::screenshot(const QString &path)
{
    bool ok = false;
    run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}, 60000, &ok);
    return ok ? QImage(path) : QImage();
}

void EndToEndStudio::typedNoteIsSavedAndComputed()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");

    AppRun session;
    QVERIFY(session.start());
    const QDir &root = session.root;
    QProcess &app = session.app;

    const QString window = studioWindow();
    QVERIFY2(!window.isEmpty(), "the studio window never appeared");
    const Geometry geometry = geometryOf(window);
    QCOMPARE(geometry.width, 1180);
    QCOMPARE(geometry.height, 740);

    startNewNote(window, geometry);
    const QImage before = screenshot(root.filePath("before.png"));
    QVERIFY(!before.isNull());

    const QStringList lines = {QStringLiteral("price = 1200"), QStringLiteral("price * 2"),
                               QStringLiteral("15% of 80")};
    const QString typed = lines.join(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", "Return"});
        run(QStringLiteral("xdotool"), {"type", "--delay", "40", lines.at(i)});
    }
    // Past the save pause.
    QTest::qWait(2000);
    const QImage after = screenshot(root.filePath("after.png"));
    QVERIFY(!after.isNull());

    ::kill(pid_t(app.processId()), SIGTERM);
    QVERIFY(app.waitForFinished(60000));
    QCOMPARE(app.exitStatus(), QProcess::NormalExit);
    QCOMPARE(app.exitCode(), 0);

    const QJsonDocument document = QJsonDocument::fromJson(readAll(session.store("notes.json")));
    QVERIFY(document.isArray());
    QStringList contents;
    int matches = 0;
    for (const QJsonValue &value : document.array()) {
        const QJsonObject note = value.toObject();
        contents.append(note.value("content").toString());
        if (note.value("content").toString() == typed) {
            ++matches;
            QCOMPARE(note.value("title").toString(), QString("New Note"));
        }
    }
    QVERIFY2(matches == 1, qPrintable(contents.join("\n----\n")));

    // The result gutter: the right-hand column of the editor, below the
    // note's header, above its status bar. Results appeared there.
    const QRect gutter(geometry.x + geometry.width - 168 - 8, geometry.y + 52 + 60, 168, geometry.height - 52 - 60 - 80);
    const int resultInk = brightPixels(after, gutter) - brightPixels(before, gutter);
    QVERIFY2(resultInk > 40, qPrintable(QString("bright pixels added in the gutter: %1").arg(resultInk)));
}

void EndToEndStudio::notesRepairedWhileRunningAreKept()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");

    AppRun session;
    const QByteArray repaired = R"([{"content": "rent = 900", "createdAt": "2025-01-10T12:00:00Z",
        "id": "6F9619FF-8B86-D011-B42D-00CF4FC964FF", "isEphemeral": false, "isFloatingSticky": false,
        "isPinned": true, "tags": [], "tint": "amber", "title": "Repaired", "updatedAt": "2025-01-10T12:00:00Z"}])";
    const QByteArray truncated = repaired.left(repaired.size() / 2);
    const auto writeNotes = [&session](const QByteArray &bytes) {
        QFile file(session.store("notes.json"));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    QVERIFY(writeNotes(truncated));
    QVERIFY(session.start());
    const QString window = studioWindow();
    QVERIFY2(!window.isEmpty(), "the studio window never appeared");

    // Told at start that the file could not be read, the user repairs it.
    QVERIFY(writeNotes(repaired));
    startNewNote(window, geometryOf(window));
    run(QStringLiteral("xdotool"), {"type", "--delay", "20", "typed here"});
    QTest::qWait(500);
    ::kill(pid_t(session.app.processId()), SIGTERM);
    QVERIFY(session.app.waitForFinished(60000));
    QCOMPARE(session.app.exitCode(), 0);

    // The repaired and the unreadable file are both kept beside the new one.
    const QDir store(session.store(QString()));
    const QStringList kept = store.entryList({"notes.json.*"}, QDir::Files, QDir::Name);
    QCOMPARE(kept.size(), 2);
    QVERIFY(kept.at(0).startsWith("notes.json.replaced-") && kept.at(1).startsWith("notes.json.unreadable-"));
    QCOMPARE(readAll(store.filePath(kept.at(0))), repaired);
    QCOMPARE(readAll(store.filePath(kept.at(1))), truncated);
    QVERIFY(readAll(session.store("notes.json")).contains("\"content\": \"typed here\""));

    // The start-up toast's copy, named in the log beside it.
    QStringList log;
    for (const QString &file : QDir(session.store("logs")).entryList(QDir::Files))
        for (const QByteArray &line : readAll(session.store("logs/" + file)).split('\n'))
            log << QJsonDocument::fromJson(line).object().value("message").toString();
    QVERIFY2(!log.filter(store.filePath(kept.at(1))).isEmpty(), qPrintable(log.join('\n')));
}

QTEST_GUILESS_MAIN(EndToEndStudio)
#include "e2e_studio.moc"
