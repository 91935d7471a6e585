#include "StudioTestSupport.h"

#include "Engine/ComputationalNoteEngine.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

using namespace studiotest;

namespace {

ComputationalNoteEngine engineNow()
{
    return ComputationalNoteEngine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                   QDateTime::currentDateTimeUtc(), QTimeZone::systemTimeZone());
}

// `lines` lines of "1+1" followed by `tail`; each line is four characters
// with its line feed.
QString sumLines(int lines, const QString &tail = QString())
{
    return QStringLiteral("1+1\n").repeated(lines) + tail;
}

std::optional<ZulNote> find(const QList<ZulNote> &notes, const QUuid &id)
{
    for (const ZulNote &note : notes) {
        if (note.id == id)
            return note;
    }
    return std::nullopt;
}

QStringList contentsOf(const QList<ZulNote> &notes)
{
    QStringList contents;
    for (const ZulNote &note : notes)
        contents << note.content;
    contents.sort();
    return contents;
}

} // namespace

class TestStudioViewModelEditing : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void unchangedContentChangesNothing();
    void unknownNoteIsIgnored();
    void longNotesAreEvaluatedLater_data();
    void longNotesAreEvaluatedLater();
    void staleBackgroundResultsAreNeverStored();
    void aBurstOfKeysKeepsNoSupersededText();
    void shorteningALongNoteEvaluatesAtOnce();
    void saves_data();
    void saves();
    void steadyTypingIsSavedWithoutAPause_data();
    void steadyTypingIsSavedWithoutAPause();
    void olderBackgroundWriteNeverLandsLast_data();
    void olderBackgroundWriteNeverLandsLast();
    void failedSavesAreReportedOncePerRun();
    void newToastReplacesAndRestartsLifetime();
    void errorFlagFollowsTheLatestToast();
    void lookupsFallBackToTheEmptySummary();
    void destructionWritesThePendingSave();
    void outsideChangesKeepEveryNote_data();
    void outsideChangesKeepEveryNote();

private:
    PrivateHome m_home;
    QList<ZulNote> twoNotes() const
    {
        const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-3600);
        return {makeNote(QStringLiteral("first"), QStringLiteral("2+2"), when),
                makeNote(QStringLiteral("second"), QStringLiteral("3*3"), when.addSecs(-60))};
    }
};

void TestStudioViewModelEditing::init()
{
    appLogger()->clear();
}

void TestStudioViewModelEditing::unchangedContentChangesNothing()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const ZulNote before = viewModel.notes().first();
    QSignalSpy notesSpy(&viewModel, &ZulStudioViewModel::notesChanged);
    QSignalSpy evaluationSpy(&viewModel, &ZulStudioViewModel::evaluationsByNoteIDChanged);

    viewModel.updateNoteContent(before.id, before.content);

    QCOMPARE(viewModel.notes().first(), before);
    QCOMPARE(notesSpy.count(), 0);
    QCOMPARE(evaluationSpy.count(), 0);
    // A save waiting for its pause would be written now.
    viewModel.flushPendingSaves();
    QCOMPARE(studio.writes->writeCount(), 0);
}

void TestStudioViewModelEditing::unknownNoteIsIgnored()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QList<ZulNote> before = viewModel.notes();
    viewModel.updateNoteContent(QUuid::createUuid(), QStringLiteral("lost"));
    viewModel.flushPendingSaves();
    QCOMPARE(viewModel.notes(), before);
    QCOMPARE(studio.writes->writeCount(), 0);
}

void TestStudioViewModelEditing::longNotesAreEvaluatedLater_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<bool>("evaluatedAtOnce");

    QTest::newRow("exactly 4000 characters") << sumLines(1000) << true;
    QTest::newRow("4001 characters") << sumLines(1000, QStringLiteral("7")) << false;
    // 4004 UTF-16 units, but an accent written as a combining mark belongs
    // to its letter: 2004 characters.
    QTest::newRow("combining marks count with their letter")
        << (sumLines(1) + QStringLiteral("e\u0301").repeated(2000)) << true;
    QTest::newRow("astral characters count once")
        << (sumLines(1) + QString::fromUtf8("\xF0\x9F\x98\x80").repeated(2000)) << true;
}

void TestStudioViewModelEditing::longNotesAreEvaluatedLater()
{
    QFETCH(QString, content);
    QFETCH(bool, evaluatedAtOnce);

    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;
    const NoteEvaluationSummary previous = viewModel.evaluation(id);
    const NoteEvaluationSummary expected = engineNow().evaluate(content);
    QVERIFY(previous != expected);

    viewModel.updateNoteContent(id, content);
    QCOMPARE(viewModel.notes().first().content, content);
    if (evaluatedAtOnce) {
        QCOMPARE(viewModel.evaluation(id), expected);
    } else {
        // The previous result stays on screen until the later one arrives.
        QCOMPARE(viewModel.evaluation(id), previous);
        QTRY_COMPARE(viewModel.evaluation(id), expected);
    }
}

void TestStudioViewModelEditing::staleBackgroundResultsAreNeverStored()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;

    QList<NoteEvaluationSummary> stored;
    connect(&viewModel, &ZulStudioViewModel::evaluationsByNoteIDChanged, this,
            [&] { stored.append(viewModel.evaluation(id)); });

    QStringList typed;
    for (int keystroke = 1; keystroke <= 6; ++keystroke)
        typed.append(sumLines(1100, QStringLiteral("%1*%1").arg(keystroke)));
    for (const QString &text : std::as_const(typed))
        viewModel.updateNoteContent(id, text);

    const NoteEvaluationSummary last = engineNow().evaluate(typed.last());
    QTRY_COMPARE(viewModel.evaluation(id), last);
    for (qsizetype index = 0; index + 1 < typed.size(); ++index) {
        const NoteEvaluationSummary stale = engineNow().evaluate(typed.at(index));
        QVERIFY2(!stored.contains(stale), qPrintable(QStringLiteral("result of keystroke %1 was stored").arg(index + 1)));
    }
}

void TestStudioViewModelEditing::aBurstOfKeysKeepsNoSupersededText()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;

    // Keys delivered back to back, the event loop not running between them,
    // as on a busy machine: each superseded text of the long note must be
    // let go at once, or a burst holds a whole copy of it per key.
    QStringList typed;
    for (int keystroke = 1; keystroke <= 4; ++keystroke)
        typed.append(sumLines(1100, QStringLiteral("%1").arg(keystroke)));
    for (qsizetype index = 0; index < typed.size(); ++index) {
        viewModel.updateNoteContent(id, typed.at(index));
        for (qsizetype earlier = 0; earlier < index; ++earlier)
            QVERIFY2(typed.at(earlier).isDetached(), qPrintable(QStringLiteral("text of key %1 is still held").arg(earlier + 1)));
    }
    QTRY_COMPARE(viewModel.evaluation(id), engineNow().evaluate(typed.last()));
}

void TestStudioViewModelEditing::shorteningALongNoteEvaluatesAtOnce()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid first = viewModel.notes().at(0).id;
    const QUuid second = viewModel.notes().at(1).id;

    viewModel.updateNoteContent(first, sumLines(1200, QStringLiteral("8*8")));
    const QString shortText = QStringLiteral("40 + 2");
    viewModel.updateNoteContent(first, shortText);
    QCOMPARE(viewModel.evaluation(first), engineNow().evaluate(shortText));

    // A later long edit elsewhere comes and goes; the cancelled one never lands.
    const QString other = sumLines(1200, QStringLiteral("9*9"));
    viewModel.updateNoteContent(second, other);
    QTRY_COMPARE(viewModel.evaluation(second), engineNow().evaluate(other));
    QCoreApplication::processEvents();
    QCOMPARE(viewModel.evaluation(first), engineNow().evaluate(shortText));
}

void TestStudioViewModelEditing::saves_data()
{
    // Steps: "type:<text>", "title:<text>", "frame", "pin".
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("writesAtOnce");
    QTest::addColumn<int>("writesInTheEnd");
    QTest::addColumn<QString>("contentOnDisk");

    QStringList burst;
    for (int keystroke = 1; keystroke <= 10; ++keystroke)
        burst.append(QStringLiteral("type:%1").arg(keystroke));
    QTest::newRow("ten quick edits write once, with the last text") << burst << 0 << 1 << QStringLiteral("10");
    QTest::newRow("an immediate save in between ends the pending one")
        << QStringList{"type:a", "type:b", "pin"} << 1 << 1 << QStringLiteral("b");
    QTest::newRow("edits after an immediate save are saved again")
        << QStringList{"type:a", "pin", "type:c"} << 1 << 2 << QStringLiteral("c");
    QTest::newRow("a title edit waits for the pause") << QStringList{"title:Budget"} << 0 << 1 << QStringLiteral("2+2");
    QTest::newRow("a sticky frame waits for the pause") << QStringList{"frame"} << 0 << 1 << QStringLiteral("2+2");
    QTest::newRow("an unchanged title saves nothing") << QStringList{"title:first"} << 0 << 0 << QString();
}

void TestStudioViewModelEditing::saves()
{
    QFETCH(QStringList, steps);
    QFETCH(int, writesAtOnce);
    QFETCH(int, writesInTheEnd);
    QFETCH(QString, contentOnDisk);

    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;
    const QDateTime updatedBefore = viewModel.notes().first().updatedAt;

    QElapsedTimer sinceLastStep;
    for (const QString &step : std::as_const(steps)) {
        if (step.startsWith(QLatin1String("type:")))
            viewModel.updateNoteContent(id, step.mid(5));
        else if (step.startsWith(QLatin1String("title:")))
            viewModel.updateNoteTitle(id, step.mid(6));
        else if (step == QLatin1String("frame"))
            viewModel.updateStickyFrame(id, QRectF(10, 20, 300, 200));
        else if (step == QLatin1String("pin"))
            viewModel.togglePin(id);
        sinceLastStep.start();
    }
    QCOMPARE(studio.writes->writeCount(), writesAtOnce);
    QTRY_COMPARE_WITH_TIMEOUT(studio.writes->writeCount(), writesInTheEnd, 3000);
    if (writesInTheEnd > writesAtOnce)
        QVERIFY2(sinceLastStep.elapsed() >= ZulStudioViewModel::saveDebounceMs - 20,
                 qPrintable(QString::number(sinceLastStep.elapsed())));
    // After the pause, not only once the ceiling forces it.
    if (writesInTheEnd > writesAtOnce)
        QVERIFY2(sinceLastStep.elapsed() < ZulStudioViewModel::saveCeilingMs,
                 qPrintable(QString::number(sinceLastStep.elapsed())));
    // Nothing else is waiting.
    viewModel.flushPendingSaves();
    QCOMPARE(studio.writes->writeCount(), writesInTheEnd);
    QTRY_COMPARE(viewModel.storageFootprintBytes(), studio.storage.totalStorageBytes());
    if (!contentOnDisk.isEmpty()) {
        const std::optional<ZulNote> saved = find(studio.notesOnDisk(), id);
        QVERIFY(saved);
        QCOMPARE(saved->content, contentOnDisk);
    }
    if (steps == QStringList{"frame"}) {
        QCOMPARE(viewModel.notes().first().updatedAt, updatedBefore);
        QCOMPARE(find(studio.notesOnDisk(), id)->stickyFrame, std::optional<QRectF>(QRectF(10, 20, 300, 200)));
    }
}

void TestStudioViewModelEditing::steadyTypingIsSavedWithoutAPause_data()
{
    QTest::addColumn<int>("keyIntervalMs");
    QTest::addColumn<int>("keys");
    // The note's length in each write; the last is the flush at the end.
    QTest::addColumn<QList<int>>("savedLengths");
    QTest::newRow("60 keys a second for 5 s: a save every 2 s") << 16 << 300 << QList<int>{126, 252, 300};
    QTest::newRow("a key every 300 ms never pauses long enough") << 300 << 15 << QList<int>{8, 15};
    QTest::newRow("a short burst waits for its pause") << 16 << 50 << QList<int>{50};
}

void TestStudioViewModelEditing::steadyTypingIsSavedWithoutAPause()
{
    QFETCH(int, keyIntervalMs);
    QFETCH(int, keys);
    QFETCH(QList<int>, savedLengths);
    Studio studio;
    studio.seed(twoNotes());
    studio.clock->steady = std::chrono::steady_clock::time_point(std::chrono::hours(1));
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;
    for (int key = 1, savesStarted = 0; key <= keys; ++key) {
        *studio.clock->steady += std::chrono::milliseconds(key > 1 ? keyIntervalMs : 0);
        viewModel.updateNoteContent(id, QString(key, QLatin1Char('a')));
        // Once started, a save is not overtaken by the next one. Waiting
        // runs no events, so no pause can end and save instead.
        if (savesStarted < savedLengths.size() - 1 && savedLengths.at(savesStarted) == key) {
            const QDeadlineTimer deadline(5000);
            while (studio.writes->started.load() <= savesStarted && !deadline.hasExpired())
                QThread::msleep(1);
            QCOMPARE(studio.writes->started.load(), ++savesStarted);
        }
    }
    viewModel.flushPendingSaves();
    QList<int> lengths;
    for (const QList<ZulNote> &written : std::as_const(studio.writes->writes))
        lengths.append(int(find(written, id)->content.size()));
    QCOMPARE(lengths, savedLengths);
}

void TestStudioViewModelEditing::olderBackgroundWriteNeverLandsLast_data()
{
    QTest::addColumn<bool>("olderFails");
    QTest::newRow("the older write succeeds") << false;
    QTest::newRow("the older write fails, the newer one succeeds") << true;
}

void TestStudioViewModelEditing::olderBackgroundWriteNeverLandsLast()
{
    QFETCH(bool, olderFails);
    Studio studio;
    studio.seed(twoNotes());
    studio.writes->delayFirst = std::chrono::milliseconds(400);
    studio.writes->failing = olderFails;
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;

    viewModel.updateNoteContent(id, QStringLiteral("older"));
    // The debounced write is under way, and slow.
    QTRY_COMPARE(studio.writes->started.load(), 1);
    studio.writes->failing = false;
    viewModel.updateNoteContent(id, QStringLiteral("newer"));
    viewModel.togglePin(id);

    viewModel.flushPendingSaves();
    const std::optional<ZulNote> saved = find(studio.notesOnDisk(), id);
    QVERIFY(saved);
    QCOMPARE(saved->content, QStringLiteral("newer"));
    QVERIFY(saved->isPinned);
    // The older write's outcome comes last and tells nothing of the file as it is.
    QCoreApplication::processEvents();
    QCOMPARE(viewModel.toastMessage(), std::nullopt);
    QCOMPARE(viewModel.storageFootprintBytes(), studio.storage.totalStorageBytes());
}

void TestStudioViewModelEditing::failedSavesAreReportedOncePerRun()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;
    QStringList errorToasts;
    connect(&viewModel, &ZulStudioViewModel::toastMessageChanged, this, [&] {
        if (viewModel.toastMessage() && viewModel.toastMessage()->contains(QStringLiteral("disk full")))
            errorToasts.append(*viewModel.toastMessage());
    });

    studio.writes->failing = true;
    viewModel.updateNoteContent(id, QStringLiteral("a"));
    QTRY_COMPARE(errorToasts.size(), 1);
    QVERIFY(viewModel.toastIsError());
    QVERIFY(errorToasts.first().startsWith(QStringLiteral("Could not save your notes")));

    // More failures in the same run: logged, but no new toast.
    viewModel.togglePin(id);
    viewModel.updateNoteContent(id, QStringLiteral("b"));
    QTRY_COMPARE(studio.writes->writeCount(), 3);
    QCOMPARE(errorToasts.size(), 1);
    QTRY_COMPARE(loggedMessages(VeskLogLevel::error).count(QStringLiteral("Saving notes failed: disk full")), 3);

    // A success ends the run; the next failure is told again.
    studio.writes->failing = false;
    viewModel.togglePin(id);
    studio.writes->failing = true;
    viewModel.togglePin(id);
    QCOMPARE(errorToasts.size(), 2);
}

void TestStudioViewModelEditing::newToastReplacesAndRestartsLifetime()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    QElapsedTimer clock;
    clock.start();
    viewModel.showToast(QStringLiteral("first"), false);
    QTRY_VERIFY(clock.elapsed() >= 1000);
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("first")));

    viewModel.showToast(QStringLiteral("second"), true);
    QElapsedTimer sinceSecond;
    sinceSecond.start();
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("second")));
    QTRY_VERIFY_WITH_TIMEOUT(!viewModel.toastMessage().has_value(), 5000);
    QVERIFY2(sinceSecond.elapsed() >= ZulStudioViewModel::toastLifetimeMs - 50,
             qPrintable(QString::number(sinceSecond.elapsed())));
    QVERIFY(clock.elapsed() >= 1000 + ZulStudioViewModel::toastLifetimeMs - 50);
    // The flag outlives the text.
    QVERIFY(viewModel.toastIsError());
}

void TestStudioViewModelEditing::errorFlagFollowsTheLatestToast()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.showToast(QStringLiteral("broken"), true);
    QVERIFY(viewModel.toastIsError());
    viewModel.showToast(QStringLiteral("fine"), false);
    QCOMPARE(viewModel.toastMessage(), std::optional<QString>(QStringLiteral("fine")));
    QVERIFY(!viewModel.toastIsError());
}

void TestStudioViewModelEditing::lookupsFallBackToTheEmptySummary()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    QCOMPARE(viewModel.evaluation(QUuid::createUuid()), NoteEvaluationSummary::empty());
    QVERIFY(!viewModel.note(QUuid::createUuid()).has_value());
    QVERIFY(viewModel.selectedNoteEvaluation() != NoteEvaluationSummary::empty());
    viewModel.setSelectedNoteID(std::nullopt);
    QCOMPARE(viewModel.selectedNoteEvaluation(), NoteEvaluationSummary::empty());
    viewModel.setSelectedNoteID(QUuid::createUuid());
    QCOMPARE(viewModel.selectedNoteEvaluation(), NoteEvaluationSummary::empty());
}

void TestStudioViewModelEditing::destructionWritesThePendingSave()
{
    Studio studio;
    studio.seed(twoNotes());
    ZulStudioViewModel &viewModel = studio.start();
    const QUuid id = viewModel.notes().first().id;
    viewModel.updateNoteContent(id, QStringLiteral("typed just before quitting"));
    studio.viewModel.reset();
    const std::optional<ZulNote> saved = find(studio.notesOnDisk(), id);
    QVERIFY(saved);
    QCOMPARE(saved->content, QStringLiteral("typed just before quitting"));
}

void TestStudioViewModelEditing::outsideChangesKeepEveryNote_data()
{
    QTest::addColumn<QString>("localEdit");  // of no note, the other note, or the note they change too
    QTest::addColumn<bool>("beforeSave");    // the save comes before the watcher tells of the change
    QTest::addColumn<bool>("linked");        // notes.json a link into a synced folder
    QTest::newRow("nothing unsaved: their notes are shown") << "none" << false << false;
    QTest::newRow("an edit of another note waiting for its save") << "other" << false << false;
    QTest::newRow("one note changed on both sides: both kept") << "same" << false << false;
    QTest::newRow("changed just before a save") << "other" << true << false;
    QTest::newRow("through a link, nothing unsaved") << "none" << false << true;
    QTest::newRow("through a link, both sides, just before a save") << "same" << true << true;
}

void TestStudioViewModelEditing::outsideChangesKeepEveryNote()
{
    QFETCH(QString, localEdit);
    QFETCH(bool, beforeSave);
    QFETCH(bool, linked);
    Studio studio;
    const QDir folder(studio.folder.path());
    const QString file = folder.filePath(linked ? "synced/notes.json" : "notes.json");
    QVERIFY(!linked || (folder.mkpath("synced") && QFile::link("synced/notes.json", studio.storage.notesFileURL())));
    const QList<ZulNote> seeded = twoNotes();
    studio.seed(seeded);
    ZulStudioViewModel &viewModel = studio.start();
    QSignalSpy reset(&viewModel, &ZulStudioViewModel::notesReset);
    if (localEdit != "none")
        viewModel.updateNoteContent(seeded.at(localEdit == "same" ? 0 : 1).id, QStringLiteral("ours = 1"));
    const int writesBefore = studio.writes->writeCount();

    // Another machine changes the first note and adds one; a sync tool
    // writes it beside the file and renames it over.
    QList<ZulNote> theirs = studio.storage.loadNotes();
    theirs[0].content = QStringLiteral("theirs = 2");
    theirs.append(makeNote(QStringLiteral("arrived"), QStringLiteral("arrived = 3"), seeded.at(0).updatedAt));
    QFile part(file + ".part");
    const QByteArray bytes = ZulStorageService::encodeNotes(theirs).value();
    QVERIFY(part.open(QIODevice::WriteOnly) && part.write(bytes) == bytes.size());
    part.close();
    QVERIFY(std::rename(QFile::encodeName(part.fileName()), QFile::encodeName(file)) == 0);
    if (beforeSave)
        viewModel.flushPendingSaves();
    else
        QTRY_VERIFY(viewModel.findNote(theirs.last().id));

    QStringList expected = {"arrived = 3", "theirs = 2", localEdit == "none" ? seeded.at(1).content : "ours = 1"};
    if (localEdit == "same")
        expected << seeded.at(1).content;
    expected.sort();
    QCOMPARE(contentsOf(viewModel.notes()), expected);
    QCOMPARE(reset.count(), 0);  // told note by note
    QCOMPARE(viewModel.evaluation(theirs.last().id).lines.first().formattedResult, QStringLiteral("3"));
    viewModel.flushPendingSaves();
    QCOMPARE(contentsOf(ZulStorageService::decodeNotes(fileBytes(file)).value()), expected);
    // Their version needs no write of ours when nothing here was changed.
    QCOMPARE(studio.writes->writeCount() == writesBefore, localEdit == "none");
    QCOMPARE(QFileInfo(studio.storage.notesFileURL()).isSymLink(), linked);
    QDirIterator aside(folder.path(), {"*.replaced-*", "*.unreadable-*"}, QDir::Files, QDirIterator::Subdirectories);
    QVERIFY2(!aside.hasNext(), "a version was pushed aside");
}

QTEST_MAIN(TestStudioViewModelEditing)
#include "tst_studioviewmodelediting.moc"
