#include "Engine/ArithmeticParser.h"
#include "LocaleScope.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <thread>

Q_DECLARE_METATYPE(ArithmeticContext)

using Value = std::optional<double>;

namespace {

const Value absent;

ArithmeticContext noContext()
{
    return {};
}

ArithmeticBlockTotals totalsOf(std::initializer_list<double> values)
{
    ArithmeticBlockTotals totals;
    for (double value : values)
        totals.append(value);
    return totals;
}

ArithmeticContext blockOf(std::initializer_list<double> values)
{
    return ArithmeticContext{{}, std::nullopt, totalsOf(values)};
}

ArithmeticContext variables(QHash<QString, double> values)
{
    return ArithmeticContext{std::move(values), std::nullopt, {}};
}

ArithmeticContext previous(double value)
{
    return ArithmeticContext{{}, value, {}};
}

QString repeated(const QString &piece, int times)
{
    QString text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

void compareValue(const Value &actual, const Value &expected)
{
    QCOMPARE(actual.has_value(), expected.has_value());
    if (expected)
        QCOMPARE(*actual, *expected);
}

} // namespace

class TestArithmeticParser : public QObject
{
    Q_OBJECT

private slots:
    void evaluate_data();
    void evaluate();
    void nestingIsBounded_data();
    void nestingIsBounded();
    void parsePlainNumber_data();
    void parsePlainNumber();
    void concurrentCallsAgree();
};

void TestArithmeticParser::evaluate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<ArithmeticContext>("context");
    QTest::addColumn<Value>("expected");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    // Commas: thousands separators outside calls, argument separators inside.
    QTest::newRow("thousands commas dropped") << "1,234,567 + 1" << noContext() << Value(1234568);
    QTest::newRow("comma before two digits") << "1,23" << noContext() << absent;
    QTest::newRow("comma before four digits") << "1,2345" << noContext() << absent;
    QTest::newRow("last group too short") << "12,345,67" << noContext() << absent;
    QTest::newRow("comma inside call separates") << "max(1,200)" << noContext() << Value(200);
    QTest::newRow("comma inside plain parentheses groups") << "(1,200)" << noContext() << Value(1200);
    QTest::newRow("sum of one and zero") << "sum(1,000)" << noContext() << Value(1);
    QTest::newRow("plain parentheses inside a call still separate") << "max((1,000), 2)" << noContext() << absent;
    QTest::newRow("thousands again after the call closes") << "max(1, 2) + 1,000" << noContext() << Value(1002);
    QTest::newRow("thousands comma with fraction") << "1,000.5" << noContext() << Value(1000.5);
    QTest::newRow("comma after the point") << "1.5,000" << noContext() << absent;
    QTest::newRow("millions with fraction") << "1,000,000.25 * 4" << noContext() << Value(4000001);
    QTest::newRow("typographic minus with thousands") << "1,000 − 1" << noContext() << Value(999);

    // Number text.
    QTest::newRow("digit separators") << "1_000_000" << noContext() << Value(1000000);
    QTest::newRow("leading point") << ".5 + .5" << noContext() << Value(1);
    QTest::newRow("trailing point") << "5." << noContext() << Value(5);
    QTest::newRow("second point starts a new number") << "1.2.3" << noContext() << absent;
    QTest::newRow("lone point") << "." << noContext() << absent;
    QTest::newRow("no exponent notation") << "1e5" << noContext() << absent;
    QTest::newRow("number too large for a double") << repeated("9", 400) << noContext() << absent;
    QTest::newRow("superscript digit") << "2²" << noContext() << absent;
    QTest::newRow("arabic-indic digit") << "٣ + 1" << noContext() << absent;
    QTest::newRow("vulgar fraction") << "½" << noContext() << absent;

    // Operators and precedence.
    QTest::newRow("power is right-associative") << "2 ^ 3 ^ 2" << noContext() << Value(512);
    QTest::newRow("sign binds tighter than power") << "-2^2" << noContext() << Value(4);
    QTest::newRow("negative exponent") << "2^-2" << noContext() << Value(0.25);
    QTest::newRow("double minus") << "--5" << noContext() << Value(5);
    QTest::newRow("mixed signs") << "+-+5" << noContext() << Value(-5);
    QTest::newRow("precedence") << "1 + 2 * 3" << noContext() << Value(7);
    QTest::newRow("parentheses") << "(1 + 2) * 3" << noContext() << Value(9);
    QTest::newRow("subtraction is left-associative") << "10 - 4 - 3" << noContext() << Value(3);
    QTest::newRow("division is left-associative") << "64 / 4 / 2" << noContext() << Value(8);
    QTest::newRow("remainder") << "10 % 4" << noContext() << Value(2);
    QTest::newRow("remainder keeps the dividend's sign") << "-7 % 3" << noContext() << Value(-1);
    QTest::newRow("fractional remainder") << "7.5 % 2" << noContext() << Value(1.5);
    QTest::newRow("remainder by zero") << "5 % 0" << noContext() << absent;
    QTest::newRow("division by zero") << "1/0" << noContext() << absent;
    QTest::newRow("division by negative zero") << "1/-0" << noContext() << absent;
    QTest::newRow("typographic operators") << "2 × 3 − 1 ÷ 2" << noContext() << Value(5.5);
    QTest::newRow("power overflow") << "2 ^ 1024" << noContext() << absent;
    QTest::newRow("power of a negative base to a fraction") << "(-8)^(1/3)" << noContext() << absent;
    QTest::newRow("overflow caught at the end") << "10^308 * 10" << noContext() << absent;
    QTest::newRow("doubled operator") << "2 ** 3" << noContext() << absent;
    QTest::newRow("dangling operator") << "1 +" << noContext() << absent;
    QTest::newRow("unmatched close") << "1)" << noContext() << absent;
    QTest::newRow("unclosed parenthesis") << "(1" << noContext() << absent;

    // Functions.
    QTest::newRow("names are folded") << "SQRT(16)" << noContext() << Value(4);
    QTest::newRow("sqrt of a negative") << "sqrt(-1)" << noContext() << absent;
    QTest::newRow("sqrt with two arguments") << "sqrt(1, 2)" << noContext() << absent;
    QTest::newRow("abs") << "abs(-3)" << noContext() << Value(3);
    QTest::newRow("round half away from zero") << "round(2.5)" << noContext() << Value(3);
    QTest::newRow("round negative half away from zero") << "round(-2.5)" << noContext() << Value(-3);
    QTest::newRow("round to digits") << "round(3.14159, 2)" << noContext() << Value(3.14);
    QTest::newRow("negative digits clamp to 0") << "round(1234.5, -3)" << noContext() << Value(1235);
    QTest::newRow("digits above 10 clamp to 10") << "round(1.23456789012345, 20)" << noContext()
                                                 << Value(1.2345678901);
    QTest::newRow("digits rounded half away") << "round(1.2345, 2.5)" << noContext() << Value(1.235);
    QTest::newRow("digits at 2^63") << "round(1.25, 9223372036854775808)" << noContext() << absent;
    QTest::newRow("digits NaN") << "round(1.25, d)" << variables({{"d", nan}}) << absent;
    QTest::newRow("digits infinite") << "round(1.25, d)" << variables({{"d", inf}}) << absent;
    QTest::newRow("digits below -2^63") << "round(1.25, -d)" << variables({{"d", 1e19}}) << absent;
    QTest::newRow("round with three arguments") << "round(1, 2, 3)" << noContext() << absent;
    QTest::newRow("round without arguments") << "round()" << noContext() << absent;
    QTest::newRow("floor") << "floor(-1.5)" << noContext() << Value(-2);
    QTest::newRow("ceil") << "ceil(-1.5)" << noContext() << Value(-1);
    QTest::newRow("min of three") << "min(3, 1, 2)" << noContext() << Value(1);
    QTest::newRow("min of none") << "min()" << noContext() << absent;
    QTest::newRow("max of one") << "max(4)" << noContext() << Value(4);
    QTest::newRow("pow") << "pow(2, 10)" << noContext() << Value(1024);
    QTest::newRow("pow overflow") << "pow(10, 400)" << noContext() << absent;
    QTest::newRow("pow with one argument") << "pow(2)" << noContext() << absent;
    QTest::newRow("log is base ten") << "log(1000)" << noContext() << Value(3);
    QTest::newRow("log10") << "log10(100)" << noContext() << Value(2);
    QTest::newRow("log of zero") << "log(0)" << noContext() << absent;
    QTest::newRow("ln of e") << "ln(e)" << noContext() << Value(1);
    QTest::newRow("ln of a negative") << "ln(-1)" << noContext() << absent;
    QTest::newRow("sin") << "sin(0)" << noContext() << Value(0);
    QTest::newRow("cos") << "cos(0)" << noContext() << Value(1);
    QTest::newRow("sum of arguments") << "sum(1, 2, 3)" << noContext() << Value(6);
    QTest::newRow("empty sum call on an empty block") << "sum()" << noContext() << Value(0);
    QTest::newRow("turkish sum call of the block") << "toplam()" << blockOf({10, 20}) << Value(30);
    QTest::newRow("avg of arguments") << "avg(2, 4)" << noContext() << Value(3);
    QTest::newRow("empty avg call on an empty block") << "avg()" << noContext() << absent;
    QTest::newRow("turkish avg call of the block") << "ortalama()" << blockOf({10, 20}) << Value(15);
    QTest::newRow("no tangent") << "tan(1)" << noContext() << absent;
    QTest::newRow("no exponential") << "exp(1)" << noContext() << absent;
    QTest::newRow("total is no function") << "total(1)" << noContext() << absent;
    QTest::newRow("count is no function") << "count()" << blockOf({1}) << absent;
    QTest::newRow("trailing comma in call") << "max(1,)" << noContext() << absent;
    QTest::newRow("unclosed call") << "sqrt(16" << noContext() << absent;
    QTest::newRow("nested calls") << "sqrt(abs(-16)) + max(1, min(5, 3))" << noContext() << Value(7);

    // Symbols.
    QTest::newRow("block sum") << "sum" << blockOf({10, 20}) << Value(30);
    QTest::newRow("block total") << "total" << blockOf({10, 20}) << Value(30);
    QTest::newRow("block toplam") << "Toplam" << blockOf({10, 20}) << Value(30);
    QTest::newRow("block mean") << "mean" << blockOf({10, 20}) << Value(15);
    QTest::newRow("block average") << "average" << blockOf({10, 20}) << Value(15);
    QTest::newRow("block ortalama") << "ortalama" << blockOf({10, 20}) << Value(15);
    QTest::newRow("block count") << "count" << blockOf({10, 20}) << Value(2);
    QTest::newRow("block adet") << "adet" << blockOf({10, 20}) << Value(2);
    QTest::newRow("block minimum") << "minimum" << blockOf({10, 20}) << Value(10);
    QTest::newRow("block max") << "max" << blockOf({10, 20}) << Value(20);
    QTest::newRow("empty block sum") << "sum" << noContext() << absent;
    QTest::newRow("empty block count") << "count" << noContext() << absent;
    QTest::newRow("empty block min") << "min" << noContext() << absent;
    QTest::newRow("pi") << "pi" << noContext() << Value(3.141592653589793);
    QTest::newRow("pi letter") << "2 * π" << noContext() << Value(2 * 3.141592653589793);
    QTest::newRow("upper-case PI") << "PI" << noContext() << Value(3.141592653589793);
    QTest::newRow("e") << "e" << noContext() << Value(2.718281828459045);
    QTest::newRow("variable shadows a constant") << "pi * 2" << variables({{"pi", 3}}) << Value(6);
    QTest::newRow("variable shadows an aggregate")
        << "sum" << ArithmeticContext{{{"sum", 1}}, std::nullopt, totalsOf({10, 20})} << Value(1);
    QTest::newRow("variable found by its folded name") << "X + 1" << variables({{"x", 2}}) << Value(3);
    QTest::newRow("turkish variable folded") << "İndirim * 2" << variables({{"indirim", 5}}) << Value(10);
    QTest::newRow("variable with superscript") << "x²" << variables({{"x²", 4}}) << Value(4);
    QTest::newRow("variable with turkish letter") << "ş + 1" << variables({{"ş", 1}}) << Value(2);
    QTest::newRow("prev") << "prev * 2" << previous(7) << Value(14);
    QTest::newRow("ans") << "ans" << previous(7) << Value(7);
    QTest::newRow("önceki folded from capitals") << "ÖNCEKİ" << previous(7) << Value(7);
    QTest::newRow("prev without a previous line") << "prev" << noContext() << absent;
    QTest::newRow("unknown symbol") << "unknown" << noContext() << absent;

    // Lines that belong to other forms, or to nobody.
    QTest::newRow("implicit multiplication") << "2x" << variables({{"x", 2}}) << absent;
    QTest::newRow("number before parentheses") << "2(3)" << noContext() << absent;
    QTest::newRow("number before a constant") << "2 pi" << noContext() << absent;
    QTest::newRow("unit") << "3 km" << noContext() << absent;
    QTest::newRow("percentage") << "50%" << noContext() << absent;
    QTest::newRow("assignment") << "x = 2" << noContext() << absent;
    QTest::newRow("currency symbol") << "$5" << noContext() << absent;
    QTest::newRow("label") << "a: 5" << noContext() << absent;
    QTest::newRow("hash") << "#1" << noContext() << absent;
    QTest::newRow("factorial") << "5!" << noContext() << absent;
    QTest::newRow("empty") << "" << noContext() << absent;
    QTest::newRow("blank") << " \t\u00A0" << noContext() << absent;
    QTest::newRow("minus with a combining mark") << "5 -\u0301 1" << noContext() << absent;
    QTest::newRow("unicode blanks between tokens") << "1\u2003+\u00A02" << noContext() << Value(3);
}

void TestArithmeticParser::evaluate()
{
    QFETCH(QString, text);
    QFETCH(ArithmeticContext, context);
    QFETCH(Value, expected);

    VESK_FOR_EACH_LOCALE({ compareValue(ArithmeticParser::evaluate(text, context), expected); })
}

void TestArithmeticParser::nestingIsBounded_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Value>("expected");

    QTest::newRow("200 parentheses") << repeated("(", 200) + "1" + repeated(")", 200) << Value(1);
    QTest::newRow("100000 parentheses") << repeated("(", 100000) + "1" + repeated(")", 100000) << absent;
    QTest::newRow("100000 open parentheses") << repeated("(", 100000) << absent;
    QTest::newRow("100000 nested calls") << repeated("abs(", 100000) + "1" + repeated(")", 100000) << absent;
    QTest::newRow("100000 minus signs") << repeated("-", 100000) + "1" << Value(1);
    QTest::newRow("100001 minus signs") << repeated("-", 100001) + "1" << Value(-1);
    QTest::newRow("100000 carets") << repeated("1^", 100000) + "1" << Value(1);
}

void TestArithmeticParser::nestingIsBounded()
{
    QFETCH(QString, text);
    QFETCH(Value, expected);

    compareValue(ArithmeticParser::evaluate(text, {}), expected);
}

void TestArithmeticParser::parsePlainNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Value>("expected");

    QTest::newRow("thousands") << "1,234" << Value(1234);
    QTest::newRow("thousands with fraction") << "1,234.5" << Value(1234.5);
    QTest::newRow("several groups") << "12,345,678.9" << Value(12345678.9);
    QTest::newRow("three digits after the comma are thousands") << "12,505" << Value(12505);
    QTest::newRow("negative thousands") << "-1,234" << Value(-1234);
    QTest::newRow("decimal comma") << "12,5" << Value(12.5);
    QTest::newRow("decimal comma two digits") << "3,14" << Value(3.14);
    QTest::newRow("negative decimal comma") << "-12,50" << Value(-12.5);
    QTest::newRow("four digits after comma") << "1,2345" << absent;
    QTest::newRow("european grouping") << "1.234,5" << absent;
    QTest::newRow("uneven groups") << "1,23,456" << absent;
    QTest::newRow("empty") << "" << absent;
    QTest::newRow("blank") << " \n" << absent;
    QTest::newRow("trimmed") << " 42 " << Value(42);
    QTest::newRow("digit separators") << "1_000" << Value(1000);
    QTest::newRow("plus sign") << "+5" << Value(5);
    QTest::newRow("two signs") << "+-5" << absent;
    QTest::newRow("lone plus") << "+" << absent;
    QTest::newRow("exponent") << "1e3" << Value(1000);
    QTest::newRow("negative exponent") << "1E-2" << Value(0.01);
    QTest::newRow("infinity text") << "inf" << absent;
    QTest::newRow("nan text") << "nan" << absent;
    QTest::newRow("overflow") << "1e400" << absent;
    QTest::newRow("trailing point") << "5." << Value(5);
    QTest::newRow("leading point") << ".5" << Value(0.5);
    QTest::newRow("word") << "abc" << absent;
    QTest::newRow("arabic-indic digit") << "٣" << absent;
    QTest::newRow("hexadecimal") << "0x10" << absent;
    QTest::newRow("percent sign left on") << "12,5%" << absent;
    QTest::newRow("inner space") << "1 000" << absent;
}

void TestArithmeticParser::parsePlainNumber()
{
    QFETCH(QString, text);
    QFETCH(Value, expected);

    VESK_FOR_EACH_LOCALE({ compareValue(ArithmeticParser::parsePlainNumber(text), expected); })
}

void TestArithmeticParser::concurrentCallsAgree()
{
    bool allRight[4] = {};
    std::thread threads[4];
    for (int t = 0; t < 4; ++t) {
        threads[t] = std::thread([t, &allRight] {
            bool right = true;
            const ArithmeticContext context{{{QStringLiteral("x"), double(t)}}, std::nullopt, {}};
            for (int i = 0; i < 500 && right; ++i) {
                right = ArithmeticParser::evaluate(u"1,000 + x * 2", context) == 1000.0 + 2 * t
                        && ArithmeticParser::parsePlainNumber(QStringLiteral("12,5")) == 12.5;
            }
            allRight[t] = right;
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (bool right : allRight)
        QVERIFY(right);
}

QTEST_GUILESS_MAIN(TestArithmeticParser)
#include "tst_arithmeticparser.moc"
