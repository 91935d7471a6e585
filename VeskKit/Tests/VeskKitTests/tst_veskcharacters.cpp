#include "VeskKit/Localization/VeskCharacters.h"

#include <QTest>
#include <QTextBoundaryFinder>

namespace {

// Where the first `n` characters end, as a boundary finder over the whole
// text has them.
qsizetype wholeTextPrefixLength(QStringView text, qsizetype n)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype end = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        end = next;
    }
    return end;
}

QString repeated(const QString &part, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}

} // namespace

class TestVeskCharacters : public QObject
{
    Q_OBJECT

private slots:
    void prefixReadsAsTheWholeText_data();
    void prefixReadsAsTheWholeText();
};

void TestVeskCharacters::prefixReadsAsTheWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << repeated(QStringLiteral("ab "), 100);
    QTest::newRow("line ends") << repeated(QStringLiteral("a\r\n"), 100);
    QTest::newRow("accents") << repeated(QStringLiteral("e\u0301\u0302"), 100);
    QTest::newRow("emoji sequences") << repeated(QStringLiteral("\U0001F469\u200D\U0001F4BB\U0001F1F9\U0001F1F7"), 60);
    QTest::newRow("surrogates at every offset") << QStringLiteral("a") + repeated(QStringLiteral("\U0001F600"), 100);
    QTest::newRow("conjuncts") << repeated(QStringLiteral("\u0915\u094D\u0937\u093F"), 60);
    // Qt cuts what comes before a text's first letter as that letter's
    // script does: here far past the first characters.
    QTest::newRow("signs before a script that joins")
        << repeated(QStringLiteral("\u2764\uFE0F \U0001F600"), 200) + QStringLiteral("\u0915\u093F");
    QTest::newRow("Thai") << repeated(QStringLiteral("\u0E01\u0E34\u0E48 "), 80);
}

void TestVeskCharacters::prefixReadsAsTheWholeText()
{
    QFETCH(QString, text);
    for (qsizetype n = 0; n <= 250; ++n) {
        QCOMPARE(VeskCharacters::prefixLength(text, n), wholeTextPrefixLength(text, n));
        QCOMPARE(VeskCharacters::prefix(text, n), QStringView(text).first(wholeTextPrefixLength(text, n)));
    }
}

QTEST_APPLESS_MAIN(TestVeskCharacters)
#include "tst_veskcharacters.moc"
