// Drives the real application on an X server without a tray: types into it
// with xdotool, raises a toast, ends it and checks what reached the notes file
// and the screen. Registered with CTest only where xvfb-run, xdotool and
// import exist, and run under xvfb-run.

#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

#include <sys/stat.h>

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
int brightPixels(const QImage &image, const QRect &area)
{
    return countPixels(image, area, [](QRgb pixel) { return qGray(pixel) > 150; });
}

// The contents of the notes in a notes file, those titled `title` when given.
QStringList contentsIn(const QString &notesFile, const QString &title = {})
{
    QFile file(notesFile);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    QStringList contents;
    for (const QJsonValue &value : QJsonDocument::fromJson(bytes).array()) {
        if (title.isEmpty() || value.toObject().value("title").toString() == title)
            contents.append(value.toObject().value("content").toString());
    }
    return contents;
}

// A compressed catalog of LZFSE blocks whose tables give one symbol in every
// state: each block of 128 bytes asks for a million commands that read no
// bits and produce nothing.
QByteArray idleCatalog(int blocks)
{
    QByteArray table(96, '\0');
    int bit = 0;
    // Each table: its first symbol's frequency in the 14-bit code, the others' zeros in 2 bits each.
    for (const auto &[frequency, others] : {std::pair{64, 19}, {64, 19}, {256, 63}, {1024, 255}}) {
        const quint32 code = 15u | quint32(frequency - 24) << 4;
        for (int i = 0; i < 14; ++i, ++bit)
            table[bit / 8] = char(table[bit / 8] | ((code >> i) & 1u) << (bit % 8));
        bit += 2 * others;
    }
    QByteArray block("bvx2");
    for (const quint64 word : {0xfffffULL << 40 | 7ULL << 60, 7ULL << 60, quint64(32 + table.size())}) {
        const quint64 bytes = qToLittleEndian(word);
        block += QByteArray(reinterpret_cast<const char *>(&bytes), 8);
    }
    block.insert(4, QByteArray(4, '\0'));  // no byte of output
    return (block + table).repeated(blocks) + "bvx$";
}

} // namespace

class EndToEndStudio : public QObject {
    Q_OBJECT
private slots:
    void typedNoteIsSavedAndComputed_data();
    void typedNoteIsSavedAndComputed();
    void oddFileDoesNotHoldUpStart_data();
    void oddFileDoesNotHoldUpStart();
    void stoppedCopyKeepsItsDataFolder();

private:
    QImage screenshot(const QString &path);
};

QImage EndToEndStudio::screenshot(const QString &path)
{
    bool ok = false;
    run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path}, 60000, &ok);
    return ok ? QImage(path) : QImage();
}

void EndToEndStudio::typedNoteIsSavedAndComputed_data()
{
    // How the run ends: as at a logout, by the window's close disc (with no
    // tray that quits), or killed amid steady typing.
    QTest::addColumn<QString>("ending");
    QTest::newRow("logout") << "logout";
    QTest::newRow("window closed") << "close";
    QTest::newRow("killed while typing") << "kill";
    // Ctrl+Q while a rate refresh waits on a host-name lookup that never ends.
    QTest::newRow("quit amid a lookup") << "quit";
}

void EndToEndStudio::typedNoteIsSavedAndComputed()
{
    QFETCH(QString, ending);
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");

    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QDir root(home.path());
    for (const char *folder : {"data", "config", "cache", "runtime"})
        QVERIFY(root.mkpath(QString::fromLatin1(folder)));
    QFile::setPermissions(root.filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner);

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

    QProcess app;
    app.setProcessEnvironment(environment);
    // Read by the test: Qt's warnings, and the sanitizers' reports.
    app.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    if (ending == "quit") {
        // Its hosts file a pipe nobody writes: every lookup waits on it.
        const QString hosts = root.filePath("hosts");
        bool ok = false;
        run("unshare", {"-rm", "true"}, 10000, &ok);
        if (!ok || ::mkfifo(QFile::encodeName(hosts).constData(), 0600) != 0)
            QSKIP("no user and mount namespaces here to hold a lookup");
        app.start("unshare", {"-rm", "sh", "-c", "mount --bind \"$0\" /etc/hosts && exec \"$1\"", hosts,
                              VESK_APP_EXECUTABLE});
    } else {
        app.start(QStringLiteral(VESK_APP_EXECUTABLE), {});
    }
    QVERIFY(app.waitForStarted(30000));
    auto stopApp = qScopeGuard([&app] {
        if (app.state() != QProcess::NotRunning) {
            app.kill();
            app.waitForFinished(10000);
        }
        if (QTest::currentTestFailed())
            qWarning().noquote() << "the application's standard error:" << app.readAllStandardError();
    });

    bool ok = false;
    const QByteArray found = run(QStringLiteral("xdotool"),
                                 {"search", "--sync", "--onlyvisible", "--name", "^VeskZul$"}, 120000, &ok);
    QVERIFY2(ok, "the studio window never appeared");
    const QString window = QString::fromLatin1(found).split('\n', Qt::SkipEmptyParts).value(0);
    QVERIFY(!window.isEmpty());

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
    QCOMPARE(geometry.width, 1180);
    QCOMPARE(geometry.height, 740);

    run(QStringLiteral("xdotool"), {"windowfocus", "--sync", window});
    const auto key = [](const QString &keys) { run(QStringLiteral("xdotool"), {"key", "--clearmodifiers", keys}); };
    const auto type = [](const QString &text, int delayMs = 40) {
        run(QStringLiteral("xdotool"), {"type", "--delay", QString::number(delayMs), text});
    };
    const auto click = [&geometry](int x, int y) { // in the window
        run(QStringLiteral("xdotool"),
            {"mousemove", "--sync", QString::number(geometry.x + x), QString::number(geometry.y + y)});
        run(QStringLiteral("xdotool"), {"click", "1"});
    };
    // Typed at once into the selected note, spaces included, which a header
    // button holding the keyboard would take (the first opens the drawer).
    // Then, from the search field, a new note from the command menu's
    // shortcut, whose text takes the keyboard without a click.
    type(QStringLiteral("7 * 6 "));
    click(144, 80);
    key(QStringLiteral("ctrl+n"));
    QTest::qWait(1000);
    const QString notesFile = root.filePath("data/Quarnell/VeskZul/notes.json");
    const QImage before = screenshot(root.filePath("before.png"));
    QVERIFY(!before.isNull());

    const QStringList lines = {QStringLiteral("price = 1200"), QStringLiteral("price * 2"),
                               QStringLiteral("15% of 80")};
    const QString typed = lines.join(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            key(QStringLiteral("Return"));
        type(lines.at(i));
    }
    // Past the save pause.
    QTRY_COMPARE_WITH_TIMEOUT(contentsIn(notesFile, "New Note"), QStringList{typed}, 10000);
    const QImage after = screenshot(root.filePath("after.png"));
    QVERIFY(!after.isNull());
    // The result gutter: the right-hand column of the editor, below the
    // note's header, above its status bar. Results appeared there.
    const QRect gutter(geometry.x + geometry.width - 168 - 8, geometry.y + 52 + 60, 168, geometry.height - 52 - 60 - 80);
    const int resultInk = brightPixels(after, gutter) - brightPixels(before, gutter);
    QVERIFY2(resultInk > 40, qPrintable(QString("bright pixels added in the gutter: %1").arg(resultInk)));

    // Copying the note raises a toast: the banner's green check and white
    // message, centred near the bottom.
    key(QStringLiteral("ctrl+alt+c"));
    QTest::qWait(800); // risen and faded in, well inside its 2.4 s
    const QImage toast = screenshot(root.filePath("toast.png"));
    const QRect band(geometry.x + geometry.width / 2 - 300, geometry.y + geometry.height - 100, 600, 100);
    const auto check = [](QRgb pixel) {
        return std::abs(qRed(pixel) - 62) + std::abs(qGreen(pixel) - 230) + std::abs(qBlue(pixel) - 168) < 16;
    };
    QVERIFY(countPixels(after, band, check) == 0 && countPixels(toast, band, check) >= 20);
    QVERIFY(brightPixels(toast, band) > brightPixels(after, band) + 40);

    // Ended inside the save pause of the last keys.
    const QString tail = ending == "kill" ? QStringLiteral("abcdefghij").repeated(30) : QStringLiteral("!");
    QElapsedTimer typing;
    typing.start();
    type(tail, 30);
    const double keysPerSecond = tail.size() * 1000.0 / std::max<qint64>(1, typing.elapsed());
    QElapsedTimer quitting;
    if (ending == "quit") {
        key(QStringLiteral("ctrl+alt+r"));
        QTest::qWait(500);
        key(QStringLiteral("ctrl+q"));
        quitting.start();
    } else if (ending == "close") {
        click(27, 26);
    } else {
        ::kill(pid_t(app.processId()), ending == "kill" ? SIGKILL : SIGTERM);
    }
    QVERIFY2(app.waitForFinished(20000), "the application kept running");
    // Not held by the lookup (room left for the sanitizers' leak check).
    QVERIFY2(!quitting.isValid() || quitting.elapsed() < 1500, qPrintable(QString::number(quitting.elapsed())));
    QVERIFY(ending == "kill" || (app.exitStatus() == QProcess::NormalExit && app.exitCode() == 0));
    QVERIFY(!app.readAllStandardError().contains("Painter"));

    // All of it on disk; after a kill, all but about the last 2 s of keys.
    const QString saved = contentsIn(notesFile, "New Note").value(0);
    qInfo("%d of %d keys on disk, typed at %.0f keys/s", int(saved.size()), int(typed.size() + tail.size()),
          keysPerSecond);
    QVERIFY2(saved.startsWith(typed) && tail.startsWith(saved.mid(typed.size())), qPrintable(saved));
    QVERIFY(typed.size() + tail.size() - saved.size() <= (ending == "kill" ? keysPerSecond * 2.5 : 0));
    QCOMPARE(contentsIn(notesFile, "New Note").size(), 1);
    QCOMPARE(contentsIn(notesFile).filter(QRegularExpression("^7 \\* 6 \\S")).size(), 1);
}

void EndToEndStudio::oddFileDoesNotHoldUpStart_data()
{
    // Files the application reads or appends to at start, below the data
    // folder (the catalog is the chosen language's): a FIFO nobody writes, a
    // link to one, or a link to a device that never ends.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("kind");
    for (const char *file : {"notes.json", "config.json", "rates.json", "logs/veskzul.log", "../Localizations/de.json"})
        for (const char *kind : {"fifo", file[0] == 'n' || file[0] == 'c' ? "device" : "linked fifo"})
            QTest::addRow("%s as a %s", file, kind) << "Quarnell/VeskZul/" + QString::fromLatin1(file) << kind;
    QTest::newRow("compressed catalog of idle blocks") << "Quarnell/Localizations/de.json.lzfse" << "idle blocks";
}

void EndToEndStudio::oddFileDoesNotHoldUpStart()
{
    QFETCH(QString, file);
    QFETCH(QString, kind);
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");
    const QTemporaryDir home;
    const QString path = QDir::cleanPath(home.path() + "/data/" + file);
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    const QByteArray fifo = QFile::encodeName(kind == "fifo" ? path : path + ".fifo");
    QFile idle(path);
    if (kind == "idle blocks")
        QVERIFY(idle.open(QIODevice::WriteOnly) && idle.write(idleCatalog(1000)) == 128004 && idle.flush());
    else
        QVERIFY(kind == "device" ? QFile::link("/dev/zero", path) : ::mkfifo(fifo, 0600) == 0);
    QVERIFY(kind != "linked fifo" || QFile::link(fifo, path));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home.path());
    environment.insert("XDG_RUNTIME_DIR", home.path()); // private to its owner, as it must be
    for (const char *folder : {"data", "config", "cache"})
        environment.insert(QStringLiteral("XDG_%1_HOME").arg(folder).toUpper(), home.path() + '/' + folder);
    environment.insert("LC_ALL", file.contains("Localizations") ? "de_DE.UTF-8" : "en_US.UTF-8");
    environment.insert("QT_QPA_PLATFORM", "xcb");

    QProcess app;
    app.setProcessEnvironment(environment);
    QElapsedTimer started;
    started.start();
    app.start(QStringLiteral(VESK_APP_EXECUTABLE), {});
    const auto stopApp = qScopeGuard([&app] { app.kill(), app.waitForFinished(10000); });
    bool shown = false;
    // A file that holds the start up holds it for good (the idle catalog
    // for some 14 s), so the bound leaves a sanitized build on a busy
    // machine room to start.
    run(QStringLiteral("xdotool"), {"search", "--sync", "--onlyvisible", "--name", "^VeskZul$"}, 5000, &shown);
    QVERIFY2(shown && started.elapsed() <= 5000, qPrintable(QString("no window after %1 ms").arg(started.elapsed())));
    ::kill(pid_t(app.processId()), SIGTERM);
    QVERIFY2(app.waitForFinished(5000) && app.exitStatus() == QProcess::NormalExit && app.exitCode() == 0,
             "SIGTERM did not end it");
    // Nothing was written through it or put in its place.
    if (kind == "idle blocks")
        QCOMPARE(QFileInfo(path).size(), 128004);
    else
        QVERIFY(!QFileInfo(path).isFile() && QFileInfo(path).isSymLink() == (kind != "fifo"));
}

// A copy that does not answer (stopped) keeps its data folder: a second
// launch says so and touches nothing; once it is killed, a launch starts.
void EndToEndStudio::stoppedCopyKeepsItsDataFolder()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");
    const QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"HOME", "XDG_RUNTIME_DIR", "XDG_DATA_HOME"})
        environment.insert(name, home.path());
    environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
    environment.insert("XDG_CACHE_HOME", home.path() + "/cache");
    environment.insert("LC_ALL", "en_US.UTF-8");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const QString data = home.path() + "/Quarnell/VeskZul";
    const auto files = [&data] {
        QMap<QString, QByteArray> found;
        for (QDirIterator it(data, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
            QFile file(it.next());
            found.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
        }
        return found;
    };
    QProcess copies[3];
    const auto stop = qScopeGuard([&copies] {
        for (QProcess &copy : copies)
            if (copy.state() != QProcess::NotRunning)
                ::kill(pid_t(copy.processId()), SIGKILL), copy.waitForFinished(10000);
    });
    const auto launch = [&](QProcess &copy, int timeoutMs) {
        copy.setProcessEnvironment(environment);
        copy.start(QStringLiteral(VESK_APP_EXECUTABLE), {});
        bool shown = false;
        const QByteArray ids = run("xdotool", {"search", "--sync", "--onlyvisible", "--pid",
                                               QString::number(copy.processId())}, timeoutMs, &shown);
        return shown ? QString::fromLatin1(ids).split('\n', Qt::SkipEmptyParts).value(0) : QString();
    };
    QVERIFY2(!launch(copies[0], 120000).isEmpty(), "the first copy showed no window");
    QTest::qWait(1000); // its first files written
    QVERIFY(::kill(pid_t(copies[0].processId()), SIGSTOP) == 0);
    const QMap<QString, QByteArray> before = files();
    QVERIFY(before.contains(data + "/notes.json"));

    const QString dialog = launch(copies[1], 30000);
    QVERIFY2(!dialog.isEmpty(), "the second copy told nobody");
    run("xdotool", {"windowfocus", "--sync", dialog});
    run("xdotool", {"key", "--clearmodifiers", "Return"});
    QVERIFY2(copies[1].waitForFinished(20000), "the second copy kept running");
    QVERIFY(copies[1].exitStatus() == QProcess::NormalExit && copies[1].exitCode() == 1);
    QVERIFY(copies[1].readAllStandardError().contains("VeskZul is already running with the notes in " + data.toUtf8()));
    QVERIFY(files() == before);

    QVERIFY(::kill(pid_t(copies[0].processId()), SIGKILL) == 0 && copies[0].waitForFinished(10000));
    QVERIFY2(!launch(copies[2], 120000).isEmpty(), "the copy after a killed one did not start");
}

QTEST_GUILESS_MAIN(EndToEndStudio)
#include "e2e_studio.moc"
