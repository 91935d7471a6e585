#include "Services/ZulJsonText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

class TestZulJsonText : public QObject {
    Q_OBJECT

private slots:
    void readsAsQtDoes_data();
    void readsAsQtDoes();
    void keepsExactValues_data();
    void keepsExactValues();
    void refuses_data();
    void refuses();
    void readsBackWhatItWrites_data();
    void readsBackWhatItWrites();
    void formatIsIndentedAndSorted();
};

void TestZulJsonText::readsAsQtDoes_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty array") << QByteArray("[]");
    QTest::newRow("empty object with spaces") << QByteArray(" \t\r\n{ } \n");
    QTest::newRow("scalars") << QByteArray(R"([true, false, null, 0, -0, 12, -7.5, 1e3, 2E-2, 0.125])");
    QTest::newRow("nested") << QByteArray(R"({"a": [[1, 2], [3, 4]], "b": {"c": {"d": []}}})");
    QTest::newRow("escapes") << QByteArray(R"(["\"\\\/\b\f\n\r\t", "\u0041\u00e9\u4e2d", "\ud83d\ude00"])");
    QTest::newRow("raw UTF-8") << QByteArray("[\"Çivit Zümrüt Camgöbeği ⌥⌘ \xF0\x9F\x98\x80\"]");
    QTest::newRow("repeated key keeps the last") << QByteArray(R"({"k": 1, "k": 2})");
    QTest::newRow("unsorted keys") << QByteArray(R"({"zeta": 1, "Alpha": 2, "alpha": 3})");
    QTest::newRow("line of escapes") << QByteArray(R"(["a\nb\nc\n", ""])");
}

void TestZulJsonText::readsAsQtDoes()
{
    QFETCH(QByteArray, text);
    QJsonParseError error;
    const QJsonDocument reference = QJsonDocument::fromJson(text, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    const ZulResult<QJsonValue> ours = ZulJsonText::parse(text);
    QVERIFY2(ours, qPrintable(ours.error()));
    const QJsonValue expected = reference.isObject() ? QJsonValue(reference.object()) : QJsonValue(reference.array());
    QCOMPARE(ours.value(), expected);
}

void TestZulJsonText::keepsExactValues_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QJsonValue>("expected");
    QTest::newRow("integer beyond 2^53") << QByteArray("[9007199254740993]") << QJsonValue(qint64(9007199254740993LL));
    QTest::newRow("smallest 64-bit integer") << QByteArray("[-9223372036854775808]") << QJsonValue(std::numeric_limits<qint64>::min());
    QTest::newRow("integer beyond 64 bits is a double") << QByteArray("[18446744073709551616]") << QJsonValue(18446744073709551616.0);
    QTest::newRow("shortest double") << QByteArray("[0.1]") << QJsonValue(0.1);
    QTest::newRow("lone high surrogate") << QByteArray(R"(["x\ud800y"])") << QJsonValue(QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"));
    QTest::newRow("lone low surrogate") << QByteArray(R"(["\udc00"])") << QJsonValue(QString(QChar(0xDC00)));
}

void TestZulJsonText::keepsExactValues()
{
    QFETCH(QByteArray, text);
    QFETCH(QJsonValue, expected);
    const ZulResult<QJsonValue> ours = ZulJsonText::parse(text);
    QVERIFY2(ours, qPrintable(ours.error()));
    const QJsonValue first = ours.value().toArray().at(0);
    QCOMPARE(first, expected);
    if (expected.isDouble())
        QCOMPARE(first.toInteger(-1), expected.toInteger(-1));
}

void TestZulJsonText::refuses_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("only spaces") << QByteArray("   ");
    QTest::newRow("top-level number") << QByteArray("14");
    QTest::newRow("top-level string") << QByteArray("\"x\"");
    QTest::newRow("top-level null") << QByteArray("null");
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[]");
    QTest::newRow("trailing text") << QByteArray("[] x");
    QTest::newRow("two documents") << QByteArray("[][]");
    QTest::newRow("truncated array") << QByteArray("[1, 2");
    QTest::newRow("truncated string") << QByteArray("[\"abc");
    QTest::newRow("string ends in backslash") << QByteArray("[\"abc\\");
    QTest::newRow("truncated escape") << QByteArray("[\"\\u12\"]");
    QTest::newRow("trailing comma in array") << QByteArray("[1,]");
    QTest::newRow("trailing comma in object") << QByteArray("{\"a\": 1,}");
    QTest::newRow("missing colon") << QByteArray("{\"a\" 1}");
    QTest::newRow("unquoted key") << QByteArray("{a: 1}");
    QTest::newRow("single quotes") << QByteArray("['a']");
    QTest::newRow("leading zero") << QByteArray("[01]");
    QTest::newRow("leading plus") << QByteArray("[+1]");
    QTest::newRow("bare point") << QByteArray("[1.]");
    QTest::newRow("point first") << QByteArray("[.5]");
    QTest::newRow("empty exponent") << QByteArray("[1e]");
    QTest::newRow("hexadecimal") << QByteArray("[0x10]");
    QTest::newRow("infinite") << QByteArray("[1e400]");
    QTest::newRow("NaN word") << QByteArray("[NaN]");
    QTest::newRow("capital True") << QByteArray("[True]");
    QTest::newRow("cut word") << QByteArray("[tru]");
    QTest::newRow("raw newline in string") << QByteArray("[\"a\nb\"]");
    QTest::newRow("raw tab in string") << QByteArray("[\"a\tb\"]");
    QTest::newRow("unknown escape") << QByteArray("[\"\\x41\"]");
    QTest::newRow("bad hex") << QByteArray("[\"\\u00G0\"]");
    QTest::newRow("stray continuation byte") << QByteArray("[\"\x80\"]");
    QTest::newRow("overlong slash") << QByteArray("[\"\xC0\xAF\"]");
    QTest::newRow("encoded surrogate") << QByteArray("[\"\xED\xA0\x80\"]");
    QTest::newRow("beyond U+10FFFF") << QByteArray("[\"\xF4\x90\x80\x80\"]");
    QTest::newRow("cut sequence before quote") << QByteArray("[\"\xE2\x82\"]");
    QTest::newRow("cut sequence at end") << QByteArray("[\"\xE2");
    QTest::newRow("nul byte") << QByteArray("[\"a\0b\"]", 7);
    QTest::newRow("too deep") << QByteArray(513, '[') + QByteArray(513, ']');
    QTest::newRow("very deep, unclosed") << QByteArray(200000, '[');
    // Cut at every byte of an escape and of what closes it.
    for (const char *escape : {"\\\"", "\\\\", "\\/", "\\n", "\\u00e9", "\\ud83d\\ude00"}) {
        const QByteArray whole = QByteArray("[\"x") + escape + "\"]";
        for (qsizetype cut = 3; cut < whole.size(); ++cut)
            QTest::addRow("%s cut to %d bytes", escape, int(cut)) << whole.left(cut);
    }
}

void TestZulJsonText::refuses()
{
    QFETCH(QByteArray, text);
    // Exactly the input's bytes on the heap, with no terminating zero after
    // them, so that a read past the end is caught by the address sanitizer.
    const std::unique_ptr<char[]> exact(new char[size_t(text.size())]);
    std::copy(text.cbegin(), text.cend(), exact.get());
    const ZulResult<QJsonValue> ours = ZulJsonText::parse(QByteArrayView(exact.get(), text.size()));
    QVERIFY(!ours);
    QVERIFY2(ours.error().startsWith("not valid JSON at byte "), qPrintable(ours.error()));
}

void TestZulJsonText::readsBackWhatItWrites_data()
{
    QTest::addColumn<QJsonValue>("value");
    QString controls;
    for (char16_t c = 0; c < 0x20; ++c)
        controls += QChar(c);
    QTest::newRow("every control character") << QJsonValue(QJsonArray{controls + QStringLiteral("\x7f")});
    QTest::newRow("unpaired surrogates") << QJsonValue(QJsonArray{QStringLiteral("a") + QChar(0xD83D), QString(QChar(0xDE00)) + "b"});
    QTest::newRow("separators and emoji")
        << QJsonValue(QJsonObject{{"t", QString::fromUtf8("\u2028\u2029\u0085 \U0001F468\u200D\U0001F469")}});
    QTest::newRow("numbers") << QJsonValue(QJsonArray{1e-300, -1.5e300, 0.1, 340, qint64(1) << 62,
                                                      std::numeric_limits<qint64>::min(), 1e22, -0.5});
    QTest::newRow("empty containers") << QJsonValue(QJsonObject{{"a", QJsonArray()}, {"o", QJsonObject()}, {"s", ""}});
    QTest::newRow("depth 500") << [] {
        QJsonValue v = QJsonArray{1};
        for (int i = 0; i < 499; ++i)
            v = QJsonArray{v};
        return v;
    }();
}

void TestZulJsonText::readsBackWhatItWrites()
{
    QFETCH(QJsonValue, value);
    const QByteArray text = ZulJsonText::format(value);
    const ZulResult<QJsonValue> back = ZulJsonText::parse(text);
    QVERIFY2(back, qPrintable(back.error()));
    QCOMPARE(back.value(), value);
    // An independent reader must see the same thing in the text.
    QJsonParseError error;
    const QJsonDocument reference = QJsonDocument::fromJson(text, &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(reference.isObject() ? QJsonValue(reference.object()) : QJsonValue(reference.array()), value);
}

void TestZulJsonText::formatIsIndentedAndSorted()
{
    const QJsonObject object{{"b", QJsonArray{1, "x"}}, {"a", true}, {"c", QJsonObject{{"d", QJsonValue()}}},
                             {"e", QJsonArray()}, {"f", QJsonObject()}, {"g", 2.5}};
    QCOMPARE(ZulJsonText::format(object),
             QByteArray("{\n"
                        "    \"a\": true,\n"
                        "    \"b\": [\n"
                        "        1,\n"
                        "        \"x\"\n"
                        "    ],\n"
                        "    \"c\": {\n"
                        "        \"d\": null\n"
                        "    },\n"
                        "    \"e\": [],\n"
                        "    \"f\": {},\n"
                        "    \"g\": 2.5\n"
                        "}\n"));
}

QTEST_APPLESS_MAIN(TestZulJsonText)
#include "tst_zuljsontext.moc"
