#include "Services/ZulStorageService.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

#include <csignal>
#include <system_error>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDataDir = QStringLiteral(VESK_TEST_DATA_DIR "/storage");

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QString readText(const QString &path)
{
    return QString::fromUtf8(readBytes(path));
}

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC);
}

ZulNote makeNote(const QString &title, const QDateTime &updatedAt = utc(2025, 1, 10, 12))
{
    return ZulNote(QUuid::createUuid(), title, QStringLiteral("1 + 2\n3 * 4"), ZulNoteTint::emerald,
                   false, false, false, std::nullopt, {QStringLiteral("t")}, updatedAt, updatedAt);
}

QList<ZulNote> makeVersion(const QString &tag, int count)
{
    QList<ZulNote> notes;
    for (int i = 0; i < count; ++i)
        notes.append(makeNote(QStringLiteral("%1 %2").arg(tag).arg(i)));
    return notes;
}

// Enough notes for a file read on several threads, their texts full of
// what could be taken for the file's own brackets, commas and quotes.
QList<ZulNote> largeCollection()
{
    QList<ZulNote> notes = makeVersion(QStringLiteral("m"), 1200);
    for (qsizetype i = 0; i < notes.size(); ++i)
        notes[i].content = QStringLiteral("[{\"a\": [1, 2]}, \\\" ] } , %1\n").arg(i).repeated(120);
    return notes;
}

QStringList titlesOf(const QList<ZulNote> &notes)
{
    QStringList titles;
    for (const ZulNote &note : notes)
        titles << note.title;
    return titles;
}

// A notes file as it might be left by a crash in the middle of writing it.
QByteArray truncatedNotesFile(qsizetype size)
{
    ZulNote big = makeNote(QStringLiteral("big"));
    big.content = QString(4000, u'x');
    QByteArray one = ZulStorageService::encodeNotes({big}).value();
    one = one.mid(1, one.lastIndexOf(']') - 1).trimmed();  // the object without the brackets
    QByteArray file;
    file.reserve(size + one.size() + 2);
    file.append('[');
    while (file.size() < size)
        file.append(one).append(",\n");
    file.truncate(size);
    return file;
}

const QRegularExpression kPreservedName(
    QStringLiteral("^(notes|config|rates)\\.json\\.unreadable-\\d{8}T\\d{6}Z(-\\d+)?$"));

QStringList preservedFiles(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.unreadable-*")}, QDir::Files, QDir::Name);
}

} // namespace

class TestZulStorageService : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void defaultFolderFollowsXdgDataHome_data();
    void defaultFolderFollowsXdgDataHome();
    void firstLaunchWritesStarterNotesOnly();
    void givenFolderIsUsedDirectly();
    void emptyArrayLoadsAsEmptyList();
    void starterNotesWordForWord();
    void savedFilesAreIndentedSortedWholeSeconds();
    void savedNotesReadBack();

    void preservesUnreadableNotesFile_data();
    void preservesUnreadableNotesFile();
    void loadsEveryReadableNote_data();
    void loadsEveryReadableNote();
    void preservesUnreadableConfigFile_data();
    void preservesUnreadableConfigFile();
    void preservesUnreadableRatesFile_data();
    void preservesUnreadableRatesFile();
    void unusableRatesFallBack_data();
    void unusableRatesFallBack();
    void settingsOutsideTheirRangeAreBroughtIn_data();
    void settingsOutsideTheirRangeAreBroughtIn();
    void readableFileIsReplacedWithoutCopy();
    void fileReplacedBehindOurBackIsChecked();
    void byteOrderMarkIsAccepted();
    void preservedFilesAreNeverReplaced();
    void directoryWhereFileShouldBe_data();
    void directoryWhereFileShouldBe();
    void unwritableFolderReportsAndKeepsOldFile_data();
    void unwritableFolderReportsAndKeepsOldFile();
    void undatableNoteIsNotWritten();

    void totalStorageBytes_data();
    void totalStorageBytes();
    void tidyEphemeralNotes_data();
    void tidyEphemeralNotes();

    void overlappingSavesLeaveOneCompleteVersion();

private:
    QTemporaryDir m_root;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString folder() const { return m_dir->path(); }
};

void TestZulStorageService::initTestCase()
{
    QVERIFY(m_root.isValid());
    // Nothing here may reach the real home, even through the default folder.
    qputenv("HOME", QFile::encodeName(m_root.filePath("home")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath("xdg-data")));
}

void TestZulStorageService::init()
{
    m_dir = std::make_unique<QTemporaryDir>(m_root.filePath("case-XXXXXX"));
    QVERIFY(m_dir->isValid());
}

void TestZulStorageService::defaultFolderFollowsXdgDataHome_data()
{
    QTest::addColumn<QByteArray>("home");         // empty: unset; relative to the root
    QTest::addColumn<QByteArray>("xdgDataHome");  // empty: unset; relative to the root
    QTest::addColumn<QByteArray>("expected");     // relative to the root, or absolute
    QTest::newRow("XDG_DATA_HOME set") << QByteArray("home") << QByteArray("elsewhere/data")
                                       << QByteArray("elsewhere/data/Quarnell/VeskZul");
    QTest::newRow("XDG_DATA_HOME unset") << QByteArray("home") << QByteArray()
                                         << QByteArray("home/.local/share/Quarnell/VeskZul");
    QTest::newRow("HOME and XDG_DATA_HOME unset: the account's home")
        << QByteArray() << QByteArray() << QByteArray(::getpwuid(::getuid())->pw_dir) + "/.local/share/Quarnell/VeskZul";
    QTest::newRow("XDG_DATA_HOME in Latin-1, not UTF-8") << QByteArray("home") << QByteArray("caf\xe9/data")
                                                         << QByteArray("caf\xe9/data/Quarnell/VeskZul");
}

void TestZulStorageService::defaultFolderFollowsXdgDataHome()
{
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, xdgDataHome);
    QFETCH(QByteArray, expected);
    const QByteArray root = QFile::encodeName(m_root.path()) + '/';
    const QByteArray savedHome = qgetenv("HOME"), savedData = qgetenv("XDG_DATA_HOME");
    for (const auto &[name, value] : {std::pair{"HOME", home}, {"XDG_DATA_HOME", xdgDataHome}}) {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, root + value);
    }
    const ZulStorageService storage;
    qputenv("HOME", savedHome);
    qputenv("XDG_DATA_HOME", savedData);

    QCOMPARE(storage.notesFileURL(), storage.baseDirectory() + "/notes.json");
    QCOMPARE(storage.configFileURL(), storage.baseDirectory() + "/config.json");
    QCOMPARE(storage.ratesFileURL(), storage.baseDirectory() + "/rates.json");
    if (expected.startsWith('/')) {
        // The real home: nothing is made there.
        QCOMPARE(QFile::encodeName(storage.baseDirectory()), expected);
        return;
    }
    QVERIFY2(!QFileInfo::exists(storage.baseDirectory()), "made before anything was written");
    QVERIFY(storage.saveConfig(ZulConfig()));
    struct stat written {};
    QVERIFY2(::stat(root + expected + "/config.json", &written) == 0, qPrintable(storage.configFileURL()));
}

void TestZulStorageService::firstLaunchWritesStarterNotesOnly()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(folder()));
    const ZulStorageService storage;
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_root.filePath("xdg-data")));
    QCOMPARE(storage.baseDirectory(), folder() + "/Quarnell/VeskZul");

    QCOMPARE(storage.loadConfig(), ZulConfig());
    QCOMPARE(storage.loadCachedRates(), CurrencyRateTable::offlineDefaults());
    const ZulNotesLoadReport report = storage.loadNotesReporting();
    QCOMPARE(report.outcome, ZulNotesLoadOutcome::starterNotesCreated);
    QVERIFY2(report.problem.isEmpty(), qPrintable(report.problem));
    QCOMPARE(titlesOf(report.notes),
             QStringList({QString::fromUtf8("Bütçe & Hesaplama Oyun Alanı"),
                          QString::fromUtf8("Hızlı Karalama & Snippetler")}));

    QCOMPARE(QDir(storage.baseDirectory()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList({"notes.json"}));
    const ZulResult<QList<ZulNote>> onDisk =
        ZulStorageService::decodeNotes(readBytes(storage.notesFileURL()));
    QVERIFY2(onDisk, qPrintable(onDisk.error()));
    QCOMPARE(onDisk.value(), report.notes);
    QCOMPARE(storage.loadNotesReporting().outcome, ZulNotesLoadOutcome::loaded);
    QCOMPARE(storage.loadNotes(), report.notes);
}

void TestZulStorageService::givenFolderIsUsedDirectly()
{
    const ZulStorageService storage(folder());
    QCOMPARE(storage.notesFileURL(), folder() + "/notes.json");
    storage.loadNotes();
    QVERIFY(QFileInfo::exists(folder() + "/notes.json"));
    QVERIFY(!QFileInfo::exists(folder() + "/Quarnell"));
}

void TestZulStorageService::emptyArrayLoadsAsEmptyList()
{
    QVERIFY(writeBytes(folder() + "/notes.json", "[]"));
    const ZulNotesLoadReport report = ZulStorageService(folder()).loadNotesReporting();
    QCOMPARE(report.outcome, ZulNotesLoadOutcome::loaded);
    QVERIFY(report.notes.isEmpty());
}

void TestZulStorageService::starterNotesWordForWord()
{
    const QDateTime now = utc(2025, 1, 10, 12, 0, 0, 250);
    const QList<ZulNote> first = ZulStorageService::makeStarterNotes(now);
    QCOMPARE(first.size(), 2);

    const ZulNote &budget = first.at(0);
    QCOMPARE(budget.title, QString::fromUtf8("Bütçe & Hesaplama Oyun Alanı"));
    QCOMPARE(budget.content, readText(kDataDir + "/starter-budget.txt"));
    QCOMPARE(budget.content.count(u'\n'), 26);
    QCOMPARE(budget.tint, ZulNoteTint::indigo);
    QVERIFY(budget.isPinned);
    QCOMPARE(budget.tags, QStringList({QString::fromUtf8("bütçe"), "hesaplama", "rehber"}));
    QCOMPARE(budget.createdAt, now);
    QCOMPARE(budget.updatedAt, now);

    const ZulNote &scratch = first.at(1);
    QCOMPARE(scratch.title, QString::fromUtf8("Hızlı Karalama & Snippetler"));
    QCOMPARE(scratch.content, readText(kDataDir + "/starter-scratch.txt"));
    QCOMPARE(scratch.content.count(u'\n'), 15);
    QCOMPARE(scratch.tint, ZulNoteTint::cyan);
    QVERIFY(!scratch.isPinned);
    QCOMPARE(scratch.tags, QStringList({"karalama", "sprint"}));
    QCOMPARE(scratch.createdAt, now.addSecs(-60));
    QCOMPARE(scratch.updatedAt, now.addSecs(-60));

    for (const ZulNote &note : first) {
        QVERIFY(!note.isEphemeral);
        QVERIFY(!note.isFloatingSticky);
        QVERIFY(!note.stickyFrame);
    }

    QList<ZulNote> second = ZulStorageService::makeStarterNotes(now);
    QVERIFY(second.at(0).id != first.at(0).id);
    QVERIFY(second.at(1).id != first.at(1).id);
    QVERIFY(second.at(0).id != second.at(1).id);
    second[0].id = first.at(0).id;
    second[1].id = first.at(1).id;
    QCOMPARE(second, first);
}

void TestZulStorageService::savedFilesAreIndentedSortedWholeSeconds()
{
    const ZulStorageService storage(folder());
    const QList<ZulNote> notes = {
        ZulNote(QUuid::fromString(QStringLiteral("6f9619ff-8b86-d011-b42d-00cf4fc964ff")),
                QStringLiteral("Groceries"), QStringLiteral("milk\neggs"), ZulNoteTint::amber, true,
                false, true, QRectF(10.5, -20, 340, 360), {"home", "weekly"},
                utc(2025, 1, 10, 12), utc(2025, 1, 11, 8, 30, 15)),
        ZulNote(QUuid::fromString(QStringLiteral("00000000-0000-0000-0000-00000000000a")),
                QString::fromUtf8("Ünïcode “quoted”"), QString(), ZulNoteTint::violet, false, true,
                false, std::nullopt, {}, utc(1999, 12, 31, 23, 59, 59),
                utc(2000, 1, 1, 0, 0, 0, 999)),
    };
    QVERIFY(storage.saveNotes(notes).ok());
    QCOMPARE(readText(storage.notesFileURL()), readText(kDataDir + "/saved-notes.json"));
    QVERIFY(storage.saveConfig(ZulConfig()).ok());
    QCOMPARE(readText(storage.configFileURL()), readText(kDataDir + "/saved-config.json"));
}

void TestZulStorageService::savedNotesReadBack()
{
    const ZulStorageService storage(folder());
    QList<ZulNote> notes = makeVersion(QStringLiteral("n"), 3);
    notes[1].stickyFrame = QRectF(-1500.25, 20, 340, 44);
    notes[2].content = QString::fromUtf8("emoji \U0001F600 and \"quotes\" and \\ and \u0007");
    QVERIFY(storage.saveNotes(notes).ok());
    const ZulNotesLoadReport report = ZulStorageService(folder()).loadNotesReporting();
    QCOMPARE(report.outcome, ZulNotesLoadOutcome::loaded);
    QCOMPARE(report.notes, notes);
    const QList<ZulNote> many = largeCollection();
    QVERIFY(storage.saveNotes(many).ok());
    QVERIFY(QFileInfo(storage.notesFileURL()).size() >= 4 << 20);
    QCOMPARE(ZulStorageService(folder()).loadNotes(), many);

    const ZulConfig config(false, ZulEdgeSide::left, 0, QStringLiteral("EUR"), 13.5, false, true);
    QVERIFY(storage.saveConfig(config).ok());
    QCOMPARE(ZulStorageService(folder()).loadConfig(), config);

    const CurrencyRateTable rates({{"USD", 1}, {"EUR", 0.9123456789}, {"KRW", 1391.5}},
                                  utc(2025, 3, 1, 9, 30, 5), true);
    QVERIFY(storage.saveCachedRates(rates).ok());
    QCOMPARE(ZulStorageService(folder()).loadCachedRates(), rates);
    QVERIFY(readText(storage.ratesFileURL()).contains("\"updatedAt\": \"2025-03-01T09:30:05Z\""));
}

void TestZulStorageService::preservesUnreadableNotesFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray valid = ZulStorageService::encodeNotes(makeVersion(QStringLiteral("v"), 2)).value();
    const auto replaced = [&valid](const char *from, const char *to) {
        QByteArray copy = valid;
        return copy.replace(from, to);
    };
    QTest::newRow("truncated JSON") << valid.left(valid.size() / 2);
    QTest::newRow("a note cut short") << replaced("\"tags\"", "\"tags\" ,");
    QTest::newRow("object instead of array") << QByteArray("{\"notes\": []}");
    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("binary garbage") << QByteArray("\x00\xff\xfe[{\x01", 6);
    QTest::newRow("nested too deep") << QByteArray(100000, '[');
    QTest::newRow("50 MB cut short") << truncatedNotesFile(50 * 1024 * 1024);
}

void TestZulStorageService::preservesUnreadableNotesFile()
{
    QFETCH(QByteArray, content);
    const QString path = folder() + "/notes.json";
    QVERIFY(writeBytes(path, content));
    const ZulStorageService storage(folder());

    const ZulNotesLoadReport report = storage.loadNotesReporting();
    QCOMPARE(report.outcome, ZulNotesLoadOutcome::unreadable);
    QVERIFY(!report.problem.isEmpty());
    QCOMPARE(report.notes.size(), 2);  // fresh starter notes
    QCOMPARE(report.notes.at(0).tint, ZulNoteTint::indigo);
    QVERIFY2(readBytes(path) == content, "the load changed the file");
    // A copy is kept at once, before anyone can repair or replace the file.
    QVERIFY2(kPreservedName.match(QFileInfo(report.keptCopyPath).fileName()).hasMatch(),
             qPrintable(report.keptCopyPath));
    QCOMPARE(QFileInfo(report.keptCopyPath).absolutePath(), QFileInfo(path).absolutePath());
    QVERIFY2(readBytes(report.keptCopyPath) == content, "the kept copy differs");
    // Loaded again, as at the next start: the copy already kept is the one.
    QCOMPARE(ZulStorageService(folder()).loadNotesReporting().keptCopyPath, report.keptCopyPath);

    // The user repairs the file meanwhile: the save after the next edit keeps the repair beside it.
    const QByteArray repaired = ZulStorageService::encodeNotes(makeVersion(QStringLiteral("repaired"), 1)).value();
    QVERIFY(writeBytes(path, repaired));
    const QList<ZulNote> edited = makeVersion(QStringLiteral("edited"), 3);
    const ZulResult<ZulSavedFile> saved = storage.saveNotes(edited);
    QVERIFY2(saved.ok(), qPrintable(saved.error()));
    QVERIFY(saved.value().preservedFilePath.contains(".replaced-"));
    QVERIFY(readBytes(saved.value().preservedFilePath) == repaired);
    QCOMPARE(storage.loadNotes(), edited);

    const ZulResult<ZulSavedFile> again = storage.saveNotes(makeVersion(QStringLiteral("again"), 1));
    QVERIFY(again.ok());
    QVERIFY(again.value().preservedFilePath.isEmpty());
    QCOMPARE(preservedFiles(folder()).size(), 1);
    // The kept copy is not part of the footprint.
    QCOMPARE(storage.totalStorageBytes(), QFileInfo(path).size());
}

// A notes file of `count` notes of which those at `bad` are titled "bad"
// and spoiled, in turn, by each of `spoil`.
QByteArray fileWithBadNotes(int count, const QList<int> &bad, const QList<std::function<void(QJsonObject &)>> &spoil,
                            int linesEach = 2)
{
    QJsonArray array;
    for (int i = 0; i < count; ++i) {
        ZulNote note = makeNote(QStringLiteral("%1 %2").arg(bad.contains(i) ? "bad" : "good").arg(i));
        note.content = QStringLiteral("%1 + 2\n").arg(i).repeated(linesEach);
        QJsonObject object = note.toJson();
        if (bad.contains(i))
            spoil.at(bad.indexOf(i) % spoil.size())(object);
        array.append(object);
    }
    return QJsonDocument(array).toJson();
}

void TestZulStorageService::loadsEveryReadableNote_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("readable");
    const auto set = [](const char *key, const QJsonValue &value) {
        return [key, value](QJsonObject &note) { note.insert(QLatin1StringView(key), value); };
    };
    const QList<std::function<void(QJsonObject &)>> kinds = {
        set("tint", "pink"), set("createdAt", "2025-01-10T12:00:00.5Z"), set("title", 7), set("id", "X"),
        [](QJsonObject &note) { note.remove("tags"); }};
    QTest::newRow("an unknown tint") << fileWithBadNotes(3, {1}, {kinds[0]}) << 2;
    QTest::newRow("a date with fractions of a second") << fileWithBadNotes(3, {0}, {kinds[1]}) << 2;
    QTest::newRow("a text that is a number, a bad id") << fileWithBadNotes(4, {0, 3}, {kinds[2], kinds[3]}) << 2;
    QTest::newRow("every note without a required key") << fileWithBadNotes(2, {0, 1}, {kinds[4]}) << 0;
    QByteArray number = fileWithBadNotes(2, {}, kinds);
    QTest::newRow("a number for a note") << number.insert(number.indexOf('[') + 1, "42,") << 2;
    // Read on several threads.
    const QByteArray large = fileWithBadNotes(10000, {3, 999, 1000, 2500, 4999, 5000, 7777, 8000, 9998, 9999}, kinds, 40);
    QVERIFY(large.size() > 4 << 20);
    QTest::newRow("ten bad notes among 10,000") << large << 9990;
}

void TestZulStorageService::loadsEveryReadableNote()
{
    QFETCH(QByteArray, content);
    QFETCH(int, readable);
    const QString path = folder() + "/notes.json";
    QVERIFY(writeBytes(path, content));
    const ZulStorageService storage(folder());
    const ZulNotesLoadReport report = storage.loadNotesReporting();
    QCOMPARE(report.outcome, ZulNotesLoadOutcome::loaded);
    QCOMPARE(report.notes.size(), readable);
    QVERIFY(titlesOf(report.notes).filter(QRegularExpression("^bad ")).isEmpty());
    QCOMPARE(report.unreadableNoteCount, QJsonDocument::fromJson(content).array().size() - readable);
    QVERIFY2(readBytes(path) == content, "the load changed the file");
    // The file as it was is kept at once, byte for byte; the next save
    // writes the notes that were read and leaves the copy be.
    QVERIFY2(kPreservedName.match(QFileInfo(report.keptCopyPath).fileName()).hasMatch(), qPrintable(report.keptCopyPath));
    const ZulResult<ZulSavedFile> saved = storage.saveNotes(report.notes);
    QVERIFY(saved.ok() && saved.value().preservedFilePath.isEmpty());
    QCOMPARE(storage.loadNotes(), report.notes);
    QCOMPARE(preservedFiles(folder()), QStringList({QFileInfo(report.keptCopyPath).fileName()}));
    QVERIFY2(readBytes(report.keptCopyPath) == content, "the kept copy differs");
}

void TestZulStorageService::preservesUnreadableConfigFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("truncated") << QByteArray("{\"fontSize\": 1");
    QTest::newRow("font size as text") << QByteArray("{\"fontSize\": \"16\"}");
    QTest::newRow("edge top") << QByteArray("{\"edgeSide\": \"top\"}");
    QTest::newRow("array") << QByteArray("[]");
    QTest::newRow("bare number") << QByteArray("14");
}

void TestZulStorageService::preservesUnreadableConfigFile()
{
    QFETCH(QByteArray, content);
    const QString path = folder() + "/config.json";
    QVERIFY(writeBytes(path, content));
    const ZulStorageService storage(folder());
    const ZulLoadReport<ZulConfig> report = storage.loadConfigReporting();
    QCOMPARE(report.value, ZulConfig());
    QVERIFY(readBytes(path) == content);
    QVERIFY(kPreservedName.match(QFileInfo(report.keptCopyPath).fileName()).hasMatch());
    QVERIFY(readBytes(report.keptCopyPath) == content);
    QCOMPARE(storage.loadConfigReporting().keptCopyPath, report.keptCopyPath);

    ZulConfig changed;
    changed.fontSize = 18;
    const ZulResult<ZulSavedFile> saved = storage.saveConfig(changed);
    QVERIFY(saved.ok());
    QCOMPARE(storage.loadConfig(), changed);
}

void TestZulStorageService::preservesUnreadableRatesFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("truncated") << QByteArray("{\"ratesPerUSD\": {\"EUR\": 0.9");
    QTest::newRow("without isLive") << QByteArray("{\"ratesPerUSD\": {\"EUR\": 0.9}}");
    QTest::newRow("rate as text") << QByteArray("{\"ratesPerUSD\": {\"EUR\": \"0.9\"}, \"isLive\": true}");
    QTest::newRow("fractional-second date")
        << QByteArray("{\"ratesPerUSD\": {}, \"isLive\": true, \"updatedAt\": \"2025-01-10T12:00:00.5Z\"}");
    QTest::newRow("rate beyond double") << QByteArray("{\"ratesPerUSD\": {\"EUR\": 1e400}, \"isLive\": true}");
}

void TestZulStorageService::preservesUnreadableRatesFile()
{
    QFETCH(QByteArray, content);
    const QString path = folder() + "/rates.json";
    QVERIFY(writeBytes(path, content));
    const ZulStorageService storage(folder());
    const ZulLoadReport<CurrencyRateTable> report = storage.loadCachedRatesReporting();
    QCOMPARE(report.value, CurrencyRateTable::offlineDefaults());
    QVERIFY(readBytes(path) == content);
    QVERIFY(kPreservedName.match(QFileInfo(report.keptCopyPath).fileName()).hasMatch());
    QVERIFY(readBytes(report.keptCopyPath) == content);

    const CurrencyRateTable fetched({{"USD", 1}, {"TRY", 41}}, utc(2025, 5, 5), true);
    const ZulResult<ZulSavedFile> saved = storage.saveCachedRates(fetched);
    QVERIFY2(saved, qPrintable(saved.error()));
    QCOMPARE(storage.loadCachedRates(), fetched);
}

void TestZulStorageService::unusableRatesFallBack_data()
{
    QTest::addColumn<QByteArray>("rates");      // the "ratesPerUSD" object
    QTest::addColumn<QStringList>("expected");  // code=rate, sorted
    QTest::newRow("all usable") << QByteArray(R"({"USD": 1, "EUR": 0.5})") << QStringList({"EUR=0.5", "USD=1"});
    QTest::newRow("zero takes the built-in rate") << QByteArray(R"({"USD": 1, "EUR": 0})") << QStringList({"EUR=0.92", "USD=1"});
    QTest::newRow("negative takes the built-in rate") << QByteArray(R"({"TRY": -38})") << QStringList({"TRY=38"});
    QTest::newRow("unknown code dropped") << QByteArray(R"({"XAU": 0, "GBP": 0.8})") << QStringList({"GBP=0.8"});
    QTest::newRow("lower-case code not matched") << QByteArray(R"({"eur": 0})") << QStringList();
}

void TestZulStorageService::unusableRatesFallBack()
{
    QFETCH(QByteArray, rates);
    QFETCH(QStringList, expected);
    const QByteArray file = R"({"isLive": true, "updatedAt": "2025-01-10T12:00:00Z", "ratesPerUSD": )" + rates + "}";
    QVERIFY(writeBytes(folder() + "/rates.json", file));
    const CurrencyRateTable loaded = ZulStorageService(folder()).loadCachedRates();
    QStringList got;
    for (auto it = loaded.ratesPerUSD.cbegin(); it != loaded.ratesPerUSD.cend(); ++it)
        got << it.key() + "=" + QString::number(it.value());
    got.sort();
    QCOMPARE(got, expected);
    QVERIFY(loaded.isLive);
    QCOMPARE(loaded.updatedAt, std::optional(utc(2025, 1, 10, 12)));
    // A file that decodes is not a corrupt one: the next save replaces it without a copy.
    const ZulResult<ZulSavedFile> saved = ZulStorageService(folder()).saveCachedRates(loaded);
    QVERIFY(saved);
    QVERIFY(saved.value().preservedFilePath.isEmpty());
}

void TestZulStorageService::settingsOutsideTheirRangeAreBroughtIn_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<double>("fontSize");
    QTest::addColumn<qint64>("tidyHours");
    QTest::newRow("in range") << QByteArray(R"({"fontSize": 16.5, "autoTidyEphemeralHours": 96})") << 16.5 << qint64(96);
    QTest::newRow("tidy age of the largest 64-bit number")
        << QByteArray(R"({"autoTidyEphemeralHours": 9223372036854775807})") << 14.0 << qint64(168);
    QTest::newRow("font beyond any screen") << QByteArray(R"({"fontSize": 1e308})") << 22.0 << qint64(24);
    QTest::newRow("negative font, negative tidy age (off)")
        << QByteArray(R"({"fontSize": -3, "autoTidyEphemeralHours": -5})") << 11.0 << qint64(0);
}

void TestZulStorageService::settingsOutsideTheirRangeAreBroughtIn()
{
    QFETCH(QByteArray, settings);
    QFETCH(double, fontSize);
    QFETCH(qint64, tidyHours);
    QVERIFY(writeBytes(folder() + "/config.json", settings));
    const ZulConfig loaded = ZulStorageService(folder()).loadConfig();
    QCOMPARE(loaded.fontSize, fontSize);
    QCOMPARE(loaded.autoTidyEphemeralHours, tidyHours);
}

void TestZulStorageService::readableFileIsReplacedWithoutCopy()
{
    // Written by another service of this process: the version last saved, so simply replaced.
    QVERIFY(ZulStorageService(folder()).saveNotes(makeVersion(QStringLiteral("other"), 2)).ok());
    QVERIFY(ZulStorageService(folder()).saveConfig(ZulConfig(false, ZulEdgeSide::left, 1, "EUR", 9, 0, 0)).ok());
    const ZulStorageService storage(folder());
    const ZulResult<ZulSavedFile> notes = storage.saveNotes(makeVersion(QStringLiteral("mine"), 1));
    const ZulResult<ZulSavedFile> config = storage.saveConfig(ZulConfig());
    QVERIFY(notes.ok() && config.ok());
    QVERIFY(notes.value().preservedFilePath.isEmpty() && config.value().preservedFilePath.isEmpty());
    QVERIFY(preservedFiles(folder()).isEmpty());
}

void TestZulStorageService::fileReplacedBehindOurBackIsChecked()
{
    const ZulStorageService storage(folder());
    QVERIFY(storage.saveNotes(makeVersion(QStringLiteral("a"), 2)).ok());
    QVERIFY(storage.saveNotes(makeVersion(QStringLiteral("b"), 2)).ok());
    // Something else scribbles over the file between two of our saves.
    const QByteArray scribble = "not notes at all";
    QVERIFY(writeBytes(storage.notesFileURL(), scribble));
    const ZulResult<ZulSavedFile> saved = storage.saveNotes(makeVersion(QStringLiteral("c"), 2));
    QVERIFY(saved.ok());
    QVERIFY(!saved.value().preservedFilePath.isEmpty());
    QCOMPARE(readBytes(saved.value().preservedFilePath), scribble);
}

void TestZulStorageService::byteOrderMarkIsAccepted()
{
    // Editors on other systems start a UTF-8 file with one.
    const ZulStorageService storage(folder());
    QVERIFY(storage.saveNotes(makeVersion(QStringLiteral("n"), 1)).ok() && storage.saveConfig(ZulConfig()).ok()
            && storage.saveCachedRates(CurrencyRateTable::offlineDefaults()).ok());
    for (const QString &path : {storage.notesFileURL(), storage.configFileURL(), storage.ratesFileURL()})
        QVERIFY(writeBytes(path, "\xEF\xBB\xBF" + readBytes(path)));
    const ZulStorageService fresh(folder());
    QCOMPARE(fresh.loadNotesReporting().outcome, ZulNotesLoadOutcome::loaded);
    QVERIFY(fresh.loadConfigReporting().problem.isEmpty() && fresh.loadCachedRatesReporting().problem.isEmpty());
}

void TestZulStorageService::preservedFilesAreNeverReplaced()
{
    const ZulStorageService storage(folder());
    const QByteArray readable = ZulStorageService::encodeNotes(makeVersion(QStringLiteral("r"), 1)).value();
    // Bytes found in the way of a save, and which of them are kept anew: the
    // same bytes as the newest copy kept for the same reason are not.
    const QList<std::pair<QByteArray, bool>> found = {{"first {", true}, {"first {", false}, {readable, true},
                                                      {"second [", true}, {readable, false}, {"first {", true}};
    QStringList kept;
    for (const auto &[bytes, anew] : found) {
        QVERIFY(writeBytes(storage.notesFileURL(), bytes));
        const ZulResult<ZulSavedFile> saved = storage.saveNotes(makeVersion(QStringLiteral("x"), 1));
        QVERIFY(saved.ok());
        QCOMPARE(kept.contains(saved.value().preservedFilePath), !anew);
        kept << saved.value().preservedFilePath;
        QCOMPARE(readBytes(kept.last()), bytes);
    }
    // Within the same second or not, each under its own name.
    QCOMPARE(preservedFiles(folder()).size(), 3);
    QCOMPARE(QDir(folder()).entryList({"notes.json.replaced-*"}).size(), 1);
}

void TestZulStorageService::directoryWhereFileShouldBe_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("notes") << "notes.json";
    QTest::newRow("config") << "config.json";
    QTest::newRow("rates") << "rates.json";
}

void TestZulStorageService::directoryWhereFileShouldBe()
{
    QFETCH(QString, name);
    QVERIFY(QDir(folder()).mkpath(name + "/inner"));
    const ZulStorageService storage(folder());

    const ZulNotesLoadReport notes = storage.loadNotesReporting();
    QCOMPARE(storage.loadConfig(), ZulConfig());
    QCOMPARE(storage.loadCachedRates(), CurrencyRateTable::offlineDefaults());
    if (name == "notes.json") {
        QCOMPARE(notes.outcome, ZulNotesLoadOutcome::unreadable);
        QCOMPARE(notes.notes.size(), 2);
    }
    const ZulResult<ZulSavedFile> saved = name == "notes.json"
        ? storage.saveNotes(makeVersion(QStringLiteral("x"), 1))
        : name == "config.json" ? storage.saveConfig(ZulConfig())
                                : storage.saveCachedRates(CurrencyRateTable::offlineDefaults());
    QVERIFY(!saved.ok());
    QVERIFY2(saved.error().contains(name), qPrintable(saved.error()));
    QVERIFY(QFileInfo(folder() + "/" + name + "/inner").isDir());
}

void TestZulStorageService::unwritableFolderReportsAndKeepsOldFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("folder without write permission") << "permissions";
    QTest::newRow("folder path under a regular file") << "under a file";
    QTest::newRow("no room to write, as on a full disk") << "size limit";
}

void TestZulStorageService::unwritableFolderReportsAndKeepsOldFile()
{
    QFETCH(QString, how);
    // The system's own words for the failure, where a write fails part way.
    const QString reason = how == "size limit" ? QString::fromStdString(std::generic_category().message(EFBIG)) : "";
    const bool byPermissions = how == "permissions";
    if (byPermissions && ::geteuid() == 0)
        QSKIP("running as root: file permissions do not stop root from writing");

    QString base = folder() + "/store";
    QVERIFY(QDir().mkpath(base));
    const QList<ZulNote> original = makeVersion(QStringLiteral("original"), 2);
    QVERIFY(ZulStorageService(base).saveNotes(original).ok());
    const QByteArray before = readBytes(base + "/notes.json");
    struct rlimit sizeLimit {};
    QVERIFY(::getrlimit(RLIMIT_FSIZE, &sizeLimit) == 0);
    if (byPermissions) {
        QVERIFY(::chmod(QFile::encodeName(base).constData(), 0555) == 0);
    } else if (how == "size limit") {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit tiny = sizeLimit;
        tiny.rlim_cur = 64;
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &tiny) == 0);
    } else {
        QVERIFY(writeBytes(folder() + "/plain-file", "x"));
        base = folder() + "/plain-file/store";
    }
    const ZulStorageService storage(base);
    const ZulResult<ZulSavedFile> notes = storage.saveNotes(makeVersion(QStringLiteral("new"), 1));
    const ZulResult<ZulSavedFile> config = storage.saveConfig(ZulConfig());
    const ZulResult<ZulSavedFile> rates = storage.saveCachedRates(CurrencyRateTable::offlineDefaults());
    ::setrlimit(RLIMIT_FSIZE, &sizeLimit);
    for (const auto *result : {&notes, &config, &rates})
        QVERIFY2(!result->ok() && result->error().contains(reason), qPrintable(result->error()));
    if (how != "under a file") {
        // Another service on the same folder still reads what was there before.
        QCOMPARE(storage.loadNotes(), original);
        ::chmod(QFile::encodeName(base).constData(), 0755);
        QCOMPARE(readBytes(base + "/notes.json"), before);
        QCOMPARE(QDir(base).entryList(QDir::Files), QStringList({"notes.json"}));
    } else {
        const ZulNotesLoadReport report = storage.loadNotesReporting();
        QCOMPARE(report.outcome, ZulNotesLoadOutcome::starterNotesCreated);
        QVERIFY2(!report.problem.isEmpty(), "a starter write that failed went unreported");
    }
    QVERIFY(!notes.error().isEmpty() && !config.error().isEmpty() && !rates.error().isEmpty());
}

void TestZulStorageService::undatableNoteIsNotWritten()
{
    const ZulStorageService storage(folder());
    const QList<ZulNote> good = makeVersion(QStringLiteral("good"), 1);
    QVERIFY(storage.saveNotes(good).ok());
    for (const QDateTime &bad : {QDateTime(), utc(10000, 1, 1)}) {
        QList<ZulNote> notes = good;
        notes.append(makeNote(QStringLiteral("bad"), bad));
        QVERIFY(!storage.saveNotes(notes).ok());
        QCOMPARE(storage.loadNotes(), good);
    }
}

void TestZulStorageService::totalStorageBytes_data()
{
    QTest::addColumn<QStringList>("files");  // name=size
    QTest::addColumn<qint64>("expected");
    QTest::newRow("no files") << QStringList() << qint64(0);
    QTest::newRow("notes only") << QStringList({"notes.json=1200"}) << qint64(1200);
    QTest::newRow("all three") << QStringList({"notes.json=1200", "config.json=30", "rates.json=7"}) << qint64(1237);
    QTest::newRow("other files not counted")
        << QStringList({"config.json=30", "notes.json.unreadable-20250110T120000Z=999", "other.txt=5"}) << qint64(30);
}

void TestZulStorageService::totalStorageBytes()
{
    QFETCH(QStringList, files);
    for (const QString &entry : files) {
        const QStringList parts = entry.split(u'=');
        QVERIFY(writeBytes(folder() + "/" + parts.at(0), QByteArray(parts.at(1).toInt(), 'a')));
    }
    QTEST(ZulStorageService(folder()).totalStorageBytes(), "expected");
}

void TestZulStorageService::tidyEphemeralNotes_data()
{
    QTest::addColumn<qint64>("maxAgeHours");
    QTest::addColumn<QStringList>("expectedKept");
    const QStringList all = {"old", "fresh", "pinned", "floating", "plain", "future", "older"};
    QTest::newRow("off at 0") << qint64(0) << all;
    QTest::newRow("off below 0") << qint64(-5) << all;
    QTest::newRow("24 hours") << qint64(24) << QStringList({"fresh", "pinned", "floating", "plain", "future"});
    QTest::newRow("1 hour") << qint64(1) << QStringList({"pinned", "floating", "plain", "future"});
    QTest::newRow("a century") << qint64(24 * 365 * 100) << all;
}

void TestZulStorageService::tidyEphemeralNotes()
{
    QFETCH(qint64, maxAgeHours);
    QFETCH(QStringList, expectedKept);
    const QDateTime now = utc(2025, 1, 10, 12);
    const auto note = [&](const char *title, qint64 secondsAgo, bool ephemeral, bool pinned, bool floating) {
        ZulNote n = makeNote(QString::fromLatin1(title), now.addSecs(-secondsAgo));
        n.isEphemeral = ephemeral;
        n.isPinned = pinned;
        n.isFloatingSticky = floating;
        return n;
    };
    const QList<ZulNote> notes = {
        note("old", 24 * 3600, true, false, false),            // exactly at the limit: goes
        note("fresh", 24 * 3600 - 60, true, false, false),     // 23 h 59 min: stays
        note("pinned", 1000 * 3600, true, true, false),
        note("floating", 1000 * 3600, true, false, true),
        note("plain", 1000 * 3600, false, false, false),
        note("future", -3600, true, false, false),
        note("older", 48 * 3600, true, false, false),
    };
    const ZulStorageService::TidyResult result =
        ZulStorageService::tidyEphemeralNotes(notes, maxAgeHours, now);
    QCOMPARE(titlesOf(result.kept), expectedKept);
    QCOMPARE(result.removedCount, int(notes.size() - expectedKept.size()));
}

void TestZulStorageService::overlappingSavesLeaveOneCompleteVersion()
{
    const ZulStorageService shared(folder());
    const QList<QList<ZulNote>> versions = {makeVersion(QStringLiteral("A"), 40),
                                            makeVersion(QStringLiteral("B"), 40),
                                            makeVersion(QStringLiteral("C"), 40)};
    std::atomic<int> failedSaves = 0;
    std::atomic<int> badReads = 0;
    std::atomic<int> reads = 0;
    std::atomic<bool> writing = true;

    const auto writer = [&](const ZulStorageService &storage, const QList<ZulNote> &version) {
        for (int i = 0; i < 60; ++i) {
            if (!storage.saveNotes(version).ok())
                ++failedSaves;
        }
    };
    QVERIFY(shared.saveNotes(versions.at(0)).ok());
    std::thread reader([&] {
        while (writing) {
            const ZulResult<QList<ZulNote>> seen =
                ZulStorageService::decodeNotes(readBytes(shared.notesFileURL()));
            ++reads;
            if (!seen || !versions.contains(seen.value()))
                ++badReads;
        }
    });
    // Two threads on one service value, a third on a separate one for the same folder.
    std::thread a(writer, std::cref(shared), std::cref(versions.at(0)));
    std::thread b(writer, std::cref(shared), std::cref(versions.at(1)));
    std::thread c(writer, ZulStorageService(folder()), std::cref(versions.at(2)));
    a.join();
    b.join();
    c.join();
    writing = false;
    reader.join();

    QCOMPARE(failedSaves.load(), 0);
    QCOMPARE(badReads.load(), 0);
    QVERIFY(reads.load() > 0);
    QVERIFY(versions.contains(shared.loadNotes()));
    QVERIFY(preservedFiles(folder()).isEmpty());
    QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList({"notes.json"}));
}

QTEST_GUILESS_MAIN(TestZulStorageService)
#include "tst_zulstorageservice.moc"
