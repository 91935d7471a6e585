#include "StudioTestSupport.h"

#include "Engine/ComputationalNoteEngine.h"

#include <QDirIterator>
#include <QJsonObject>

using namespace studiotest;

namespace {

QDateTime localTime(int year, int month, int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::LocalTime).toUTC();
}

ComputationalNoteEngine engineAt(const QDateTime &instant, const QString &currency = QStringLiteral("TRY"))
{
    return ComputationalNoteEngine(CurrencyRateTable::offlineDefaults(), currency, instant,
                                   QTimeZone::systemTimeZone());
}

QString firstResult(const NoteEvaluationSummary &summary)
{
    return summary.lines.isEmpty() ? QString() : summary.lines.first().formattedResult;
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

ZulNote ephemeralNote(const QString &title, const QDateTime &updatedAt)
{
    ZulNote note = makeNote(title, QStringLiteral("1+1"), updatedAt);
    note.isEphemeral = true;
    return note;
}

} // namespace

class TestStudioViewModelStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void startupCollection_data();
    void startupCollection();
    void selectsFirstNoteInDisplayOrder();
    void logsInitializationWithCurrencyAsStored();
    void evaluatesEveryNoteAndTheScratchPad_data();
    void evaluatesEveryNoteAndTheScratchPad();
    void scratchTextIsEvaluatedOnAssignment();
    void unreadableFilesAreReportedAndKept_data();
    void unreadableFilesAreReportedAndKept();
    void readableNotesOfAPartlyBadFileAreShown_data();
    void readableNotesOfAPartlyBadFileAreShown();
    void bootstrapBringsUpDrawerAndStickies_data();
    void bootstrapBringsUpDrawerAndStickies();
    void globalHotkeysAreRegisteredAndRouted();
    void evaluationsUseTheMomentOfEvaluation_data();
    void evaluationsUseTheMomentOfEvaluation();
    void everyNoteIsReevaluatedAtMidnight();

private:
    PrivateHome m_home;
};

void TestStudioViewModelStartup::init()
{
    appLogger()->clear();
}

void TestStudioViewModelStartup::startupCollection_data()
{
    QTest::addColumn<QList<ZulNote>>("seeded");
    QTest::addColumn<bool>("expectStarterNotes");
    QTest::addColumn<int>("expectedWrites");

    const QDateTime now = QDateTime::currentDateTimeUtc();
    QTest::newRow("every note an expired ephemeral: starter notes, written at once")
        << QList<ZulNote>{ephemeralNote(QStringLiteral("old a"), now.addDays(-3)),
                          ephemeralNote(QStringLiteral("old b"), now.addDays(-2))}
        << true << 1;
    QTest::newRow("an emptied collection: starter notes in memory, nothing written")
        << QList<ZulNote>{} << true << 0;
    QTest::newRow("notes kept in their stored order, nothing written")
        << QList<ZulNote>{makeNote(QStringLiteral("a"), QStringLiteral("1"), now.addDays(-5)),
                          makeNote(QStringLiteral("b"), QStringLiteral("2"), now),
                          ephemeralNote(QStringLiteral("fresh"), now.addSecs(-60))}
        << false << 0;
    QTest::newRow("one expired note among kept ones: the rest written back")
        << QList<ZulNote>{makeNote(QStringLiteral("keep"), QStringLiteral("1"), now),
                          ephemeralNote(QStringLiteral("expired"), now.addDays(-4))}
        << false << 1;
}

void TestStudioViewModelStartup::startupCollection()
{
    QFETCH(QList<ZulNote>, seeded);
    QFETCH(bool, expectStarterNotes);
    QFETCH(int, expectedWrites);

    Studio studio;
    studio.seed(seeded);
    ZulStudioViewModel &viewModel = studio.start();

    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<ZulNote> expected;
    if (expectStarterNotes) {
        expected = ZulStorageService::makeStarterNotes(now);
        QCOMPARE(viewModel.notes().size(), expected.size());
        for (qsizetype index = 0; index < expected.size(); ++index)
            QCOMPARE(viewModel.notes().at(index).content, expected.at(index).content);
    } else {
        expected = ZulStorageService::tidyEphemeralNotes(seeded, 24, now).kept;
        QCOMPARE(ids(viewModel.notes()), ids(expected));
    }
    QCOMPARE(studio.writes->writeCount(), expectedWrites);
    if (expectedWrites > 0)
        QCOMPARE(ids(studio.notesOnDisk()), ids(viewModel.notes()));
    else
        QCOMPARE(ids(studio.notesOnDisk()), ids(seeded));
    QCOMPARE(viewModel.storageFootprintBytes(), studio.storage.totalStorageBytes());
}

void TestStudioViewModelStartup::selectsFirstNoteInDisplayOrder()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ZulNote today = makeNote(QStringLiteral("today"), QString(), now);
    ZulNote pinned = makeNote(QStringLiteral("pinned"), QString(), now.addDays(-7));
    pinned.isPinned = true;
    Studio studio;
    studio.seed({today, pinned});
    ZulStudioViewModel &viewModel = studio.start();
    QCOMPARE(viewModel.selectedNoteID(), std::optional<QUuid>(pinned.id));
    QCOMPARE(ids(viewModel.notes()), (QList<QUuid>{today.id, pinned.id}));
}

void TestStudioViewModelStartup::logsInitializationWithCurrencyAsStored()
{
    Studio studio;
    ZulConfig config;
    config.defaultCurrency = QStringLiteral("usd");
    QVERIFY(studio.storage.saveConfig(config).ok());
    const ZulNote mixed = makeNote(QStringLiteral("mixed"), QStringLiteral("38 TRY\n1 USD\nsum"),
                                   QDateTime::currentDateTimeUtc());
    studio.seed({mixed});
    ZulStudioViewModel &viewModel = studio.start();

    QVERIFY2(loggedMessages().contains(QStringLiteral("VeskZul initialized (1 note(s), tidied=0, currency=usd)")),
             qPrintable(loggedMessages().join(QLatin1Char('\n'))));
    const NoteEvaluationSummary summary = viewModel.evaluation(mixed.id);
    QCOMPARE(summary, engineAt(QDateTime::currentDateTimeUtc(), QStringLiteral("USD")).evaluate(mixed.content));
    QVERIFY(summary != engineAt(QDateTime::currentDateTimeUtc(), QStringLiteral("TRY")).evaluate(mixed.content));
}

void TestStudioViewModelStartup::evaluatesEveryNoteAndTheScratchPad_data()
{
    QTest::addColumn<int>("count");
    // Notes of the top of the list evaluated before start-up ends; the
    // others come a little later, all together.
    QTest::addColumn<int>("atOnce");
    // The others wait for the first frame.
    QTest::addColumn<bool>("afterFirstFrame");
    QTest::newRow("a few notes, all at once") << 3 << 3 << false;
    QTest::newRow("a large collection, its top at once") << 300 << 64 << false;
    QTest::newRow("a large collection, the rest after the first frame") << 300 << 64 << true;
}

void TestStudioViewModelStartup::evaluatesEveryNoteAndTheScratchPad()
{
    QFETCH(int, count);
    QFETCH(int, atOnce);
    QFETCH(bool, afterFirstFrame);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<ZulNote> notes = {makeNote(QStringLiteral("a"), QStringLiteral("2 * 21"), now),
                            makeNote(QStringLiteral("b"), QStringLiteral("x = 4\nx + 1"), now),
                            makeNote(QStringLiteral("c"), QString(), now)};
    for (int i = 3; i < count; ++i)
        notes.append(makeNote(QStringLiteral("n%1").arg(i), QStringLiteral("%1 * 2").arg(i), now.addSecs(-i)));
    Studio studio;
    studio.seed(notes);
    studio.startsAfterFirstFrame = afterFirstFrame;
    ZulStudioViewModel &viewModel = studio.start();
    QCOMPARE(viewModel.evaluationsByNoteID().size(), atOnce);
    if (afterFirstFrame) {
        // Long enough for the rest to have come had they not waited.
        QTest::qWait(200);
        QCOMPARE(viewModel.evaluationsByNoteID().size(), atOnce);
        viewModel.firstFrameShown();
    }
    // A note still waiting is edited: its own evaluation stands.
    const QUuid last = notes.last().id;
    viewModel.updateNoteContent(last, QStringLiteral("7 * 6"));
    QTRY_COMPARE(viewModel.evaluationsByNoteID().size(), count);
    for (const ZulNote &note : viewModel.notes())
        QCOMPARE(viewModel.evaluation(note.id), engineAt(now).evaluate(note.content));
    QCOMPARE(viewModel.evaluation(last).totalNumericSum, std::optional<double>(42));
    QCOMPARE(viewModel.quickScratchText(), QStringLiteral("1850 + %20 KDV\n250 USD to TRY"));
    QCOMPARE(viewModel.quickScratchSummary(), engineAt(now).evaluate(viewModel.quickScratchText()));
    QCOMPARE(viewModel.quickScratchSummary().lines.size(), 2);
}

void TestStudioViewModelStartup::scratchTextIsEvaluatedOnAssignment()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();
    QSignalSpy spy(&viewModel, &ZulStudioViewModel::quickScratchSummaryChanged);
    viewModel.setQuickScratchText(QStringLiteral("2 + 3"));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(firstResult(viewModel.quickScratchSummary()), QStringLiteral("5"));
}

void TestStudioViewModelStartup::unreadableFilesAreReportedAndKept_data()
{
    QTest::addColumn<QStringList>("unreadable");
    QTest::addColumn<QStringList>("named");  // the files whose kept copy the start-up toast names
    QTest::addColumn<bool>("starterSaveFails");  // notes.json a link into a folder that is not there
    QTest::newRow("notes") << QStringList{"notes.json"} << QStringList{"notes.json"} << false;
    QTest::newRow("settings") << QStringList{"config.json"} << QStringList{"config.json"} << false;
    QTest::newRow("rates, a mere cache") << QStringList{"rates.json"} << QStringList() << false;
    QTest::newRow("notes and settings") << QStringList{"notes.json", "config.json"}
                                        << QStringList{"notes.json", "config.json"} << false;
    QTest::newRow("starter notes that cannot be written") << QStringList() << QStringList() << true;
}

void TestStudioViewModelStartup::unreadableFilesAreReportedAndKept()
{
    QFETCH(QStringList, unreadable);
    QFETCH(QStringList, named);
    QFETCH(bool, starterSaveFails);
    Studio studio;
    const QDir folder(studio.folder.path());
    const QByteArray garbage("[{\"id\": \"not a note\"");
    for (const QString &name : unreadable)
        QVERIFY(writeAll(folder.filePath(name), garbage));
    if (starterSaveFails)
        QVERIFY(QFile::link(folder.filePath("gone/notes.json"), folder.filePath("notes.json")));
    ZulStudioViewModel &viewModel = studio.start();
    QCOMPARE(viewModel.toastIsError(), !named.isEmpty() || starterSaveFails);
    QCOMPARE(viewModel.toastMessage().value_or("").contains("could not be read"), !named.isEmpty());
    QCOMPARE(viewModel.toastMessage().value_or("").contains("Could not save your notes: "), starterSaveFails);
    QCOMPARE(loggedMessages(VeskLogLevel::error).filter("Saving notes failed: ").size(), int(starterSaveFails));
    QVERIFY(!viewModel.notes().isEmpty());
    for (const QString &name : unreadable) {
        QCOMPARE(fileBytes(folder.filePath(name)), garbage);
        const QStringList kept = folder.entryList({name + ".unreadable-*"});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(fileBytes(folder.filePath(kept.first())), garbage);
        QCOMPARE(viewModel.toastMessage().value_or("").contains(folder.filePath(kept.first())),
                 named.contains(name));
    }
    if (!unreadable.contains("notes.json"))
        return;

    // Told the file could not be read, the user repairs it while we run:
    // its notes join the ones shown, and the next save keeps both.
    const ZulNote repairedNote = makeNote("repaired", "1+1", localTime(2025, 1, 10, 12, 0));
    QVERIFY(writeAll(studio.storage.notesFileURL(), ZulStorageService::encodeNotes({repairedNote}).value()));
    viewModel.updateNoteContent(viewModel.notes().first().id, QStringLiteral("new text"));
    viewModel.flushPendingSaves();
    QVERIFY(viewModel.findNote(repairedNote.id));
    QVERIFY(folder.entryList({"notes.json.replaced-*"}).isEmpty());
    const QList<ZulNote> onDisk = studio.notesOnDisk();
    QCOMPARE(onDisk.size(), viewModel.notes().size());
    QVERIFY(std::any_of(onDisk.cbegin(), onDisk.cend(), [](const ZulNote &note) { return note.content == "new text"; }));
    QVERIFY(std::any_of(onDisk.cbegin(), onDisk.cend(), [&](const ZulNote &note) { return note.id == repairedNote.id; }));
}

void TestStudioViewModelStartup::readableNotesOfAPartlyBadFileAreShown_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("told");
    QTest::newRow("English") << VeskLanguage(VeskLanguage::en) << "2 note(s) of your notes file could not be read";
    QTest::newRow("Turkish") << VeskLanguage(VeskLanguage::tr) << QString::fromUtf8("Not dosyanızdaki 2 not okunamadı");
}

void TestStudioViewModelStartup::readableNotesOfAPartlyBadFileAreShown()
{
    QFETCH(VeskLanguage, language);
    QFETCH(QString, told);
    VeskLanguage::setCurrent(language);
    Studio studio;
    QJsonArray array;
    for (int i = 0; i < 5; ++i)
        array.append(makeNote(QString::number(i), "1", localTime(2025, 1, 10, 12, i)).toJson());
    // A title that is no text, a tint that is none of the six.
    for (const auto &[index, key, value] : {std::tuple(1, "title", QJsonValue(1)), std::tuple(3, "tint", QJsonValue("pink"))}) {
        QJsonObject spoiled = array.at(index).toObject();
        spoiled.insert(QLatin1StringView(key), value);
        array.replace(index, spoiled);
    }
    const QByteArray bytes = QJsonDocument(array).toJson();
    QVERIFY(writeAll(studio.storage.notesFileURL(), bytes));
    ZulStudioViewModel &viewModel = studio.start();
    VeskLanguage::setCurrent(VeskLanguage::en);
    QCOMPARE(viewModel.notes().size(), 3);
    const QStringList kept = QDir(studio.folder.path()).entryList({"notes.json.unreadable-*"});
    QCOMPARE(kept.size(), 1);
    const QString toast = viewModel.toastMessage().value_or("");
    QVERIFY2(viewModel.toastIsError() && toast.contains(told) && toast.contains(kept.first()), qPrintable(toast));
}

void TestStudioViewModelStartup::bootstrapBringsUpDrawerAndStickies_data()
{
    QTest::addColumn<bool>("drawerEnabled");
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::addColumn<bool>("afterFirstFrame");
    QTest::newRow("drawer on the left") << true << ZulEdgeSide::left << false;
    QTest::newRow("drawer disabled") << false << ZulEdgeSide::right << false;
    QTest::newRow("held for a slow first frame") << true << ZulEdgeSide::left << true;
}

void TestStudioViewModelStartup::bootstrapBringsUpDrawerAndStickies()
{
    QFETCH(bool, drawerEnabled);
    QFETCH(ZulEdgeSide, side);
    QFETCH(bool, afterFirstFrame);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    ZulNote floatingA = makeNote(QStringLiteral("a"), QString(), now);
    floatingA.isFloatingSticky = true;
    ZulNote plain = makeNote(QStringLiteral("b"), QString(), now);
    ZulNote floatingB = makeNote(QStringLiteral("c"), QString(), now);
    floatingB.isFloatingSticky = true;

    Studio studio;
    ZulConfig config;
    config.edgeDrawerEnabled = drawerEnabled;
    config.edgeSide = side;
    QVERIFY(studio.storage.saveConfig(config).ok());
    studio.seed({floatingA, plain, floatingB});
    studio.startsAfterFirstFrame = afterFirstFrame;
    studio.start();

    // Nothing comes up inside the constructor.
    QVERIFY(studio.stickies->shown.isEmpty());
    if (afterFirstFrame) {
        // Neither the keys nor the panels get ahead of the window.
        QTest::qWait(2 * ZulStudioViewModel::bootstrapDelayMs);
        QVERIFY(studio.stickies->shown.isEmpty());
        QCOMPARE(studio.drawers->created, 0);
        QVERIFY(studio.grabber.grabs.isEmpty());
        studio.viewModel->firstFrameShown();
        QCOMPARE(studio.grabber.grabs.size(), 2);
        studio.viewModel->firstFrameShown();
        QCOMPARE(studio.grabber.grabs.size(), 2);
    }
    QTRY_COMPARE(studio.stickies->shown, (QList<QUuid>{floatingA.id, floatingB.id}));
    QCOMPARE(studio.stickies->created, 1);
    if (drawerEnabled) {
        QCOMPARE(studio.drawers->placements, QList<ZulEdgeSide>{side});
    } else {
        QCOMPARE(studio.drawers->created, 0);
        QVERIFY(!studio.viewModel->isEdgeDrawerOpen());
    }
}

void TestStudioViewModelStartup::globalHotkeysAreRegisteredAndRouted()
{
    Studio studio;
    ZulStudioViewModel &viewModel = studio.start();

    const quint32 keysym = VeskGlobalHotkeyManager::keysymForKeyCode(45).value();
    const quint32 toggleModifiers = VeskGlobalHotkeyManager::grabModifiersFor(0x900).value();
    const quint32 stickyModifiers = VeskGlobalHotkeyManager::grabModifiersFor(0xB00).value();
    QCOMPARE(toggleModifiers, quint32(GlobalKeyGrabber::Control | GlobalKeyGrabber::Alt));
    QCOMPARE(stickyModifiers, quint32(GlobalKeyGrabber::Control | GlobalKeyGrabber::Alt | GlobalKeyGrabber::Shift));
    QCOMPARE(studio.grabber.grabs,
             (QList<std::pair<quint32, quint32>>{{keysym, toggleModifiers}, {keysym, stickyModifiers}}));

    const qsizetype before = viewModel.notes().size();
    studio.grabber.press(2);
    QTRY_COMPARE(viewModel.notes().size(), before + 1);
    QVERIFY(viewModel.notes().first().isFloatingSticky);

    studio.grabber.press(1);
    QTRY_VERIFY(viewModel.isEdgeDrawerOpen());
    QCOMPARE(studio.drawers->opens, 1);
}

void TestStudioViewModelStartup::evaluationsUseTheMomentOfEvaluation_data()
{
    QTest::addColumn<QDateTime>("startedAt");
    QTest::addColumn<QDateTime>("evaluatedAt");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QByteArray>("systemZone"); // TZ; empty: as the test was started

    QTest::newRow("at start-up: six hours on stays on the day")
        << localTime(2030, 5, 10, 10, 0) << localTime(2030, 5, 10, 10, 0) << "now + 6 hours" << "2030-05-10"
        << QByteArray();
    QTest::newRow("later the same day: six hours on crosses midnight")
        << localTime(2030, 5, 10, 10, 0) << localTime(2030, 5, 10, 20, 0) << "now + 6 hours" << "2030-05-11"
        << QByteArray();
    QTest::newRow("just after midnight: today is the new day")
        << localTime(2030, 5, 10, 12, 0) << localTime(2030, 5, 11, 0, 0, 5) << "today" << "2030-05-11"
        << QByteArray();
    const QDateTime lateEvening(QDate(2030, 5, 10), QTime(23, 30), Qt::UTC);
    for (const char *unknown : {"Europe/Istambul", "Nowhere/Nope", "UTC+99"}) {
        QTest::addRow("unknown system zone %s: days are counted in UTC", unknown)
            << lateEvening << lateEvening << "bugün + 14 gün" << "2030-05-24" << QByteArray(unknown);
    }
}

void TestStudioViewModelStartup::evaluationsUseTheMomentOfEvaluation()
{
    QFETCH(QDateTime, startedAt);
    QFETCH(QDateTime, evaluatedAt);
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QFETCH(QByteArray, systemZone);
    const QByteArray startZone = qgetenv("TZ");
    const auto restoreZone = qScopeGuard([startZone] { startZone.isNull() ? qunsetenv("TZ") : qputenv("TZ", startZone); });
    if (!systemZone.isEmpty())
        qputenv("TZ", systemZone);

    Studio studio;
    const ZulNote typed = makeNote(QStringLiteral("typed"), QStringLiteral("1"), startedAt.addSecs(-60));
    const ZulNote longNote = makeNote(QStringLiteral("long"), QStringLiteral("2"), startedAt.addSecs(-120));
    studio.seed({typed, longNote});
    studio.clock->fixed = startedAt;
    ZulStudioViewModel &viewModel = studio.start();

    studio.clock->fixed = evaluatedAt;
    viewModel.setQuickScratchText(line);
    QCOMPARE(firstResult(viewModel.quickScratchSummary()), expected);
    const ZulNote created = viewModel.createNote(QStringLiteral("t"), line, ZulNoteTint::amber, false, false);
    QCOMPARE(firstResult(viewModel.evaluation(created.id)), expected);
    viewModel.updateNoteContent(typed.id, line);
    QCOMPARE(firstResult(viewModel.evaluation(typed.id)), expected);
    // A long note is evaluated later, off the GUI thread: it too counts from
    // the moment it is evaluated.
    const QString longText = line + QStringLiteral("\n") + QStringLiteral("1+1\n").repeated(1100);
    viewModel.updateNoteContent(longNote.id, longText);
    QTRY_COMPARE(firstResult(viewModel.evaluation(longNote.id)), expected);
    QCOMPARE(loggedMessages(VeskLogLevel::warn).filter("is unknown; dates are counted in UTC").size(),
             int(!systemZone.isEmpty()));
}

void TestStudioViewModelStartup::everyNoteIsReevaluatedAtMidnight()
{
    Studio studio;
    const ZulNote dated = makeNote(QStringLiteral("due"), QStringLiteral("today"), localTime(2030, 5, 10, 9, 0));
    studio.seed({dated});
    studio.clock->fixed = localTime(2030, 5, 10, 23, 59, 59);
    ZulStudioViewModel &viewModel = studio.start();
    viewModel.setQuickScratchText(QStringLiteral("today"));
    QCOMPARE(firstResult(viewModel.evaluation(dated.id)), QStringLiteral("2030-05-10"));

    // The day turns while nobody types.
    studio.clock->fixed = localTime(2030, 5, 11, 0, 0, 1);
    QTRY_COMPARE_WITH_TIMEOUT(firstResult(viewModel.evaluation(dated.id)), QStringLiteral("2030-05-11"), 5000);
    QCOMPARE(firstResult(viewModel.quickScratchSummary()), QStringLiteral("2030-05-11"));
}

QTEST_MAIN(TestStudioViewModelStartup)
#include "tst_studioviewmodelstartup.moc"
