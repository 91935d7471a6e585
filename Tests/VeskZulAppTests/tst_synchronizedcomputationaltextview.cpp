#include "Views/EditorLayoutMetrics.h"
#include "Views/SynchronizedComputationalTextView.h"

#include "Engine/ComputationalNoteEngine.h"
#include "VeskKit/Design/VeskFont.h"

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace {

QString u16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

struct Fixture
{
    EditorLayoutMetrics metrics;
    SynchronizedComputationalTextView view;

    explicit Fixture(int width = 420, int height = 260)
    {
        view.setMetrics(&metrics);
        view.resize(width, height);
        view.show();
        view.activateWindow();
        view.setFocus();
        settle();
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void moveTo(qsizetype textPosition)
    {
        QTextCursor cursor = view.textCursor();
        cursor.setPosition(view.documentPosition(textPosition));
        view.setTextCursor(cursor);
    }

    // Every logical line of the note is one paragraph of the document.
    bool paragraphsMatchLines() const
    {
        const QString &text = view.noteText();
        const auto spans = ComputationalNoteEngine::splitLines(text);
        if (spans.size() != view.document()->blockCount())
            return false;
        QTextBlock block = view.document()->begin();
        for (const auto &span : spans) {
            if (block.text() != SynchronizedComputationalTextView::displayForm(text.mid(span.start, span.length)))
                return false;
            block = block.next();
        }
        return true;
    }

    // The vertical centre of the caret rectangle at the start of a line, in
    // the view's viewport coordinates.
    qreal caretCentre(qsizetype line) const
    {
        QTextCursor cursor(view.document()->findBlockByNumber(int(line)));
        const QRect rect = view.cursorRect(cursor);
        return rect.top() + rect.height() / 2.0;
    }
};

} // namespace

class TestSynchronizedComputationalTextView : public QObject
{
    Q_OBJECT

private slots:
    void lineHeightFollowsFontSize_data();
    void lineHeightFollowsFontSize();
    void showingATextNeverRewritesIt_data();
    void showingATextNeverRewritesIt();
    void typingKeepsUntouchedCharacters_data();
    void typingKeepsUntouchedCharacters();
    void publishesOneTopPerLogicalLine_data();
    void publishesOneTopPerLogicalLine();
    void wrappedLinePushesNextLineDown();
    void rowsStayLevelWithTheCaret_data();
    void rowsStayLevelWithTheCaret();
    void replacingFromOutside_data();
    void replacingFromOutside();
    void pasteAndCopyKeepCharacters();
    void shiftReturnStartsAnOrdinaryLine();
    void fontSizeChangeRestylesOnlyBeyondATenth();
    void longNotesShowInRows_data();
    void longNotesShowInRows();
};

void TestSynchronizedComputationalTextView::lineHeightFollowsFontSize_data()
{
    QTest::addColumn<qreal>("size");
    QTest::addColumn<qreal>("height");
    QTest::newRow("11") << 11.0 << 19.0;
    QTest::newRow("12") << 12.0 << 21.0;
    QTest::newRow("13") << 13.0 << 22.0;
    QTest::newRow("14") << 14.0 << 24.0;
    QTest::newRow("22") << 22.0 << 37.0;
    QTest::newRow("fractional 13.5") << 13.5 << 23.0;
}

void TestSynchronizedComputationalTextView::lineHeightFollowsFontSize()
{
    QFETCH(qreal, size);
    QFETCH(qreal, height);
    QCOMPARE(SynchronizedComputationalTextView::lineHeightFor(size), height);

    Fixture f;
    f.view.setFontSize(size);
    f.view.setNoteText(QStringLiteral("one\ntwo\nthree"));
    Fixture::settle();
    QCOMPARE(f.metrics.lineHeight(), height);
    const QList<qreal> tops = f.metrics.lineTopY();
    QCOMPARE(tops.size(), 3);
    QCOMPARE(tops[1] - tops[0], height);
    QCOMPARE(tops[2] - tops[1], height);

    // Emptied and typed anew, Return on empty lines included: every row and
    // the caret on it keep the height.
    QTest::keyClick(&f.view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&f.view, Qt::Key_Delete);
    for (const QString &line : {QString(), QStringLiteral("1 + 2"), QString(), QStringLiteral("sum")}) {
        QTest::keyClicks(&f.view, line);
        QTest::keyClick(&f.view, Qt::Key_Return);
    }
    Fixture::settle();
    QCOMPARE(f.view.noteText(), QStringLiteral("\n1 + 2\n\nsum\n"));
    QCOMPARE(f.metrics.lineTopY().size(), 5);
    for (int i = 1; i < 5; ++i) {
        QCOMPARE(f.metrics.lineTopY()[i] - f.metrics.lineTopY()[i - 1], height);
        QCOMPARE(f.caretCentre(i) - f.caretCentre(i - 1), height);
    }
}

void TestSynchronizedComputationalTextView::showingATextNeverRewritesIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF lines") << QStringLiteral("a = 1\r\nb = 2\r\na + b");
    QTest::newRow("vertical tab") << QStringLiteral("1 + 1\v2 + 2");
    QTest::newRow("form feed") << QStringLiteral("3\f4");
    QTest::newRow("next line") << u16(u"5\u00856");
    QTest::newRow("line separator") << u16(u"7\u20288");
    QTest::newRow("paragraph separator") << u16(u"9\u202910");
    QTest::newRow("no-break spaces") << u16(u"1\u00a0000 + 2\u202f000");
    QTest::newRow("trailing CR") << QStringLiteral("x = 1\r");
    QTest::newRow("CR then LF apart") << QStringLiteral("a\r\rb\n\nc");
    QTest::newRow("frame marks") << u16(u"a\ufdd0b\ufdd1c");
    QTest::newRow("tabs and empty") << QStringLiteral("\t\n\n\t");
    QTest::newRow("everything") << u16(u"Budget\r\nrent 1\u00a0200\v\u2028food 300\f\u0085total\r");
}

void TestSynchronizedComputationalTextView::showingATextNeverRewritesIt()
{
    QFETCH(QString, text);
    Fixture f;
    QSignalSpy edits(&f.view, &SynchronizedComputationalTextView::textEdited);
    f.view.setNoteText(text);
    Fixture::settle();
    QCOMPARE(f.view.noteText(), text);
    QVERIFY(f.paragraphsMatchLines());
    QCOMPARE(f.metrics.logicalLineCount(), ComputationalNoteEngine::splitLines(text).size());
    QCOMPARE(edits.count(), 0);
}

void TestSynchronizedComputationalTextView::typingKeepsUntouchedCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("position");
    QTest::addColumn<QString>("expected");
    QTest::newRow("end of CR LF note")
        << QStringLiteral("a\r\nb") << qsizetype(4) << QStringLiteral("a\r\nbx");
    QTest::newRow("after vertical tab") << QStringLiteral("1\v2") << qsizetype(2) << QStringLiteral("1\vx2");
    QTest::newRow("before line separator")
        << u16(u"1\u20282") << qsizetype(1) << u16(u"1x\u20282");
    QTest::newRow("beside no-break space")
        << u16(u"1\u00a0000\r\n2") << qsizetype(2) << u16(u"1\u00a0x000\r\n2");
    QTest::newRow("start of line after NEL") << u16(u"a\u0085b") << qsizetype(2) << u16(u"a\u0085xb");
}

void TestSynchronizedComputationalTextView::typingKeepsUntouchedCharacters()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, position);
    QFETCH(QString, expected);
    Fixture f;
    f.view.setNoteText(text);
    f.moveTo(position);
    QSignalSpy edits(&f.view, &SynchronizedComputationalTextView::textEdited);
    QTest::keyClick(&f.view, Qt::Key_X);
    QCOMPARE(edits.count(), 1);
    QCOMPARE(edits.at(0).at(0).toString(), expected);
    QCOMPARE(f.view.noteText(), expected);
    QVERIFY(f.paragraphsMatchLines());

    // Taking the character back leaves the original bytes.
    QTest::keyClick(&f.view, Qt::Key_Backspace);
    QCOMPARE(edits.count(), 2);
    QCOMPARE(f.view.noteText(), text);
    QVERIFY(f.paragraphsMatchLines());
}

void TestSynchronizedComputationalTextView::publishesOneTopPerLogicalLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lines");
    QTest::newRow("empty") << QString() << 1;
    QTest::newRow("one character") << QStringLiteral("a") << 1;
    QTest::newRow("two lines") << QStringLiteral("a\nb") << 2;
    QTest::newRow("final line feed") << QStringLiteral("a\n") << 2;
    QTest::newRow("lone line feed") << QStringLiteral("\n") << 2;
    QTest::newRow("final CR LF") << QStringLiteral("a\r\n") << 2;
    // Carriage returns end lines for the note engine, a final one included,
    // so results are never numbered against a different line count.
    QTest::newRow("final CR") << QStringLiteral("a\r") << 2;
    QTest::newRow("vertical tab and form feed") << QStringLiteral("a\vb\fc") << 3;
}

void TestSynchronizedComputationalTextView::publishesOneTopPerLogicalLine()
{
    QFETCH(QString, text);
    QFETCH(int, lines);
    Fixture f;
    f.view.setNoteText(text);
    Fixture::settle();
    QCOMPARE(f.metrics.logicalLineCount(), lines);
    const QList<qreal> tops = f.metrics.lineTopY();
    QCOMPARE(tops.size(), lines);
    const qreal height = f.metrics.lineHeight();
    // The first row is centred on the first line's text, just below the
    // top inset.
    QVERIFY2(tops[0] >= EditorLayoutMetrics::topInset - height / 2 && tops[0] < EditorLayoutMetrics::topInset + height / 2,
             qPrintable(QString::number(tops[0])));
    for (int i = 1; i < lines; ++i)
        QCOMPARE(tops[i] - tops[i - 1], height);
}

void TestSynchronizedComputationalTextView::wrappedLinePushesNextLineDown()
{
    Fixture f(300, 400);
    const QFontMetricsF fm(f.view.document()->defaultFont());
    const qreal usable = f.view.viewport()->width() - 2 * SynchronizedComputationalTextView::horizontalInset;
    const int perRow = int(usable / fm.horizontalAdvance(QLatin1Char('x')));
    QVERIFY(perRow > 4);
    // Two and a half rows of one unbreakable word, then a short line.
    f.view.setNoteText(QString(perRow * 2 + perRow / 2, QLatin1Char('x')) + QStringLiteral("\nb"));
    Fixture::settle();
    const QList<qreal> tops = f.metrics.lineTopY();
    QCOMPARE(tops.size(), 2);
    QCOMPARE(tops[1] - tops[0], 3 * f.metrics.lineHeight());
    QCOMPARE(f.metrics.logicalLineCount(), 2);
}

void TestSynchronizedComputationalTextView::rowsStayLevelWithTheCaret_data()
{
    QTest::addColumn<int>("scroll");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("keys"); // pressed after scrolling, ending on the first line
    QTest::newRow("at rest") << 0 << 420 << QStringList();
    QTest::newRow("scrolled") << 137 << 420 << QStringList();
    QTest::newRow("narrowed so lines wrap") << 0 << 160 << QStringList();
    QTest::newRow("narrowed and scrolled") << 211 << 160 << QStringList();
    // However the first line is reached, the inset above it shows.
    QTest::newRow("Ctrl+End, Ctrl+Home") << 0 << 420 << QStringList{"Ctrl+End", "Ctrl+Home"};
    QTest::newRow("Ctrl+Home at the start") << 300 << 420 << QStringList{"Ctrl+Home"};
    QTest::newRow("up to the first row") << 0 << 160 << QStringList{"Ctrl+End"} + QStringList(120, "Up");
}

void TestSynchronizedComputationalTextView::rowsStayLevelWithTheCaret()
{
    QFETCH(int, scroll);
    QFETCH(int, width);
    QFETCH(QStringList, keys);
    Fixture f(420, 200);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += QStringLiteral("price %1 * 3 with a longer tail of words\r\n").arg(i);
    f.view.setNoteText(text);
    f.view.resize(width, 200);
    Fixture::settle();
    f.view.verticalScrollBar()->setValue(scroll);
    for (const QString &key : keys)
        QTest::keySequence(&f.view, QKeySequence(key));
    Fixture::settle();
    QCOMPARE(f.metrics.scrollOffsetY(), qreal(f.view.verticalScrollBar()->value()));
    QVERIFY(keys.isEmpty() || f.metrics.scrollOffsetY() == 0);
    const int lines = f.metrics.logicalLineCount();
    QCOMPARE(lines, 41);
    for (int i = 0; i < lines; ++i) {
        const qreal rowCentre = f.metrics.y(i) + f.metrics.lineHeight() / 2;
        QVERIFY2(qAbs(rowCentre - f.caretCentre(i)) <= 1.0,
                 qPrintable(QStringLiteral("line %1: row %2, caret %3").arg(i).arg(rowCentre).arg(f.caretCentre(i))));
    }
}

void TestSynchronizedComputationalTextView::replacingFromOutside_data()
{
    QTest::addColumn<qsizetype>("caret");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<qsizetype>("expectedCaret");
    QTest::newRow("caret beyond the new end") << qsizetype(20) << QStringLiteral("short") << qsizetype(5);
    QTest::newRow("caret inside the new text") << qsizetype(3) << QStringLiteral("another text") << qsizetype(3);
    QTest::newRow("caret inside a CR LF") << qsizetype(3) << QStringLiteral("ab\r\ncd") << qsizetype(2);
}

void TestSynchronizedComputationalTextView::replacingFromOutside()
{
    QFETCH(qsizetype, caret);
    QFETCH(QString, replacement);
    QFETCH(qsizetype, expectedCaret);
    Fixture f;
    f.view.setNoteText(QStringLiteral("first note, long text"));
    f.moveTo(21);
    QTest::keyClicks(&f.view, QStringLiteral("!!"));
    QVERIFY(f.view.document()->isUndoAvailable());
    f.moveTo(caret);

    QSignalSpy edits(&f.view, &SynchronizedComputationalTextView::textEdited);
    f.view.loadNoteText(replacement);
    Fixture::settle();
    QCOMPARE(edits.count(), 0);
    QCOMPARE(f.view.noteText(), replacement);
    QCOMPARE(f.view.textPosition(f.view.textCursor().position()), expectedCaret);
    QVERIFY(f.paragraphsMatchLines());

    // The other note's typing cannot be undone into this one.
    QVERIFY(!f.view.document()->isUndoAvailable());
    QTest::keyClick(&f.view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.view.noteText(), replacement);
    QCOMPARE(edits.count(), 0);
}

void TestSynchronizedComputationalTextView::pasteAndCopyKeepCharacters()
{
    Fixture f;
    f.view.setNoteText(QStringLiteral("start\nend"));
    f.moveTo(5);
    QSignalSpy edits(&f.view, &SynchronizedComputationalTextView::textEdited);
    const QString pasted = u16(u"\r\n1\u00a0000\v2\u20283");
    QApplication::clipboard()->setText(pasted);
    f.view.paste();
    QCOMPARE(edits.count(), 1);
    QCOMPARE(f.view.noteText(), QStringLiteral("start") + pasted + QStringLiteral("\nend"));
    QVERIFY(f.paragraphsMatchLines());

    QTextCursor cursor = f.view.textCursor();
    cursor.setPosition(f.view.documentPosition(5));
    cursor.setPosition(f.view.documentPosition(5 + pasted.size()), QTextCursor::KeepAnchor);
    f.view.setTextCursor(cursor);
    f.view.copy();
    QCOMPARE(QApplication::clipboard()->text(), pasted);

    // Undoing the paste removes exactly what was pasted.
    f.view.undo();
    QCOMPARE(f.view.noteText(), QStringLiteral("start\nend"));
    QVERIFY(f.paragraphsMatchLines());
}

void TestSynchronizedComputationalTextView::shiftReturnStartsAnOrdinaryLine()
{
    Fixture f;
    f.view.setNoteText(QStringLiteral("ab"));
    f.moveTo(1);
    QTest::keyClick(&f.view, Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(f.view.noteText(), QStringLiteral("a\nb"));
    QVERIFY(f.paragraphsMatchLines());
    QCOMPARE(f.metrics.logicalLineCount(), 2);
}

void TestSynchronizedComputationalTextView::fontSizeChangeRestylesOnlyBeyondATenth()
{
    Fixture f;
    f.view.setNoteText(QStringLiteral("12 + 30\nsum"));
    f.view.setFontSize(14);
    Fixture::settle();
    QCOMPARE(f.metrics.lineHeight(), 24.0);
    QSignalSpy heights(&f.metrics, &EditorLayoutMetrics::lineHeightChanged);
    f.view.setFontSize(14.1);
    Fixture::settle();
    QCOMPARE(f.view.fontSize(), 14.0);
    QCOMPARE(heights.count(), 0);
    f.view.setFontSize(15);
    Fixture::settle();
    QCOMPARE(f.metrics.lineHeight(), 26.0);
    QCOMPARE(heights.count(), 1);
    QCOMPARE(f.view.noteText(), QStringLiteral("12 + 30\nsum"));
    QCOMPARE(veskFontPixelSize(f.view.document()->defaultFont()), 15.0);
}

void TestSynchronizedComputationalTextView::longNotesShowInRows_data()
{
    QStringList many;
    for (int i = 0; i < 45000; ++i)
        many.append(QStringLiteral("item %1 = %1 * 3").arg(i));
    const QString manyLines = many.join(QStringLiteral("\r\n"));
    const QString longLine = QStringLiteral("a\n") + QString(5000, QLatin1Char('7')) + QStringLiteral("\r\nb");
    QTest::addColumn<QString>("text");
    // Where a key is typed, before the rest of the note is in when it comes
    // in parts.
    QTest::addColumn<qsizetype>("typedAt");
    QTest::addColumn<bool>("grownInto");
    QTest::newRow("many lines, typed into at the end of the first part")
        << manyLines << manyLines.indexOf(QStringLiteral("item 19999 ")) + 5 << false;
    QTest::newRow("many lines, a line end typed near the top") << manyLines << qsizetype(3) << false;
    QTest::newRow("one very long line") << longLine << qsizetype(4000) << false;
    QTest::newRow("a line that grows too long")
        << QStringLiteral("a\n") + QString(SynchronizedComputationalTextView::rowsFromLineLength, QLatin1Char('7')) << qsizetype(2) << true;
}

void TestSynchronizedComputationalTextView::longNotesShowInRows()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, typedAt);
    QFETCH(bool, grownInto);
    Fixture f(420, 260);
    f.view.loadNoteText(grownInto ? text.chopped(1) : text);
    QCOMPARE(f.view.showsRows(), !grownInto);
    f.moveTo(typedAt);
    QSignalSpy edits(&f.view, &SynchronizedComputationalTextView::textEdited);
    const bool newLine = typedAt == 3;
    QTest::keyClick(&f.view, newLine ? Qt::Key_Return : Qt::Key_X);
    QString expected = grownInto ? text.chopped(1) : text;
    expected.insert(typedAt, newLine ? QStringLiteral("\n") : QStringLiteral("x"));
    QCOMPARE(edits.count(), 1);
    QCOMPARE(edits.at(0).at(0).toString(), expected);
    QTRY_VERIFY(!f.view.isLoading() && f.view.showsRows());
    // What is drawn is the text as typed: the same as a view given it.
    Fixture shown(420, 260);
    shown.view.loadNoteText(expected);
    QTRY_VERIFY(!shown.view.isLoading());
    for (Fixture *each : {&f, &shown}) {
        // A row is measured when first drawn; the view then knows how wide
        // the text runs.
        each->view.viewport()->grab();
        Fixture::settle();
        each->view.clearFocus();
        each->view.verticalScrollBar()->setValue(f.view.verticalScrollBar()->value());
        each->view.horizontalScrollBar()->setValue(f.view.horizontalScrollBar()->value());
    }
    QCOMPARE(f.view.viewport()->grab().toImage(), shown.view.viewport()->grab().toImage());
    // Every line went in once, in its place, and is shown as a row: no line
    // has a measured top, and each row stands level with its caret.
    QCOMPARE(f.view.noteText(), expected);
    QVERIFY(f.paragraphsMatchLines());
    QCOMPARE(f.metrics.logicalLineCount(), ComputationalNoteEngine::splitLines(expected).size());
    QVERIFY(f.metrics.lineTopY().isEmpty());
    f.view.verticalScrollBar()->setValue(f.view.verticalScrollBar()->maximum() / 2);
    Fixture::settle();
    const int middle = int(f.metrics.scrollOffsetY() / f.metrics.lineHeight());
    const int lines = f.metrics.logicalLineCount();
    for (int line : {0, std::min(middle, lines - 1), std::min(middle + 3, lines - 1), lines - 1}) {
        QVERIFY2(qAbs(f.metrics.y(line) + f.metrics.lineHeight() / 2 - f.caretCentre(line)) <= 1.0,
                 qPrintable(QString::number(line)));
    }
    // Typing goes on, and can be taken back.
    f.moveTo(expected.size());
    QTest::keyClick(&f.view, Qt::Key_Y);
    QCOMPARE(f.view.noteText(), expected + QStringLiteral("y"));
    f.view.undo();
    QCOMPARE(f.view.noteText(), expected);
}

QTEST_MAIN(TestSynchronizedComputationalTextView)
#include "tst_synchronizedcomputationaltextview.moc"
