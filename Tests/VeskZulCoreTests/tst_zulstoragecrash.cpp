// Kills a process that saves notes in a loop at random moments and checks
// that the notes file always holds one whole saved version. The saving
// process is this executable itself, started again with --save-loop.

#include "Services/ZulStorageService.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>

namespace {

constexpr int kNotesPerVersion = 80;
constexpr qint64 kGenerationsPerRun = 1000000;

// Every generation is a different, fully predictable list, so the reader
// can tell a whole version from a mix or a torn one.
QList<ZulNote> versionFor(qint64 generation)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1736510400 + generation % 100000, Qt::UTC);
    QList<ZulNote> notes;
    notes.reserve(kNotesPerVersion);
    for (int i = 0; i < kNotesPerVersion; ++i) {
        const QUuid id(uint(generation), ushort(generation >> 32), ushort(i), 0x80, 0, 0, 0, 0, 0, 0,
                       uchar(i));
        const QString line = QStringLiteral("g%1 n%2 = %3 * 2\n").arg(generation).arg(i).arg(i + generation);
        notes.append(ZulNote(id, QStringLiteral("g%1 n%2").arg(generation).arg(i), line.repeated(20),
                             ZulNoteTintAllCases().at(size_t(i % 6)), i % 2 == 0, i % 3 == 0, false,
                             std::nullopt, {QStringLiteral("g%1").arg(generation)}, when, when));
    }
    return notes;
}

std::optional<qint64> generationOf(const QList<ZulNote> &notes)
{
    if (notes.isEmpty() || !notes.first().title.startsWith(u'g'))
        return std::nullopt;
    bool ok = false;
    const qint64 generation = notes.first().title.mid(1).section(u' ', 0, 0).toLongLong(&ok);
    return ok ? std::optional(generation) : std::nullopt;
}

int runSaveLoop(const QString &folder, qint64 firstGeneration)
{
    const ZulStorageService storage(folder);
    for (qint64 generation = firstGeneration;; ++generation) {
        const ZulResult<ZulSavedFile> saved = storage.saveNotes(versionFor(generation));
        if (!saved) {
            std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.error()));
            return 2;
        }
        if (generation == firstGeneration) {
            std::fputs("ready\n", stdout);
            std::fflush(stdout);
        }
    }
}

} // namespace

class TestZulStorageCrash : public QObject {
    Q_OBJECT

private slots:
    void notesFileSurvivesKillsAtRandomMoments();
};

void TestZulStorageCrash::notesFileSurvivesKillsAtRandomMoments()
{
    // A few hundred kills; on a crowded machine, stop after a time budget
    // once enough of them are done, so the suite stays quick under sanitizers.
    constexpr int kMostKills = 300;
    constexpr int kLeastKills = 100;
    constexpr qint64 kBudgetMs = 45000;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const ZulStorageService reader(dir.path());
    const quint32 seed = QRandomGenerator::global()->generate();
    QRandomGenerator random(seed);
    qInfo("random seed %u", seed);

    QElapsedTimer clock;
    clock.start();
    qint64 lastGeneration = -1;
    QSet<qint64> generationsSeen;
    int survived = 0;
    for (int run = 1; run <= kMostKills; ++run) {
        if (run > kLeastKills && clock.elapsed() > kBudgetMs)
            break;
        QProcess child;
        child.setProgram(QCoreApplication::applicationFilePath());
        child.setArguments({QStringLiteral("--save-loop"), dir.path(),
                            QString::number(run * kGenerationsPerRun)});
        child.setProcessChannelMode(QProcess::SeparateChannels);
        child.start();
        QVERIFY2(child.waitForStarted(10000), qPrintable(child.errorString()));
        while (!child.readAllStandardOutput().contains("ready")) {
            QVERIFY2(child.state() == QProcess::Running && child.waitForReadyRead(20000),
                     qPrintable(QString::fromLocal8Bit(child.readAllStandardError())));
        }
        QThread::usleep(random.bounded(30000u));
        child.kill();  // SIGKILL: no chance to finish a write
        QVERIFY(child.waitForFinished(10000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const ZulNotesLoadReport report = reader.loadNotesReporting();
        QVERIFY2(report.outcome == ZulNotesLoadOutcome::loaded,
                 qPrintable(QStringLiteral("after kill %1: %2").arg(run).arg(report.problem)));
        const std::optional<qint64> generation = generationOf(report.notes);
        QVERIFY2(generation, qPrintable(QStringLiteral("after kill %1: no generation").arg(run)));
        QVERIFY2(report.notes == versionFor(*generation),
                 qPrintable(QStringLiteral("after kill %1: generation %2 is not whole").arg(run).arg(*generation)));
        // The file never goes back to an older version than one already seen.
        QVERIFY(*generation >= lastGeneration);
        // The child saved at least its first version before it was killed.
        QVERIFY(*generation >= run * kGenerationsPerRun);
        lastGeneration = *generation;
        generationsSeen.insert(*generation);
        ++survived;
    }
    const QStringList leftovers = QDir(dir.path()).entryList(QDir::Files).filter(
        QRegularExpression(QStringLiteral("^(?!notes\\.json$)")));
    QVERIFY2(leftovers.filter(QStringLiteral(".unreadable-")).isEmpty(),
             "a complete file was taken for an unreadable one");
    qInfo("survived %d SIGKILLs in %.1f s; %d saved versions seen; %lld stray temporary files",
          survived, clock.elapsed() / 1000.0, int(generationsSeen.size()), qint64(leftovers.size()));
}

int main(int argc, char **argv)
{
    if (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0)
        return runSaveLoop(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]).toLongLong());
    QCoreApplication app(argc, argv);
    TestZulStorageCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zulstoragecrash.moc"
