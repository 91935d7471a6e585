#include "Models/ZulNoteOrder.h"
#include "Services/ZulNoteSearch.h"

#include <QtTest>

namespace {

const QDateTime kNow(QDate(2026, 3, 2), QTime(12, 0), Qt::UTC);

ZulNote note(const QString &title, const QString &content, double hoursAgo, bool pinned = false,
             const QStringList &tags = {})
{
    ZulNote made;
    made.id = QUuid::createUuid();
    made.title = title;
    made.content = content;
    made.isPinned = pinned;
    made.tags = tags;
    made.createdAt = made.updatedAt = kNow.addMSecs(qint64(-hoursAgo * 3600 * 1000));
    return made;
}

QStringList titles(const QList<ZulNote> &notes)
{
    QStringList result;
    for (const ZulNote &each : notes)
        result.append(each.title);
    return result;
}

} // namespace

class TestZulNoteSearch : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void displayOrder_data();
    void displayOrder();
    void tagOrder_data();
    void tagOrder();
    void search_data();
    void search();
};

void TestZulNoteSearch::displayOrder_data()
{
    QTest::addColumn<QList<ZulNote>>("stored");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("pinned first, then the latest change first")
        << QList<ZulNote>{note("old", "", 30), note("pinned old", "", 50, true), note("pinned new", "", 1, true),
                          note("new", "", 0.1)}
        << QStringList{"pinned new", "pinned old", "new", "old"};
    QTest::newRow("a tie keeps the stored order")
        << QList<ZulNote>{note("tie b", "", 3), note("old", "", 30), note("tie a", "", 3)}
        << QStringList{"tie b", "tie a", "old"};
    QTest::newRow("a pinned note however old") << QList<ZulNote>{note("new", "", 0), note("ancient", "", 9e4, true)}
                                               << QStringList{"ancient", "new"};
}

void TestZulNoteSearch::displayOrder()
{
    QFETCH(QList<ZulNote>, stored);
    QFETCH(QStringList, expected);
    QCOMPARE(titles(ZulNoteOrder::sorted(stored)), expected);
}

void TestZulNoteSearch::tagOrder_data()
{
    QTest::addColumn<QList<QStringList>>("tagsOfNotes");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("locale");

    QTest::newRow("each once, letter case aside, first seen first among equals")
        << QList<QStringList>{{"b", "A"}, {"a", "b"}} << QStringList{"A", "a", "b"} << "en_US";
    QTest::newRow("accented letters by the locale's alphabet")
        << QList<QStringList>{{"zebra", "çay", "dut"}} << QStringList{"çay", "dut", "zebra"} << "tr_TR";
    QTest::newRow("no tags") << QList<QStringList>{{}, {}} << QStringList{} << "en_US";
}

void TestZulNoteSearch::tagOrder()
{
    QFETCH(QList<QStringList>, tagsOfNotes);
    QFETCH(QStringList, expected);
    QFETCH(QString, locale);
    QLocale::setDefault(QLocale(locale));
    QList<ZulNote> notes;
    for (const QStringList &tags : tagsOfNotes)
        notes.append(note("n", "", 1, false, tags));
    QCOMPARE(ZulNoteOrder::distinctTags(notes), expected);
}

void TestZulNoteSearch::search_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("locale");

    // Notes: "Tea" (bir çay lütfen), "Budget plan" (rent 200), untitled
    // ("Groceries\nmilk"), "Tagged" (nothing, tag quarterly).
    QTest::newRow("letter case of non-ASCII letters is ignored")
        << QString::fromUtf8("ÇAY") << QStringList{"Tea"} << QString();
    QTest::newRow("a word only in a tag") << "quarterly" << QStringList{"Tagged"} << QString();
    QTest::newRow("an untitled note by its derived title") << "groceries" << QStringList{QString()} << QString();
    QTest::newRow("content") << "200" << QStringList{"Budget plan"} << QString();
    QTest::newRow("accents are not ignored") << "cay" << QStringList{} << QString();
    QTest::newRow("nothing matches") << "zebra" << QStringList{} << QString();
    QTest::newRow("ASCII case is ignored") << "NOTHING" << QStringList{"Tagged"} << "en_US";
    QTest::newRow("Turkish: I is not the capital of i") << "NOTHING" << QStringList{} << "tr_TR";
    QTest::newRow("Turkish: İ is") << QString::fromUtf8("NOTHİNG") << QStringList{"Tagged"} << "tr_TR";
}

void TestZulNoteSearch::search()
{
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    QFETCH(QString, locale);
    if (!locale.isEmpty())
        QLocale::setDefault(QLocale(locale));

    const QList<ZulNote> notes{note("Tea", QString::fromUtf8("bir çay lütfen"), 3), note("Budget plan", "rent 200", 1),
                               note(QString(), "Groceries\nmilk", 2),
                               note("Tagged", "nothing", 4, false, {"quarterly"})};
    ZulNoteSearch search(query);
    QStringList found;
    for (const ZulNote &each : notes) {
        if (search.matches(each))
            found.append(each.title);
    }
    QCOMPARE(found, expected);
}

QTEST_GUILESS_MAIN(TestZulNoteSearch)
#include "tst_zulnotesearch.moc"
