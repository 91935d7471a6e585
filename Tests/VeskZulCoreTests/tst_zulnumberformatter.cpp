#include "Engine/ZulNumberFormatter.h"
#include "LocaleScope.h"

#include <QtTest>

#include <cfloat>
#include <cmath>
#include <limits>
#include <thread>

class TestZulNumberFormatter : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void neverUsesAnExponent_data();
    void neverUsesAnExponent();
    void concurrentCallsAgree();
};

void TestZulNumberFormatter::format_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("expected");

    const double inf = std::numeric_limits<double>::infinity();

    QTest::newRow("zero") << 0.0 << 2 << "0";
    QTest::newRow("negative zero") << -0.0 << 2 << "0";
    QTest::newRow("tiny positive taken as zero") << 5e-13 << 4 << "0";
    QTest::newRow("tiny negative taken as zero") << -5e-13 << 4 << "0";
    QTest::newRow("at the zero threshold is kept") << 1e-12 << 12 << "0.000000000001";

    QTest::newRow("999 no group") << 999.0 << 2 << "999";
    QTest::newRow("1000 grouped") << 1000.0 << 2 << "1,000";
    QTest::newRow("1234 grouped") << 1234.0 << 2 << "1,234";
    QTest::newRow("123456 one group") << 123456.0 << 0 << "123,456";
    QTest::newRow("negative millions") << -1234567.0 << 2 << "-1,234,567";
    QTest::newRow("whole number ignores digits") << 3.0 << 4 << "3";
    QTest::newRow("largest whole below 2^53") << 9007199254740991.0 << 2 << "9,007,199,254,740,991";
    QTest::newRow("most negative whole above -2^53") << -9007199254740991.0 << 2 << "-9,007,199,254,740,991";

    QTest::newRow("fraction kept") << 1234.5 << 2 << "1,234.5";
    QTest::newRow("fraction rounded") << 1234.5678 << 2 << "1,234.57";
    QTest::newRow("negative fraction rounded") << -1234.5678 << 2 << "-1,234.57";
    QTest::newRow("exact tie to even down") << 0.125 << 2 << "0.12";
    QTest::newRow("exact tie to even up") << 0.375 << 2 << "0.38";
    QTest::newRow("2.5 to even is 2") << 2.5 << 0 << "2";
    QTest::newRow("3.5 to even is 4") << 3.5 << 0 << "4";
    QTest::newRow("0.5 to even is 0") << 0.5 << 0 << "0";
    QTest::newRow("negative digits taken as 0") << 2.5 << -3 << "2";
    QTest::newRow("rounds away to zero") << 1e-5 << 4 << "0";
    QTest::newRow("negative rounds away to plain zero") << -0.001 << 2 << "0";
    QTest::newRow("binary value below the tie rounds down") << 2.675 << 2 << "2.67";
    QTest::newRow("trailing zeros dropped") << 0.1 + 0.2 << 4 << "0.3";
    QTest::newRow("third") << 1.0 / 3.0 << 4 << "0.3333";
    QTest::newRow("rounding carries into a new group") << 999.9999 << 2 << "1,000";
    QTest::newRow("rounding carries into a new group negative") << -999999.999 << 2 << "-1,000,000";
    QTest::newRow("menu total no digits") << 1234.56 << 0 << "1,235";
    QTest::newRow("huge digit count prints the exact value")
        << 0.1 << 1000 << "0.1000000000000000055511151231257827021181583404541015625";

    QTest::newRow("2^53 grouped") << 9007199254740992.0 << 2 << "9,007,199,254,740,992";
    QTest::newRow("-2^53 grouped") << -9007199254740992.0 << 2 << "-9,007,199,254,740,992";
    QTest::newRow("2^63 in its shortest digits") << 9223372036854775808.0 << 4 << "9,223,372,036,854,776,000";
    QTest::newRow("1e20") << 1e20 << 2 << "100,000,000,000,000,000,000";
    QTest::newRow("1e23 shows the number that was meant") << 1e23 << 0 << "100,000,000,000,000,000,000,000";
    // The double just above 1e23 needs seventeen digits to read back.
    QTest::newRow("next double above 1e23") << std::nextafter(1e23, 2e23) << 0
                                            << "100,000,000,000,000,010,000,000";
    QTest::newRow("just above 2^53") << 9007199254740994.0 << 2 << "9,007,199,254,740,994";
    QTest::newRow("negative large") << -1.5e17 << 2 << "-150,000,000,000,000,000";
    QTest::newRow("largest double")
        << DBL_MAX << 2
        << QStringLiteral("179,769,313,486,231,570") + QStringLiteral(",000").repeated(97);

    QTest::newRow("positive infinity") << inf << 2 << "—";
    QTest::newRow("negative infinity") << -inf << 2 << "—";
    QTest::newRow("NaN") << std::nan("") << 2 << "—";
}

void TestZulNumberFormatter::format()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, expected);

    VESK_FOR_EACH_LOCALE({ QCOMPARE(ZulNumberFormatter::format(value, digits), expected); })
}

void TestZulNumberFormatter::neverUsesAnExponent_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("1e300") << 1e300;
    QTest::newRow("-1e300") << -1e300;
    QTest::newRow("1.5e-9") << 1.5e-9;
    QTest::newRow("1e25") << 1e25;
}

void TestZulNumberFormatter::neverUsesAnExponent()
{
    QFETCH(double, value);
    for (int digits : {0, 2, 4, 20}) {
        const QString text = ZulNumberFormatter::format(value, digits);
        QVERIFY2(!text.contains(QLatin1Char('e')) && !text.contains(QLatin1Char('E')), qPrintable(text));
        // Reading it back (without the grouping) lands on the value within the
        // requested precision.
        QString plain = text;
        plain.remove(QLatin1Char(','));
        bool ok = false;
        const double back = plain.toDouble(&ok);
        QVERIFY2(ok, qPrintable(text));
        QVERIFY2(std::fabs(back - value) <= std::max(std::fabs(value) * 1e-15, 0.5 * std::pow(10.0, -digits)),
                 qPrintable(text));
    }
}

void TestZulNumberFormatter::concurrentCallsAgree()
{
    QString first[2000];
    QString second[2000];
    std::thread a([&first] {
        for (QString &text : first)
            text = ZulNumberFormatter::format(1.5, 2);
    });
    std::thread b([&second] {
        for (QString &text : second)
            text = ZulNumberFormatter::format(2.25, 3);
    });
    a.join();
    b.join();
    for (const QString &text : first)
        QCOMPARE(text, QStringLiteral("1.5"));
    for (const QString &text : second)
        QCOMPARE(text, QStringLiteral("2.25"));
}

QTEST_GUILESS_MAIN(TestZulNumberFormatter)
#include "tst_zulnumberformatter.moc"
