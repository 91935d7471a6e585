#include "Models/ZulConfig.h"
#include "Models/ZulEdgeSide.h"
#include "Models/ZulExportFormat.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

ZulConfig defaultsWith(const std::function<void(ZulConfig &)> &change)
{
    ZulConfig config;
    change(config);
    return config;
}

} // namespace

class TestZulConfig : public QObject {
    Q_OBJECT

private slots:
    void defaults();
    void readsEachKeyOnItsOwn_data();
    void readsEachKeyOnItsOwn();
    void rejectsWholeRecord_data();
    void rejectsWholeRecord();
    void writesAllKeysAndReadsBack_data();
    void writesAllKeysAndReadsBack();

    void edgeSide();
    void exportFormat_data();
    void exportFormat();
};

void TestZulConfig::defaults()
{
    const ZulConfig config;
    QCOMPARE(config, ZulConfig(true, ZulEdgeSide::right, 24, QStringLiteral("TRY"), 14, true, true));
}

void TestZulConfig::readsEachKeyOnItsOwn_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<ZulConfig>("expected");
    QTest::newRow("empty object") << QByteArray("{}") << ZulConfig();
    QTest::newRow("left edge only")
        << QByteArray(R"({"edgeSide": "left"})")
        << defaultsWith([](ZulConfig &c) { c.edgeSide = ZulEdgeSide::left; });
    QTest::newRow("font size only")
        << QByteArray(R"({"fontSize": 16})") << defaultsWith([](ZulConfig &c) { c.fontSize = 16; });
    QTest::newRow("null line numbers take the default")
        << QByteArray(R"({"showLineNumbers": null, "showCalculationGutter": false})")
        << defaultsWith([](ZulConfig &c) { c.showCalculationGutter = false; });
    QTest::newRow("all nulls") << QByteArray(R"({"edgeDrawerEnabled": null, "edgeSide": null,
        "autoTidyEphemeralHours": null, "defaultCurrency": null, "fontSize": null,
        "showLineNumbers": null, "showCalculationGutter": null})") << ZulConfig();
    QTest::newRow("tidy off, no clamping")
        << QByteArray(R"({"autoTidyEphemeralHours": -5, "fontSize": 0.5, "defaultCurrency": "eur"})")
        << defaultsWith([](ZulConfig &c) {
               c.autoTidyEphemeralHours = -5;
               c.fontSize = 0.5;
               c.defaultCurrency = QStringLiteral("eur");
           });
    QTest::newRow("whole number written with a point")
        << QByteArray(R"({"autoTidyEphemeralHours": 48.0})")
        << defaultsWith([](ZulConfig &c) { c.autoTidyEphemeralHours = 48; });
    QTest::newRow("large integer kept exactly")
        << QByteArray(R"({"autoTidyEphemeralHours": 9007199254740993})")
        << defaultsWith([](ZulConfig &c) { c.autoTidyEphemeralHours = 9007199254740993LL; });
    QTest::newRow("unknown keys ignored")
        << QByteArray(R"({"theme": "dark", "edgeDrawerEnabled": false})")
        << defaultsWith([](ZulConfig &c) { c.edgeDrawerEnabled = false; });
}

void TestZulConfig::readsEachKeyOnItsOwn()
{
    QFETCH(QByteArray, json);
    QFETCH(ZulConfig, expected);
    const QJsonDocument document = QJsonDocument::fromJson(json);
    QVERIFY(document.isObject());
    const ZulResult<ZulConfig> config = ZulConfig::fromJson(document.object());
    QVERIFY2(config, qPrintable(config.error()));
    QCOMPARE(config.value(), expected);
}

void TestZulConfig::rejectsWholeRecord_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QString>("reason");
    QTest::newRow("font size as text") << QJsonValue(QJsonObject{{"fontSize", "16"}}) << "fontSize";
    QTest::newRow("edge top") << QJsonValue(QJsonObject{{"edgeSide", "top"}}) << "top";
    QTest::newRow("edge capitalised") << QJsonValue(QJsonObject{{"edgeSide", "Left"}}) << "Left";
    QTest::newRow("edge as number") << QJsonValue(QJsonObject{{"edgeSide", 1}}) << "edgeSide";
    QTest::newRow("flag as number") << QJsonValue(QJsonObject{{"edgeDrawerEnabled", 1}}) << "edgeDrawerEnabled";
    QTest::newRow("gutter as text") << QJsonValue(QJsonObject{{"showCalculationGutter", "yes"}}) << "showCalculationGutter";
    QTest::newRow("fractional hours") << QJsonValue(QJsonObject{{"autoTidyEphemeralHours", 24.5}}) << "autoTidyEphemeralHours";
    QTest::newRow("hours beyond 64 bits") << QJsonValue(QJsonObject{{"autoTidyEphemeralHours", 1e30}}) << "autoTidyEphemeralHours";
    QTest::newRow("hours as text") << QJsonValue(QJsonObject{{"autoTidyEphemeralHours", "24"}}) << "autoTidyEphemeralHours";
    QTest::newRow("currency as number") << QJsonValue(QJsonObject{{"defaultCurrency", 949}}) << "defaultCurrency";
    QTest::newRow("one bad key among good ones")
        << QJsonValue(QJsonObject{{"fontSize", 18}, {"edgeSide", "left"}, {"showLineNumbers", "no"}}) << "showLineNumbers";
    QTest::newRow("array instead of object") << QJsonValue(QJsonArray{}) << "object";
    QTest::newRow("null instead of object") << QJsonValue(QJsonValue::Null) << "object";
}

void TestZulConfig::rejectsWholeRecord()
{
    QFETCH(QJsonValue, value);
    QFETCH(QString, reason);
    const ZulResult<ZulConfig> config = ZulConfig::fromJson(value);
    QVERIFY(!config);
    QVERIFY2(config.error().contains(reason), qPrintable(config.error()));
}

void TestZulConfig::writesAllKeysAndReadsBack_data()
{
    QTest::addColumn<ZulConfig>("config");
    QTest::newRow("defaults") << ZulConfig();
    QTest::newRow("every field changed")
        << ZulConfig(false, ZulEdgeSide::left, 0, QStringLiteral("USD"), 17.5, false, false);
}

void TestZulConfig::writesAllKeysAndReadsBack()
{
    QFETCH(ZulConfig, config);
    const QJsonObject object = config.toJson();
    QCOMPARE(object.keys(), QStringList({"autoTidyEphemeralHours", "defaultCurrency", "edgeDrawerEnabled",
                                         "edgeSide", "fontSize", "showCalculationGutter", "showLineNumbers"}));
    const QByteArray text = QJsonDocument(object).toJson();
    const ZulResult<ZulConfig> back = ZulConfig::fromJson(QJsonDocument::fromJson(text).object());
    QVERIFY(back);
    QCOMPARE(back.value(), config);
}

void TestZulConfig::edgeSide()
{
    QStringList order;
    for (ZulEdgeSide side : ZulEdgeSideAllCases())
        order << id(side);
    QCOMPARE(order, QStringList({"right", "left"}));
    QCOMPARE(ZulEdgeSideFromRaw(QStringLiteral("left")), std::optional(ZulEdgeSide::left));
    QCOMPARE(ZulEdgeSideFromRaw(QStringLiteral("right")), std::optional(ZulEdgeSide::right));
    QVERIFY(!ZulEdgeSideFromRaw(QStringLiteral("top")));
    QVERIFY(!ZulEdgeSideFromRaw(QStringLiteral("RIGHT")));
}

void TestZulConfig::exportFormat_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("extension");
    QTest::newRow("markdown first") << 0 << "markdownWithResults" << "md";
    QTest::newRow("plain text second") << 1 << "plainText" << "txt";
    QTest::newRow("csv third") << 2 << "csv" << "csv";
}

void TestZulConfig::exportFormat()
{
    QFETCH(int, index);
    QFETCH(QString, raw);
    const ZulExportFormat format = ZulExportFormatAllCases().at(size_t(index));
    QCOMPARE(rawValue(format), raw);
    QCOMPARE(id(format), raw);
    QCOMPARE(ZulExportFormatFromRaw(raw), std::optional(format));
    QTEST(fileExtension(format), "extension");
}

QTEST_APPLESS_MAIN(TestZulConfig)
#include "tst_zulconfig.moc"
