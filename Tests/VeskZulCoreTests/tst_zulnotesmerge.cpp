#include "Services/ZulNotesMerge.h"

#include <QSet>
#include <QtTest>

namespace {

// "a2" is note a in its second version: the letter gives the id, the token
// the text. "a2+" has a fraction of a second on its last change, as in
// memory before the file rounds it off.
QList<ZulNote> notesOf(const QString &tokens)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1736510400, Qt::UTC);
    QList<ZulNote> notes;
    for (QString token : tokens.split(u' ', Qt::SkipEmptyParts)) {
        const bool fraction = token.endsWith(u'+');
        token.remove(u'+');
        notes.append(ZulNote(QUuid(uint(token.at(0).unicode()), 0, 0, 0x80, 0, 0, 0, 0, 0, 0, 1), token, token,
                             ZulNoteTint::indigo, false, false, false, std::nullopt, {}, when,
                             when.addMSecs(fraction ? 500 : 0)));
    }
    return notes;
}

} // namespace

class TestZulNotesMerge : public QObject
{
    Q_OBJECT

private slots:
    void mergeKeepsEveryNoteOfBothSides_data();
    void mergeKeepsEveryNoteOfBothSides();
};

void TestZulNotesMerge::mergeKeepsEveryNoteOfBothSides_data()
{
    QTest::addColumn<QStringList>("baseOursTheirs");
    QTest::addColumn<QString>("merged");
    QTest::addColumn<int>("conflicts");
    QTest::addColumn<bool>("keepsOurs");
    const auto sides = [](const char *base, const char *ours, const char *theirs) {
        return QStringList({base, ours, theirs});
    };
    QTest::newRow("nothing unsaved here: theirs as it is") << sides("a1 b1 c1", "a1 b1 c1", "a2 c1 d1") << "a2 c1 d1" << 0 << false;
    QTest::newRow("only we changed") << sides("a1 b1", "a2 b1 c1", "a1 b1") << "a2 b1 c1" << 0 << true;
    QTest::newRow("each side changed another note") << sides("a1 b1", "a2 b1", "a1 b2") << "a2 b2" << 0 << true;
    QTest::newRow("both changed one note: theirs kept as a copy") << sides("a1", "a2", "a3") << "a2 a3" << 1 << true;
    QTest::newRow("both made the same change") << sides("a1", "a2", "a2") << "a2" << 0 << false;
    QTest::newRow("they deleted a note we changed") << sides("a1 b1", "a2 b1", "b1") << "a2 b1" << 0 << true;
    QTest::newRow("we deleted a note they changed") << sides("a1 b1", "b1", "a2 b1") << "a2 b1" << 0 << false;
    QTest::newRow("we deleted a note they left alone") << sides("a1 b1", "b1", "a1 b1") << "b1" << 0 << true;
    QTest::newRow("a fraction of a second the file drops") << sides("a1 b1", "a1+ b1+", "a2 b1") << "a2 b1" << 0 << false;
    QTest::newRow("no version in common") << sides("", "s1 t1", "a1 s2") << "a1 s1 s2 t1" << 1 << true;
}

void TestZulNotesMerge::mergeKeepsEveryNoteOfBothSides()
{
    QFETCH(QStringList, baseOursTheirs);
    QFETCH(QString, merged);
    QFETCH(int, conflicts);
    QFETCH(bool, keepsOurs);
    const QList<ZulNote> ours = notesOf(baseOursTheirs[1]);
    const ZulNotesMerge merge = ZulNotesMerge::between(notesOf(baseOursTheirs[0]), ours, notesOf(baseOursTheirs[2]));
    QStringList titles;
    QSet<QUuid> ids;
    for (const ZulNote &note : merge.appliedTo(ours))
        titles << note.title, ids.insert(note.id);
    titles.sort();
    QCOMPARE(titles, merged.split(u' '));
    QCOMPARE(ids.size(), titles.size());  // each note still deleted or edited by itself
    QCOMPARE(merge.conflictCount, conflicts);
    QCOMPARE(merge.keepsOurs, keepsOurs);
}

QTEST_GUILESS_MAIN(TestZulNotesMerge)

#include "tst_zulnotesmerge.moc"
