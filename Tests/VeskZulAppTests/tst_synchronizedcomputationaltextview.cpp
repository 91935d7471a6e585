#include "Views/EditorLayoutMetrics.h"
#include "Views/EditorRowLayout.h"
#include "Views/SynchronizedComputationalTextView.h"

#include "Engine/ComputationalNoteEngine.h"
#include "VeskKit/Design/VeskFont.h"

#include <QApplication>
#include <QClipboard>
#include <QPainter>
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
        const QRect rect = view.cursorRectAt(view.document()->findBlockByNumber(int(line)).position());
        return rect.top() + rect.height() / 2.0;
    }
};

// A document in wrapped rows, its long paragraphs shaped in pieces of
// `pieceLength` characters (or whole, for a length beyond the text's).
struct RowDocument
{
    QTextDocument document;
    EditorRowLayout *layout;

    RowDocument(const QString &text, qreal width, int pieceLength)
        : layout(new EditorRowLayout(&document, 24, SynchronizedComputationalTextView::horizontalInset,
                                     SynchronizedComputationalTextView::verticalInset, true, pieceLength))
    {
        // Only a few rows are seen: the rest is laid out when asked for.
        layout->setSeenBottom(100);
        document.setDocumentLayout(layout);
        QTextOption option = document.defaultTextOption();
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        document.setDefaultTextOption(option);
        document.setPageSize(QSizeF(width, -1));
        QTextCharFormat format;
        QFont font = veskSystemFont(14, QFont::Normal, VeskFontDesign::monospaced);
        font.setStyleStrategy(QFont::PreferNoShaping);
        format.setFont(font);
        format.setForeground(Qt::white);
        QTextCursor(&document).insertText(text, format);
    }

    QImage drawn(int selectionFrom, int selectionTo)
    {
        const QSizeF size = layout->documentSize();
        QImage image(size.toSize(), QImage::Format_ARGB32);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.setPen(Qt::white);
        QAbstractTextDocumentLayout::PaintContext context;
        QAbstractTextDocumentLayout::Selection selection;
        selection.cursor = QTextCursor(&document);
        selection.cursor.setPosition(selectionFrom);
        selection.cursor.setPosition(selectionTo, QTextCursor::KeepAnchor);
        selection.format.setBackground(Qt::blue);
        selection.format.setForeground(Qt::yellow);
        context.selections.append(selection);
        layout->draw(&painter, context);
        return image;
    }
};

struct Edit
{
    int at;
    int removed;
    QString inserted;
};

} // namespace

Q_DECLARE_METATYPE(QList<Edit>)

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
    void piecesLayOutAsTheWholeLine_data();
    void piecesLayOutAsTheWholeLine();
    void keysMoveByRowsOfALongLine_data();
    void keysMoveByRowsOfALongLine();
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
    QVERIFY(f.view.canUndo());
    f.moveTo(caret);

    QSignalSpy edits(&f.view, &SynchronizedComputationalTextView::textEdited);
    f.view.loadNoteText(replacement);
    Fixture::settle();
    QCOMPARE(edits.count(), 0);
    QCOMPARE(f.view.noteText(), replacement);
    QCOMPARE(f.view.textPosition(f.view.textCursor().position()), expectedCaret);
    QVERIFY(f.paragraphsMatchLines());

    // The other note's typing cannot be undone into this one.
    QVERIFY(!f.view.canUndo());
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
    // Full rows of one long number, then shorter ones of words: the rows
    // below the first screen are more than the first ones would have them.
    const QString unevenLine = QStringLiteral("a\n") + QString(3000, QLatin1Char('7'))
                               + QStringLiteral("lorem ipsum dolor sit amet, consectetur ").repeated(150)
                               + QStringLiteral("\r\nb");
    QTest::newRow("far into an uneven long line") << unevenLine << unevenLine.size() - 40 << false;
    QTest::newRow("the line after an uneven long one") << unevenLine << unevenLine.size() - 1 << false;
    QTest::newRow("a long line of hebrew, arabic and sums, typed into")
        << QStringLiteral("total\n")
               + (u16(u"rent \u05E9\u05DC\u05D5\u05DD 1200 + (\u0645\u0631\u062D\u0628\u0627 \u0661\u0662) = 4%; "))
                     .repeated(200)
               + QStringLiteral("\nend")
        << qsizetype(3001) << false;
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
    // The view scrolls to the caret by the rows it comes to have, those
    // above it laid out, not by the rows taken before.
    QTest::qWait(60);
    QVERIFY(f.view.viewport()->rect().contains(f.view.cursorRectAt(f.view.textCursor().position())));
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
    // Every line went in once, in its place, and is shown in rows: unwrapped
    // rows measure no line's top, wrapped ones publish each line's, and each
    // row stands level with its caret.
    QCOMPARE(f.view.noteText(), expected);
    QVERIFY(f.paragraphsMatchLines());
    QCOMPARE(f.metrics.logicalLineCount(), ComputationalNoteEngine::splitLines(expected).size());
    QCOMPARE(f.metrics.lineTopY().size(), f.view.wrapsRows() ? f.metrics.logicalLineCount() : 0);
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

void TestSynchronizedComputationalTextView::piecesLayOutAsTheWholeLine_data()
{
    const auto repeat = [](const QString &part, int times) { return part.repeated(times); };
    const QString hebrew = u16(u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD");
    const QString arabic = u16(u"\u0645\u0631\u062D\u0628\u0627 \u0628\u0643\u0645 \u0661\u0662\u0663");
    const QString mixed = repeat(QStringLiteral("rent 1200 + ") + hebrew + QStringLiteral(" (") + arabic
                                     + QStringLiteral(") = 45% of 3,400.50; "),
                                 25);
    QTest::addColumn<QString>("text");
    // Changes made to the pieces as typing would, after they were laid out.
    QTest::addColumn<QList<Edit>>("edits");
    QTest::newRow("prose") << repeat(QStringLiteral("the quick brown fox jumps over a lazy dog "), 36) << QList<Edit>{};
    QTest::newRow("a sum without a place to break") << repeat(QStringLiteral("1+"), 750) + QStringLiteral("1")
                                                   << QList<Edit>{};
    QTest::newRow("hebrew and arabic words inside latin") << mixed << QList<Edit>{};
    QTest::newRow("right-to-left paragraph with latin and numbers") << hebrew + QLatin1Char(' ') + mixed << QList<Edit>{};
    // Numbers take their direction from the last letter before them, how
    // far back it may be, and neutral characters from both ends of their run.
    QTest::newRow("numbers long after an arabic letter")
        << u16(u"\u0645 \u0661\u0662\u0663 ") + repeat(QStringLiteral("1+"), 750) << QList<Edit>{};
    QTest::newRow("long neutral run between hebrew words")
        << QStringLiteral("a ") + hebrew + repeat(QStringLiteral("- "), 700) + hebrew + QStringLiteral(" z")
        << QList<Edit>{};
    QTest::newRow("numbers after a hebrew word and arabic digits")
        << QStringLiteral("x ") + hebrew + u16(u" \u0661\u0662\u0663 ") + repeat(QStringLiteral("1+"), 700)
        << QList<Edit>{};
    QTest::newRow("surrogates and combining marks")
        << repeat(u16(u"e\u0301 \U0001F600\U0001F4B6 caf\u00E9 "), 80) << QList<Edit>{};
    QTest::newRow("typed into the middle, deleted near the end")
        << mixed << QList<Edit>{{700, 0, QStringLiteral("7")}, {701, 0, QStringLiteral("+8 ")}, {1300, 40, QString()}};
    QTest::newRow("a sum typed into")
        << repeat(QStringLiteral("1+"), 750) << QList<Edit>{{500, 0, QStringLiteral("7")}, {1499, 1, QString()}};
    QTest::newRow("an arabic letter typed before a long sum")
        << QStringLiteral("x ") + repeat(QStringLiteral("12+3 "), 300) << QList<Edit>{{1, 0, u16(u"\u0645")}};
    QTest::newRow("a right-to-left mark typed before sums")
        << QStringLiteral("x ") + repeat(QStringLiteral("12+3 "), 300) << QList<Edit>{{1, 0, u16(u"\u200F")}};
    QTest::newRow("hebrew typed after a long neutral run")
        << QStringLiteral("a ") + hebrew + repeat(QStringLiteral("- "), 700) + QStringLiteral("z")
        << QList<Edit>{{1411, 0, hebrew}};
    QTest::newRow("the first letter deleted turns the paragraph")
        << QStringLiteral("a") + mixed << QList<Edit>{{0, 1, QString()}};
}

void TestSynchronizedComputationalTextView::piecesLayOutAsTheWholeLine()
{
    QFETCH(QString, text);
    QFETCH(QList<Edit>, edits);
    for (const qreal width : {161.0, 333.0, 702.0, 1802.0}) {
        RowDocument pieces(text, width, 64);
        QString expected = text;
        for (const Edit &edit : edits) {
            QTextCursor cursor(&pieces.document);
            cursor.setPosition(edit.at);
            cursor.setPosition(edit.at + edit.removed, QTextCursor::KeepAnchor);
            cursor.insertText(edit.inserted);
            expected.replace(edit.at, edit.removed, edit.inserted);
        }
        RowDocument whole(expected, width, 1 << 20);
        QCOMPARE(pieces.document.toPlainText(), expected);
        const QString where = QStringLiteral("width %1, position %2");
        for (int position = 0; position <= expected.size(); ++position) {
            const EditorRowLayout::Row a = pieces.layout->rowAt(position);
            const EditorRowLayout::Row b = whole.layout->rowAt(position);
            QVERIFY2(a.start == b.start && a.length == b.length && a.lastOfParagraph == b.lastOfParagraph,
                     qPrintable(where.arg(width).arg(position)));
            QVERIFY2(pieces.layout->caretRect(position) == whole.layout->caretRect(position),
                     qPrintable(where.arg(width).arg(position)));
        }
        QCOMPARE(pieces.layout->documentSize(), whole.layout->documentSize());
        const QSizeF size = whole.layout->documentSize();
        for (qreal y = 2; y < size.height(); y += 11) {
            for (qreal x = 0; x < size.width(); x += 6) {
                QVERIFY2(pieces.layout->hitTest({x, y}, Qt::FuzzyHit) == whole.layout->hitTest({x, y}, Qt::FuzzyHit),
                         qPrintable(QStringLiteral("width %1, point %2, %3").arg(width).arg(x).arg(y)));
            }
        }
        const int from = int(expected.size() / 3);
        const int to = int(expected.size() * 2 / 3);
        QVERIFY2(pieces.drawn(from, to) == whole.drawn(from, to), qPrintable(QString::number(width)));
    }
}

void TestSynchronizedComputationalTextView::keysMoveByRowsOfALongLine_data()
{
    // The row of the long line the caret starts in (-1 for its last, -2 for
    // the next line's).
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("keys");
    // Rows the caret moves down (a page: as many as are seen).
    QTest::addColumn<int>("rowsMoved");
    // Where the caret ends in its row: "column" (as far across as it began),
    // "start", "end" (before a space the row broke at, as the text edit
    // does), "selected" (the column, the anchor where it began).
    QTest::addColumn<QString>("place");
    constexpr int page = 1000;
    QTest::newRow("down keeps the column") << 3 << "Down,Down,Down" << 3 << "column";
    QTest::newRow("up keeps the column") << 9 << "Up,Up" << -2 << "column";
    QTest::newRow("down from the last row to the next line") << -1 << "Down" << 1 << "column";
    QTest::newRow("up from the next line to the last row") << -2 << "Up" << -1 << "column";
    QTest::newRow("a page down") << 2 << "PgDown" << page << "column";
    QTest::newRow("home") << 4 << "Home" << 0 << "start";
    QTest::newRow("end") << 4 << "End" << 0 << "end";
    QTest::newRow("shift+down selects a row") << 5 << "Shift+Down" << 1 << "selected";
}

void TestSynchronizedComputationalTextView::keysMoveByRowsOfALongLine()
{
    QFETCH(int, row);
    QFETCH(QString, keys);
    QFETCH(int, rowsMoved);
    QFETCH(QString, place);
    Fixture f(420, 260);
    const QString words =
        QStringLiteral("rent 1200 + ") + u16(u"\u05E9\u05DC\u05D5\u05DD") + QStringLiteral(" = 45% of ");
    f.view.loadNoteText(words.repeated(200) + QStringLiteral("\nnext line"));
    QVERIFY(f.view.wrapsRows());
    const qreal rowHeight = f.metrics.lineHeight();
    const auto rowOf = [&](int position) {
        return int(std::floor((f.view.cursorRectAt(position).center().y() + f.view.verticalScrollBar()->value()
                               - SynchronizedComputationalTextView::verticalInset)
                              / rowHeight));
    };
    const int lastRow = rowOf(f.view.document()->firstBlock().length() - 1);
    const int startRow = row >= 0 ? row : lastRow + (row == -1 ? 0 : 1);
    // Six characters into the row, by a click there.
    const qreal top = SynchronizedComputationalTextView::verticalInset + startRow * rowHeight;
    f.view.verticalScrollBar()->setValue(int(top) - 3 * int(rowHeight));
    const qreal across = SynchronizedComputationalTextView::horizontalInset
                         + 6.3 * QFontMetricsF(f.view.document()->defaultFont()).horizontalAdvance(u'x');
    QTest::mouseClick(f.view.viewport(), Qt::LeftButton, {},
                      QPointF(across, top + rowHeight / 2 - f.view.verticalScrollBar()->value()).toPoint());
    const int start = f.view.textCursor().position();
    QCOMPARE(rowOf(start), startRow);
    const qreal startX = f.view.cursorRectAt(start).x();
    for (const QString &key : keys.split(u','))
        QTest::keySequence(&f.view, QKeySequence(key));
    const QTextCursor cursor = f.view.textCursor();
    const int at = cursor.position();
    if (rowsMoved == 1000)
        QVERIFY(qAbs(rowOf(at) - startRow - f.view.viewport()->height() / rowHeight) <= 1);
    else
        QCOMPARE(rowOf(at), startRow + rowsMoved);
    // The caret is in view wherever it went.
    QVERIFY(f.view.viewport()->rect().contains(f.view.cursorRectAt(at)));
    const auto *layout = static_cast<const EditorRowLayout *>(f.view.document()->documentLayout());
    const EditorRowLayout::Row here = layout->rowAt(at);
    if (place == u"start")
        QCOMPARE(at, here.start);
    else if (place == u"end")
        QCOMPARE(at, here.start + here.length - 1);
    else
        QVERIFY2(qAbs(f.view.cursorRectAt(at).x() - startX) < 12,
                 qPrintable(QString::number(f.view.cursorRectAt(at).x() - startX)));
    QCOMPARE(cursor.anchor(), place == u"selected" ? start : at);
}

QTEST_MAIN(TestSynchronizedComputationalTextView)
#include "tst_synchronizedcomputationaltextview.moc"
