#include "Engine/ZulIdentifierNormalizer.h"
#include "LocaleScope.h"

#include <QtTest>

class TestZulIdentifierNormalizer : public QObject
{
    Q_OBJECT

private slots:
    void normalize_data();
    void normalize();
    void characterClasses_data();
    void characterClasses();
    void isValidIdentifier_data();
    void isValidIdentifier();
};

void TestZulIdentifierNormalizer::normalize_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ascii trimmed and lowered") << QStringLiteral("  Toplam ") << QStringLiteral("toplam");
    QTest::newRow("ascii upper") << QStringLiteral("TAX") << QStringLiteral("tax");
    QTest::newRow("ascii unchanged") << QStringLiteral("snake_case1") << QStringLiteral("snake_case1");
    QTest::newRow("ascii control blanks trimmed") << QStringLiteral("\t\n\v\f\r x \r\n") << QStringLiteral("x");
    QTest::newRow("ascii inner blanks kept") << QStringLiteral("A\tB c") << QStringLiteral("a\tb c");
    QTest::newRow("ascii only blanks") << QStringLiteral("  \t ") << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("ascii punctuation untouched") << QStringLiteral("[X]=1") << QStringLiteral("[x]=1");
    QTest::newRow("capital I is i never dotless") << QStringLiteral("TITLE") << QStringLiteral("title");
    QTest::newRow("dotted capital I") << QStringLiteral("İNDİRİM") << QStringLiteral("indirim");
    QTest::newRow("turkish word upper") << QStringLiteral("ÖNCEKİ") << QStringLiteral("önceki");
    QTest::newRow("dotless i stays") << QStringLiteral("ı") << QStringLiteral("ı");
    QTest::newRow("turkish letters fold to their own small forms")
        << QStringLiteral("ŞĞÇÖÜ") << QStringLiteral("şğçöü");
    QTest::newRow("inner space kept non-ascii") << QStringLiteral("En Büyük") << QStringLiteral("en büyük");
    QTest::newRow("decomposed dotted I") << QStringLiteral("I\u0307ade") << QStringLiteral("iade");
    QTest::newRow("combining dot removed everywhere") << QStringLiteral("x\u0307y") << QStringLiteral("xy");
    QTest::newRow("blanks before a trailing dot trimmed") << QStringLiteral("Ab \uFFFD \u0307") << QStringLiteral("ab \uFFFD");
    QTest::newRow("blanks after a leading dot trimmed") << QStringLiteral("\u0307 \u00E7ay") << QStringLiteral("\u00E7ay");
    QTest::newRow("unicode spaces trimmed")
        << QStringLiteral("\u00A0\u2003Kdv\u3000\u2028") << QStringLiteral("kdv");
    QTest::newRow("mixed ascii upper with non-ascii") << QStringLiteral("MAX€") << QStringLiteral("max€");
    QTest::newRow("greek") << QStringLiteral("ΠΙ") << QStringLiteral("πι");
}

void TestZulIdentifierNormalizer::normalize()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);

    VESK_FOR_EACH_LOCALE({ QCOMPARE(ZulIdentifierNormalizer::normalize(input), expected); })
}

void TestZulIdentifierNormalizer::characterClasses_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<bool>("start");
    QTest::addColumn<bool>("continues");

    QTest::newRow("underscore") << QStringLiteral("_") << true << true;
    QTest::newRow("ascii letter") << QStringLiteral("a") << true << true;
    QTest::newRow("turkish letter") << QStringLiteral("ş") << true << true;
    QTest::newRow("letter with combining accent") << QStringLiteral("e\u0301") << true << true;
    QTest::newRow("letter outside the BMP") << QStringLiteral("\U0001D465") << true << true;
    QTest::newRow("cjk letter") << QStringLiteral("数") << true << true;
    QTest::newRow("ascii digit") << QStringLiteral("7") << false << true;
    QTest::newRow("superscript two") << QStringLiteral("²") << false << true;
    QTest::newRow("vulgar fraction") << QStringLiteral("½") << false << true;
    QTest::newRow("roman numeral") << QStringLiteral("\u216B") << false << true;
    QTest::newRow("arabic-indic digit") << QStringLiteral("٣") << false << true;
    QTest::newRow("space") << QStringLiteral(" ") << false << false;
    QTest::newRow("hyphen") << QStringLiteral("-") << false << false;
    QTest::newRow("emoji") << QStringLiteral("\U0001F600") << false << false;
    QTest::newRow("lone combining mark") << QStringLiteral("\u0301") << false << false;
    QTest::newRow("empty") << QString() << false << false;
}

void TestZulIdentifierNormalizer::characterClasses()
{
    QFETCH(QString, character);
    QFETCH(bool, start);
    QFETCH(bool, continues);

    QCOMPARE(ZulIdentifierNormalizer::isIdentifierStart(character), start);
    QCOMPARE(ZulIdentifierNormalizer::isIdentifierContinue(character), continues);
}

void TestZulIdentifierNormalizer::isValidIdentifier_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");

    QTest::newRow("underscore letter digit") << QStringLiteral("_x1") << true;
    QTest::newRow("superscript continues") << QStringLiteral("x²") << true;
    QTest::newRow("turkish") << QStringLiteral("çay") << true;
    QTest::newRow("keywords are not reserved") << QStringLiteral("sum") << true;
    QTest::newRow("single letter e") << QStringLiteral("e") << true;
    QTest::newRow("surrounding blanks trimmed") << QStringLiteral("  pi\n") << true;
    QTest::newRow("accented by combining mark") << QStringLiteral("cafe\u0301") << true;
    QTest::newRow("starts with digit") << QStringLiteral("1x") << false;
    QTest::newRow("inner space") << QStringLiteral("my var") << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("only blanks") << QStringLiteral(" \t ") << false;
    QTest::newRow("hyphen inside") << QStringLiteral("a-b") << false;
    QTest::newRow("starts with numeral letter-like") << QStringLiteral("\u216Bx") << false;
    QTest::newRow("starts with combining mark") << QStringLiteral("\u0301x") << false;
    QTest::newRow("emoji inside") << QStringLiteral("ab\U0001F600") << false;
}

void TestZulIdentifierNormalizer::isValidIdentifier()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);

    QCOMPARE(ZulIdentifierNormalizer::isValidIdentifier(text), valid);
}

QTEST_GUILESS_MAIN(TestZulIdentifierNormalizer)
#include "tst_zulidentifiernormalizer.moc"
