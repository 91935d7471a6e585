#include "VeskKit/Utilities/VeskReleaseLogReader.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray release(int n, const char* app = "Notes")
{
    return QByteArray(R"({"timestamp":"2025-0)") + QByteArray::number(n) + R"(-01T10:00:00Z","app":")" + app
        + R"(","toVersion":"1.)" + QByteArray::number(n) + R"(.0","toBuild":)" + QByteArray::number(100 + n) + "}";
}

QStringList versions(const QList<VeskReleaseLogRecord>& records)
{
    QStringList result;
    for (const VeskReleaseLogRecord& record : records)
        result << record.toVersion;
    return result;
}

} // namespace

class TestVeskReleaseLogReader : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyObjectTakesEveryDefault();
    void wrongTypesMakeALineUnreadable_data();
    void wrongTypesMakeALineUnreadable();
    void encodingKeepsEveryField();

    void load_data();
    void load();
    void missingOrUnreadableFileGivesNothing();

    void localizedTexts_data();
    void localizedTexts();
    void shortDate_data();
    void shortDate();

    void bundledHistoryOfThisApplication();
    void bundleWithoutHistoryGivesNothing();

private:
    QString write(const QByteArray& content);
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestVeskReleaseLogReader::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("HOME", m_dir->filePath(QStringLiteral("home")).toUtf8());
    qputenv("XDG_DATA_HOME", m_dir->filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
}

void TestVeskReleaseLogReader::cleanup()
{
    m_dir.reset();
}

QString TestVeskReleaseLogReader::write(const QByteArray& content)
{
    const QString path = m_dir->filePath(QStringLiteral("release-log.jsonl"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        qFatal("cannot write the test file");
    return path;
}

void TestVeskReleaseLogReader::emptyObjectTakesEveryDefault()
{
    const QList<VeskReleaseLogRecord> records = VeskReleaseLogReader::load(write("{}\n"));
    QCOMPARE(records.size(), 1);
    const VeskReleaseLogRecord& r = records.front();
    QCOMPARE(r.timestamp, QString());
    QCOMPARE(r.app, QString());
    QCOMPARE(r.fromVersion, QStringLiteral("0.0.0"));
    QCOMPARE(r.toVersion, QStringLiteral("1.0.0"));
    QCOMPARE(r.fromBuild, 0);
    QCOMPARE(r.toBuild, 100);
    QCOMPARE(r.bumpKind, QStringLiteral("patch"));
    QCOMPARE(r.section, QStringLiteral("Changed"));
    QVERIFY(r.summary.isEmpty() && r.details.isEmpty() && r.summaryI18n.isEmpty() && r.detailsI18n.isEmpty());
    QCOMPARE(r.gitCommit, QString());
    QCOMPARE(r.id(), QStringLiteral("--1.0.0-100"));
    // Null reads like absent.
    const QList<VeskReleaseLogRecord> nulls =
        VeskReleaseLogReader::load(write(R"({"toBuild":null,"details":null,"summary_i18n":null})"));
    QCOMPARE(nulls.size(), 1);
    QCOMPARE(nulls.front(), r);
}

void TestVeskReleaseLogReader::wrongTypesMakeALineUnreadable_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("build as string") << QByteArray(R"({"toBuild":"157"})");
    QTest::newRow("build with a fraction") << QByteArray(R"({"fromBuild":1.5})");
    QTest::newRow("version as number") << QByteArray(R"({"toVersion":1})");
    QTest::newRow("details not an array") << QByteArray(R"({"details":"one"})");
    QTest::newRow("details with a number") << QByteArray(R"({"details":["one",2]})");
    QTest::newRow("summary map with a number") << QByteArray(R"({"summary_i18n":{"en":3}})");
    QTest::newRow("details map with a string") << QByteArray(R"({"details_i18n":{"en":"x"}})");
    QTest::newRow("array instead of object") << QByteArray(R"([{"app":"Notes"}])");
    QTest::newRow("malformed json") << QByteArray(R"({"app":"Notes")");
}

void TestVeskReleaseLogReader::wrongTypesMakeALineUnreadable()
{
    QFETCH(QByteArray, line);
    const QByteArray content = release(1) + '\n' + line + '\n' + release(2) + '\n';
    QCOMPARE(versions(VeskReleaseLogReader::load(write(content))), QStringList({"1.2.0", "1.1.0"}));
}

void TestVeskReleaseLogReader::encodingKeepsEveryField()
{
    VeskReleaseLogRecord record;
    record.timestamp = QStringLiteral("2025-03-01T10:00:00Z");
    record.app = QStringLiteral("Notes");
    record.toBuild = 157;
    record.details = {QStringLiteral("a"), QStringLiteral("b")};
    record.summaryI18n.insert(QStringLiteral("tr"), QStringLiteral("özet"));
    record.detailsI18n.insert(QStringLiteral("en"), {QStringLiteral("x")});
    const QJsonObject json = record.toJson();
    QCOMPARE(json.keys().size(), 13);
    QVERIFY(json.contains(QStringLiteral("summary_i18n")) && json.contains(QStringLiteral("details_i18n")));
    QCOMPARE(VeskReleaseLogRecord::fromJson(json), std::optional<VeskReleaseLogRecord>(record));
    QCOMPARE(record.id(), QStringLiteral("2025-03-01T10:00:00Z-Notes-1.0.0-157"));
}

void TestVeskReleaseLogReader::load_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("filter"); // "-" for none
    QTest::addColumn<QStringList>("expected");

    const QByteArray three = release(1) + '\n' + release(2) + '\n' + release(3) + '\n';
    QTest::newRow("last line first") << three << "-" << QStringList({"1.3.0", "1.2.0", "1.1.0"});
    QTest::newRow("no final line feed") << release(1) + '\n' + release(2) << "-" << QStringList({"1.2.0", "1.1.0"});
    QTest::newRow("blank lines ignored") << "\n\n" + release(1) + "\n\n\n" + release(2) + "\n\n" << "-"
                                         << QStringList({"1.2.0", "1.1.0"});
    QTest::newRow("crlf line ends") << release(1) + "\r\n" + release(2) + "\r\n" + release(3) + "\r\n" << "-"
                                    << QStringList({"1.3.0", "1.2.0", "1.1.0"});
    QTest::newRow("mixed line ends and a lone cr line") << release(1) + "\r\n\r\n" + release(2) + '\n' << "-"
                                                        << QStringList({"1.2.0", "1.1.0"});
    QTest::newRow("filter ignores letter case")
        << release(1, "Notes") + '\n' + release(2, "NOTES") + '\n' + release(3, "Other") + '\n' + release(4, "") + '\n'
        << "notes" << QStringList({"1.2.0", "1.1.0"});
    QTest::newRow("no filter keeps every app")
        << release(1, "Notes") + '\n' + release(3, "Other") + '\n' + release(4, "") + '\n' << "-"
        << QStringList({"1.4.0", "1.3.0", "1.1.0"});
    QTest::newRow("empty filter keeps no empty app") << release(4, "") + '\n' << "" << QStringList();
    QTest::newRow("torn last line") << release(1) + '\n' + release(2).left(20) << "-" << QStringList({"1.1.0"});
    QTest::newRow("invalid utf-8 line skipped alone")
        << release(1) + "\n{\"summary\":\"\xff\xfe\"}\n" + release(2) + '\n' << "-" << QStringList({"1.2.0", "1.1.0"});
    QTest::newRow("only blank") << QByteArray("\n \n") << "-" << QStringList();
    QTest::newRow("empty file") << QByteArray() << "-" << QStringList();
}

void TestVeskReleaseLogReader::load()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, filter);
    const std::optional<QString> forApp = filter == QLatin1String("-") ? std::nullopt : std::optional<QString>(filter);
    QTEST(versions(VeskReleaseLogReader::load(write(content), forApp)), "expected");
}

void TestVeskReleaseLogReader::missingOrUnreadableFileGivesNothing()
{
    QVERIFY(VeskReleaseLogReader::load(m_dir->filePath(QStringLiteral("absent.jsonl"))).isEmpty());
    QVERIFY(VeskReleaseLogReader::load(m_dir->path()).isEmpty()); // a folder
}

void TestVeskReleaseLogReader::localizedTexts_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QStringList>("details");

    const QByteArray full = R"({"summary":"plain","details":["p"],"summary_i18n":{"en":"english","tr":"türkçe","pt-BR":"brasil","zh-Hans":"jian"},)"
                            R"("details_i18n":{"en":["e"],"tr":["t"],"pt-BR":["b"],"zh-Hans":["j"]}})";
    QTest::newRow("own language") << full << "tr" << "türkçe" << QStringList({"t"});
    QTest::newRow("portugal falls to brazil") << full << "pt-PT" << "brasil" << QStringList({"b"});
    QTest::newRow("traditional falls to simplified") << full << "zh-Hant" << "jian" << QStringList({"j"});
    QTest::newRow("other language falls to english") << full << "de" << "english" << QStringList({"e"});
    QTest::newRow("brazil has no parent") << QByteArray(R"({"summary":"plain","summary_i18n":{"en":"english","pt-PT":"pt"}})")
                                          << "pt-BR" << "english" << QStringList();
    QTest::newRow("portugal with only english")
        << QByteArray(R"({"summary":"plain","summary_i18n":{"en":"english"},"details_i18n":{"en":["e"]}})") << "pt-PT"
        << "english" << QStringList({"e"});
    QTest::newRow("empty entries are skipped")
        << QByteArray(R"({"summary":"plain","details":["p"],"summary_i18n":{"tr":"","en":""},"details_i18n":{"tr":[],"en":[]}})")
        << "tr" << "plain" << QStringList({"p"});
    QTest::newRow("empty plain summary still wins") << QByteArray(R"({"summary_i18n":{"en":""}})") << "en" << ""
                                                    << QStringList();
}

void TestVeskReleaseLogReader::localizedTexts()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, language);
    const QList<VeskReleaseLogRecord> records = VeskReleaseLogReader::load(write(line));
    QCOMPARE(records.size(), 1);
    QTEST(records.front().localizedSummary(language), "summary");
    QTEST(records.front().localizedDetails(language), "details");
}

void TestVeskReleaseLogReader::shortDate_data()
{
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<QString>("date");
    QTest::newRow("iso date-time") << "2025-03-01T10:00:00Z" << "2025-03-01";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("shorter than ten") << "2025-03" << "2025-03";
    QTest::newRow("exactly ten") << "2025-03-01" << "2025-03-01";
    QTest::newRow("combining mark counts with its letter") << QStringLiteral("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301xyz")
                                                           << QStringLiteral("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301");
}

void TestVeskReleaseLogReader::shortDate()
{
    QFETCH(QString, timestamp);
    VeskReleaseLogRecord record;
    record.timestamp = timestamp;
    QTEST(record.shortDate(), "date");
}

void TestVeskReleaseLogReader::bundledHistoryOfThisApplication()
{
    const QList<VeskReleaseLogRecord> records = VeskReleaseLogReader::loadBundled(QStringLiteral("veskzul"));
    QVERIFY(!records.isEmpty());
    const VeskReleaseLogRecord& newest = records.front();
    QCOMPARE(newest.app, QStringLiteral("VeskZul"));
    QCOMPARE(newest.toVersion, QStringLiteral(VESK_APP_VERSION));
    QVERIFY(!newest.localizedSummary(QStringLiteral("en")).isEmpty());
    QVERIFY(newest.localizedSummary(QStringLiteral("tr")) != newest.localizedSummary(QStringLiteral("en")));
    QCOMPARE(newest.localizedDetails(QStringLiteral("tr")).size(), newest.details.size());
    QVERIFY(VeskReleaseLogReader::loadBundled(QStringLiteral("SomeOtherApp")).isEmpty());
}

void TestVeskReleaseLogReader::bundleWithoutHistoryGivesNothing()
{
    VeskBundle bundle;
    bundle.resourceDirectory = m_dir->filePath(QStringLiteral("empty"));
    QVERIFY(QDir().mkpath(bundle.resourceDirectory));
    QVERIFY(VeskReleaseLogReader::loadBundled(std::nullopt, bundle).isEmpty());

    QFile::copy(write(release(5)), bundle.resourceDirectory + QStringLiteral("/release-log.jsonl"));
    QCOMPARE(versions(VeskReleaseLogReader::loadBundled(std::nullopt, bundle)), QStringList({"1.5.0"}));
}

QTEST_GUILESS_MAIN(TestVeskReleaseLogReader)
#include "tst_veskreleaselogreader.moc"
