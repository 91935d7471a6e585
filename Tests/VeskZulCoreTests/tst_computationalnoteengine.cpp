#include "Engine/ComputationalNoteEngine.h"
#include "Engine/NoteLineText.h"
#include "Engine/NoteVocabulary.h"
#include "LocaleScope.h"

#include <QtTest>

#include <charconv>
#include <map>
#include <cmath>
#include <thread>

using LineSpans = QList<ComputationalNoteEngine::LineSpan>;
using OptionalSum = std::optional<double>;

Q_DECLARE_METATYPE(CurrencyRateTable)

namespace {

// A Friday afternoon; dates in the notes below are counted in UTC.
QDateTime referenceInstant()
{
    return QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone::utc());
}

ComputationalNoteEngine engineWith(const CurrencyRateTable &rates, const QString &currency = QStringLiteral("try"))
{
    return ComputationalNoteEngine(rates, currency, referenceInstant(), QTimeZone::utc());
}

ComputationalNoteEngine standardEngine()
{
    return engineWith(CurrencyRateTable::offlineDefaults());
}

CurrencyRateTable ratesWithout(const QString &code)
{
    CurrencyRateTable rates = CurrencyRateTable::offlineDefaults();
    rates.ratesPerUSD.remove(code);
    return rates;
}

CurrencyRateTable ratesWith(const QString &code, double rate)
{
    CurrencyRateTable rates = CurrencyRateTable::offlineDefaults();
    rates.ratesPerUSD.insert(code, rate);
    return rates;
}

QString shortest(double value)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, ec == std::errc() ? int(end - buffer) : 0);
}

// One emitted line as a single comparable text: index, kind, the shown
// result, then whichever optional fields it has.
QString describe(const EvaluatedLine &line)
{
    QString text = QStringLiteral("%1 %2 \"%3\"").arg(line.lineIndex).arg(rawValue(line.kind), line.formattedResult);
    if (line.unitOrCurrency)
        text += QStringLiteral(" unit=") + *line.unitOrCurrency;
    if (line.label)
        text += QStringLiteral(" label=") + *line.label;
    if (line.numericValue)
        text += QStringLiteral(" value=") + shortest(*line.numericValue);
    if (line.isChecked)
        text += *line.isChecked ? QStringLiteral(" checked") : QStringLiteral(" open");
    return text;
}

QStringList describe(const NoteEvaluationSummary &summary)
{
    QStringList lines;
    for (const EvaluatedLine &line : summary.lines)
        lines.append(describe(line));
    return lines;
}

QString note(std::initializer_list<const char16_t *> lines)
{
    QStringList pieces;
    for (const char16_t *line : lines)
        pieces.append(QString::fromUtf16(line));
    return pieces.join(QLatin1Char('\n'));
}

QStringList pieces(const QString &text, const LineSpans &spans)
{
    QStringList result;
    for (const auto &span : spans)
        result.append(text.mid(span.start, span.length));
    return result;
}

QByteArray readData(const QString &name)
{
    QFile file(QStringLiteral(VESK_TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}


// Every word of the note language in every role it has, each read where the
// engine reads that role: a word that is missing from one of the lists made
// from the vocabulary (a pattern, a lookup, a quick pre-check) fails here.
void addVocabularyRows()
{
    using namespace NoteVocabulary;
    // Over the block 2, 4; and a call that gives the value in the map.
    const std::map<Meaning, int> overBlock{{Meaning::sum, 6}, {Meaning::average, 3}, {Meaning::minimum, 2},
                                           {Meaning::maximum, 4}, {Meaning::count, 2}};
    const std::map<Meaning, std::pair<const char *, int>> calls{
        {Meaning::sum, {"1, 3", 4}},         {Meaning::average, {"2, 6", 4}},   {Meaning::minimum, {"4, 9", 4}},
        {Meaning::maximum, {"1, 4", 4}},     {Meaning::squareRoot, {"16", 4}},  {Meaning::absolute, {"-4", 4}},
        {Meaning::rounded, {"3.5", 4}},      {Meaning::floor, {"4.7", 4}},      {Meaning::ceiling, {"3.2", 4}},
        {Meaning::power, {"2, 2", 4}},       {Meaning::logarithm10, {"10000", 4}},
        {Meaning::naturalLogarithm, {"1", 0}}, {Meaning::sine, {"0", 0}},       {Meaning::cosine, {"0", 1}}};
    const std::map<Meaning, const char *> constants{{Meaning::pi, "\"3.1416\" value=3.141592653589793"},
                                                    {Meaning::eulerNumber, "\"2.7183\" value=2.718281828459045"}};
    const std::map<Meaning, std::pair<const char *, const char *>> days{
        {Meaning::now, {"2025-01-10", "2025-01-17"}},
        {Meaning::tomorrow, {"2025-01-11", "2025-01-18"}},
        {Meaning::yesterday, {"2025-01-09", "2025-01-16"}}};
    const std::map<Meaning, const char *> in36{{Meaning::days, "2025-02-06"}, {Meaning::weeks, "2025-09-10"},
                                               {Meaning::months, "2028-01-01"}, {Meaning::years, "2061-01-01"},
                                               {Meaning::hours, "2025-01-03"}};
    const QStringList block{"0 math \"2\" value=2", "1 math \"4\" value=4"};
    const auto math = [](int line, int value) { return QStringLiteral("%1 math \"%2\" value=%2").arg(line).arg(value); };
    const auto date = [](const char *day) { return QStringLiteral("0 date \"%1\" unit=date").arg(day); };

    // Each word also as a Turkish writer capitalises it, İ for i and I for ı.
    const auto turkishCapital = [](QChar c) {
        return c == u'i' ? QChar(u'\u0130') : c == u'\u0131' ? QChar(u'I') : c.toUpper();
    };
    QList<std::pair<const Word *, QString>> written;
    for (const Word &entry : words()) {
        QString capitals = entry.text.toString();
        std::transform(capitals.begin(), capitals.end(), capitals.begin(), turkishCapital);
        const QString initial = turkishCapital(entry.text[0]) + entry.text.mid(1).toString();
        for (const QString &form : QStringList{entry.text.toString(), capitals, initial}) {
            if (std::none_of(written.cbegin(), written.cend(),
                             [&](const auto &done) { return done.first == &entry && done.second == form; }))
                written.append({&entry, form});
        }
    }
    for (const auto &[wordEntry, word] : std::as_const(written)) {
        const Word &entry = *wordEntry;
        const auto row = [&](const char *role, const QString &text, const QStringList &expected) {
            QTest::newRow(qPrintable(QStringLiteral("vocabulary: %1 as %2").arg(word, role))) << text << expected;
        };
        const Meaning meaning = entry.meaning;
        if (entry.roles & Role::aggregate)
            row("aggregate", "2\n4\n" + word,
                block + QStringList{QStringLiteral("2 aggregate \"%1\" value=%1").arg(overBlock.at(meaning))});
        if (entry.roles & Role::blockSymbol)
            row("symbol", "2\n4\n" + word + " * 10", block + QStringList{math(2, overBlock.at(meaning) * 10)});
        if (entry.roles & Role::blockFunction)
            row("block function", "2\n4\n" + word + "() * 10", block + QStringList{math(2, overBlock.at(meaning) * 10)});
        if (entry.roles & (Role::function | Role::blockFunction))
            row("function", word + '(' + calls.at(meaning).first + ')', {math(0, calls.at(meaning).second)});
        if (entry.roles & Role::constant)
            row("constant", word, {QStringLiteral("0 math ") + constants.at(meaning)});
        if (entry.roles & Role::previous)
            row("previous", "4\n" + word + " * 10", {math(0, 4), math(1, 40)});
        if (entry.roles & Role::tax)
            row("tax", "100 + 10% " + word, {"0 percentage \"110\" value=110"});
        if (entry.roles & Role::discount)
            row("discount", "100 - 10% " + word, {"0 percentage \"90\" value=90"});
        if (entry.roles & Role::percentageOf)
            row("percentage of", "20% " + word + " 50", {"0 percentage \"10\" value=10"});
        if (entry.roles & Role::connector)
            row("connector", "1 km " + word + " m", {"0 unit \"1,000 m\" unit=m value=1000"});
        if (entry.roles & Role::dayWord) {
            row("day word", word, {date(days.at(meaning).first)});
            row("day moved", word + " + 7 days", {date(days.at(meaning).second)});
        }
        if (entry.roles & Role::dayWord && meaning == Meaning::now) {
            const QString unit = entry.language == Language::turkish ? "gün" : "days";
            row("day counted to", "2025-01-20 - " + word, {QStringLiteral("0 date \"10 %1\" unit=%1 value=10").arg(unit)});
        }
        if (entry.roles & Role::dateUnit)
            row("date unit", "2025-01-01 + 36 " + word, {date(in36.at(meaning))});
        if (entry.roles & Role::dayCount) {
            const int count = meaning == Meaning::daysSince ? -10 : 10;
            row("day count", word + " 2025-01-20", {QStringLiteral("0 date \"%1 days\" unit=days value=%1").arg(count)});
        }
    }
}

// Long notes of every kind of line, runs of one currency among them, and
// the edits someone makes in them: keys typed anywhere, lines added, taken
// out and changed.
const QStringList kEditShapes = {
    "250 USD to TRY", "", "250 USD to TRY", "", "%1 USD", "%1 EUR", "sum", "avg", "count", "toplam", "en büyük",
    "prev + %1", "x = sum", "x * 2", "price = %1", "price * 2", "Total: sum + %1", "# Part %1", "---", "- [x] paid %1",
    "- [ ] due %1", "```", "now + %1 hours", "12 km to mi", "100 - 10% İndirim", "%1 + 18% KDV",
    "2025-01-10 12:00:%1 INFO GET /api/summary 200 35 ms", "retry %1 of 5", "ans * 3", "%1 ₺", "max(%1, 2)",
    "prev * 2 + 1000 + %1", "x * 2 + price * %1",
};

// A log-like note, one block throughout: the lines that end a block left
// out, and a variable set from the block only once in a long while.
const QStringList kBlockShapes = [] {
    QStringList shapes{QStringLiteral("x = sum")};
    for (int copy = 0; copy < 50; ++copy) {
        for (const QString &shape : kEditShapes) {
            if (!shape.isEmpty() && !shape.startsWith(u'#') && !shape.startsWith(u'-') && !shape.startsWith(u'`')
                && shape != u"x = sum")
                shapes.append(shape);
        }
    }
    return shapes;
}();

QString randomShape(QRandomGenerator &random, const QStringList &shapes)
{
    return QString(shapes[int(random.bounded(shapes.size()))])
        .replace(QStringLiteral("%1"), QString::number(random.bounded(100)));
}

QString randomLongNote(QRandomGenerator &random, int lines, const QStringList &shapes)
{
    QStringList text;
    for (int i = 0; i < lines; ++i)
        text.append(randomShape(random, shapes));
    return text.join(QLatin1Char('\n'));
}

QString randomEdit(QString text, QRandomGenerator &random, const QStringList &shapes)
{
    const qsizetype at = random.bounded(int(text.size() + 1));
    const qsizetype lineStart = text.lastIndexOf(u'\n', at - 1) + 1;
    const qsizetype lineEnd = text.indexOf(u'\n', at) < 0 ? text.size() : text.indexOf(u'\n', at);
    switch (random.bounded(5)) {
    case 0:
    {
        static const QString keys = QStringLiteral("0123456789 +-\nxs\r\u0301");
        return text.insert(at, keys.at(random.bounded(int(keys.size()))));
    }
    case 1:
        return text.insert(lineStart, randomShape(random, shapes) + u'\n');
    case 2:
        return text.remove(lineStart, lineEnd - lineStart + 1);
    case 3:
        return text.replace(lineStart, lineEnd - lineStart, randomShape(random, shapes));
    default:
        return text + u'\n' + randomShape(random, shapes);
    }
}
} // namespace

class TestComputationalNoteEngine : public QObject
{
    Q_OBJECT

private slots:
    void splitLines_data();
    void splitLines();
    void evaluateNote_data();
    void evaluateNote();
    void rateTableVariants_data();
    void rateTableVariants();
    void summaryCounts_data();
    void summaryCounts();
    void starterNotesMatchGoldenFiles_data();
    void starterNotesMatchGoldenFiles();
    void decomposedTextReadsAsComposed_data();
    void decomposedTextReadsAsComposed();
    void overflowingAggregateGivesNothing();
    void lineIndicesFollowSplitLines();
    void defaultCurrencyIsUpperCased();
    void resultsIgnoreProcessLocale();
    void concurrentEvaluationsAgree();
    void resumedEvaluationsMatchFullOnes_data();
    void resumedEvaluationsMatchFullOnes();
    void hostileInputIsHandled();
    void asciiPercentageReaderAgreesWithPattern_data();
    void asciiPercentageReaderAgreesWithPattern();
};

void TestComputationalNoteEngine::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty text is one empty line") << QString() << QStringList{QString()};
    QTest::newRow("no line end") << "12 + 3" << QStringList{"12 + 3"};
    QTest::newRow("line feed") << "a\nb" << QStringList{"a", "b"};
    QTest::newRow("trailing line feed keeps an empty last line") << "a\n" << QStringList{"a", ""};
    QTest::newRow("empty lines kept") << "\n\na\n\n" << QStringList{"", "", "a", "", ""};
    QTest::newRow("CR LF is one line end") << "a\r\nb\r\n" << QStringList{"a", "b", ""};
    QTest::newRow("lone CR") << "a\rb" << QStringList{"a", "b"};
    QTest::newRow("CR CR is two line ends") << "a\r\rb" << QStringList{"a", "", "b"};
    QTest::newRow("LF CR is two line ends") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("CR CR LF") << "a\r\r\nb" << QStringList{"a", "", "b"};
    QTest::newRow("vertical tab") << "a\vb" << QStringList{"a", "b"};
    QTest::newRow("form feed") << "a\fb" << QStringList{"a", "b"};
    QTest::newRow("next line") << QString::fromUtf16(u"a\u0085b") << QStringList{"a", "b"};
    QTest::newRow("line separator") << QString::fromUtf16(u"a\u2028b") << QStringList{"a", "b"};
    QTest::newRow("paragraph separator") << QString::fromUtf16(u"a\u2029b") << QStringList{"a", "b"};
    QTest::newRow("tab and no-break space do not end a line")
        << QString::fromUtf16(u"a\tb\u00A0c") << QStringList{QString::fromUtf16(u"a\tb\u00A0c")};
    QTest::newRow("only a CR LF") << "\r\n" << QStringList{"", ""};
    // Long texts are scanned eight code units at a time.
    QTest::newRow("CR LF across eight code units")
        << "abcdefg\r\nhijklmnop" << QStringList{"abcdefg", "hijklmnop"};
    QTest::newRow("line end as the eighth code unit")
        << "abcdefg\nhijklmn\n" << QStringList{"abcdefg", "hijklmn", ""};
    QTest::newRow("CR LF after the last eight") << "abcdefgh\r\n" << QStringList{"abcdefgh", ""};
    QTest::newRow("every line end in a long text")
        << QString::fromUtf16(u"first\vsecond\fthird\u0085fourth\u2028fifth\u2029sixth\r\nseventh\rlast\n")
        << QStringList{"first", "second", "third", "fourth", "fifth", "sixth", "seventh", "last", ""};
}

void TestComputationalNoteEngine::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(pieces(text, ComputationalNoteEngine::splitLines(text)), expected);
}

void TestComputationalNoteEngine::evaluateNote_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    // Blocks and keyword aggregates.
    QTest::newRow("aggregate lines do not join the block")
        << note({u"10", u"20", u"sum", u"avg"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "2 aggregate \"30\" value=30",
                       "3 aggregate \"15\" value=15"};
    QTest::newRow("a labelled symbol joins the block")
        << note({u"10", u"20", u"Total: sum", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20",
                       "2 math \"30\" label=Total value=30", "3 aggregate \"60\" value=60"};
    QTest::newRow("blank line ends the block")
        << note({u"10", u"20", u"", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "3 aggregate \"0\" value=0"};
    QTest::newRow("white-space-only line ends the block")
        << note({u"10", u" \t\u3000", u"sum"})
        << QStringList{"0 math \"10\" value=10", "2 aggregate \"0\" value=0"};
    QTest::newRow("heading ends the block")
        << note({u"10", u"20", u"# Head", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "3 aggregate \"0\" value=0"};
    QTest::newRow("rule of dashes ends the block")
        << note({u"10", u"---", u"sum"}) << QStringList{"0 math \"10\" value=10", "2 aggregate \"0\" value=0"};
    QTest::newRow("rule of equals signs ends the block")
        << note({u"10", u"=====", u"sum"}) << QStringList{"0 math \"10\" value=10", "2 aggregate \"0\" value=0"};
    QTest::newRow("rule of stars ends the block")
        << note({u"10", u"  ***  ", u"sum"}) << QStringList{"0 math \"10\" value=10", "2 aggregate \"0\" value=0"};
    QTest::newRow("two dashes are no rule")
        << note({u"10", u"--", u"sum"}) << QStringList{"0 math \"10\" value=10", "2 aggregate \"10\" value=10"};
    QTest::newRow("mixed rule characters are no rule")
        << note({u"10", u"-=-", u"sum"}) << QStringList{"0 math \"10\" value=10", "2 aggregate \"10\" value=10"};
    QTest::newRow("comment keeps the block")
        << note({u"10", u"20", u"// a remark", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "3 aggregate \"30\" value=30"};
    QTest::newRow("link keeps the block")
        << note({u"10", u"20", u"https://example.org: 5", u"http://x", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "4 aggregate \"30\" value=30"};
    QTest::newRow("open task keeps the block")
        << note({u"10", u"20", u"- [ ] pay", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "2 checklist \"○\" open",
                       "3 aggregate \"30\" value=30"};
    QTest::newRow("unreadable line keeps the block")
        << note({u"10", u"groceries", u"20", u"sum"})
        << QStringList{"0 math \"10\" value=10", "2 math \"20\" value=20", "3 aggregate \"30\" value=30"};
    QTest::newRow("keywords on an empty block")
        << note({u"sayı", u"adet", u"count", u"sum", u"avg", u"min", u"max", u"ortalama"})
        << QStringList{"0 aggregate \"0\" value=0", "1 aggregate \"0\" value=0", "2 aggregate \"0\" value=0",
                       "3 aggregate \"0\" value=0"};
    QTest::newRow("every keyword of both languages")
        << note({u"10", u"20", u"60", u"toplam", u"total", u"average", u"ortalama", u"mean", u"minimum",
                 u"en küçük", u"maximum", u"en büyük", u"adet", u"sayı"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "2 math \"60\" value=60",
                       "3 aggregate \"90\" value=90", "4 aggregate \"90\" value=90",
                       "5 aggregate \"30\" value=30", "6 aggregate \"30\" value=30",
                       "7 aggregate \"30\" value=30", "8 aggregate \"10\" value=10",
                       "9 aggregate \"10\" value=10", "10 aggregate \"60\" value=60",
                       "11 aggregate \"60\" value=60", "12 aggregate \"3\" value=3",
                       "13 aggregate \"3\" value=3"};
    QTest::newRow("keywords fold, but keep their inner space")
        << note({u"7", u"EN BÜYÜK", u"  Toplam  ", u"en  büyük", u"SAYI"})
        << QStringList{"0 math \"7\" value=7", "1 aggregate \"7\" value=7", "2 aggregate \"7\" value=7",
                       "4 aggregate \"1\" value=1"};
    QTest::newRow("keyword with empty parentheses")
        << note({u"10", u"20", u"toplam()", u"avg()", u"count()"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "2 aggregate \"30\" value=30",
                       "3 aggregate \"15\" value=15", "4 aggregate \"2\" value=2"};
    QTest::newRow("sum with a space before its parentheses is arithmetic")
        << note({u"10", u"20", u"sum ()"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "2 math \"30\" value=30"};
    QTest::newRow("aggregate rounds to two digits")
        << note({u"1", u"2", u"2", u"avg"})
        << QStringList{"0 math \"1\" value=1", "1 math \"2\" value=2", "2 math \"2\" value=2",
                       "3 aggregate \"1.67\" value=1.6666666666666667"};
    QTest::newRow("aggregate sets the previous value")
        << note({u"10", u"20", u"sum", u"prev * 2"})
        << QStringList{"0 math \"10\" value=10", "1 math \"20\" value=20", "2 aggregate \"30\" value=30",
                       "3 math \"60\" value=60"};
    QTest::newRow("symbol count on an empty block is no number")
        << note({u"count + 1"}) << QStringList{};

    // Previous value and variables.
    QTest::newRow("previous value survives headings")
        << note({u"5", u"prev * 2", u"# Head", u"ans + 1", u"önceki"})
        << QStringList{"0 math \"5\" value=5", "1 math \"10\" value=10", "3 math \"11\" value=11",
                       "4 math \"11\" value=11"};
    QTest::newRow("prev before any number")
        << note({u"prev + 1"}) << QStringList{};
    QTest::newRow("variable carries its currency")
        << note({u"a = 100 USD", u"a", u"b = a", u"b * 2"})
        << QStringList{"0 variable \"100 USD\" unit=USD label=a value=100",
                       "1 math \"100 USD\" unit=USD value=100",
                       "2 variable \"100 USD\" unit=USD label=b value=100",
                       "3 math \"200\" value=200"};
    QTest::newRow("a unitless value keeps the recorded unit")
        << note({u"x = 100 USD", u"x = 3", u"x"})
        << QStringList{"0 variable \"100 USD\" unit=USD label=x value=100", "1 variable \"3\" label=x value=3",
                       "2 math \"3 USD\" unit=USD value=3"};
    QTest::newRow("variable names fold")
        << note({u"Kira = 25000", u"KIRA / 2", u"  kira  "})
        << QStringList{"0 variable \"25,000\" label=Kira value=25000", "1 math \"12,500\" value=12500",
                       "2 math \"25,000\" value=25000"};
    QTest::newRow("a bare unit quantity is no value")
        << note({u"a = 5 km", u"a"}) << QStringList{};
    QTest::newRow("assignment with a comment")
        << note({u"price = 10 // before tax"})
        << QStringList{"0 variable \"10\" label=price value=10"};
    QTest::newRow("comparisons and arrows never assign")
        << note({u"a = 1", u"a == 5", u"a <= 5", u"a >= 5", u"a != 5", u"a => 5", u"a"})
        << QStringList{"0 variable \"1\" label=a value=1", "6 math \"1\" value=1"};
    QTest::newRow("invalid names do not assign")
        << note({u"my var = 5", u"1x = 5", u"x. = 5", u"= 5", u"z ="}) << QStringList{};
    QTest::newRow("a variable named like a keyword shadows it")
        << note({u"sum = 7", u"sum"})
        << QStringList{"0 variable \"7\" label=sum value=7", "1 math \"7\" value=7"};
    QTest::newRow("assignment of an aggregate symbol")
        << note({u"4", u"6", u"t = sum * 2", u"t"})
        << QStringList{"0 math \"4\" value=4", "1 math \"6\" value=6", "2 variable \"20\" label=t value=20",
                       "3 math \"20\" value=20"};

    // Code fences, comments, numbered prose.
    QTest::newRow("lines inside a fence are skipped")
        << note({u"```", u"1 + 1", u"# not a heading", u"```", u"2 + 2"})
        << QStringList{"4 math \"4\" value=4"};
    QTest::newRow("fenced blank lines do not end the block")
        << note({u"10", u"```js", u"", u"```", u"20", u"sum"})
        << QStringList{"0 math \"10\" value=10", "4 math \"20\" value=20", "5 aggregate \"30\" value=30"};
    QTest::newRow("unclosed fence swallows the rest")
        << note({u"1", u"  ```", u"2", u"- [x] done"}) << QStringList{"0 math \"1\" value=1"};
    QTest::newRow("trailing comment is cut off")
        << note({u"12 * 2 // dozen pairs", u"5 //", u"// 7"})
        << QStringList{"0 math \"24\" value=24", "1 math \"5\" value=5"};
    QTest::newRow("a line that is only a trailing comment is skipped")
        << note({u"10", u" // x", u"sum"})
        << QStringList{"0 math \"10\" value=10", "2 aggregate \"10\" value=10"};
    QTest::newRow("numbered prose is skipped and keeps the block")
        << note({u"10", u"1. Buy milk", u"2) Çay", u"12. İstanbul", u"20", u"sum"})
        << QStringList{"0 math \"10\" value=10", "4 math \"20\" value=20", "5 aggregate \"30\" value=30"};
    QTest::newRow("numbers that only look like a list")
        << note({u"1.5 * 2", u"2. 5", u"3) x"}) << QStringList{"0 math \"3\" value=3"};

    // Labels.
    QTest::newRow("label needs a letter")
        << note({u"12:30", u"Öğle Yemeği: 380", u"a1: 2", u"1: 2"})
        << QStringList{"1 math \"380\" label=Öğle Yemeği value=380", "2 math \"2\" label=a1 value=2"};
    QTest::newRow("url schemes are no labels")
        << note({u"mailto: 5", u"FTP: 5", u"ftps: 5"}) << QStringList{"2 math \"5\" label=ftps value=5"};
    QTest::newRow("labelled line that cannot be read")
        << note({u"Note: buy bread"}) << QStringList{};

    // Tasks.
    QTest::newRow("tasks")
        << note({u"- [x] done", u"* [ ] open", u"* [X] Done", u"  - [ ]", u"-[ ] no space", u"- [] none"})
        << QStringList{"0 checklist \"✓\" checked", "1 checklist \"○\" open", "2 checklist \"✓\" checked",
                       "3 checklist \"○\" open"};
    QTest::newRow("a combining mark makes it no task")
        << note({u"- [ ]\u0301 x"}) << QStringList{};

    // Conversions.
    QTest::newRow("unit conversions with every connector")
        << note({u"5 km to m", u"5km to m", u"5 km kaç m", u"5 km KAÇ m", u"5 km in m", u"5 km -> m",
                 u"5 km => m", u"5 KM TO M"})
        << QStringList{"0 unit \"5,000 m\" unit=m value=5000", "1 unit \"5,000 m\" unit=m value=5000",
                       "2 unit \"5,000 m\" unit=m value=5000", "3 unit \"5,000 m\" unit=m value=5000",
                       "4 unit \"5,000 m\" unit=m value=5000", "5 unit \"5,000 m\" unit=m value=5000",
                       "6 unit \"5,000 m\" unit=m value=5000", "7 unit \"5,000 m\" unit=m value=5000"};
    QTest::newRow("connector must stand alone")
        << note({u"5 km into m", u"5 km tom", u"5 km to"}) << QStringList{};
    QTest::newRow("conversion of an expression and a variable")
        << note({u"d = 3", u"d * 2 km to m", u"(1 + 1) h in min"})
        << QStringList{"0 variable \"3\" label=d value=3", "1 unit \"6,000 m\" unit=m value=6000",
                       "2 unit \"120 min\" unit=min value=120"};
    QTest::newRow("currency conversions")
        << note({u"100 USD to EUR", u"Sunucu: 45 USD to TRY", u"100 EUR -> TL", u"$45+5 to TRY",
                 u"€ 10 in dollar"})
        << QStringList{"0 currency \"92 EUR\" unit=EUR value=92",
                       "1 currency \"1,710 TRY\" unit=TRY label=Sunucu value=1710",
                       "2 currency \"4,130.43 TRY\" unit=TRY value=4130.434782608695",
                       "3 currency \"1,900 TRY\" unit=TRY value=1900",
                       "4 currency \"10.87 USD\" unit=USD value=10.869565217391305"};
    QTest::newRow("incompatible units give nothing")
        << note({u"5 km to kg", u"3 apples to pears"}) << QStringList{};
    QTest::newRow("conversion results join the block")
        << note({u"1 km to m", u"500 m to m", u"sum"})
        << QStringList{"0 unit \"1,000 m\" unit=m value=1000", "1 unit \"500 m\" unit=m value=500",
                       "2 aggregate \"1,500 m\" unit=m value=1500"};
    QTest::newRow("different units sum raw without a unit")
        << note({u"2 km to km", u"500 m to m", u"sum"})
        << QStringList{"0 unit \"2 km\" unit=km value=2", "1 unit \"500 m\" unit=m value=500",
                       "2 aggregate \"502\" value=502"};

    // Percentages.
    QTest::newRow("percentage of")
        << note({u"20% of 150", u"%20 of 150", u"12,5% of 80", u"50% OF 10", u"20% of $100"})
        << QStringList{"0 percentage \"30\" value=30", "1 percentage \"30\" value=30",
                       "2 percentage \"10\" value=10", "3 percentage \"5\" value=5"};
    QTest::newRow("percentage added or taken off")
        << note({u"100 + 18% kdv", u"100 - 10% indirim", u"100 + 18% KDV", u"100+%8 vat", u"200 - 5% ÖTV",
                 u"100 + 1,5% stopaj", u"100 * 10%", u"100 + 10% fee"})
        << QStringList{"0 percentage \"118\" value=118", "1 percentage \"90\" value=90",
                       "2 percentage \"118\" value=118", "3 percentage \"108\" value=108",
                       "4 percentage \"190\" value=190", "5 percentage \"101.5\" value=101.5"};
    QTest::newRow("percentage on a currency amount")
        << note({u"$100 + 10%", u"250 TRY - %20 indirim"})
        << QStringList{"0 percentage \"110 USD\" unit=USD value=110",
                       "1 percentage \"200 TRY\" unit=TRY value=200"};
    QTest::newRow("percentage of a variable")
        << note({u"fiyat = 80", u"fiyat + 25%", u"25% of fiyat"})
        << QStringList{"0 variable \"80\" label=fiyat value=80", "1 percentage \"100\" value=100",
                       "2 percentage \"20\" value=20"};
    QTest::newRow("percentage rounds to two digits")
        << note({u"33.333 + 1%"}) << QStringList{"0 percentage \"33.67\" value=33.666329999999995"};

    // Currency-tagged values.
    QTest::newRow("currency-tagged values")
        << note({u"250 TRY", u"€ 12 + 3", u"12 apples", u"Tasarım: 12000 TL", u"¥500", u"£ 2 * 3", u"7 euro",
                 u"3 usd"})
        << QStringList{"0 currency \"250 TRY\" unit=TRY value=250", "1 currency \"15 EUR\" unit=EUR value=15",
                       "3 currency \"12,000 TRY\" unit=TRY label=Tasarım value=12000",
                       "4 currency \"500 JPY\" unit=JPY value=500", "5 currency \"6 GBP\" unit=GBP value=6",
                       "6 currency \"7 EUR\" unit=EUR value=7", "7 currency \"3 USD\" unit=USD value=3"};
    QTest::newRow("only the last word is a currency")
        << note({u"10 + 2 USD", u"10 USD + 2"}) << QStringList{"0 currency \"12 USD\" unit=USD value=12"};
    QTest::newRow("same-currency block keeps its currency")
        << note({u"100 USD", u"50 USD", u"sum", u"avg"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 USD\" unit=USD value=50",
                       "2 aggregate \"150 USD\" unit=USD value=150", "3 aggregate \"75 USD\" unit=USD value=75"};
    QTest::newRow("mixed-currency block is converted to the default currency")
        << note({u"100 USD", u"50 EUR", u"sum", u"max"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 EUR\" unit=EUR value=50",
                       "2 aggregate \"5,865.22 TRY\" unit=TRY value=5865.217391304348",
                       "3 aggregate \"3,800 TRY\" unit=TRY value=3800"};
    QTest::newRow("a block that stops being convertible is summed as typed")
        << note({u"100 USD", u"50 EUR", u"sum", u"2 km to km", u"sum", u"7 EUR", u"avg"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 EUR\" unit=EUR value=50",
                       "2 aggregate \"5,865.22 TRY\" unit=TRY value=5865.217391304348",
                       "3 unit \"2 km\" unit=km value=2", "4 aggregate \"152\" value=152",
                       "5 currency \"7 EUR\" unit=EUR value=7", "6 aggregate \"39.75\" value=39.75"};
    QTest::newRow("a new block converts afresh")
        << note({u"100 USD", u"50 EUR", u"sum", u"", u"10 USD", u"10 USD", u"sum", u"5 EUR", u"sum", u"min"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 EUR\" unit=EUR value=50",
                       "2 aggregate \"5,865.22 TRY\" unit=TRY value=5865.217391304348",
                       "4 currency \"10 USD\" unit=USD value=10", "5 currency \"10 USD\" unit=USD value=10",
                       "6 aggregate \"20 USD\" unit=USD value=20", "7 currency \"5 EUR\" unit=EUR value=5",
                       "8 aggregate \"966.52 TRY\" unit=TRY value=966.5217391304348",
                       "9 aggregate \"206.52 TRY\" unit=TRY value=206.52173913043478"};
    QTest::newRow("extremes and count follow the growing block")
        << note({u"5", u"max", u"9", u"max", u"2", u"min", u"count", u"Total: max + min", u"max", u"avg"})
        << QStringList{"0 math \"5\" value=5", "1 aggregate \"5\" value=5", "2 math \"9\" value=9",
                       "3 aggregate \"9\" value=9", "4 math \"2\" value=2", "5 aggregate \"2\" value=2",
                       "6 aggregate \"3\" value=3", "7 math \"11\" label=Total value=11",
                       "8 aggregate \"11\" value=11", "9 aggregate \"6.75\" value=6.75"};
    QTest::newRow("a block entry without a unit leaves the sum unitless")
        << note({u"10 USD", u"5", u"sum", u"count"})
        << QStringList{"0 currency \"10 USD\" unit=USD value=10", "1 math \"5\" value=5",
                       "2 aggregate \"15\" value=15", "3 aggregate \"2\" value=2"};

    // Dates.
    QTest::newRow("date lines carry no number")
        << note({u"10", u"today", u"Teslim: yarın", u"when = today + 3 days", u"sum"})
        << QStringList{"0 math \"10\" value=10", "1 date \"2025-01-10\" unit=date",
                       "2 date \"2025-01-11\" unit=date label=Teslim",
                       "3 variable \"2025-01-13\" unit=date label=when", "4 aggregate \"10\" value=10"};
    QTest::newRow("day counts are numbers")
        << note({u"days until 2025-01-20", u"2025-01-20 - bugün", u"prev + 1"})
        << QStringList{"0 date \"10 days\" unit=days value=10", "1 date \"10 gün\" unit=gün value=10",
                       "2 math \"11\" value=11"};
    QTest::newRow("a bare date is never arithmetic")
        << note({u"10", u"2025-01-15", u"Due: 2025-01-15", u"2025-01-15 USD", u"2025-01-15 + 10%",
                 u"2025-01-15 km to m", u"sum"})
        << QStringList{"0 math \"10\" value=10", "6 aggregate \"10\" value=10"};
    QTest::newRow("dates that are not bare stay arithmetic")
        << note({u"2025 - 01 - 15", u"2025-1-15"})
        << QStringList{"0 math \"2,009\" value=2009", "1 math \"2,009\" value=2009"};

    QTest::newRow("empty note") << QString() << QStringList{};
    QTest::newRow("Turkish capitals of discount, tax and fee words")
        << note({u"200 - 10% İndirim", u"200 - 10% İNDİRİM", u"200 - 10% INDIRIM", u"200 + 18% VERGİ",
                 u"1000 - 5% KOMİSYON", u"YARIN"})
        << QStringList{"0 percentage \"180\" value=180", "1 percentage \"180\" value=180",
                       "2 percentage \"180\" value=180", "3 percentage \"236\" value=236",
                       "4 percentage \"950\" value=950", "5 date \"2025-01-11\" unit=date"};
    addVocabularyRows();
}

void TestComputationalNoteEngine::evaluateNote()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    const NoteEvaluationSummary summary = standardEngine().evaluate(text);
    QCOMPARE(describe(summary), expected);
    // The compact form the application keeps holds the very same.
    QCOMPARE(standardEngine().evaluateCompact(text).summary(), summary);
}

void TestComputationalNoteEngine::rateTableVariants_data()
{
    QTest::addColumn<CurrencyRateTable>("rates");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("missing target rate falls through to nothing")
        << ratesWithout("EUR") << "TRY" << note({u"100 USD to EUR", u"$5 to EUR"}) << QStringList{};
    QTest::newRow("zero source rate converts nothing")
        << ratesWith("EUR", 0) << "TRY" << note({u"100 EUR to USD"}) << QStringList{};
    QTest::newRow("tagged values need no rate")
        << ratesWithout("EUR") << "TRY" << note({u"50 EUR"})
        << QStringList{"0 currency \"50 EUR\" unit=EUR value=50"};
    QTest::newRow("mixed block with an unconvertible entry carries no currency")
        << ratesWithout("EUR") << "TRY" << note({u"100 USD", u"50 EUR", u"sum"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 EUR\" unit=EUR value=50",
                       "2 aggregate \"150\" value=150"};
    QTest::newRow("mixed block with an unusable rate carries no currency")
        << ratesWith("EUR", -1) << "TRY" << note({u"100 USD", u"50 EUR", u"sum"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 EUR\" unit=EUR value=50",
                       "2 aggregate \"150\" value=150"};
    QTest::newRow("mixed block when the default currency has no rate")
        << ratesWithout("TRY") << "TRY" << note({u"100 USD", u"50 EUR", u"sum"})
        << QStringList{"0 currency \"100 USD\" unit=USD value=100", "1 currency \"50 EUR\" unit=EUR value=50",
                       "2 aggregate \"150\" value=150"};
    QTest::newRow("mixed block converted into another default currency")
        << CurrencyRateTable::offlineDefaults() << "usd" << note({u"38 TRY", u"1 USD", u"sum"})
        << QStringList{"0 currency \"38 TRY\" unit=TRY value=38", "1 currency \"1 USD\" unit=USD value=1",
                       "2 aggregate \"2 USD\" unit=USD value=2"};
    QTest::newRow("a currency among units is not converted")
        << CurrencyRateTable::offlineDefaults() << "TRY" << note({u"10 USD", u"1 km to m", u"sum"})
        << QStringList{"0 currency \"10 USD\" unit=USD value=10", "1 unit \"1,000 m\" unit=m value=1000",
                       "2 aggregate \"1,010\" value=1010"};
}

void TestComputationalNoteEngine::rateTableVariants()
{
    QFETCH(CurrencyRateTable, rates);
    QFETCH(QString, currency);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QCOMPARE(describe(engineWith(rates, currency).evaluate(text)), expected);
}

void TestComputationalNoteEngine::summaryCounts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<OptionalSum>("totalNumericSum");
    QTest::addColumn<qint64>("numericCount");
    QTest::addColumn<qint64>("completedTasks");
    QTest::addColumn<qint64>("totalTasks");
    QTest::addColumn<qint64>("wordCount");
    QTest::addColumn<qint64>("charCount");

    QTest::newRow("empty note") << QString() << OptionalSum() << 0LL << 0LL << 0LL << 0LL << 0LL;
    QTest::newRow("aggregates are not counted")
        << note({u"10", u"20", u"sum", u"avg"}) << OptionalSum(30) << 2LL << 0LL << 0LL << 4LL << 13LL;
    QTest::newRow("dates add nothing to the sum")
        << note({u"today", u"x = 4"}) << OptionalSum(4) << 1LL << 0LL << 0LL << 4LL << 11LL;
    QTest::newRow("negative numbers make a sum of zero")
        << note({u"5", u"-5"}) << OptionalSum(0) << 2LL << 0LL << 0LL << 2LL << 4LL;
    QTest::newRow("tasks") << note({u"- [x] done", u"* [ ] open"}) << OptionalSum() << 0LL << 1LL << 2LL << 7LL
                           << 21LL;
    QTest::newRow("fenced tasks are not counted")
        << note({u"```", u"- [x] done", u"```"}) << OptionalSum() << 0LL << 0LL << 0LL << 5LL << 18LL;
    QTest::newRow("words are runs between white space")
        << QString::fromUtf16(u"  Hello,\twörld!\u00A0foo\u2003bar\u3000baz  ") << OptionalSum() << 0LL << 0LL
        << 0LL << 5LL << 29LL;
    QTest::newRow("control characters are part of words")
        << QString::fromUtf16(u"a\u0001b \u001F") << OptionalSum() << 0LL << 0LL << 0LL << 2LL << 5LL;
    QTest::newRow("every line end separates words")
        << QString::fromUtf16(u"a\nb\rc\vd\fz\u0085f\u2028g\u2029h") << OptionalSum() << 0LL << 0LL << 0LL << 8LL
        << 15LL;
    QTest::newRow("characters are grapheme clusters")
        << QString::fromUtf16(u"👍🏽 🇹🇷 e\u0301 👨‍👩‍👧\r\nx") << OptionalSum() << 0LL << 0LL << 0LL << 5LL << 9LL;
    QTest::newRow("combining mark after ASCII") << QString::fromUtf16(u"ab\u0301cd") << OptionalSum() << 0LL << 0LL
                                                << 0LL << 1LL << 4LL;
    QTest::newRow("long ASCII text, CR LF across eight code units")
        << QString::fromUtf16(u"Grocery\r\nbread  and\ttea\r\nmilk now") << OptionalSum() << 0LL << 0LL << 0LL
        << 6LL << 31LL;
    QTest::newRow("headings and comments count as words")
        << note({u"# Plan", u"// later", u"1. Buy milk"}) << OptionalSum() << 0LL << 0LL << 0LL << 7LL << 27LL;
}

void TestComputationalNoteEngine::summaryCounts()
{
    QFETCH(QString, text);
    QFETCH(OptionalSum, totalNumericSum);
    QFETCH(qint64, numericCount);
    QFETCH(qint64, completedTasks);
    QFETCH(qint64, totalTasks);
    QFETCH(qint64, wordCount);
    QFETCH(qint64, charCount);

    const NoteEvaluationSummary summary = standardEngine().evaluate(text);
    QCOMPARE(summary.totalNumericSum, totalNumericSum);
    QCOMPARE(summary.numericCount, numericCount);
    QCOMPARE(summary.completedTasks, completedTasks);
    QCOMPARE(summary.totalTasks, totalTasks);
    QCOMPARE(summary.wordCount, wordCount);
    QCOMPARE(summary.charCount, charCount);
}

void TestComputationalNoteEngine::starterNotesMatchGoldenFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("budget playground") << "starter-budget";
    QTest::newRow("scratch and snippets") << "starter-scratch";
}

void TestComputationalNoteEngine::starterNotesMatchGoldenFiles()
{
    QFETCH(QString, name);
    const QByteArray text = readData(name + QStringLiteral(".note"));
    QVERIFY(!text.isEmpty());
    QJsonParseError error;
    const QJsonDocument golden = QJsonDocument::fromJson(readData(name + QStringLiteral(".expected.json")), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const QJsonObject expected = golden.object();

    NoteEvaluationSummary wanted;
    for (const QJsonValue &value : expected.value(QLatin1String("lines")).toArray()) {
        const ZulResult<EvaluatedLine> line = EvaluatedLine::fromJson(value);
        QVERIFY2(line.ok(), qPrintable(line.error()));
        wanted.lines.append(line.value());
    }
    QVERIFY(!wanted.lines.isEmpty());
    if (expected.contains(QLatin1String("totalNumericSum")))
        wanted.totalNumericSum = expected.value(QLatin1String("totalNumericSum")).toDouble();
    wanted.numericCount = expected.value(QLatin1String("numericCount")).toInteger(-1);
    wanted.completedTasks = expected.value(QLatin1String("completedTasks")).toInteger(-1);
    wanted.totalTasks = expected.value(QLatin1String("totalTasks")).toInteger(-1);
    wanted.wordCount = expected.value(QLatin1String("wordCount")).toInteger(-1);
    wanted.charCount = expected.value(QLatin1String("charCount")).toInteger(-1);

    const NoteEvaluationSummary actual = standardEngine().evaluate(QString::fromUtf8(text));
    QCOMPARE(describe(actual), describe(wanted));
    QCOMPARE(actual, wanted);
}

void TestComputationalNoteEngine::decomposedTextReadsAsComposed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("resultCount");

    // Each note is written with precomposed letters; the test also evaluates
    // it with every letter decomposed and expects the same results.
    QTest::newRow("unit alias with an accent") << note({u"1 g\u00FCn to saat"}) << 1;
    QTest::newRow("Turkish aggregate keyword") << note({u"4", u"9", u"en b\u00FCy\u00FCk"}) << 3;
    QTest::newRow("day words") << note({u"bug\u00FCn + 2 g\u00FCn"}) << 1;
    QTest::newRow("variable used in the other form") << note({u"\u00E7ay = 3", u"\u00E7ay + 1"}) << 2;
    QTest::newRow("Hangul syllable variable") << note({u"\uD55C = 2", u"\uD55C * 4"}) << 2;
}

void TestComputationalNoteEngine::decomposedTextReadsAsComposed()
{
    QFETCH(QString, text);
    QFETCH(int, resultCount);

    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QVERIFY(decomposed != text);
    const NoteEvaluationSummary composedSummary = standardEngine().evaluate(text);
    const NoteEvaluationSummary decomposedSummary = standardEngine().evaluate(decomposed);
    QCOMPARE(composedSummary.lines.size(), resultCount);
    QCOMPARE(describe(decomposedSummary), describe(composedSummary));

    // The records keep each line exactly as written.
    const QStringList writtenLines = decomposed.split(QLatin1Char('\n'));
    for (const EvaluatedLine &line : decomposedSummary.lines)
        QCOMPARE(line.rawLine, writtenLines.at(line.lineIndex));

    // A variable set in one form is found in the other.
    if (text.contains(QLatin1Char('=')) && writtenLines.size() == 2) {
        const QString mixed = writtenLines.at(0) + QLatin1Char('\n') + text.split(QLatin1Char('\n')).at(1);
        QCOMPARE(describe(standardEngine().evaluate(mixed)), describe(composedSummary));
    }
}

void TestComputationalNoteEngine::overflowingAggregateGivesNothing()
{
    // Each line is finite; their sum is not, and "—" is no total to show.
    const NoteEvaluationSummary summary =
        standardEngine().evaluate(note({u"big = 10^308", u"big", u"sum", u"avg", u"max"}));
    QCOMPARE(summary.lines.size(), 3);
    QCOMPARE(summary.lines[1].numericValue, std::optional<double>(1e308));
    QCOMPARE(summary.lines[2].kind, EvaluatedLineKind::aggregate);
    QCOMPARE(summary.lines[2].numericValue, std::optional<double>(1e308));
    QCOMPARE(summary.lines[2].lineIndex, 4);
}

void TestComputationalNoteEngine::lineIndicesFollowSplitLines()
{
    // Every kind of line end, so the editor and the engine agree on numbers.
    const QString text = QString::fromUtf16(u"1\r\n2\r3\n4\v5\f6\u00857\u20288\u20299\n\n10\r\n");
    const LineSpans spans = ComputationalNoteEngine::splitLines(text);
    const NoteEvaluationSummary summary = standardEngine().evaluate(text);
    QCOMPARE(summary.lines.size(), 10);
    for (const EvaluatedLine &line : summary.lines) {
        QVERIFY(line.lineIndex >= 0 && line.lineIndex < spans.size());
        const auto span = spans[line.lineIndex];
        QCOMPARE(line.rawLine, text.mid(span.start, span.length));
        QCOMPARE(line.formattedResult, line.rawLine);
    }
    QCOMPARE(summary.lines.last().lineIndex, 10);
    QCOMPARE(spans.size(), 12);
}

void TestComputationalNoteEngine::defaultCurrencyIsUpperCased()
{
    QCOMPARE(engineWith(CurrencyRateTable::offlineDefaults(), QStringLiteral("eur")).defaultCurrency(),
             QStringLiteral("EUR"));
    // A Turkish desktop must not turn "try" into "TRY" with a dotted capital.
    LocaleScope turkish("tr_TR.UTF-8");
    QVERIFY(turkish.active());
    QCOMPARE(engineWith(CurrencyRateTable::offlineDefaults(), QStringLiteral("try")).defaultCurrency(),
             QStringLiteral("TRY"));
}

void TestComputationalNoteEngine::resultsIgnoreProcessLocale()
{
    const QString text = note({u"1,234.5 + 1", u"12,5% of 80", u"10 USD", u"20 EUR", u"sum", u"5 km to mi"});
    const QStringList inC = describe(standardEngine().evaluate(text));
    QCOMPARE(inC.size(), 6);
    VESK_FOR_EACH_LOCALE({ QCOMPARE(describe(standardEngine().evaluate(text)), inC); })
}

void TestComputationalNoteEngine::concurrentEvaluationsAgree()
{
    const QString text = QString::fromUtf8(readData(QStringLiteral("starter-budget.note")))
                         + QLatin1Char('\n') + QString::fromUtf8(readData(QStringLiteral("starter-scratch.note")));
    const ComputationalNoteEngine engine = standardEngine();
    const NoteEvaluationSummary expected = engine.evaluate(text);
    QVERIFY(expected.lines.size() > 20);

    std::vector<NoteEvaluationSummary> results(4);
    std::vector<std::thread> threads;
    for (auto &result : results) {
        const ComputationalNoteEngine copy = engine;
        threads.emplace_back([copy, &text, &result] {
            for (int round = 0; round < 20; ++round)
                result = copy.evaluate(text);
        });
    }
    for (auto &thread : threads)
        thread.join();
    for (const auto &result : results)
        QCOMPARE(result, expected);
}

void TestComputationalNoteEngine::hostileInputIsHandled()
{
    // Lines nobody types but anybody can paste. Whatever they hold, every
    // result must be a finite number in a line that exists, and the same
    // text must give the same summary twice.
    QStringList lines;
    const QString separators = QString::fromUtf16(u"\n\r\v\f\u0085\u2028\u2029\t \u00A0\u3000");
    lines << QString(2000, QLatin1Char('(')) + QLatin1Char('1') + QString(2000, QLatin1Char(')'));
    lines << QString(100000, QLatin1Char('('));
    lines << QStringLiteral("sum(") + QString(5000, QLatin1Char('1')) + QLatin1Char(')');
    lines << QString(400, QLatin1Char('9')) + QStringLiteral(" + 1");
    lines << QStringLiteral("1") + QString(308, QLatin1Char('0')) + QStringLiteral(" * 10 USD");
    lines << QStringLiteral("99") + QString(306, QLatin1Char('9')) + QStringLiteral(" + 100%");
    lines << QStringLiteral("9") + QString(300, QLatin1Char('9')) + QStringLiteral("% of 9")
                 + QString(300, QLatin1Char('9'));
    lines << QStringLiteral("1") + QString(300, QLatin1Char('0')) + QStringLiteral(" km to mm");
    lines << QString(100000, QLatin1Char('-')) + QLatin1Char('5');
    lines << QString(100000, QLatin1Char('+'));
    lines << QString(100000, QLatin1Char('%'));
    lines << QStringLiteral("1") + QString(50000, QLatin1Char(' ')) + QStringLiteral("x")
                 + QString(50000, QLatin1Char(' ')) + QStringLiteral("+5%");
    lines << QStringLiteral("a") + QString(100000, QLatin1Char(' ')) + QStringLiteral("b to c");
    lines << QStringLiteral("a to ").repeated(20000);
    lines << QStringLiteral("1 + ").repeated(25000) + QStringLiteral("5% kdv");
    lines << QStringLiteral("$").repeated(100000) + QStringLiteral(" to TRY");
    lines << QStringLiteral("x = ").repeated(25000) + QLatin1Char('1');
    lines << QStringLiteral("a: ").repeated(33000) + QLatin1Char('1');
    lines << QStringLiteral("2^").repeated(50000) + QLatin1Char('2');
    lines << QStringLiteral("today + ") + QString(400, QLatin1Char('9')) + QStringLiteral(" days");
    lines << QStringLiteral("today + 99999999999999999 weeks");
    lines << QStringLiteral("days until ") + QString(100000, QLatin1Char('1'));
    lines << QStringLiteral("1234-56-78 - 2025-01-01");
    lines << QStringLiteral("5 km to ") + QString(100000, QChar(u'ğ'));
    lines << QString(100000, QChar(u'\u0301'));
    lines << QStringLiteral("e") + QString(100000, QChar(u'\u0307'));
    lines << QStringLiteral("- [x]") + QString(1000, QChar(u'\u0301'));
    // Lone and reversed surrogate halves, in every position.
    const QChar high(char16_t(0xD83D));
    const QChar low(char16_t(0xDE00));
    for (const QString &shape : {QStringLiteral("5 km to m%1"), QStringLiteral("%1 5 km to m"),
                                 QStringLiteral("20% of 5%1"), QStringLiteral("1 + 10%%1"),
                                 QStringLiteral("1. %1"), QStringLiteral("$5%1 to TRY"), QStringLiteral("%1: 5"),
                                 QStringLiteral("x%1 = 5"), QStringLiteral("5 %1"), QStringLiteral("%1"),
                                 QStringLiteral("toplam%1"), QStringLiteral("- [ ]%1"), QStringLiteral("#%1")}) {
        lines << shape.arg(high) << shape.arg(low) << shape.arg(QString(low) + high) << shape.arg(QString(high) + high);
    }
    // Generated mixtures of operators, separators, digits and words.
    const QString alphabet = QStringLiteral("0123456789+-*/^%(),.=:_ $€£₺¥#`[]x>!<kaçtoinsumavgKDVİı")
                             + separators + QChar(0xD800) + QChar(0xDC00) + QChar(u'\u0307');
    QRandomGenerator random(20250110);
    for (int i = 0; i < 3000; ++i) {
        const int length = 1 + int(random.bounded(i % 10 == 0 ? 400 : 40));
        QString line;
        for (int k = 0; k < length; ++k)
            line += alphabet[int(random.bounded(alphabet.size()))];
        lines << line;
    }

    const QString text = lines.join(QLatin1Char('\n'));
    const ComputationalNoteEngine engine = standardEngine();
    const NoteEvaluationSummary summary = engine.evaluate(text);
    const LineSpans spans = ComputationalNoteEngine::splitLines(text);

    qint64 previousIndex = -1;
    for (const EvaluatedLine &line : summary.lines) {
        QVERIFY(line.lineIndex > previousIndex);
        QVERIFY(line.lineIndex < spans.size());
        previousIndex = line.lineIndex;
        const auto span = spans[line.lineIndex];
        QCOMPARE(line.rawLine, text.mid(span.start, span.length));
        QVERIFY(!line.formattedResult.isEmpty());
        if (line.numericValue)
            QVERIFY2(std::isfinite(*line.numericValue), qPrintable(line.rawLine.left(80)));
        QVERIFY(line.toJson().ok());
    }
    QVERIFY(summary.lines.size() > 100);
    QVERIFY(summary.charCount > 0 && summary.charCount <= text.size());
    QVERIFY(summary.wordCount > 0);
    QCOMPARE(engine.evaluate(text), summary);
}

void TestComputationalNoteEngine::resumedEvaluationsMatchFullOnes_data()
{
    // A long note of blocks, variables, tasks and dates; each row edits it
    // and evaluates the edit from the evaluation before it.
    QStringList lines;
    for (int i = 0; i < 6000; ++i) {
        static const char16_t *shapes[] = {u"price = %1",     u"price * 2",       u"%1 USD",     u"%1 EUR",
                                           u"sum",            u"- [x] paid %1",   u"prev + 1",   u"",
                                           u"Total: sum + %1", u"now + %1 hours", u"- [ ] due %1", u"# Part %1"};
        lines.append(QString::fromUtf16(shapes[i % 12]).replace(QStringLiteral("%1"), QString::number(i % 97)));
    }
    const QString text = lines.join(QLatin1Char('\n'));
    const qsizetype middle = text.indexOf(QStringLiteral("price = "), text.size() / 2);
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("hoursLater");
    QTest::addColumn<QString>("currency");
    QTest::addColumn<int>("randomEdits");
    QTest::addColumn<QStringList>("editShapes");
    QTest::newRow("a digit typed in the middle") << text << QString(text).insert(middle + 9, u'7') << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a line added") << text << QString(text).insert(middle, QStringLiteral("12\n")) << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a line taken out") << text << QString(text).remove(middle, text.indexOf(u'\n', middle) - middle + 1)
                                      << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a block joined to the next")
        << text << QString(text).remove(text.indexOf(QStringLiteral("\n\n"), middle), 1) << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a variable set once for all below")
        << text << QStringLiteral("rate = 2\n") + text << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a variable read only at the end")
        << QStringLiteral("rate = 2\n") + text + QStringLiteral("\nrate * 3")
        << QStringLiteral("rate = 3\n") + text + QStringLiteral("\nrate * 3") << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a fence opened") << text << QString(text).insert(middle, QStringLiteral("```\n")) << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("an edit near the start") << text << QString(text).replace(0, 9, QStringLiteral("price = 5")) << 0
                                            << "TRY" << 0 << QStringList();
    QTest::newRow("an edit at the end") << text << text + QStringLiteral("\n40 USD\nsum") << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("a CR before a line feed") << QString(text).insert(middle, u'\r')
                                             << QString(text).insert(middle, QStringLiteral("\r\n")) << 0 << "TRY" << 0 << QStringList();
    QTest::newRow("an hour later") << text << QString(text).insert(middle + 9, u'7') << 1 << "TRY" << 0 << QStringList();
    QTest::newRow("another currency") << text << QString(text).insert(middle + 9, u'7') << 0 << "USD" << 0 << QStringList();
    QTest::newRow("a short text") << QStringLiteral("a = 1\na") << QStringLiteral("a = 2\na") << 0 << "TRY" << 0 << QStringList();
    const QString oneCurrency = QStringLiteral("250 USD to TRY\n\n").repeated(1500);
    QTest::newRow("one currency throughout, a line typed near the top")
        << oneCurrency << QString(oneCurrency).insert(16, QStringLiteral("40 + 2\n")) << 0 << "TRY" << 0 << QStringList();
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        // Half of them in one block from top to bottom.
        const QStringList &shapes = seed % 2 ? kEditShapes : kBlockShapes;
        QRandomGenerator random(seed);
        const QString note = randomLongNote(random, 3000, shapes);
        QTest::addRow("random edits, seed %u", seed)
            << note << randomEdit(note, random, shapes) << 0 << "TRY" << 15 << shapes;
    }
}

void TestComputationalNoteEngine::resumedEvaluationsMatchFullOnes()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, hoursLater);
    QFETCH(QString, currency);
    QFETCH(int, randomEdits);
    QFETCH(QStringList, editShapes);
    const ComputationalNoteEngine first = standardEngine();
    const ComputationalNoteEngine later(CurrencyRateTable::offlineDefaults(), currency,
                                        referenceInstant().addSecs(3600 * hoursLater + 60), QTimeZone::utc());
    const CompactNoteEvaluation previous = first.evaluateCompact(before);
    const CompactNoteEvaluation resumed = later.evaluateCompact(after, &previous);
    const NoteEvaluationSummary full = later.evaluate(after);
    QCOMPARE(describe(resumed.summary()), describe(full));
    QCOMPARE(resumed.summary(), full);
    // What is shown meanwhile: the earlier results of the unchanged lines,
    // each beside its own line, with the counts of the new text.
    std::optional<CompactNoteEvaluation> early;
    later.evaluateCompact(after, &previous, {300, [&early](CompactNoteEvaluation results) { early = results; }});
    const LineSpans spans = ComputationalNoteEngine::splitLines(after);
    for (const CompactNoteEvaluation &shown : {ComputationalNoteEngine::keptResults(after, previous),
                                               early.value_or(resumed)}) {
        QCOMPARE(std::pair(shown.wordCount, shown.charCount), std::pair(full.wordCount, full.charCount));
        for (qsizetype record = 0; record < shown.lineCount(); ++record) {
            const EvaluatedLine line = shown.line(record);
            QCOMPARE(line.rawLine, after.mid(spans[line.lineIndex].start, spans[line.lineIndex].length));
        }
    }
    // And once more from the resumed one, as typing goes on.
    QString again = after;
    again.insert(again.size() / 3, QStringLiteral("9"));
    QCOMPARE(later.evaluateCompact(again, &resumed).summary(), later.evaluate(again));
    QRandomGenerator random(randomEdits);
    CompactNoteEvaluation evaluation = resumed;
    for (int edit = 0; edit < randomEdits; ++edit) {
        again = randomEdit(again, random, editShapes);
        evaluation = later.evaluateCompact(again, &evaluation);
        QCOMPARE(evaluation.summary(), later.evaluate(again));
    }
}

void TestComputationalNoteEngine::asciiPercentageReaderAgreesWithPattern_data()
{
    QTest::addColumn<QString>("text");
    for (const char *text : {"100 + 18%", "4500 - 15%", "100+5%", "100 - 10% indirim", "100 - 10% INDIRIM",
                             "1 + 5% Tax", "100 + %5", "100 + % 5", "100 + 5 %", "1 - -5%", "5 + 5% + 10%",
                             "a + 1.5%", "a + 1.%", "a + 1,25%", "a + 1,2,5%", "+5%", "-5%", "x - 5%vat",
                             "x - 5% vat extra", "1 + 2 % 3%", "100 + 18%  kdv\t", "1 + 5% ", " + 5%", "1 +\t5%",
                             "1 + 5%%", "1 + %5%", "(2 - 1) * 3 + 4% discount", "1 + 5% stopaj", "1 + 5% vergi"})
        QTest::newRow(text) << QString::fromLatin1(text);
    // Lines made at random of the pieces the pattern reads, the same ones
    // every run.
    const QStringList pieces = {QStringLiteral("1"),  QStringLiteral("25"),  QStringLiteral("3.5"),
                                QStringLiteral("1,5"), QStringLiteral("+"),   QStringLiteral("-"),
                                QStringLiteral("%"),  QStringLiteral(" "),   QStringLiteral("\t"),
                                QStringLiteral("kdv"), QStringLiteral("VAT"), QStringLiteral("Indirim"),
                                QStringLiteral("x"),  QStringLiteral("*"),   QStringLiteral("."),
                                QStringLiteral(","),  QStringLiteral("of")};
    QRandomGenerator random(2024);
    for (int row = 0; row < 400; ++row) {
        QString text;
        for (int k = random.bounded(1, 9); k > 0; --k)
            text += pieces[random.bounded(int(pieces.size()))];
        QTest::newRow(qPrintable(QStringLiteral("random %1: %2").arg(row).arg(text))) << text;
    }
}

void TestComputationalNoteEngine::asciiPercentageReaderAgreesWithPattern()
{
    QFETCH(QString, text);
    static const QRegularExpression pattern(
        QStringLiteral("^(.+?)\\s*([+-])\\s*(?:(\\d+(?:[.,]\\d+)?)%|%(\\d+(?:[.,]\\d+)?))"
                       "(?:\\s+(?:kdv|vat|tax|vergi|indirim|discount|komisyon|stopaj|ötv))?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch match = pattern.match(text);
    const std::optional<NoteLineText::PercentageChange> change = NoteLineText::readAsciiPercentageChange(text);
    QCOMPARE(change.has_value(), match.hasMatch());
    if (!change)
        return;
    QCOMPARE(change->base, match.capturedView(1));
    QCOMPARE(change->add, match.capturedView(2) == u"+");
    QCOMPARE(change->number, match.hasCaptured(3) ? match.capturedView(3) : match.capturedView(4));
}

QTEST_GUILESS_MAIN(TestComputationalNoteEngine)
#include "tst_computationalnoteengine.moc"
