#include "VeskKit/Localization/CompiledTemplate.h"
#include "VeskKit/Localization/LoadedLanguageCatalog.h"

#include <QtTest>

using Map = QMap<QString, QString>;

class TestLoadedLanguageCatalog : public QObject {
    Q_OBJECT

private slots:
    void compilesPatterns_data();
    void compilesPatterns();
    void looksUpTexts_data();
    void looksUpTexts();
    void bucketsByEnds_data();
    void bucketsByEnds();
};

void TestLoadedLanguageCatalog::compilesPatterns_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("compiles");
    QTest::addColumn<QStringList>("literals");
    QTest::addColumn<int>("weight");

    QTest::newRow("suffix literal") << "{0} notes" << true << QStringList{"", " notes"} << 6;
    QTest::newRow("prefix literal") << "Total: {0}" << true << QStringList{"Total: ", ""} << 7;
    QTest::newRow("two placeholders") << "Page {0} of {1}" << true
                                      << QStringList{"Page ", " of ", ""} << 9;
    QTest::newRow("no placeholder") << "Plain text" << false << QStringList{} << 0;
    QTest::newRow("bare placeholder") << "{0}" << false << QStringList{} << 0;
    QTest::newRow("adjacent placeholders") << "{0}{1}" << false << QStringList{} << 0;
    QTest::newRow("one-character literal") << "{0}%" << false << QStringList{} << 0;
    // Placeholders count only in sequence: the rest becomes literal text.
    QTest::newRow("second placeholder first") << "{1} before {0}" << true
                                              << QStringList{"{1} before ", ""} << 11;
    QTest::newRow("skipped number") << "{0} and {2}" << true << QStringList{"", " and {2}"} << 8;
    QTest::newRow("placeholder used twice") << "{0} or {0}" << true << QStringList{"", " or {0}"} << 7;
    // A combining accent belongs to its letter: one character, too little to match on.
    QTest::newRow("decomposed accent counts once") << QString::fromUtf8("e\xcc\x81{0}") << false
                                                   << QStringList{} << 0;
    QTest::newRow("emoji count once each") << QString::fromUtf8("\xf0\x9f\x99\x82\xf0\x9f\x99\x82{0}")
                                           << true
                                           << QStringList{QString::fromUtf8("\xf0\x9f\x99\x82\xf0\x9f\x99\x82"), ""}
                                           << 2;
}

void TestLoadedLanguageCatalog::compilesPatterns()
{
    QFETCH(QString, source);
    QFETCH(bool, compiles);
    QFETCH(QStringList, literals);
    QFETCH(int, weight);

    const auto compiled = CompiledTemplate::compile(source, QStringLiteral("x"));
    QCOMPARE(compiled.has_value(), compiles);
    if (!compiled)
        return;
    QCOMPARE(compiled->sourceLiterals, literals);
    QCOMPARE(compiled->placeholderCount, literals.size() - 1);
    QCOMPARE(compiled->literalWeight, weight);
}

void TestLoadedLanguageCatalog::looksUpTexts_data()
{
    QTest::addColumn<Map>("strings");
    QTest::addColumn<Map>("templates");
    QTest::addColumn<QString>("key");  // null: no key
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("expected");  // null: no text

    const Map notes = {{"{0} notes", "{0} Notizen"}};
    QTest::newRow("count before a suffix") << Map{} << notes << QString() << "3 notes" << "3 Notizen";
    QTest::newRow("text shorter than the literals") << Map{} << notes << QString() << "notes" << QString();
    QTest::newRow("empty capture") << Map{} << notes << QString() << " notes" << QString();
    QTest::newRow("different ending") << Map{} << notes << QString() << "3 notez" << QString();

    const Map total = {{"Total: {0}", "Toplam: {0}"}};
    QTest::newRow("prefix template") << Map{} << total << QString() << "Total: 42" << "Toplam: 42";
    QTest::newRow("prefix without value") << Map{} << total << QString() << "Total: " << QString();

    const Map page = {{"Page {0} of {1}", "{1} sayfadan {0}."}};
    QTest::newRow("two values reordered") << Map{} << page << QString() << "Page 2 of 10"
                                          << "10 sayfadan 2.";
    QTest::newRow("middle literal matched at its first occurrence")
        << Map{} << page << QString() << "Page 2 of 10 of 3" << "10 of 3 sayfadan 2.";
    QTest::newRow("missing middle literal") << Map{} << page << QString() << "Page 2 or 10" << QString();
    QTest::newRow("empty first value") << Map{} << page << QString() << "Page  of 10" << QString();
    QTest::newRow("empty last value") << Map{} << page << QString() << "Page 2 of " << QString();

    QTest::newRow("value repeated in the target")
        << Map{} << Map{{"Copy {0}", "{0} ve {0}"}} << QString() << "Copy A" << "A ve A";
    // Substitution runs in placeholder order, so a first value that itself
    // contains "{1}" is filled in by the second.
    QTest::newRow("first value containing the second placeholder")
        << Map{} << Map{{"Move {0} to {1}", "{0} -> {1}"}} << QString() << "Move {1} to Z"
        << "Z -> Z";
    QTest::newRow("placeholders out of order stay literal")
        << Map{} << Map{{"{1} before {0}", "x"}} << QString() << "2 before 5" << QString();

    // A middle literal of two placeholders with empty ends never matches.
    QTest::newRow("no literal at either end")
        << Map{} << Map{{"{0} - {1}", "{0}/{1}"}} << QString() << "a - b" << QString();

    QTest::newRow("exact text before templates")
        << Map{{"3 notes", "drei Notizen"}} << notes << QString() << "3 notes" << "drei Notizen";
    QTest::newRow("key before English text")
        << Map{{"count.notes", "Anzahl"}, {"3 notes", "drei Notizen"}} << Map{} << "count.notes"
        << "3 notes" << "Anzahl";
    QTest::newRow("unknown key falls back to English text")
        << Map{{"3 notes", "drei Notizen"}} << Map{} << "count.other" << "3 notes" << "drei Notizen";
    QTest::newRow("unknown key and text fall back to templates")
        << Map{} << notes << "count.other" << "3 notes" << "3 Notizen";
    QTest::newRow("nothing known") << Map{{"a", "b"}} << Map{} << QString() << "zzz" << QString();

    // Prefix buckets are tried before suffix buckets.
    QTest::newRow("prefix bucket wins")
        << Map{} << Map{{"Total {0}", "Gesamt {0}"}, {"{0} notes", "{0} Notizen"}} << QString()
        << "Total 3 notes" << "Gesamt 3 notes";
    // Within a bucket the template with more literal text goes first,
    // whatever order the file had.
    QTest::newRow("heavier template first")
        << Map{} << Map{{"{0} notes", "{0} Notizen"}, {"{0} open notes", "{0} offene Notizen"}}
        << QString() << "5 open notes" << "5 offene Notizen";
    QTest::newRow("two-character prefix bucket") << Map{} << Map{{"ab{0}", "<{0}>"}} << QString()
                                                 << "abc" << "<c>";
    QTest::newRow("two-character suffix bucket") << Map{} << Map{{"{0}ab", "<{0}>"}} << QString()
                                                 << "cab" << "<c>";
    QTest::newRow("emoji prefix") << Map{} << Map{{QString::fromUtf8("\xf0\x9f\x99\x82\xf0\x9f\x99\x82{0}"), "[{0}]"}}
                                  << QString() << QString::fromUtf8("\xf0\x9f\x99\x82\xf0\x9f\x99\x82x")
                                  << "[x]";
    QTest::newRow("empty target is dropped") << Map{} << Map{{"{0} notes", ""}} << QString()
                                             << "3 notes" << QString();
}

void TestLoadedLanguageCatalog::looksUpTexts()
{
    QFETCH(Map, strings);
    QFETCH(Map, templates);
    QFETCH(QString, key);
    QFETCH(QString, en);
    QFETCH(QString, expected);

    QHash<QString, QString> exact;
    for (auto it = strings.cbegin(); it != strings.cend(); ++it)
        exact.insert(it.key(), it.value());
    const LoadedLanguageCatalog catalog = LoadedLanguageCatalog::compile(exact, templates);
    const auto text = catalog.lookup(key.isNull() ? std::nullopt : std::optional<QString>(key), en);
    QCOMPARE(text.has_value(), !expected.isNull());
    if (text)
        QCOMPARE(*text, expected);
}

void TestLoadedLanguageCatalog::bucketsByEnds_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("prefixBucket");  // null: not in a prefix bucket
    QTest::addColumn<QString>("suffixBucket");

    QTest::newRow("long first literal") << "Total: {0}" << "Tot" << QString();
    QTest::newRow("two-character first literal") << "ab{0}" << "ab" << QString();
    QTest::newRow("short first, long last") << "x{0} notes" << QString() << "tes";
    QTest::newRow("two-character last literal") << "{0}ab" << QString() << "ab";
    QTest::newRow("both ends long: prefix only") << "Page {0} of" << "Pag" << QString();
    QTest::newRow("neither end long enough") << "a{0}bc{1}d" << QString() << QString();
}

void TestLoadedLanguageCatalog::bucketsByEnds()
{
    QFETCH(QString, source);
    QFETCH(QString, prefixBucket);
    QFETCH(QString, suffixBucket);

    const LoadedLanguageCatalog catalog =
        LoadedLanguageCatalog::compile({}, Map{{source, QStringLiteral("t")}});
    QCOMPARE(catalog.byPrefix.keys(), prefixBucket.isNull() ? QStringList() : QStringList{prefixBucket});
    QCOMPARE(catalog.bySuffix.keys(), suffixBucket.isNull() ? QStringList() : QStringList{suffixBucket});
}

QTEST_GUILESS_MAIN(TestLoadedLanguageCatalog)
#include "tst_loadedlanguagecatalog.moc"
