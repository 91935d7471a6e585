#include "Models/ZulIsoDate.h"
#include "Models/ZulNote.h"
#include "Models/ZulNoteTint.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

#include <limits>

namespace {

const QString kId = QStringLiteral("6F9619FF-8B86-D011-B42D-00CF4FC964FF");

ZulNote sampleNote()
{
    return ZulNote(QUuid::fromString(kId), QStringLiteral("Groceries"), QStringLiteral("milk\neggs"),
                   ZulNoteTint::amber, true, false, true, QRectF(10.5, -20, 340, 360),
                   {QStringLiteral("home"), QStringLiteral("weekly")},
                   QDateTime(QDate(2025, 1, 10), QTime(12, 0), Qt::UTC),
                   QDateTime(QDate(2025, 1, 11), QTime(8, 30, 15), Qt::UTC));
}

QJsonObject sampleObject()
{
    return sampleNote().toJson();
}

ZulNote noteWith(const QString &title, const QString &content)
{
    ZulNote note = sampleNote();
    note.title = title;
    note.content = content;
    return note;
}

} // namespace

class TestZulNote : public QObject {
    Q_OBJECT

private slots:
    void tintTable_data();
    void tintTable();
    void tintOrderAndUnknownRaw();

    void displayTitle_data();
    void displayTitle();
    void previewSnippet_data();
    void previewSnippet();

    void jsonRoundTrip_data();
    void jsonRoundTrip();
    void writesCanonicalUpperCaseIdAndWholeSeconds();
    void omitsAbsentOrNonFiniteFrame_data();
    void omitsAbsentOrNonFiniteFrame();
    void readsLenientParts_data();
    void readsLenientParts();
    void rejectsMalformedNote_data();
    void rejectsMalformedNote();

    void isoDateForms_data();
    void isoDateForms();

    void equality_data();
    void equality();
};

void TestZulNote::tintTable_data()
{
    QTest::addColumn<QString>("raw");
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("tr");
    QTest::addColumn<quint32>("accent");
    QTest::addColumn<quint32>("top");
    QTest::addColumn<quint32>("bottom");
    QTest::newRow("indigo") << "indigo" << "Indigo" << QString::fromUtf8("Çivit") << 0x7CA4FFu << 0x24347Au << 0x0E1538u;
    QTest::newRow("emerald") << "emerald" << "Emerald" << QString::fromUtf8("Zümrüt") << 0x47E6C1u << 0x155E53u << 0x0A2124u;
    QTest::newRow("amber") << "amber" << "Amber" << "Kehribar" << 0xFFA95Cu << 0x6E391Du << 0x24130Bu;
    QTest::newRow("coral") << "coral" << "Coral" << "Mercan" << 0xF472D0u << 0x661F5Du << 0x220B25u;
    QTest::newRow("cyan") << "cyan" << "Cyan" << QString::fromUtf8("Camgöbeği") << 0x38E8FFu << 0x105163u << 0x081F2Bu;
    QTest::newRow("violet") << "violet" << "Violet" << "Mor" << 0xA98BFFu << 0x422878u << 0x1B1136u;
}

void TestZulNote::tintTable()
{
    QFETCH(QString, raw);
    const std::optional<ZulNoteTint> tint = ZulNoteTintFromRaw(raw);
    QVERIFY(tint);
    QCOMPARE(rawValue(*tint), raw);
    QCOMPARE(id(*tint), raw);
    QTEST(labelEN(*tint), "en");
    QTEST(labelTR(*tint), "tr");
    QTEST(accentHex(*tint), "accent");
    QTEST(surfaceTopHex(*tint), "top");
    QTEST(surfaceBottomHex(*tint), "bottom");
}

void TestZulNote::tintOrderAndUnknownRaw()
{
    QStringList order;
    for (ZulNoteTint tint : ZulNoteTintAllCases())
        order << rawValue(tint);
    QCOMPARE(order, QStringList({"indigo", "emerald", "amber", "coral", "cyan", "violet"}));
    QVERIFY(!ZulNoteTintFromRaw(QStringLiteral("Indigo")));
    QVERIFY(!ZulNoteTintFromRaw(QStringLiteral("pink")));
    QVERIFY(!ZulNoteTintFromRaw(QString()));
}

void TestZulNote::displayTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");
    const QString sixty(60, u'a');
    QTest::newRow("title trimmed") << "  Groceries  " << "ignored" << "Groceries";
    QTest::newRow("long title kept whole") << sixty << "" << sixty;
    QTest::newRow("title of blanks falls back to text") << " \t\n " << "Shopping" << "Shopping";
    QTest::newRow("heading after empty lines") << "" << "\n\n## Budget 2025\nmore" << "Budget 2025";
    QTest::newRow("task keeps its bracket") << "" << "- [ ] buy milk" << "[ ] buy milk";
    QTest::newRow("line used up by dashes") << "" << "---\nWord" << "Untitled";
    QTest::newRow("first 48 letters") << "" << sixty << QString(48, u'a');
    QTest::newRow("blank content") << "" << " \n\t\n  " << "Untitled";
    QTest::newRow("empty content") << "" << "" << "Untitled";
    QTest::newRow("tab is not skipped") << "" << "#\tTabbed" << "\tTabbed";
    QTest::newRow("line trimmed before skipping") << "" << "   # Spaced  \nx" << "Spaced";
    QTest::newRow("carriage return ends a line") << "" << "\r\rFirst\rSecond" << "First";
    QTest::newRow("line separator ends a line") << "" << QString::fromUtf8("\u2028Sep\u2029Next") << "Sep";
    QTest::newRow("hash inside kept") << "" << "C# notes" << "C# notes";
    // 47 letters then a family emoji of seven code points: it counts as one character.
    const QString family = QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    QTest::newRow("emoji is one character") << "" << QString(47, u'b') + family + "tail"
                                            << QString(47, u'b') + family;
    const QString eAcute = QString::fromUtf8("e\u0301");
    QTest::newRow("combining mark stays with its letter")
        << "" << eAcute.repeated(50) << eAcute.repeated(48);
}

void TestZulNote::displayTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, content);
    QTEST(noteWith(title, content).displayTitle(), "expected");
}

void TestZulNote::previewSnippet_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two text lines joined")
        << "# Heading\n\nfirst line\n  second line  \nthird" << QString::fromUtf8("first line · second line");
    QTest::newRow("headings only") << "# One\n## Two\n" << "";
    QTest::newRow("one text line") << "# H\nonly" << "only";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("indented heading is still a heading") << "   # H\nbody" << "body";
    QTest::newRow("crlf lines") << "a\r\nb\r\nc" << QString::fromUtf8("a · b");
    QTest::newRow("no length cut") << QString(300, u'x') << QString(300, u'x');
}

void TestZulNote::previewSnippet()
{
    QFETCH(QString, content);
    QTEST(noteWith(QString(), content).previewSnippet(), "expected");
}

void TestZulNote::jsonRoundTrip_data()
{
    QTest::addColumn<ZulNote>("note");
    QTest::newRow("full") << sampleNote();
    ZulNote bare = sampleNote();
    bare.stickyFrame.reset();
    bare.tags.clear();
    bare.title.clear();
    QTest::newRow("no frame, no tags, no title") << bare;
    ZulNote unicode = sampleNote();
    unicode.content = QString::fromUtf8("Öğle \"yemeği\"\n\t\\ \u0001 \U0001F600");
    unicode.tint = ZulNoteTint::violet;
    QTest::newRow("quotes, controls, emoji") << unicode;
}

void TestZulNote::jsonRoundTrip()
{
    QFETCH(ZulNote, note);
    // Through text, as the file sees it.
    const QByteArray text = QJsonDocument(note.toJson()).toJson();
    const ZulResult<ZulNote> back = ZulNote::fromJson(QJsonDocument::fromJson(text).object());
    QVERIFY2(back, qPrintable(back.error()));
    QCOMPARE(back.value(), note);
}

void TestZulNote::writesCanonicalUpperCaseIdAndWholeSeconds()
{
    ZulNote note = sampleNote();
    note.updatedAt = QDateTime(QDate(2025, 1, 10), QTime(12, 0, 0, 999), Qt::UTC);
    note.createdAt = QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone(3 * 3600));
    const QJsonObject o = note.toJson();
    QCOMPARE(o.value("id").toString(), kId);
    QCOMPARE(o.value("updatedAt").toString(), QStringLiteral("2025-01-10T12:00:00Z"));
    QCOMPARE(o.value("createdAt").toString(), QStringLiteral("2025-01-10T12:00:00Z"));
    QCOMPARE(o.keys().size(), 11);
}

void TestZulNote::omitsAbsentOrNonFiniteFrame_data()
{
    QTest::addColumn<std::optional<QRectF>>("frame");
    QTest::addColumn<bool>("written");
    QTest::newRow("absent") << std::optional<QRectF>() << false;
    QTest::newRow("finite") << std::optional<QRectF>(QRectF(1, 2, 3, 4)) << true;
    QTest::newRow("nan width") << std::optional<QRectF>(QRectF(1, 2, std::numeric_limits<double>::quiet_NaN(), 4)) << false;
    QTest::newRow("infinite x") << std::optional<QRectF>(QRectF(std::numeric_limits<double>::infinity(), 2, 3, 4)) << false;
}

void TestZulNote::omitsAbsentOrNonFiniteFrame()
{
    QFETCH(std::optional<QRectF>, frame);
    QFETCH(bool, written);
    ZulNote note = sampleNote();
    note.stickyFrame = frame;
    const QJsonObject o = note.toJson();
    QCOMPARE(o.contains("stickyFrame"), written);
    // Whatever was written must read back.
    const ZulResult<ZulNote> back = ZulNote::fromJson(o);
    QVERIFY2(back, qPrintable(back.error()));
    QCOMPARE(back.value().stickyFrame.has_value(), written);
    if (written)
        QCOMPARE(o.value("stickyFrame").toArray(), QJsonArray({QJsonArray{1, 2}, QJsonArray{3, 4}}));
}

void TestZulNote::readsLenientParts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<bool>("hasFrame");
    QTest::newRow("null frame means none") << "stickyFrame" << QJsonValue(QJsonValue::Null) << false;
    QTest::newRow("missing frame means none") << "stickyFrame" << QJsonValue(QJsonValue::Undefined) << false;
    QTest::newRow("lower-case id") << "id" << QJsonValue(kId.toLower()) << true;
    QTest::newRow("unknown key ignored") << "colour" << QJsonValue("red") << true;
    QTest::newRow("integer frame numbers") << "stickyFrame" << QJsonValue(QJsonArray{QJsonArray{1, 2}, QJsonArray{3, 4}}) << true;
}

void TestZulNote::readsLenientParts()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(bool, hasFrame);
    QJsonObject o = sampleObject();
    if (value.isUndefined())
        o.remove(key);
    else
        o.insert(key, value);
    const ZulResult<ZulNote> note = ZulNote::fromJson(o);
    QVERIFY2(note, qPrintable(note.error()));
    QCOMPARE(note.value().stickyFrame.has_value(), hasFrame);
    QCOMPARE(note.value().id, QUuid::fromString(kId));
}

void TestZulNote::rejectsMalformedNote_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QJsonValue>("value");  // Undefined: the key is removed
    QTest::addColumn<QString>("reason");    // a word the error must name

    const QJsonValue missing(QJsonValue::Undefined);
    for (const char *key : {"id", "title", "content", "tint", "isPinned", "isEphemeral",
                            "isFloatingSticky", "tags", "createdAt", "updatedAt"})
        QTest::newRow(qPrintable(QStringLiteral("missing %1").arg(key))) << key << missing << key;
    QTest::newRow("null title") << "title" << QJsonValue(QJsonValue::Null) << "title";
    QTest::newRow("numeric content") << "content" << QJsonValue(5) << "content";
    QTest::newRow("string boolean") << "isPinned" << QJsonValue("true") << "isPinned";
    QTest::newRow("number boolean") << "isEphemeral" << QJsonValue(1) << "isEphemeral";
    QTest::newRow("unknown tint") << "tint" << QJsonValue("pink") << "pink";
    QTest::newRow("tint in capitals") << "tint" << QJsonValue("AMBER") << "tint";
    QTest::newRow("tags not array") << "tags" << QJsonValue("home") << "tags";
    QTest::newRow("tag not string") << "tags" << QJsonValue(QJsonArray{"a", 3}) << "tags";
    QTest::newRow("uuid in braces") << "id" << QJsonValue("{" + kId + "}") << "UUID";
    QTest::newRow("uuid without dashes") << "id" << QJsonValue(QString(kId).remove(u'-')) << "UUID";
    QTest::newRow("uuid with non-hex") << "id" << QJsonValue(QString(kId).replace(0, 1, "G")) << "UUID";
    QTest::newRow("uuid too short") << "id" << QJsonValue(kId.left(35)) << "UUID";
    QTest::newRow("frame flat") << "stickyFrame" << QJsonValue(QJsonArray{1, 2, 3, 4}) << "stickyFrame";
    QTest::newRow("frame short pair") << "stickyFrame" << QJsonValue(QJsonArray{QJsonArray{1, 2}, QJsonArray{3}}) << "stickyFrame";
    QTest::newRow("frame three pairs") << "stickyFrame" << QJsonValue(QJsonArray{QJsonArray{1, 2}, QJsonArray{3, 4}, QJsonArray{5, 6}}) << "stickyFrame";
    QTest::newRow("frame text number") << "stickyFrame" << QJsonValue(QJsonArray{QJsonArray{"1", 2}, QJsonArray{3, 4}}) << "stickyFrame";
    QTest::newRow("frame as object") << "stickyFrame" << QJsonValue(QJsonObject{{"x", 1}}) << "stickyFrame";
    QTest::newRow("fractional seconds") << "createdAt" << QJsonValue("2025-01-10T12:00:00.5Z") << "createdAt";
    QTest::newRow("date as number") << "updatedAt" << QJsonValue(757512000) << "updatedAt";
}

void TestZulNote::rejectsMalformedNote()
{
    QFETCH(QString, key);
    QFETCH(QJsonValue, value);
    QFETCH(QString, reason);
    QJsonObject o = sampleObject();
    if (value.isUndefined())
        o.remove(key);
    else
        o.insert(key, value);
    const ZulResult<ZulNote> note = ZulNote::fromJson(o);
    QVERIFY(!note);
    QVERIFY2(note.error().contains(reason), qPrintable(note.error()));
}

void TestZulNote::isoDateForms_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("expected");  // invalid: must be refused
    const QDateTime refused;
    QTest::newRow("plain") << "2025-01-10T12:00:00Z" << QDateTime(QDate(2025, 1, 10), QTime(12, 0), Qt::UTC);
    QTest::newRow("leap day") << "2024-02-29T23:59:59Z" << QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC);
    QTest::newRow("first year") << "0001-01-01T00:00:00Z" << QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    QTest::newRow("fraction") << "2025-01-10T12:00:00.000Z" << refused;
    QTest::newRow("offset") << "2025-01-10T12:00:00+00:00" << refused;
    QTest::newRow("no zone") << "2025-01-10T12:00:00" << refused;
    QTest::newRow("lower-case z") << "2025-01-10T12:00:00z" << refused;
    QTest::newRow("space for T") << "2025-01-10 12:00:00Z" << refused;
    QTest::newRow("date only") << "2025-01-10" << refused;
    QTest::newRow("thirtieth of February") << "2025-02-30T12:00:00Z" << refused;
    QTest::newRow("hour 24") << "2025-01-10T24:00:00Z" << refused;
    QTest::newRow("leap second") << "2016-12-31T23:59:60Z" << refused;
    QTest::newRow("year zero") << "0000-01-01T00:00:00Z" << refused;
    QTest::newRow("sign in field") << "2025-+1-10T12:00:00Z" << refused;
    QTest::newRow("arabic-indic digit") << QString::fromUtf8("2025-01-1\u0660T12:00:00Z") << refused;
    QTest::newRow("empty") << "" << refused;
}

void TestZulNote::isoDateForms()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, expected);
    const std::optional<QDateTime> parsed = ZulIsoDate::parse(text);
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed) {
        QCOMPARE(*parsed, expected);
        QCOMPARE(ZulIsoDate::format(*parsed), text);
    }
}

void TestZulNote::equality_data()
{
    QTest::addColumn<ZulNote>("other");
    QTest::addColumn<bool>("equal");
    const ZulNote base = sampleNote();
    QTest::newRow("identical") << base << true;
    ZulNote sameInstant = base;
    sameInstant.updatedAt = base.updatedAt.toOffsetFromUtc(3600);
    QTest::newRow("same instant, other offset") << sameInstant << true;
    ZulNote later = base;
    later.updatedAt = base.updatedAt.addSecs(1);
    QTest::newRow("only updatedAt differs") << later << false;
    ZulNote noFrame = base;
    noFrame.stickyFrame.reset();
    QTest::newRow("frame absent on one side") << noFrame << false;
    ZulNote nudged = base;
    nudged.stickyFrame = QRectF(10.5 + 1e-9, -20, 340, 360);
    QTest::newRow("frame differs by a hair") << nudged << false;
    ZulNote reordered = base;
    reordered.tags = {QStringLiteral("weekly"), QStringLiteral("home")};
    QTest::newRow("tags reordered") << reordered << false;
    ZulNote tinted = base;
    tinted.tint = ZulNoteTint::coral;
    QTest::newRow("tint differs") << tinted << false;
}

void TestZulNote::equality()
{
    QFETCH(ZulNote, other);
    QTEST(sampleNote() == other, "equal");
}

QTEST_APPLESS_MAIN(TestZulNote)
#include "tst_zulnote.moc"
