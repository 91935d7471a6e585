#include "helper_suitetestenvironment.h"

#include "VeskKit/System/VeskDovricLiveStatus.h"
#include "VeskKit/System/VeskHalvotLiveStatus.h"
#include "VeskKit/System/VeskLiveActivityTile.h"
#include "VeskKit/System/VeskMirrelLiveStatus.h"
#include "VeskKit/System/VeskPastinLiveStatus.h"
#include "VeskKit/System/VeskQuenbyLiveStatus.h"
#include "VeskKit/System/VeskSelbarLiveStatus.h"
#include "VeskKit/System/VeskSuiteCommandEnvelope.h"
#include "VeskKit/System/VeskSuiteJson.h"
#include "VeskKit/System/VeskTrenikLiveStatus.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// Every record type by the name of its sample file in data/suite-records.
template <typename Record>
std::optional<QJsonObject> throughRecord(const QJsonObject &object)
{
    const std::optional<Record> record = Record::fromJson(object);
    if (!record)
        return std::nullopt;
    return record->toJson();
}

std::optional<QJsonObject> decodeAndEncode(const QString &sample, const QJsonObject &object)
{
    if (sample == u"offload-progress")
        return throughRecord<VeskMirrelOffloadLiveProgress>(object);
    if (sample == u"mirrel-status")
        return throughRecord<VeskMirrelLiveStatus>(object);
    if (sample == u"trenik-status")
        return throughRecord<VeskTrenikLiveStatus>(object);
    if (sample == u"halvot-status")
        return throughRecord<VeskHalvotLiveStatus>(object);
    if (sample == u"pastin-channel")
        return throughRecord<VeskPastinAudioAppItem>(object);
    if (sample == u"pastin-status")
        return throughRecord<VeskPastinLiveStatus>(object);
    if (sample == u"quenby-status")
        return throughRecord<VeskQuenbyLiveStatus>(object);
    if (sample == u"dovric-status")
        return throughRecord<VeskDovricLiveStatus>(object);
    if (sample == u"selbar-status")
        return throughRecord<VeskSelbarLiveStatus>(object);
    if (sample == u"screen-rect")
        return throughRecord<VeskScreenRect>(object);
    if (sample == u"live-tile")
        return throughRecord<VeskLiveActivityTile>(object);
    if (sample == u"command-envelope")
        return throughRecord<VeskSuiteCommandEnvelope>(object);
    qFatal("unknown sample %s", qPrintable(sample));
}

const QStringList samples = {"offload-progress", "mirrel-status", "trenik-status", "halvot-status",
                             "pastin-channel",   "pastin-status", "quenby-status", "dovric-status",
                             "selbar-status",    "screen-rect",   "live-tile",     "command-envelope"};

// The keys a reader may miss, per sample.
QStringList optionalKeys(const QString &sample)
{
    if (sample == u"mirrel-status")
        return {"offloadProgress"};
    if (sample == u"trenik-status")
        return {"cpuTempCelsius", "gpuTempCelsius", "socTempCelsius", "fanMaxRPM", "systemWatts", "nvmeHealthPercent"};
    if (sample == u"halvot-status")
        return {"activeFocusProfileName"};
    if (sample == u"live-tile")
        return {"secondaryMetric", "progress"};
    if (sample == u"command-envelope")
        return {"targetPID", "targetName", "payload"};
    // The tolerant readers need only these two.
    if (sample == u"dovric-status" || sample == u"selbar-status") {
        const QJsonObject object = QJsonDocument::fromJson([&] {
                                       QFile file(QStringLiteral(VESK_TEST_DATA_DIR "/suite-records/") + sample
                                                  + QStringLiteral(".json"));
                                       file.open(QIODevice::ReadOnly);
                                       return file.readAll();
                                   }()).object();
        QStringList keys = object.keys();
        keys.removeAll("timestamp");
        keys.removeAll("senderPID");
        return keys;
    }
    return {};
}

QJsonObject loadSample(const QString &sample)
{
    QFile file(QStringLiteral(VESK_TEST_DATA_DIR "/suite-records/") + sample + QStringLiteral(".json"));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample %s", qPrintable(sample));
    return QJsonDocument::fromJson(file.readAll()).object();
}

// A value of another JSON type than the one given.
QJsonValue wrongTypeFor(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String: return 12;
    case QJsonValue::Double: return QStringLiteral("12");
    case QJsonValue::Bool: return QStringLiteral("true");
    case QJsonValue::Array: return QJsonObject();
    case QJsonValue::Object: return QJsonArray();
    default: return 0;
    }
}

QDateTime at(const char *text)
{
    return *VeskSuiteJson::parseTimestamp(QString::fromLatin1(text));
}

qint32 ownPid()
{
    return qint32(QCoreApplication::applicationPid());
}

VeskMirrelLiveStatus sampleMirrelStatus()
{
    return *VeskMirrelLiveStatus::fromJson(loadSample("mirrel-status"));
}

} // namespace

class TestSuiteRecords : public QObject
{
    Q_OBJECT

private slots:
    void samplesRoundTripExactly_data();
    void samplesRoundTripExactly();
    void missingKeys_data();
    void missingKeys();
    void wrongTypesMakeRecordsUnreadable_data();
    void wrongTypesMakeRecordsUnreadable();
    void timestampForms_data();
    void timestampForms();
    void encodingDropsFractionalSeconds();
    void integerFieldsTakeOnlyWholeNumbersInRange_data();
    void integerFieldsTakeOnlyWholeNumbersInRange();
    void initialisersBringValuesIntoRange();
    void filesKeepOutOfRangeValues_data();
    void filesKeepOutOfRangeValues();
    void tolerantReadersFillDefaults();
    void tolerantReadersBringValuesIntoRange_data();
    void tolerantReadersBringValuesIntoRange();
    void tileRules();
    void derivedValues();
    void derivedProgress_data();
    void derivedProgress();
    void freshness_data();
    void freshness();
    void nonFiniteRealsCannotBeWritten();
    void equalityIsFieldByField();
    void singlePrecisionLevelsWriteShortest();
};

void TestSuiteRecords::samplesRoundTripExactly_data()
{
    QTest::addColumn<QString>("sample");
    for (const QString &sample : samples)
        QTest::newRow(qPrintable(sample)) << sample;
}

void TestSuiteRecords::samplesRoundTripExactly()
{
    QFETCH(QString, sample);
    const QJsonObject original = loadSample(sample);
    const std::optional<QJsonObject> again = decodeAndEncode(sample, original);
    QVERIFY(again);
    QCOMPARE(*again, original);
}

void TestSuiteRecords::missingKeys_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("nullInstead");
    QTest::addColumn<bool>("readable");
    for (const QString &sample : samples) {
        const QStringList optional = optionalKeys(sample);
        for (const QString &key : loadSample(sample).keys()) {
            for (bool asNull : {false, true})
                QTest::addRow("%s without %s%s", qPrintable(sample), qPrintable(key), asNull ? " (null)" : "")
                    << sample << key << asNull << optional.contains(key);
        }
    }
}

void TestSuiteRecords::missingKeys()
{
    QFETCH(QString, sample);
    QFETCH(QString, key);
    QFETCH(bool, nullInstead);
    QFETCH(bool, readable);
    QJsonObject object = loadSample(sample);
    if (nullInstead)
        object.insert(key, QJsonValue::Null);
    else
        object.remove(key);
    const std::optional<QJsonObject> again = decodeAndEncode(sample, object);
    QCOMPARE(again.has_value(), readable);
    // A missing optional value is written as a missing key, never as null.
    if (again && !optionalKeys(sample).isEmpty() && sample != u"dovric-status" && sample != u"selbar-status")
        QVERIFY(!again->contains(key));
}

void TestSuiteRecords::wrongTypesMakeRecordsUnreadable_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("key");
    for (const QString &sample : samples)
        for (const QString &key : loadSample(sample).keys())
            QTest::addRow("%s with a wrong %s", qPrintable(sample), qPrintable(key)) << sample << key;
}

void TestSuiteRecords::wrongTypesMakeRecordsUnreadable()
{
    QFETCH(QString, sample);
    QFETCH(QString, key);
    QJsonObject object = loadSample(sample);
    object.insert(key, wrongTypeFor(object.value(key)));
    QVERIFY(!decodeAndEncode(sample, object));
}

void TestSuiteRecords::timestampForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("epochSeconds");

    QTest::newRow("UTC with Z") << "2024-05-01T10:20:30Z" << true << qint64(1714558830);
    QTest::newRow("positive offset") << "2024-05-01T12:20:30+02:00" << true << qint64(1714558830);
    QTest::newRow("negative offset") << "2024-05-01T05:50:30-04:30" << true << qint64(1714558830);
    QTest::newRow("fractional seconds") << "2024-05-01T10:20:30.250Z" << false << qint64(0);
    QTest::newRow("no zone") << "2024-05-01T10:20:30" << false << qint64(0);
    QTest::newRow("date only") << "2024-05-01" << false << qint64(0);
    QTest::newRow("space instead of T") << "2024-05-01 10:20:30Z" << false << qint64(0);
    QTest::newRow("impossible day") << "2024-02-30T10:20:30Z" << false << qint64(0);
    QTest::newRow("hour 24") << "2024-05-01T24:00:00Z" << false << qint64(0);
    QTest::newRow("epoch number as text") << "1714558830" << false << qint64(0);
}

void TestSuiteRecords::timestampForms()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const std::optional<QDateTime> parsed = VeskSuiteJson::parseTimestamp(text);
    QCOMPARE(parsed.has_value(), valid);
    if (parsed)
        QTEST(parsed->toSecsSinceEpoch(), "epochSeconds");

    // The same inside a record decides whether the record reads at all.
    QJsonObject object = loadSample("halvot-status");
    object.insert("timestamp", text);
    QCOMPARE(VeskHalvotLiveStatus::fromJson(object).has_value(), valid);
}

void TestSuiteRecords::encodingDropsFractionalSeconds()
{
    VeskHalvotLiveStatus status = *VeskHalvotLiveStatus::fromJson(loadSample("halvot-status"));
    status.timestamp = at("2024-05-01T10:20:30Z").addMSecs(750);
    const std::optional<QJsonObject> encoded = status.toJson();
    QVERIFY(encoded);
    QCOMPARE(encoded->value("timestamp").toString(), QStringLiteral("2024-05-01T10:20:30Z"));
    const std::optional<VeskHalvotLiveStatus> back = VeskHalvotLiveStatus::fromJson(*encoded);
    QVERIFY(back);
    QCOMPARE(back->timestamp, at("2024-05-01T10:20:30Z"));
    QVERIFY(!(*back == status));

    // Before 1970 the second is rounded down as well, not toward zero.
    status.timestamp = QDateTime::fromMSecsSinceEpoch(-1500, QTimeZone::utc());
    QCOMPARE(status.toJson()->value("timestamp").toString(), QStringLiteral("1969-12-31T23:59:58Z"));
}

void TestSuiteRecords::integerFieldsTakeOnlyWholeNumbersInRange_data()
{
    QTest::addColumn<QByteArray>("senderPID");
    QTest::addColumn<QByteArray>("totalProcessCount");
    QTest::addColumn<bool>("readable");

    QTest::newRow("plain integers") << QByteArray("12") << QByteArray("512") << true;
    QTest::newRow("whole number written with a fraction") << QByteArray("12.0") << QByteArray("5e2") << true;
    QTest::newRow("fraction in a count") << QByteArray("12") << QByteArray("512.5") << false;
    QTest::newRow("pid beyond 32 bits") << QByteArray("2147483648") << QByteArray("1") << false;
    QTest::newRow("most negative pid") << QByteArray("-2147483648") << QByteArray("1") << true;
    QTest::newRow("largest 64-bit count") << QByteArray("1") << QByteArray("9223372036854775807") << true;
    QTest::newRow("count beyond 64 bits") << QByteArray("1") << QByteArray("1e19") << false;
}

void TestSuiteRecords::integerFieldsTakeOnlyWholeNumbersInRange()
{
    QFETCH(QByteArray, senderPID);
    QFETCH(QByteArray, totalProcessCount);
    QFETCH(bool, readable);
    QByteArray json = QJsonDocument(loadSample("halvot-status")).toJson(QJsonDocument::Compact);
    json.replace("\"senderPID\":4244", "\"senderPID\":" + senderPID);
    json.replace("\"totalProcessCount\":512", "\"totalProcessCount\":" + totalProcessCount);
    const std::optional<QJsonObject> object = VeskSuiteJson::decodeObject(json);
    QVERIFY(object);
    const std::optional<VeskHalvotLiveStatus> status = VeskHalvotLiveStatus::fromJson(*object);
    QCOMPARE(status.has_value(), readable);
    if (status && totalProcessCount == "9223372036854775807")
        QCOMPARE(status->totalProcessCount, std::numeric_limits<qint64>::max());
}

void TestSuiteRecords::initialisersBringValuesIntoRange()
{
    const QDateTime now = at("2024-05-01T10:20:30Z");
    const VeskMirrelOffloadLiveProgress zeroSteps(now, true, false, 1, 0, 1.7, {}, {}, {}, {}, 0, 0, {}, {});
    QCOMPARE(zeroSteps.totalSteps, 1);
    QCOMPARE(zeroSteps.fractionCompleted, 1.0);
    const VeskMirrelOffloadLiveProgress negative(now, true, false, 1, -3, -0.2, {}, {}, {}, {}, 0, 0, {}, {});
    QCOMPARE(negative.totalSteps, 1);
    QCOMPARE(negative.fractionCompleted, 0.0);

    const VeskPastinAudioAppItem loud("a", "b", "c", true, false, 3, -0.5f);
    QCOMPARE(loud.volume, 2.0);
    QCOMPARE(loud.rmsLevel, 0.0f);
    QCOMPARE(VeskPastinLiveStatus(now, 2, 1.5, "S", {}).masterVolume, 1.0);
    QCOMPARE(VeskPastinLiveStatus(now, 2, -1, "S", {}).masterVolume, 0.0);

    const VeskQuenbyLiveStatus track(now, 2, "t", "a", "b", "q", true, -4, -1, 7);
    QCOMPARE(track.elapsedSeconds, 0.0);
    QCOMPARE(track.durationSeconds, 0.0);
    QCOMPARE(track.volume, 1.0);

    const VeskScreenRect rect(10, -20, -4, -1);
    QCOMPARE(rect, VeskScreenRect(10, -20, 0, 0));
    QCOMPARE(VeskScreenRect(QRectF(1, 2, -3, 4)).nsRect(), QRectF(1, 2, 0, 4));

    const VeskDovricLiveStatus focus(now, 2, true, false, "m", -20, 0, "", {}, {}, {}, false, -1, -2, false, false, 140,
                                     -3, -4, -3.5, false);
    QCOMPARE(focus.remainingSeconds, 0);
    QCOMPARE(focus.totalSeconds, 1);
    QCOMPARE(focus.lockedAppsCount, 0);
    QCOMPARE(focus.blockedDomainsCount, 0);
    QCOMPARE(focus.focusScorePercent, 100);
    QCOMPARE(focus.completedSessionsToday, 0);
    QCOMPARE(focus.currentStreakDays, 0);
    QCOMPARE(focus.todayProductiveSeconds, 0.0);

    const VeskSelbarLiveStatus tasks(now, 2, -1, -1, -1, -1, -1, 10, {}, {}, 1, {}, {}, false);
    QCOMPARE(tasks.openTodayCount, 0);
    QCOMPARE(tasks.plannedMinutesToday, 0);
    QCOMPARE(tasks.dailyCapacityMinutes, 30);
    QCOMPARE(tasks.nextBestTaskMinutes, 5);
}

void TestSuiteRecords::filesKeepOutOfRangeValues_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("key");
    QTest::addColumn<double>("value");

    QTest::newRow("progress with no steps") << "offload-progress" << "totalSteps" << 0.0;
    QTest::newRow("progress beyond the end") << "offload-progress" << "fractionCompleted" << 1.7;
    QTest::newRow("screen rect of negative width") << "screen-rect" << "width" << -4.0;
    QTest::newRow("channel volume above 2") << "pastin-channel" << "volume" << 3.0;
    QTest::newRow("mixer master above 1") << "pastin-status" << "masterVolume" << 1.5;
    QTest::newRow("negative track time") << "quenby-status" << "elapsedSeconds" << -8.0;
    QTest::newRow("tile progress above 1") << "live-tile" << "progress" << 1.3;
}

void TestSuiteRecords::filesKeepOutOfRangeValues()
{
    QFETCH(QString, sample);
    QFETCH(QString, key);
    QFETCH(double, value);
    QJsonObject object = loadSample(sample);
    object.insert(key, value);
    const std::optional<QJsonObject> again = decodeAndEncode(sample, object);
    QVERIFY(again);
    QCOMPARE(again->value(key).toDouble(), value);
}

void TestSuiteRecords::tolerantReadersFillDefaults()
{
    QJsonObject minimal{{"timestamp", "2024-05-01T10:20:30Z"}, {"senderPID", 77}};

    const std::optional<VeskDovricLiveStatus> focus = VeskDovricLiveStatus::fromJson(minimal);
    QVERIFY(focus);
    VeskDovricLiveStatus expectedFocus;
    expectedFocus.timestamp = at("2024-05-01T10:20:30Z");
    expectedFocus.senderPID = 77;
    QCOMPARE(*focus, expectedFocus);
    QCOMPARE(focus->sessionModeRaw, QStringLiteral("pomodoro25"));
    QCOMPARE(focus->remainingSeconds, 1500);
    QCOMPARE(focus->totalSeconds, 1500);
    QVERIFY(!focus->activeTaskID);
    QCOMPARE(focus->progress(), 0.0);

    const std::optional<VeskSelbarLiveStatus> tasks = VeskSelbarLiveStatus::fromJson(minimal);
    QVERIFY(tasks);
    QCOMPARE(tasks->openTodayCount, 0);
    QCOMPARE(tasks->dailyCapacityMinutes, 360);
    QCOMPARE(tasks->nextBestTaskMinutes, 25);
    QVERIFY(!tasks->nextBestTaskID && !tasks->nextBestTaskTitle);
    QVERIFY(!tasks->miniPanelFrame && !tasks->studioWindowFrame);
    QVERIFY(!tasks->isFocusDockedInside);

    // Without the two required keys nothing is read.
    QVERIFY(!VeskDovricLiveStatus::fromJson(QJsonObject{{"senderPID", 77}}));
    QVERIFY(!VeskSelbarLiveStatus::fromJson(QJsonObject{{"timestamp", "2024-05-01T10:20:30Z"}}));
}

void TestSuiteRecords::tolerantReadersBringValuesIntoRange_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QJsonValue>("stored");

    QTest::newRow("no period length") << "dovric-status" << "totalSeconds" << QJsonValue(0) << QJsonValue(1);
    QTest::newRow("negative remaining time") << "dovric-status" << "remainingSeconds" << QJsonValue(-20)
                                             << QJsonValue(0);
    QTest::newRow("score below 0") << "dovric-status" << "focusScorePercent" << QJsonValue(-7) << QJsonValue(0);
    QTest::newRow("score above 100") << "dovric-status" << "focusScorePercent" << QJsonValue(140) << QJsonValue(100);
    QTest::newRow("negative productive time") << "dovric-status" << "todayProductiveSeconds" << QJsonValue(-3.5)
                                              << QJsonValue(0);
    QTest::newRow("small capacity") << "selbar-status" << "dailyCapacityMinutes" << QJsonValue(10) << QJsonValue(30);
    QTest::newRow("short next task") << "selbar-status" << "nextBestTaskMinutes" << QJsonValue(2) << QJsonValue(5);
    QTest::newRow("negative overdue count") << "selbar-status" << "overdueCount" << QJsonValue(-1) << QJsonValue(0);
}

void TestSuiteRecords::tolerantReadersBringValuesIntoRange()
{
    QFETCH(QString, sample);
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(QJsonValue, stored);
    QJsonObject object = loadSample(sample);
    object.insert(key, value);
    const std::optional<QJsonObject> again = decodeAndEncode(sample, object);
    QVERIFY(again);
    QCOMPARE(again->value(key).toDouble(), stored.toDouble());
}

void TestSuiteRecords::tileRules()
{
    const QDateTime now = at("2024-05-01T10:20:30Z");
    const VeskLiveActivityTile plain(VeskSuiteApp::veskMirrel, now, 5, "A", "B", "1", {}, {}, {},
                                     VeskLiveActivityTile::Tone::success, 1);
    QCOMPARE(plain.symbolName, VeskSuiteApp(VeskSuiteApp::veskMirrel).symbolName());
    QVERIFY(!plain.progress);
    const std::optional<QJsonObject> encoded = plain.toJson();
    QVERIFY(encoded);
    QCOMPARE(encoded->value("symbolName").toString(), plain.symbolName);
    QVERIFY(!encoded->contains("progress"));
    QVERIFY(!encoded->contains("secondaryMetric"));
    QCOMPARE(VeskLiveActivityTile::fromJson(*encoded), std::optional<VeskLiveActivityTile>(plain));

    QCOMPARE(VeskLiveActivityTile(VeskSuiteApp::veskMirrel, now, 5, "A", "B", "1", {}, 1.3, {},
                                  VeskLiveActivityTile::Tone::neutral, 0).progress,
             std::optional<double>(1.0));
    QCOMPARE(VeskLiveActivityTile(VeskSuiteApp::veskMirrel, now, 5, "A", "B", "1", {}, -0.1, "bolt.fill",
                                  VeskLiveActivityTile::Tone::neutral, 0).progress,
             std::optional<double>(0.0));

    // Same application, different title: one identity, two values.
    VeskLiveActivityTile other = plain;
    other.titleEN = "Other";
    QCOMPARE(other.id(), plain.id());
    QCOMPARE(plain.id(), QStringLiteral("VeskMirrel"));
    QVERIFY(!(other == plain));

    for (const char *tone : {"Active", "ACTIVE", "busy", ""}) {
        QJsonObject object = loadSample("live-tile");
        object.insert("tone", tone);
        QVERIFY2(!VeskLiveActivityTile::fromJson(object), tone);
    }
    QJsonObject unknownApp = loadSample("live-tile");
    unknownApp.insert("app", "vesktrenik");
    QVERIFY(!VeskLiveActivityTile::fromJson(unknownApp));
    for (const char *tone : {"neutral", "active", "success", "warning", "danger"})
        QCOMPARE(rawValue(*VeskLiveActivityTileToneFromRaw(tone)), QString::fromLatin1(tone));
}

void TestSuiteRecords::derivedValues()
{
    VeskMirrelLiveStatus status = sampleMirrelStatus();
    QVERIFY(status.hasVirtualDiskExpansion());
    QCOMPARE(status.totalVirtualPoolCapacityBytes(), 30000000000LL);
    QCOMPARE(status.totalVirtualDiskActualBytes(), 3700000000LL);

    // Memory disks alone still count as an expansion, yet enter neither sum.
    status.activeDiskPoolCount = 0;
    status.mountedSparseDiskCount = 0;
    status.diskPoolVirtualBytes = status.sparseDiskVirtualBytes = 0;
    status.diskPoolActualDiskBytes = status.sparseDiskActualBytes = 0;
    status.mountedRAMDiskCount = 1;
    status.ramDiskTotalBytes = 8000000000;
    QVERIFY(status.hasVirtualDiskExpansion());
    QCOMPARE(status.totalVirtualPoolCapacityBytes(), 0);
    status.mountedRAMDiskCount = 0;
    QVERIFY(!status.hasVirtualDiskExpansion());

    // A sum beyond 64 bits stops at the limit instead of turning negative.
    status.diskPoolVirtualBytes = std::numeric_limits<qint64>::max();
    status.sparseDiskVirtualBytes = 1;
    QCOMPARE(status.totalVirtualPoolCapacityBytes(), std::numeric_limits<qint64>::max());

    const VeskPastinLiveStatus mixer = *VeskPastinLiveStatus::fromJson(loadSample("pastin-status"));
    QCOMPARE(mixer.activePlayingCount(), 1);
    QCOMPARE(mixer.mutedCount(), 2);

    VeskTrenikLiveStatus monitor = *VeskTrenikLiveStatus::fromJson(loadSample("trenik-status"));
    QCOMPARE(monitor.headlineTempCelsius(), std::optional<double>(61.5));
    monitor.cpuTempCelsius.reset();
    QCOMPARE(monitor.headlineTempCelsius(), std::optional<double>(58.25));
    monitor.socTempCelsius.reset();
    QCOMPARE(monitor.headlineTempCelsius(), std::optional<double>(55));
    monitor.gpuTempCelsius.reset();
    QVERIFY(!monitor.headlineTempCelsius());
    const QJsonObject cold = *monitor.toJson();
    for (const char *key : {"cpuTempCelsius", "gpuTempCelsius", "socTempCelsius"})
        QVERIFY2(!cold.contains(key), key);
}

void TestSuiteRecords::derivedProgress_data()
{
    QTest::addColumn<double>("elapsed");
    QTest::addColumn<double>("duration");
    QTest::addColumn<double>("trackProgress");

    QTest::newRow("no length") << 50.0 << 0.0 << 0.0;
    QTest::newRow("a quarter") << 60.0 << 240.0 << 0.25;
    QTest::newRow("past the end") << 90.0 << 60.0 << 1.0;
    QTest::newRow("at the end") << 60.0 << 60.0 << 1.0;
}

void TestSuiteRecords::derivedProgress()
{
    QFETCH(double, elapsed);
    QFETCH(double, duration);
    const VeskQuenbyLiveStatus track(at("2024-05-01T10:20:30Z"), 2, "t", "a", "b", "q", true, elapsed, duration, 1);
    QTEST(track.progress(), "trackProgress");

    // The focus timer's progress over the same numbers as seconds left of a
    // period: all left is 0, none left is 1.
    const VeskDovricLiveStatus period(at("2024-05-01T10:20:30Z"), 2, true, false, "m", qint64(duration),
                                      qint64(duration), "", {}, {}, {}, false, 0, 0, false, false, 0, 0, 0, 0, false);
    QCOMPARE(period.progress(), duration > 0 ? 0.0 : 1.0);
}

void TestSuiteRecords::freshness_data()
{
    QTest::addColumn<qint64>("offsetSeconds");  // timestamp minus now
    QTest::addColumn<double>("maxAge");
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<bool>("fresh");

    const qint64 me = ownPid();
    QTest::newRow("5 s ahead, limit 5") << qint64(5) << 5.0 << me << true;
    QTest::newRow("5 s ahead, limit 4") << qint64(5) << 4.0 << me << false;
    QTest::newRow("5 s behind, limit 5") << qint64(-5) << 5.0 << me << true;
    QTest::newRow("5 s behind, limit 4.999") << qint64(-5) << 4.999 << me << false;
    QTest::newRow("limit is not a number") << qint64(0) << std::nan("") << me << false;
    QTest::newRow("sender 0") << qint64(0) << 60.0 << qint64(0) << false;
    QTest::newRow("sender -1") << qint64(0) << 60.0 << qint64(-1) << false;
    QTest::newRow("sender of another user") << qint64(0) << 60.0 << qint64(1) << true;
    QTest::newRow("sender has exited") << qint64(0) << 60.0 << exitedProcessId() << false;
}

void TestSuiteRecords::freshness()
{
    QFETCH(qint64, offsetSeconds);
    QFETCH(double, maxAge);
    QFETCH(qint64, pid);
    QFETCH(bool, fresh);
    const QDateTime now = at("2024-05-01T10:20:30Z");

    VeskMirrelLiveStatus status = sampleMirrelStatus();
    status.timestamp = now.addSecs(offsetSeconds);
    status.senderPID = qint32(pid);
    QCOMPARE(status.isFresh(now, maxAge), fresh);

    VeskLiveActivityTile tile = *VeskLiveActivityTile::fromJson(loadSample("live-tile"));
    tile.timestamp = status.timestamp;
    tile.senderPID = status.senderPID;
    QCOMPARE(tile.isFresh(now, maxAge), fresh);

    VeskDovricLiveStatus focus;
    focus.timestamp = status.timestamp;
    focus.senderPID = status.senderPID;
    QCOMPARE(focus.isFresh(now, maxAge), fresh);
}

void TestSuiteRecords::nonFiniteRealsCannotBeWritten()
{
    const double inf = std::numeric_limits<double>::infinity();
    VeskMirrelLiveStatus status = sampleMirrelStatus();
    status.usedPercent = std::nan("");
    QVERIFY(!status.toJson());
    status = sampleMirrelStatus();
    status.offloadProgress->fractionCompleted = inf;
    QVERIFY(!status.toJson());

    VeskTrenikLiveStatus monitor = *VeskTrenikLiveStatus::fromJson(loadSample("trenik-status"));
    monitor.systemWatts = -inf;
    QVERIFY(!monitor.toJson());

    VeskPastinLiveStatus mixer = *VeskPastinLiveStatus::fromJson(loadSample("pastin-status"));
    mixer.channels[1].rmsLevel = std::numeric_limits<float>::quiet_NaN();
    QVERIFY(!mixer.toJson());

    VeskSelbarLiveStatus tasks = *VeskSelbarLiveStatus::fromJson(loadSample("selbar-status"));
    tasks.studioWindowFrame->width = inf;
    QVERIFY(!tasks.toJson());

    VeskLiveActivityTile tile = *VeskLiveActivityTile::fromJson(loadSample("live-tile"));
    tile.progress = std::nan("");
    QVERIFY(!tile.toJson());
}

void TestSuiteRecords::equalityIsFieldByField()
{
    VeskMirrelLiveStatus a = sampleMirrelStatus();
    VeskMirrelLiveStatus b = a;
    QVERIFY(a == b);
    b.frozenPIDs = {733, 501};
    QVERIFY(!(a == b));
    b = a;
    b.offloadProgress.reset();
    QVERIFY(!(a == b));
    b = a;
    b.timestamp = b.timestamp.addMSecs(1);
    QVERIFY(!(a == b));

    const QJsonObject withoutRun = *b.toJson();
    b.offloadProgress.reset();
    QVERIFY(!b.toJson()->contains("offloadProgress"));
    QVERIFY(withoutRun.contains("offloadProgress"));
}

void TestSuiteRecords::singlePrecisionLevelsWriteShortest()
{
    const VeskPastinAudioAppItem item("a", "b", "c", true, false, 1, 0.1f);
    const QByteArray json = VeskSuiteJson::encode(*item.toJson());
    QVERIFY2(json.contains("\"rmsLevel\":0.1"), json.constData());
    QVERIFY2(!json.contains("0.100000001"), json.constData());
    QCOMPARE(VeskPastinAudioAppItem::fromJson(*VeskSuiteJson::decodeObject(json))->rmsLevel, 0.1f);

    // A level beyond single precision is not a level.
    QJsonObject object = loadSample("pastin-channel");
    object.insert("rmsLevel", 1e300);
    QVERIFY(!VeskPastinAudioAppItem::fromJson(object));
}

QTEST_MAIN(TestSuiteRecords)
#include "tst_suiterecords.moc"
