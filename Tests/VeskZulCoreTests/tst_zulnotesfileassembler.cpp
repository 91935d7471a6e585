#include "Services/ZulJsonText.h"
#include "Services/ZulNotesFileAssembler.h"
#include "Services/ZulStorageService.h"

#include <QJsonArray>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// What the file held before its pieces were kept: every note written afresh.
QByteArray writtenAfresh(const QList<ZulNote> &notes)
{
    QJsonArray array;
    for (const ZulNote &note : notes)
        array.append(note.toJson());
    return ZulJsonText::format(array);
}

// Texts that test the writer's escapes: quotes, backslashes, control
// characters, a lone surrogate, letters beyond one UTF-16 unit.
QString oddText(QRandomGenerator &random)
{
    static const QStringList parts = {"250 USD to TRY\n", "\"quoted\" \\ back", "\t\r\b\f\x01", "Çığ öşü İ",
                                      QString(QChar(0xD800)), "😀", "", "toplam\n\n"};
    QString text;
    for (int n = random.bounded(6); n > 0; --n)
        text += parts.at(random.bounded(parts.size()));
    return text;
}

void change(ZulNote &note, QRandomGenerator &random)
{
    static const double frames[] = {0.0, -0.0, 10.5, -20, 1e21, 0.1, qInf()};
    const auto frame = [&random] { return frames[random.bounded(int(std::size(frames)))]; };
    switch (random.bounded(7)) {
    case 0: note.content += oddText(random); break;
    case 1: note.title = oddText(random); break;
    case 2: note.tint = ZulNoteTintAllCases().at(random.bounded(6)); break;
    case 3: note.isPinned = !note.isPinned, note.isFloatingSticky = random.bounded(2); break;
    case 4: note.tags = random.bounded(2) ? QStringList{oddText(random), "work"} : QStringList(); break;
    case 5: note.stickyFrame = QRectF(frame(), frame(), frame(), frame()); break;
    default: note.updatedAt = note.updatedAt.addSecs(random.bounded(1, 100000)); break;
    }
}

} // namespace

class TestZulNotesFileAssembler : public QObject {
    Q_OBJECT
private slots:
    void equalsAFreshWriteAfterAnyChanges_data();
    void equalsAFreshWriteAfterAnyChanges();
};

void TestZulNotesFileAssembler::equalsAFreshWriteAfterAnyChanges_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 16; ++seed)
        QTest::addRow("seed %u", seed) << seed;
}

// Edits, inserts, deletes, reorders, notes sharing an id and then given a
// fresh one (as a merged file is repaired), an unchanged note's text in a
// new buffer, a date the file cannot hold, pieces made ahead of a save:
// after each, the kept pieces make the same file as writing every note
// afresh, through the assembler and through a save.
void TestZulNotesFileAssembler::equalsAFreshWriteAfterAnyChanges()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    QTemporaryDir folder;
    const ZulStorageService storage(folder.path());
    ZulNotesFileAssembler assembler;
    QList<ZulNote> notes;
    for (int i = 0; i < 300; ++i) {
        if (random.bounded(40) == 0)
            notes.clear();
        if (notes.size() < 3 || random.bounded(6) == 0)
            notes.insert(random.bounded(notes.size() + 1),
                         ZulNote(QUuid::createUuid(), oddText(random), oddText(random), ZulNoteTint::cyan, false,
                                 false, false, std::nullopt, {}, QDateTime::currentDateTimeUtc().addMSecs(-999),
                                 QDateTime::fromSecsSinceEpoch(random.bounded(1 << 30), Qt::UTC)));
        const qsizetype at = random.bounded(notes.size());
        switch (random.bounded(7)) {
        case 0: notes.removeAt(at); break;
        case 1: notes.move(at, random.bounded(notes.size())); break;
        case 2: notes[at].id = notes.at(random.bounded(notes.size())).id; break;
        case 3: notes[at].content = QString(notes.at(at).content.constData(), notes.at(at).content.size()); break;
        case 4: {
            const QDateTime kept = std::exchange(notes[at].createdAt, QDateTime(QDate(10000, 1, 1), QTime(0, 0), Qt::UTC));
            assembler.keepPiece(notes.at(at), ZulNotesFileAssembler::piece(notes.at(at)));
            QVERIFY(!assembler.assemble(notes) && !storage.saveNotes(notes));
            notes[at].createdAt = kept;
            break;
        }
        case 5: { // a piece made ahead of a save, from the note before its change
            const ZulNote earlier = notes.at(at);
            change(notes[at], random);
            assembler.keepPiece(earlier, ZulNotesFileAssembler::piece(earlier));
            break;
        }
        default: change(notes[at], random); break;
        }
        const QByteArray expected = writtenAfresh(notes);
        QCOMPARE(assembler.assemble(notes).value(), expected);
        if (i % 15 == 0) {
            // A load makes the pieces of what it read in the background.
            if (i % 45 == 0)
                storage.loadNotesReporting();
            QVERIFY(storage.saveNotes(notes));
            QFile file(storage.notesFileURL());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), expected);
        }
        // A merged file's repair: the later of two notes sharing an id gets a fresh one.
        for (qsizetype k = 1; k < notes.size(); ++k)
            for (qsizetype j = 0; j < k; ++j)
                notes[k].id = notes[k].id == notes[j].id ? QUuid::createUuid() : notes[k].id;
        QVERIFY(assembler.keptPieceCount() <= notes.size());
    }
}

QTEST_GUILESS_MAIN(TestZulNotesFileAssembler)
#include "tst_zulnotesfileassembler.moc"
