#include "VeskKit/Utilities/VeskByteFormatter.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

// The desktop app switches the C library to the user's locale; a decimal
// comma there must never reach these texts.
const char* const locales[] = {"C", "tr_TR.UTF-8", "de_DE.UTF-8"};

class ProcessLocale
{
public:
    explicit ProcessLocale(const char* name)
    {
        m_active = std::setlocale(LC_ALL, name) != nullptr;
        QLocale::setDefault(QLocale(QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0)));
    }
    ~ProcessLocale()
    {
        std::setlocale(LC_ALL, "C");
        QLocale::setDefault(QLocale::c());
    }
    bool active() const { return m_active; }

private:
    bool m_active = false;
};

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

} // namespace

class TestVeskByteFormatter : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void formatRate_data();
    void formatRate();
    void formatDuration_data();
    void formatDuration();
    void savingsPercent_data();
    void savingsPercent();
    void csvSafeField_data();
    void csvSafeField();
};

void TestVeskByteFormatter::format_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("expected");

    QTest::newRow("negative") << qint64(-5) << "0 B";
    QTest::newRow("most negative") << std::numeric_limits<qint64>::min() << "0 B";
    QTest::newRow("zero") << qint64(0) << "0 B";
    QTest::newRow("largest bytes") << qint64(999) << "999 B";
    QTest::newRow("first kilobyte") << qint64(1000) << "1.0 KB";
    QTest::newRow("kilobyte and a half") << qint64(1536) << "1.5 KB";
    QTest::newRow("rounds after choosing KB") << qint64(999'999) << "1000.0 KB";
    QTest::newRow("first megabyte") << qint64(1'000'000) << "1.0 MB";
    QTest::newRow("tie rounds to even tenth") << qint64(1'250'000) << "1.2 MB";
    QTest::newRow("rounds after choosing MB") << qint64(999'999'999) << "1000.0 MB";
    QTest::newRow("gigabytes with two decimals") << qint64(1'500'000'000) << "1.50 GB";
    QTest::newRow("first terabyte") << qint64(1'000'000'000'000) << "1.00 TB";
    QTest::newRow("nothing above TB") << qint64(1'500'000'000'000'000) << "1500.00 TB";
    QTest::newRow("largest count") << std::numeric_limits<qint64>::max() << "9223372.04 TB";
}

void TestVeskByteFormatter::format()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, expected);
    for (const char* name : locales) {
        ProcessLocale locale(name);
        QVERIFY2(locale.active(), name);
        QCOMPARE(VeskByteFormatter::format(bytes), expected);
    }
}

void TestVeskByteFormatter::formatRate_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("expected");

    QTest::newRow("negative") << -1.0 << "0 B/s";
    QTest::newRow("NaN") << notANumber << "0 B/s";
    QTest::newRow("zero") << 0.0 << "0 B/s";
    QTest::newRow("rounds down") << 12.4 << "12 B/s";
    QTest::newRow("half rounds up") << 12.5 << "13 B/s";
    QTest::newRow("just below a kilobyte") << 999.4 << "999 B/s";
    QTest::newRow("half below a kilobyte") << 999.5 << "1000 B/s";
    QTest::newRow("kilobytes") << 2500.0 << "2.5 KB/s";
    QTest::newRow("megabytes") << 12'340'000.0 << "12.3 MB/s";
    QTest::newRow("gigabytes") << 3e9 << "3.00 GB/s";
    QTest::newRow("no TB/s step") << 4.5e12 << "4500.00 GB/s";
}

void TestVeskByteFormatter::formatRate()
{
    QFETCH(double, rate);
    QFETCH(QString, expected);
    for (const char* name : locales) {
        ProcessLocale locale(name);
        QVERIFY2(locale.active(), name);
        QCOMPARE(VeskByteFormatter::formatRate(rate), expected);
    }
}

void TestVeskByteFormatter::formatDuration_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << "00:00";
    QTest::newRow("minutes and seconds") << 307.0 << "05:07";
    QTest::newRow("half rounds up to a minute") << 59.5 << "01:00";
    QTest::newRow("last second below an hour") << 3599.4 << "59:59";
    QTest::newRow("half rounds up to an hour") << 3599.5 << "1:00:00";
    QTest::newRow("negative") << -10.0 << "00:00";
    QTest::newRow("hours are not capped at a day") << 100000.0 << "27:46:40";
    QTest::newRow("NaN") << notANumber << "00:00";
    QTest::newRow("minus infinity") << -inf << "00:00";
    QTest::newRow("plus infinity saturates") << inf << "2562047788015215:30:07";
}

void TestVeskByteFormatter::formatDuration()
{
    QFETCH(double, seconds);
    QFETCH(QString, expected);
    QCOMPARE(VeskByteFormatter::formatDuration(seconds), expected);
}

void TestVeskByteFormatter::savingsPercent_data()
{
    QTest::addColumn<qint64>("original");
    QTest::addColumn<qint64>("optimized");
    QTest::addColumn<double>("expected");

    QTest::newRow("nothing to save from") << qint64(0) << qint64(10) << 0.0;
    QTest::newRow("negative original") << qint64(-100) << qint64(10) << 0.0;
    QTest::newRow("three quarters saved") << qint64(200) << qint64(50) << 75.0;
    QTest::newRow("grew by half") << qint64(100) << qint64(150) << -50.0;
    QTest::newRow("unchanged") << qint64(4096) << qint64(4096) << 0.0;
    QTest::newRow("difference beyond 64 bits") << std::numeric_limits<qint64>::max()
                                               << std::numeric_limits<qint64>::min() << 200.0;
}

void TestVeskByteFormatter::savingsPercent()
{
    QFETCH(qint64, original);
    QFETCH(qint64, optimized);
    QFETCH(double, expected);
    QCOMPARE(VeskByteFormatter::savingsPercent(original, optimized), expected);
}

void TestVeskByteFormatter::csvSafeField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << "" << "\"\"";
    QTest::newRow("plain") << "math" << "\"math\"";
    QTest::newRow("comma only quoted") << "a,b" << "\"a,b\"";
    QTest::newRow("inner quotes doubled") << "say \"hi\"" << "\"say \"\"hi\"\"\"";
    QTest::newRow("formula") << "=SUM(A1:A2)" << "\"'=SUM(A1:A2)\"";
    QTest::newRow("formula with quotes") << "=\"x\"" << "\"'=\"\"x\"\"\"";
    QTest::newRow("negative number") << "-5" << "\"'-5\"";
    QTest::newRow("plus") << "+1" << "\"'+1\"";
    QTest::newRow("at sign") << "@cmd" << "\"'@cmd\"";
    QTest::newRow("tab") << "\tx" << "\"'\tx\"";
    QTest::newRow("lone carriage return") << "\rx" << "\"'\rx\"";
    QTest::newRow("single equals sign") << "=" << "\"'=\"";
    QTest::newRow("space before formula") << " =1+1" << "\" =1+1\"";
    QTest::newRow("CR LF is one other character") << "\r\n=1" << "\"\r\n=1\"";
    QTest::newRow("minus with combining mark") << QString::fromUtf8("-\u0301x") << QString::fromUtf8("\"-\u0301x\"");
    QTest::newRow("line breaks pass through") << "a\nb" << "\"a\nb\"";
    QTest::newRow("guard only at the start") << "a=b" << "\"a=b\"";
    QTest::newRow("not guarded: apostrophe") << "'x" << "\"'x\"";
}

void TestVeskByteFormatter::csvSafeField()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    QCOMPARE(VeskByteFormatter::csvSafeField(field), expected);
}

QTEST_GUILESS_MAIN(TestVeskByteFormatter)
#include "tst_veskbyteformatter.moc"
