#include "Engine/ComputationalNoteEngine.h"
#include "LocaleScope.h"
#include "Models/CurrencyRateTable.h"
#include "Models/ZulExportFormat.h"
#include "Models/ZulNote.h"
#include "Services/ZulExportService.h"
#include "Services/ZulStorageService.h"

#include <QFile>
#include <QtTest>

Q_DECLARE_METATYPE(ZulExportFormat)
Q_DECLARE_METATYPE(NoteEvaluationSummary)

namespace {

const QString kExportDataDir = QStringLiteral(VESK_TEST_DATA_DIR "/export");

// The instant and zone every golden file was written for: the starter notes'
// date lines count from it.
ComputationalNoteEngine goldenEngine()
{
    return ComputationalNoteEngine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                   QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone::utc()),
                                   QTimeZone::utc());
}

ZulNote noteWith(const QString &title, const QString &content)
{
    const QDateTime at(QDate(2025, 1, 10), QTime(12, 0), QTimeZone::utc());
    return ZulNote(QUuid::createUuid(), title, content, ZulNoteTint::indigo, false, false, false, std::nullopt, {},
                   at, at);
}

EvaluatedLine resultLine(qint64 index, const QString &raw, const QString &formatted,
                         EvaluatedLineKind kind = EvaluatedLineKind::math)
{
    EvaluatedLine line;
    line.lineIndex = index;
    line.rawLine = raw;
    line.formattedResult = formatted;
    line.kind = kind;
    if (kind == EvaluatedLineKind::checklist)
        line.isChecked = formatted == QStringLiteral("\u2713");
    return line;
}

NoteEvaluationSummary summaryOf(QList<EvaluatedLine> lines, std::optional<double> sum = std::nullopt,
                                qint64 count = 0, qint64 done = 0, qint64 tasks = 0)
{
    NoteEvaluationSummary summary;
    summary.lines = std::move(lines);
    summary.totalNumericSum = sum;
    summary.numericCount = count;
    summary.completedTasks = done;
    summary.totalTasks = tasks;
    return summary;
}

QString readGolden(const QString &name)
{
    QFile file(kExportDataDir + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing golden file %1>").arg(name);
    return QString::fromUtf8(file.readAll());
}

// The first line where two texts part, for a readable failure.
QByteArray firstDifference(const QString &actual, const QString &expected)
{
    const QStringList a = actual.split(QLatin1Char('\n'));
    const QStringList e = expected.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        if (a.value(i) != e.value(i))
            return QStringLiteral("line %1:\n  actual:   %2\n  expected: %3")
                .arg(i + 1)
                .arg(a.value(i), e.value(i))
                .toUtf8();
    }
    return "texts differ only in their line count";
}

} // namespace

class TestZulExportService : public QObject
{
    Q_OBJECT

private slots:
    void starterNotesMatchGoldenFiles_data();
    void starterNotesMatchGoldenFiles();
    void bodyWithoutInlineResults_data();
    void bodyWithoutInlineResults();
    void markdownSummaryComment_data();
    void markdownSummaryComment();
    void plainTextUnderline_data();
    void plainTextUnderline();
    void csvRows_data();
    void csvRows();
    void inlineResults_data();
    void inlineResults();
    void toggleChecklistLine_data();
    void toggleChecklistLine();
};

void TestZulExportService::starterNotesMatchGoldenFiles_data()
{
    QTest::addColumn<int>("noteIndex");
    QTest::addColumn<ZulExportFormat>("format");
    QTest::addColumn<QString>("goldenFile");

    QTest::newRow("budget as Markdown") << 0 << ZulExportFormat::markdownWithResults << "starter-budget.md";
    QTest::newRow("budget as plain text") << 0 << ZulExportFormat::plainText << "starter-budget.txt";
    QTest::newRow("budget as CSV") << 0 << ZulExportFormat::csv << "starter-budget.csv";
    QTest::newRow("scratch as Markdown") << 1 << ZulExportFormat::markdownWithResults << "starter-scratch.md";
    QTest::newRow("scratch as plain text") << 1 << ZulExportFormat::plainText << "starter-scratch.txt";
    QTest::newRow("scratch as CSV") << 1 << ZulExportFormat::csv << "starter-scratch.csv";
}

void TestZulExportService::starterNotesMatchGoldenFiles()
{
    QFETCH(int, noteIndex);
    QFETCH(ZulExportFormat, format);
    QFETCH(QString, goldenFile);

    const QList<ZulNote> notes =
        ZulStorageService::makeStarterNotes(QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone::utc()));
    QCOMPARE(notes.size(), 2);
    const ZulNote &note = notes.at(noteIndex);
    const QString expected = readGolden(goldenFile);

    // Exports are files for other programs: the desktop's locale must not
    // change a byte of them.
    VESK_FOR_EACH_LOCALE({
        const NoteEvaluationSummary summary = goldenEngine().evaluate(note.content);
        const QString actual = ZulExportService::exportNote(note, summary, format, true);
        QVERIFY2(actual == expected, firstDifference(actual, expected).constData());
    })
}

void TestZulExportService::bodyWithoutInlineResults_data()
{
    QTest::addColumn<ZulExportFormat>("format");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Markdown") << ZulExportFormat::markdownWithResults
                              << "# Costs\n\nrent: 10\n\n---\n<!-- VeskZul Summary: Sum = 10, Items = 1, Tasks = 0/0 -->\n";
    QTest::newRow("plain text") << ZulExportFormat::plainText << "Costs\n========\n\nrent: 10\n";
    QTest::newRow("CSV ignores the flag")
        << ZulExportFormat::csv
        << "Line,Kind,Label,Expression,NumericValue,UnitOrCurrency,FormattedResult\n"
           "1,\"math\",\"rent\",\"rent: 10\",10.0000,\"\",\"10\"\n";
}

void TestZulExportService::bodyWithoutInlineResults()
{
    QFETCH(ZulExportFormat, format);
    QFETCH(QString, expected);

    EvaluatedLine rent = resultLine(0, QStringLiteral("rent: 10"), QStringLiteral("10"));
    rent.numericValue = 10;
    rent.label = QStringLiteral("rent");
    const NoteEvaluationSummary summary = summaryOf({rent}, 10, 1);
    const ZulNote note = noteWith(QStringLiteral("Costs"), QStringLiteral("rent: 10"));

    QCOMPARE(ZulExportService::exportNote(note, summary, format, false), expected);
}

void TestZulExportService::markdownSummaryComment_data()
{
    QTest::addColumn<NoteEvaluationSummary>("summary");
    QTest::addColumn<QString>("expectedTail");

    const QString body = QStringLiteral("a\nb\nc");
    QTest::newRow("sum, three values, one of two tasks")
        << summaryOf({}, 1234.567, 3, 1, 2)
        << body + "\n\n---\n<!-- VeskZul Summary: Sum = 1,234.57, Items = 3, Tasks = 1/2 -->\n";
    QTest::newRow("negative sum") << summaryOf({}, -0.5, 2)
                                  << body + "\n\n---\n<!-- VeskZul Summary: Sum = -0.5, Items = 2, Tasks = 0/0 -->\n";
    QTest::newRow("no sum, tasks only: no comment") << summaryOf({}, std::nullopt, 0, 1, 3) << body;
    QTest::newRow("empty summary") << NoteEvaluationSummary::empty() << body;
}

void TestZulExportService::markdownSummaryComment()
{
    QFETCH(NoteEvaluationSummary, summary);
    QFETCH(QString, expectedTail);

    const ZulNote note = noteWith(QStringLiteral("Title"), QStringLiteral("a\nb\nc"));
    const QString text = ZulExportService::exportNote(note, summary, ZulExportFormat::markdownWithResults, true);
    QCOMPARE(text, QStringLiteral("# Title\n\n") + expectedTail);
}

void TestZulExportService::plainTextUnderline_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("underline");

    QTest::newRow("3 characters raised to 8") << "Abc" << "x" << "Abc" << 8;
    QTest::newRow("20 characters kept") << QString(20, QLatin1Char('t')) << "x" << QString(20, QLatin1Char('t')) << 20;
    QTest::newRow("100 characters lowered to 48")
        << QString(100, QLatin1Char('t')) << "x" << QString(100, QLatin1Char('t')) << 48;
    const QString accented = QString::fromUtf8("e\u0301").repeated(10);
    QTest::newRow("counts graphemes, not code units") << accented << "x" << accented << 10;
    QTest::newRow("title taken from the content") << "  " << "\n## Budget 2025\nrest" << "Budget 2025" << 11;
    QTest::newRow("untitled") << "" << "" << "Untitled" << 8;
    QTest::newRow("line breaks in the title, one line in the export")
        << QString::fromUtf8("Q3\nCosts\r\nand\u2028rent") << "x" << "Q3 Costs and rent" << 17;
}

void TestZulExportService::plainTextUnderline()
{
    QFETCH(QString, title);
    QFETCH(QString, content);
    QFETCH(QString, shownTitle);
    QFETCH(int, underline);

    const ZulNote note = noteWith(title, content);
    const QString text = ZulExportService::exportNote(note, NoteEvaluationSummary::empty(),
                                                      ZulExportFormat::plainText, true);
    QCOMPARE(text, shownTitle + "\n" + QString(underline, QLatin1Char('=')) + "\n\n" + content + "\n");
    const QString markdown = ZulExportService::exportNote(note, NoteEvaluationSummary::empty(),
                                                          ZulExportFormat::markdownWithResults, true);
    QCOMPARE(markdown, "# " + shownTitle + "\n\n" + content);
}

void TestZulExportService::csvRows_data()
{
    QTest::addColumn<NoteEvaluationSummary>("summary");
    QTest::addColumn<QString>("expectedRows");

    QTest::newRow("no records: header only") << NoteEvaluationSummary::empty() << "";

    EvaluatedLine half = resultLine(0, QStringLiteral("5 / 2"), QStringLiteral("2.5"));
    half.numericValue = 2.5;
    QTest::newRow("first line is line 1, four fraction digits")
        << summaryOf({half}) << "1,\"math\",\"\",\"5 / 2\",2.5000,\"\",\"2.5\"\n";

    EvaluatedLine date = resultLine(6, QStringLiteral("today"), QStringLiteral("2025-01-10"), EvaluatedLineKind::date);
    date.unitOrCurrency = QStringLiteral("date");
    QTest::newRow("no number: empty field between commas")
        << summaryOf({date}) << "7,\"date\",\"\",\"today\",,\"date\",\"2025-01-10\"\n";

    EvaluatedLine padded = resultLine(1, QString::fromUtf8("\t\u00A0 a = 1 \t"), QStringLiteral("1"),
                                      EvaluatedLineKind::variable);
    padded.numericValue = 1;
    padded.label = QStringLiteral("a");
    QTest::newRow("expression trimmed of spaces and tabs")
        << summaryOf({padded}) << "2,\"variable\",\"a\",\"a = 1\",1.0000,\"\",\"1\"\n";

    EvaluatedLine quoted = resultLine(2, QStringLiteral("say \"x\": 3"), QStringLiteral("3"));
    quoted.numericValue = 3;
    quoted.label = QStringLiteral("say \"x\"");
    QTest::newRow("quotes doubled")
        << summaryOf({quoted}) << "3,\"math\",\"say \"\"x\"\"\",\"say \"\"x\"\": 3\",3.0000,\"\",\"3\"\n";

    EvaluatedLine formula = resultLine(3, QStringLiteral("=cmd|' /C calc'!A0"), QStringLiteral("-5"));
    formula.numericValue = -5;
    formula.label = QStringLiteral("@risk");
    QTest::newRow("formula starts guarded, number bare")
        << summaryOf({formula}) << "4,\"math\",\"'@risk\",\"'=cmd|' /C calc'!A0\",-5.0000,\"\",\"'-5\"\n";

    EvaluatedLine money = resultLine(4, QStringLiteral("100 EUR -> TL"), QStringLiteral("4,130.43 TRY"),
                                     EvaluatedLineKind::currency);
    money.numericValue = 100 / 0.92 * 38;
    money.unitOrCurrency = QStringLiteral("TRY");
    EvaluatedLine task = resultLine(5, QStringLiteral("* [x] done"), QStringLiteral("\u2713"),
                                    EvaluatedLineKind::checklist);
    QTest::newRow("rows in record order")
        << summaryOf({money, task})
        << "5,\"currency\",\"\",\"100 EUR -> TL\",4130.4348,\"TRY\",\"4,130.43 TRY\"\n"
           "6,\"checklist\",\"\",\"* [x] done\",,\"\",\"\u2713\"\n";

    EvaluatedLine large = resultLine(0, QStringLiteral("1e6 * 1e6"), QStringLiteral("x"));
    large.numericValue = 123456789012.34567;
    QTest::newRow("no grouping, no exponent")
        << summaryOf({large}) << "1,\"math\",\"\",\"1e6 * 1e6\",123456789012.3457,\"\",\"x\"\n";
}

void TestZulExportService::csvRows()
{
    QFETCH(NoteEvaluationSummary, summary);
    QFETCH(QString, expectedRows);

    const QString header = QStringLiteral("Line,Kind,Label,Expression,NumericValue,UnitOrCurrency,FormattedResult\n");
    const ZulNote note = noteWith(QStringLiteral("ignored"), QStringLiteral("ignored"));
    VESK_FOR_EACH_LOCALE({
        QCOMPARE(ZulExportService::exportNote(note, summary, ZulExportFormat::csv, true), header + expectedRows);
    })
}

void TestZulExportService::inlineResults_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<NoteEvaluationSummary>("summary");
    QTest::addColumn<QString>("expected");

    QTest::newRow("only the second of three lines")
        << "a\nb\nc" << summaryOf({resultLine(1, "b", "42")}) << "a\nb // = 42\nc";
    QTest::newRow("task line gets no suffix")
        << "- [x] a\n1" << summaryOf({resultLine(0, "- [x] a", "\u2713", EvaluatedLineKind::checklist),
                                      resultLine(1, "1", "1")})
        << "- [x] a\n1 // = 1";
    QTest::newRow("nothing trimmed") << "  7  " << summaryOf({resultLine(0, "  7  ", "7")}) << "  7   // = 7";
    QTest::newRow("record past the end ignored") << "1" << summaryOf({resultLine(3, "x", "9")}) << "1";
    QTest::newRow("empty text") << "" << NoteEvaluationSummary::empty() << "";
    QTest::newRow("result on the empty last line")
        << "5\n" << summaryOf({resultLine(0, "5", "5"), resultLine(1, "", "0")}) << "5 // = 5\n // = 0";
    QTest::newRow("CR LF is one line end and stays")
        << "1\r\n2\r\n3" << summaryOf({resultLine(1, "2", "2"), resultLine(2, "3", "3")})
        << "1\r\n2 // = 2\r\n3 // = 3";
    QTest::newRow("other line ends count and stay")
        << QString::fromUtf8("1\u20282\r3\v4") << summaryOf({resultLine(1, "2", "2"), resultLine(3, "4", "4")})
        << QString::fromUtf8("1\u20282 // = 2\r3\v4 // = 4");
}

void TestZulExportService::inlineResults()
{
    QFETCH(QString, content);
    QFETCH(NoteEvaluationSummary, summary);
    QFETCH(QString, expected);

    QCOMPARE(ZulExportService::renderWithInlineResults(content, summary), expected);
}

void TestZulExportService::toggleChecklistLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("lineIndex");
    QTest::addColumn<QString>("expected");

    QTest::newRow("open dash box ticked") << "- [ ] milk" << qint64(0) << "- [x] milk";
    QTest::newRow("ticked dash box opened") << "- [x] milk" << qint64(0) << "- [ ] milk";
    QTest::newRow("upper-case X opened lower") << "- [X] milk" << qint64(0) << "- [ ] milk";
    QTest::newRow("open star box ticked") << "* [ ] milk" << qint64(0) << "* [x] milk";
    QTest::newRow("ticked star box opened") << "* [x] milk" << qint64(0) << "* [ ] milk";
    QTest::newRow("upper-case star X opened") << "* [X] milk" << qint64(0) << "* [ ] milk";
    QTest::newRow("indented task") << "  \t- [x] milk" << qint64(0) << "  \t- [ ] milk";
    QTest::newRow("leading star box wins over inner dash box")
        << "* [ ] buy - [ ] milk" << qint64(0) << "* [x] buy - [ ] milk";
    QTest::newRow("leading dash box wins over inner open box")
        << "- [x] buy - [ ] milk" << qint64(0) << "- [ ] buy - [ ] milk";
    QTest::newRow("no leading marker: dash searched before star")
        << "note * [ ] star - [ ] dash" << qint64(0) << "note * [ ] star - [x] dash";
    QTest::newRow("no leading marker: marker inside text")
        << "done: - [X] later" << qint64(0) << "done: - [ ] later";
    QTest::newRow("only the addressed line")
        << "a\n- [ ] b\n- [ ] c" << qint64(2) << "a\n- [ ] b\n- [x] c";
    QTest::newRow("CR LF kept around the line")
        << "- [ ] a\r\n- [ ] b\r\nc" << qint64(1) << "- [ ] a\r\n- [x] b\r\nc";
    QTest::newRow("index past the end") << "- [ ] a\nb\nc" << qint64(5) << "- [ ] a\nb\nc";
    QTest::newRow("negative index") << "- [ ] a\nb\nc" << qint64(-1) << "- [ ] a\nb\nc";
    QTest::newRow("line without marker") << "a\nbuy milk\r\nc" << qint64(1) << "a\nbuy milk\r\nc";
    QTest::newRow("box without dash") << "[ ] a" << qint64(0) << "[ ] a";
    QTest::newRow("empty text") << "" << qint64(0) << "";
}

void TestZulExportService::toggleChecklistLine()
{
    QFETCH(QString, text);
    QFETCH(qint64, lineIndex);
    QFETCH(QString, expected);

    const QString toggled = ZulExportService::toggleChecklistLine(text, lineIndex);
    QCOMPARE(toggled, expected);

    // What the gutter shows must follow: a task the engine counted flips
    // state, and toggling twice gives the original text back.
    const ComputationalNoteEngine engine = goldenEngine();
    const std::optional<EvaluatedLine> before = engine.evaluate(text).line(lineIndex);
    if (before && before->kind == EvaluatedLineKind::checklist) {
        const std::optional<EvaluatedLine> after = engine.evaluate(toggled).line(lineIndex);
        QVERIFY(after && after->kind == EvaluatedLineKind::checklist);
        QCOMPARE(after->isChecked, std::optional<bool>(!*before->isChecked));
    }
    if (!text.contains(QLatin1Char('X')))
        QCOMPARE(ZulExportService::toggleChecklistLine(toggled, lineIndex), text);
}

QTEST_GUILESS_MAIN(TestZulExportService)
#include "tst_zulexportservice.moc"
