#include "Models/EvaluatedLine.h"
#include "Models/EvaluatedLineKind.h"
#include "Models/NoteEvaluationSummary.h"

#include <QtTest>

#include <limits>

Q_DECLARE_METATYPE(EvaluatedLine)
Q_DECLARE_METATYPE(NoteEvaluationSummary)

namespace {

EvaluatedLine taskLine(qint64 index, std::optional<bool> checked)
{
    return EvaluatedLine{index, QStringLiteral("- [ ] buy milk"), std::nullopt, std::nullopt,
                         QStringLiteral("○"), EvaluatedLineKind::checklist, std::nullopt, checked};
}

} // namespace

class TestEvaluationRecords : public QObject
{
    Q_OBJECT

private slots:
    void kindRawValues_data();
    void kindRawValues();
    void lineToJson_data();
    void lineToJson();
    void lineToJsonRejectsNonFiniteNumber();
    void lineFromJsonFails_data();
    void lineFromJsonFails();
    void lineFromJsonReads_data();
    void lineFromJsonReads();
    void lineEquality();
    void averageNumericValue_data();
    void averageNumericValue();
    void lineAt_data();
    void lineAt();
    void emptySummary();
};

void TestEvaluationRecords::kindRawValues_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<std::optional<EvaluatedLineKind>>("kind");

    QTest::newRow("math") << "math" << std::optional(EvaluatedLineKind::math);
    QTest::newRow("variable") << "variable" << std::optional(EvaluatedLineKind::variable);
    QTest::newRow("percentage") << "percentage" << std::optional(EvaluatedLineKind::percentage);
    QTest::newRow("currency") << "currency" << std::optional(EvaluatedLineKind::currency);
    QTest::newRow("unit") << "unit" << std::optional(EvaluatedLineKind::unit);
    QTest::newRow("date") << "date" << std::optional(EvaluatedLineKind::date);
    QTest::newRow("aggregate") << "aggregate" << std::optional(EvaluatedLineKind::aggregate);
    QTest::newRow("checklist") << "checklist" << std::optional(EvaluatedLineKind::checklist);
    QTest::newRow("case matters") << "Math" << std::optional<EvaluatedLineKind>();
    QTest::newRow("empty") << "" << std::optional<EvaluatedLineKind>();
    QTest::newRow("padded") << " unit" << std::optional<EvaluatedLineKind>();
}

void TestEvaluationRecords::kindRawValues()
{
    QFETCH(QString, raw);
    QFETCH(std::optional<EvaluatedLineKind>, kind);

    QCOMPARE(EvaluatedLineKindFromRaw(raw), kind);
    if (kind)
        QCOMPARE(rawValue(*kind), raw);
}

void TestEvaluationRecords::lineToJson_data()
{
    QTest::addColumn<EvaluatedLine>("line");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("only required keys")
        << EvaluatedLine{3, QStringLiteral("today"), std::nullopt, std::nullopt,
                         QStringLiteral("Fri, 10 Jan 2025"), EvaluatedLineKind::date, std::nullopt, std::nullopt}
        << QByteArray(R"({"lineIndex":3,"rawLine":"today","formattedResult":"Fri, 10 Jan 2025","kind":"date"})");

    QTest::newRow("every key in field order")
        << EvaluatedLine{0, QStringLiteral("price: 12 usd"), 12.5, QStringLiteral("USD"),
                         QStringLiteral("12.5 USD"), EvaluatedLineKind::currency, QStringLiteral("price"), false}
        << QByteArray(R"({"lineIndex":0,"rawLine":"price: 12 usd","numericValue":12.5,"unitOrCurrency":"USD",)"
                      R"("formattedResult":"12.5 USD","kind":"currency","label":"price","isChecked":false})");

    QTest::newRow("ticked task")
        << EvaluatedLine{7, QStringLiteral("- [x] done"), std::nullopt, std::nullopt, QStringLiteral("✓"),
                         EvaluatedLineKind::checklist, std::nullopt, true}
        << QByteArray(R"({"lineIndex":7,"rawLine":"- [x] done","formattedResult":"✓","kind":"checklist","isChecked":true})");

    QTest::newRow("text needing escapes")
        << EvaluatedLine{1, QStringLiteral("a \"q\" \\ b\tc\u0001 ş"), -0.25, std::nullopt, QStringLiteral("-0.25"),
                         EvaluatedLineKind::math, std::nullopt, std::nullopt}
        << QByteArray(R"({"lineIndex":1,"rawLine":"a \"q\" \\ b\tc\u0001 ş","numericValue":-0.25,)"
                      R"("formattedResult":"-0.25","kind":"math"})");

    QTest::newRow("large and whole numbers")
        << EvaluatedLine{9007199254740993LL, QString(), 1e21, std::nullopt, QString(), EvaluatedLineKind::unit,
                         std::nullopt, std::nullopt}
        << QByteArray(R"({"lineIndex":9007199254740993,"rawLine":"","numericValue":1e+21,)"
                      R"("formattedResult":"","kind":"unit"})");
}

void TestEvaluationRecords::lineToJson()
{
    QFETCH(EvaluatedLine, line);
    QFETCH(QByteArray, expected);

    const ZulResult<QByteArray> json = line.toJson();
    QVERIFY2(json.ok(), qPrintable(json.error()));
    QCOMPARE(json.value(), expected);

    const ZulResult<EvaluatedLine> back = EvaluatedLine::fromJson(json.value());
    QVERIFY2(back.ok(), qPrintable(back.error()));
    QVERIFY(back.value() == line);
}

void TestEvaluationRecords::lineToJsonRejectsNonFiniteNumber()
{
    for (double value : {std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()}) {
        const EvaluatedLine line{0, QStringLiteral("x"), value, std::nullopt, QStringLiteral("—"),
                                 EvaluatedLineKind::math, std::nullopt, std::nullopt};
        QVERIFY(!line.toJson().ok());
    }
}

void TestEvaluationRecords::lineFromJsonFails_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("kind outside the raw values")
        << QByteArray(R"({"lineIndex":0,"rawLine":"x","formattedResult":"1","kind":"money"})");
    QTest::newRow("missing lineIndex") << QByteArray(R"({"rawLine":"x","formattedResult":"1","kind":"math"})");
    QTest::newRow("missing rawLine") << QByteArray(R"({"lineIndex":0,"formattedResult":"1","kind":"math"})");
    QTest::newRow("missing formattedResult") << QByteArray(R"({"lineIndex":0,"rawLine":"x","kind":"math"})");
    QTest::newRow("missing kind") << QByteArray(R"({"lineIndex":0,"rawLine":"x","formattedResult":"1"})");
    QTest::newRow("null required key")
        << QByteArray(R"({"lineIndex":0,"rawLine":null,"formattedResult":"1","kind":"math"})");
    QTest::newRow("fractional lineIndex")
        << QByteArray(R"({"lineIndex":1.5,"rawLine":"x","formattedResult":"1","kind":"math"})");
    QTest::newRow("lineIndex as text")
        << QByteArray(R"({"lineIndex":"1","rawLine":"x","formattedResult":"1","kind":"math"})");
    QTest::newRow("numericValue as text")
        << QByteArray(R"({"lineIndex":0,"rawLine":"x","numericValue":"1","formattedResult":"1","kind":"math"})");
    QTest::newRow("unitOrCurrency as number")
        << QByteArray(R"({"lineIndex":0,"rawLine":"x","unitOrCurrency":1,"formattedResult":"1","kind":"math"})");
    QTest::newRow("label as bool")
        << QByteArray(R"({"lineIndex":0,"rawLine":"x","formattedResult":"1","kind":"math","label":true})");
    QTest::newRow("isChecked as text")
        << QByteArray(R"({"lineIndex":0,"rawLine":"x","formattedResult":"1","kind":"checklist","isChecked":"true"})");
    QTest::newRow("kind as number") << QByteArray(R"({"lineIndex":0,"rawLine":"x","formattedResult":"1","kind":0})");
    QTest::newRow("array not object") << QByteArray(R"([0,"x","1","math"])");
    QTest::newRow("not json") << QByteArray("{lineIndex: 0");
}

void TestEvaluationRecords::lineFromJsonFails()
{
    QFETCH(QByteArray, json);
    const ZulResult<EvaluatedLine> result = EvaluatedLine::fromJson(json);
    QVERIFY(!result.ok());
    QVERIFY(!result.error().isEmpty());
}

void TestEvaluationRecords::lineFromJsonReads_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<EvaluatedLine>("expected");

    QTest::newRow("null optionals read as absent")
        << QByteArray(R"({"lineIndex":2,"rawLine":"- [ ] buy milk","numericValue":null,"unitOrCurrency":null,)"
                      R"("formattedResult":"○","kind":"checklist","label":null,"isChecked":null})")
        << taskLine(2, std::nullopt);
    QTest::newRow("unknown keys ignored, any order")
        << QByteArray(R"({"isChecked":false,"kind":"checklist","extra":[1,2],"formattedResult":"○",)"
                      R"("rawLine":"- [ ] buy milk","lineIndex":2})")
        << taskLine(2, false);
    QTest::newRow("integral lineIndex written as a decimal")
        << QByteArray(R"({"lineIndex":4.0,"rawLine":"- [ ] buy milk","formattedResult":"○","kind":"checklist"})")
        << taskLine(4, std::nullopt);
}

void TestEvaluationRecords::lineFromJsonReads()
{
    QFETCH(QByteArray, json);
    QFETCH(EvaluatedLine, expected);

    const ZulResult<EvaluatedLine> result = EvaluatedLine::fromJson(json);
    QVERIFY2(result.ok(), qPrintable(result.error()));
    QVERIFY(result.value() == expected);
}

void TestEvaluationRecords::lineEquality()
{
    QVERIFY(taskLine(1, false) == taskLine(1, false));
    QVERIFY(!(taskLine(1, std::nullopt) == taskLine(1, false)));
    QVERIFY(!(taskLine(1, true) == taskLine(1, false)));
    QVERIFY(!(taskLine(1, false) == taskLine(2, false)));
    QCOMPARE(taskLine(5, true).id(), qint64(5));
}

void TestEvaluationRecords::averageNumericValue_data()
{
    QTest::addColumn<std::optional<double>>("sum");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<std::optional<double>>("average");

    QTest::newRow("sum without count has no average") << std::optional(5.0) << qint64(0) << std::optional<double>();
    QTest::newRow("two values") << std::optional(5.0) << qint64(2) << std::optional(2.5);
    QTest::newRow("no sum") << std::optional<double>() << qint64(3) << std::optional<double>();
    QTest::newRow("negative count") << std::optional(5.0) << qint64(-1) << std::optional<double>();
}

void TestEvaluationRecords::averageNumericValue()
{
    QFETCH(std::optional<double>, sum);
    QFETCH(qint64, count);
    QFETCH(std::optional<double>, average);

    NoteEvaluationSummary summary;
    summary.totalNumericSum = sum;
    summary.numericCount = count;
    QCOMPARE(summary.averageNumericValue(), average);
}

void TestEvaluationRecords::lineAt_data()
{
    QTest::addColumn<qint64>("index");
    QTest::addColumn<bool>("found");

    QTest::newRow("first record") << qint64(0) << true;
    QTest::newRow("later record") << qint64(4) << true;
    QTest::newRow("line without a result") << qint64(2) << false;
    QTest::newRow("negative") << qint64(-1) << false;
    QTest::newRow("past the end") << qint64(99) << false;
}

void TestEvaluationRecords::lineAt()
{
    QFETCH(qint64, index);
    QFETCH(bool, found);

    NoteEvaluationSummary summary;
    summary.lines = {taskLine(0, false), taskLine(1, true), taskLine(4, false)};
    const std::optional<EvaluatedLine> line = summary.line(index);
    QCOMPARE(line.has_value(), found);
    if (found)
        QCOMPARE(line->lineIndex, index);
}

void TestEvaluationRecords::emptySummary()
{
    const NoteEvaluationSummary built{{}, std::nullopt, 0, 0, 0, 0, 0};
    QVERIFY(NoteEvaluationSummary::empty() == built);
    QCOMPARE(&NoteEvaluationSummary::empty(), &NoteEvaluationSummary::empty());

    NoteEvaluationSummary withLine = built;
    withLine.lines.append(taskLine(0, false));
    QVERIFY(!(NoteEvaluationSummary::empty() == withLine));
    NoteEvaluationSummary withWords = built;
    withWords.wordCount = 1;
    QVERIFY(!(NoteEvaluationSummary::empty() == withWords));
}

QTEST_GUILESS_MAIN(TestEvaluationRecords)
#include "tst_evaluationrecords.moc"
