#include "StudioTestSupport.h"

#include "Views/ComputationalEditorView.h"
#include "Views/EditorLayoutMetrics.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulEditorChip.h"
#include "Views/ZulEditorFindBar.h"
#include "Views/ZulEditorNoteHeader.h"
#include "Views/ZulEditorStatusBar.h"
#include "Views/ZulLineNumberColumn.h"
#include "Views/ZulResultGutter.h"
#include "Views/ZulTintDotPicker.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskContextMenuKey.h"
#include "VeskKit/Design/VeskGlassMenu.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using namespace studiotest;

namespace {

QString u16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// A studio with notes on disk, its view model and one editor on a note.
struct EditorFixture
{
    PrivateHome home;
    Studio studio;
    QList<ZulNote> notes;
    std::unique_ptr<ComputationalEditorView> editor;

    explicit EditorFixture(const QList<QString> &contents, bool compact = false, QSize size = QSize(900, 520))
    {
        const QDateTime when(QDate(2026, 3, 2), QTime(9, 0), QTimeZone::utc());
        for (qsizetype i = 0; i < contents.size(); ++i)
            notes.append(makeNote(QStringLiteral("Note %1").arg(i), contents[i], when.addSecs(-60 * i)));
        studio.seed(notes);
        ZulStudioViewModel &viewModel = studio.start();
        editor = std::make_unique<ComputationalEditorView>(&viewModel, notes.value(0).id, compact, !compact);
        editor->resize(size);
        editor->show();
        settle();
    }

    ZulStudioViewModel &viewModel() { return *studio.viewModel; }
    ZulNote stored(qsizetype index = 0) { return *viewModel().note(notes[index].id); }
    SynchronizedComputationalTextView &text() { return *editor->textView(); }

    void moveCaretTo(qsizetype textPosition)
    {
        QTextCursor cursor = text().textCursor();
        cursor.setPosition(text().documentPosition(textPosition));
        text().setTextCursor(cursor);
    }

    // The caret at the start of a logical line, found through the note text
    // (the engine's lines), not through the document's paragraphs.
    qreal caretCentre(qsizetype line)
    {
        const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(text().noteText());
        QTextCursor cursor(text().document());
        cursor.setPosition(text().documentPosition(spans.value(line).start));
        const QRect rect = text().cursorRect(cursor);
        return text().viewport()->mapTo(editor.get(), QPointF(0, rect.top() + rect.height() / 2.0)).y();
    }

    std::optional<ZulResultGutter::Row> rowFor(qint64 lineIndex)
    {
        for (const ZulResultGutter::Row &row : editor->resultGutter()->visibleRows()) {
            if (row.line.lineIndex == lineIndex)
                return row;
        }
        return std::nullopt;
    }

    void click(QWidget *widget, QPointF point) { QTest::mouseClick(widget, Qt::LeftButton, {}, point.toPoint()); }
};

const QString budgetNote = QStringLiteral("# March budget\n"
                                          "rent = 1200\n"
                                          "food = 340.5\n"
                                          "rent + food\n"
                                          "- [ ] pay rent\n"
                                          "- [x] buy food\n"
                                          "sum");

EvaluatedLine record(qint64 index, const QString &rawLine)
{
    EvaluatedLine line;
    line.lineIndex = index;
    line.rawLine = rawLine;
    line.kind = EvaluatedLineKind::checklist;
    line.isChecked = false;
    return line;
}

} // namespace

class TestComputationalEditorView : public QObject
{
    Q_OBJECT

private slots:
    void typingReachesTheViewModelOncePerKey();
    void noteRoundTripsByteForByte_data();
    void noteRoundTripsByteForByte();
    void resultsStayLevelWithTheirLines_data();
    void resultsStayLevelWithTheirLines();
    void taskToggleActsOnlyOnTheRecordedLine_data();
    void taskToggleActsOnlyOnTheRecordedLine();
    void clickingATaskFlipsItInTheNote();
    void clickingAResultCopiesIt();
    void headerEditsReachTheNote();
    void tagsAreAddedAndRemoved();
    void exportItemsPassTheirOwnFormat();
    void configurationsShowTheirColumns_data();
    void configurationsShowTheirColumns();
    void statusBarFollowsTheNote();
    void editorsFollowTheirOwnNote_data();
    void editorsFollowTheirOwnNote();
    void missingNoteShowsTheEmptyState_data();
    void missingNoteShowsTheEmptyState();
    void eachNoteKeepsItsUndoHistory_data();
    void eachNoteKeepsItsUndoHistory();
    void undoPutsTheCaretWhereTheChangeWas_data();
    void undoPutsTheCaretWhereTheChangeWas();
    void changesFromElsewhereJoinTheUndoHistory();
    void findBarFindsWithTheKeyboard_data();
    void findBarFindsWithTheKeyboard();
};

void TestComputationalEditorView::typingReachesTheViewModelOncePerKey()
{
    EditorFixture f({QStringLiteral("a = 5\n")});
    f.moveCaretTo(6);
    QSignalSpy changes(&f.viewModel(), &ZulStudioViewModel::notesChanged);
    const QDateTime before = f.stored().updatedAt;
    QTest::keyClick(&f.text(), Qt::Key_A);
    QCOMPARE(changes.count(), 1);
    QTest::keyClick(&f.text(), Qt::Key_Space);
    QTest::keyClick(&f.text(), Qt::Key_Asterisk);
    QTest::keyClick(&f.text(), Qt::Key_Space);
    QTest::keyClick(&f.text(), Qt::Key_2);
    QCOMPARE(changes.count(), 5);
    QCOMPARE(f.stored().content, QStringLiteral("a = 5\na * 2"));
    QVERIFY(f.stored().updatedAt >= before);
    settle();
    const std::optional<ZulResultGutter::Row> row = f.rowFor(1);
    QVERIFY(row.has_value());
    QCOMPARE(row->line.formattedResult, QStringLiteral("10"));
}

void TestComputationalEditorView::noteRoundTripsByteForByte_data()
{
    QTest::addColumn<QString>("content");
    QTest::newRow("CR LF, VT, line separator and no-break spaces")
        << u16(u"rent = 1\u00a0200\r\nfood = 300\vtotal = rent + food\u2028total * 2\r\n\u00a0");
    QTest::newRow("form feed, NEL and a final CR") << u16(u"10\f20\u008530\r");
}

void TestComputationalEditorView::noteRoundTripsByteForByte()
{
    QFETCH(QString, content);
    EditorFixture f({content});
    QSignalSpy changes(&f.viewModel(), &ZulStudioViewModel::notesChanged);
    // Merely showing the note writes nothing.
    QCOMPARE(f.text().noteText(), content);
    QCOMPARE(changes.count(), 0);

    // Typing at the end and taking it back leaves the very same text.
    f.moveCaretTo(content.size());
    QTest::keyClick(&f.text(), Qt::Key_7);
    QCOMPARE(f.stored().content, content + QLatin1Char('7'));
    QTest::keyClick(&f.text(), Qt::Key_Backspace);
    QCOMPARE(f.stored().content, content);
    QCOMPARE(f.stored().content.toUtf8(), content.toUtf8());
    QCOMPARE(f.editor->metrics()->logicalLineCount(), ComputationalNoteEngine::splitLines(content).size());
}

void TestComputationalEditorView::resultsStayLevelWithTheirLines_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("scroll");
    QTest::addColumn<QString>("lineEnd");
    const QString crlf = QStringLiteral("\r\n");
    QTest::newRow("at rest") << 900 << 0 << crlf;
    QTest::newRow("scrolled") << 900 << 190 << crlf;
    QTest::newRow("narrowed so lines wrap") << 480 << 0 << crlf;
    QTest::newRow("narrowed and scrolled") << 480 << 330 << crlf;
    // Lines a text document would split or join differently must not move
    // every later result by a line.
    QTest::newRow("vertical tabs, scrolled") << 900 << 190 << QStringLiteral("\v");
    QTest::newRow("line separators, narrowed and scrolled") << 480 << 330 << u16(u"\u2028");
    QTest::newRow("NEL and form feed, narrowed") << 480 << 0 << u16(u"\u0085\f");
}

void TestComputationalEditorView::resultsStayLevelWithTheirLines()
{
    QFETCH(int, width);
    QFETCH(int, scroll);
    QFETCH(QString, lineEnd);
    QString content = budgetNote + lineEnd;
    for (int i = 0; i < 30; ++i)
        content += QStringLiteral("Trip leg %1 over the northern mountain pass road: %2 * 4").arg(i).arg(i + 3) + lineEnd;
    EditorFixture f({content});
    f.editor->resize(width, 520);
    settle();
    f.text().verticalScrollBar()->setValue(scroll);
    settle();
    QCOMPARE(f.editor->metrics()->scrollOffsetY(), qreal(f.text().verticalScrollBar()->value()));

    QCOMPARE(f.editor->metrics()->logicalLineCount(), ComputationalNoteEngine::splitLines(content).size());
    const QList<ZulResultGutter::Row> rows = f.editor->resultGutter()->visibleRows();
    QVERIFY(rows.size() >= 3);
    ZulResultGutter *gutter = f.editor->resultGutter();
    for (const ZulResultGutter::Row &row : rows) {
        const qreal centre = gutter->mapTo(f.editor.get(), row.chip.center()).y();
        const qreal caret = f.caretCentre(row.line.lineIndex);
        QVERIFY2(qAbs(centre - caret) <= 1.0, qPrintable(QStringLiteral("line %1: result %2, caret %3")
                                                             .arg(row.line.lineIndex)
                                                             .arg(centre)
                                                             .arg(caret)));
    }
    ZulLineNumberColumn *numbers = f.editor->lineNumberColumn();
    const auto [first, end] = numbers->visibleLines();
    for (qsizetype i = first; i < end; ++i) {
        const qreal centre = numbers->mapTo(f.editor.get(), numbers->rowRect(i).center()).y();
        QVERIFY(qAbs(centre - f.caretCentre(i)) <= 1.0);
    }
}

void TestComputationalEditorView::taskToggleActsOnlyOnTheRecordedLine_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<qint64>("index");
    QTest::addColumn<QString>("rawLine");
    QTest::addColumn<QString>("expected"); // empty: nothing happens
    QTest::newRow("open task ticks") << QStringLiteral("a\n- [ ] milk\nb") << qint64(1) << QStringLiteral("- [ ] milk")
                                     << QStringLiteral("a\n- [x] milk\nb");
    QTest::newRow("done task opens") << QStringLiteral("* [X] eggs") << qint64(0) << QStringLiteral("* [X] eggs")
                                     << QStringLiteral("* [ ] eggs");
    QTest::newRow("other line ends stay") << QStringLiteral("x\r\n- [ ] a\r\ny\vz") << qint64(1)
                                          << QStringLiteral("- [ ] a") << QStringLiteral("x\r\n- [x] a\r\ny\vz");
    QTest::newRow("line changed since the evaluation")
        << QStringLiteral("a\n- [ ] milk and bread") << qint64(1) << QStringLiteral("- [ ] milk") << QString();
    QTest::newRow("lines shifted since the evaluation")
        << QStringLiteral("new first line\na\n- [ ] milk") << qint64(1) << QStringLiteral("- [ ] milk") << QString();
    QTest::newRow("index past the end") << QStringLiteral("- [ ] a") << qint64(3) << QStringLiteral("- [ ] a")
                                        << QString();
    QTest::newRow("negative index") << QStringLiteral("- [ ] a") << qint64(-1) << QStringLiteral("- [ ] a")
                                    << QString();
}

void TestComputationalEditorView::taskToggleActsOnlyOnTheRecordedLine()
{
    QFETCH(QString, content);
    QFETCH(qint64, index);
    QFETCH(QString, rawLine);
    QFETCH(QString, expected);
    const std::optional<QString> toggled = ComputationalEditorView::toggledTaskText(content, record(index, rawLine));
    if (expected.isEmpty())
        QVERIFY(!toggled.has_value());
    else
        QCOMPARE(toggled.value_or(QStringLiteral("<none>")), expected);
}

void TestComputationalEditorView::clickingATaskFlipsItInTheNote()
{
    EditorFixture f({budgetNote});
    std::optional<ZulResultGutter::Row> row = f.rowFor(4);
    QVERIFY(row.has_value());
    QCOMPARE(row->line.kind, EvaluatedLineKind::checklist);
    f.click(f.editor->resultGutter(), row->chip.center());
    QVERIFY(f.stored().content.contains(QStringLiteral("- [x] pay rent")));
    settle();
    row = f.rowFor(4);
    QVERIFY(row.has_value());
    QCOMPARE(row->line.isChecked, std::optional<bool>(true));
    QCOMPARE(f.text().noteText(), f.stored().content);
    f.click(f.editor->resultGutter(), row->chip.center());
    QCOMPARE(f.stored().content, budgetNote);
}

void TestComputationalEditorView::clickingAResultCopiesIt()
{
    EditorFixture f({budgetNote});
    const std::optional<ZulResultGutter::Row> row = f.rowFor(3);
    QVERIFY(row.has_value());
    QCOMPARE(row->line.formattedResult, QStringLiteral("1,540.5"));
    f.click(f.editor->resultGutter(), row->chip.center());
    QCOMPARE(f.studio.clipboard->text, QStringLiteral("1,540.5"));
    QCOMPARE(f.viewModel().toastMessage(), std::optional<QString>(QStringLiteral("Copied: 1,540.5")));
}

void TestComputationalEditorView::headerEditsReachTheNote()
{
    EditorFixture f({budgetNote});
    ZulEditorNoteHeader *header = f.editor->header();
    QVERIFY(header);
    QCOMPARE(header->titleField()->text(), QStringLiteral("Note 0"));

    header->titleField()->selectAll();
    QTest::keyClicks(header->titleField(), QStringLiteral("Rent"));
    QCOMPARE(f.stored().title, QStringLiteral("Rent"));

    ZulTintDotPicker *tints = header->tintPicker();
    f.click(tints, tints->dotRect(ZulNoteTint::coral).center());
    QCOMPARE(f.stored().tint, ZulNoteTint::coral);
    QCOMPARE(f.text().accentColor(), QColor(0xF4, 0x72, 0xD0));

    f.click(header->ephemeralButton(), header->ephemeralButton()->rect().center());
    QVERIFY(f.stored().isEphemeral);
    QVERIFY(header->ephemeralButton()->isActive());
    QVERIFY(!header->autoTidyCaption()->isHidden());
    QCOMPARE(header->autoTidyCaption()->spokenText(), QStringLiteral("Auto-tidy: 24h"));

    // Pinning an ephemeral note clears its ephemeral flag and the caption.
    f.click(header->pinButton(), header->pinButton()->rect().center());
    QVERIFY(f.stored().isPinned);
    QVERIFY(!f.stored().isEphemeral);
    QCOMPARE(header->pinButton()->symbol(), QStringLiteral("pin.fill"));
    QVERIFY(!header->ephemeralButton()->isActive());
    QVERIFY(header->autoTidyCaption()->isHidden());

    // A pinned note is not made ephemeral; the view model says why.
    f.click(header->ephemeralButton(), header->ephemeralButton()->rect().center());
    QVERIFY(!f.stored().isEphemeral);
    QVERIFY(f.viewModel().toastIsError());
    QVERIFY(!header->ephemeralButton()->isActive());

    f.viewModel().setLanguage(VeskLanguage::tr);
    f.click(header->pinButton(), header->pinButton()->rect().center());
    f.click(header->ephemeralButton(), header->ephemeralButton()->rect().center());
    QCOMPARE(header->autoTidyCaption()->spokenText(), QStringLiteral("Otomatik temizlik: 24s"));
}

void TestComputationalEditorView::tagsAreAddedAndRemoved()
{
    EditorFixture f({budgetNote});
    ZulEditorNoteHeader *header = f.editor->header();
    QCOMPARE(header->tagChipTexts(), QStringList());

    QLineEdit *field = header->tagField();
    QTest::keyClicks(field, QStringLiteral("  #Budget "));
    QCOMPARE(f.editor->metrics()->newTagInput(), QStringLiteral("  #Budget "));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f.stored().tags, QStringList{QStringLiteral("budget")});
    QCOMPARE(header->tagChipTexts(), QStringList{QStringLiteral("#budget")});
    QCOMPARE(field->text(), QString());
    QCOMPARE(f.editor->metrics()->newTagInput(), QString());

    QTest::keyClicks(field, QStringLiteral("budget"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f.stored().tags, QStringList{QStringLiteral("budget")});
    QCOMPARE(field->text(), QString());

    QTest::keyClicks(field, QStringLiteral("##"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(f.stored().tags, QStringList{QStringLiteral("budget")});
    QCOMPARE(field->text(), QString());

    QVERIFY(header->clickRemoveTag(QStringLiteral("budget")));
    QCOMPARE(f.stored().tags, QStringList());
    QCOMPARE(header->tagChipTexts(), QStringList());
}

void TestComputationalEditorView::exportItemsPassTheirOwnFormat()
{
    EditorFixture f({budgetNote});
    const QList<QAction *> items = f.editor->header()->exportMenu()->actions();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->text(), QStringLiteral("Export Markdown (.md) with Results"));
    for (QAction *item : items)
        item->trigger();
    QCOMPARE(f.studio.chooser->formats,
             (QList<ZulExportFormat>{ZulExportFormat::markdownWithResults, ZulExportFormat::plainText,
                                     ZulExportFormat::csv}));
}

void TestComputationalEditorView::configurationsShowTheirColumns_data()
{
    QTest::addColumn<bool>("compact");
    QTest::addColumn<bool>("lineNumbers");
    QTest::addColumn<bool>("gutter");
    QTest::addColumn<double>("fontSize");
    QTest::addColumn<bool>("numbersShown");
    QTest::addColumn<int>("gutterWidth"); // 0: hidden
    QTest::addColumn<qreal>("textSize");
    QTest::newRow("studio") << false << true << true << 14.0 << true << 168 << 14.0;
    QTest::newRow("compact never numbers lines") << true << true << true << 14.0 << false << 116 << 13.0;
    QTest::newRow("studio without gutter") << false << true << false << 14.0 << true << 0 << 14.0;
    QTest::newRow("compact without gutter") << true << false << false << 12.0 << false << 0 << 12.0;
    QTest::newRow("studio without numbers") << false << false << true << 11.0 << false << 168 << 11.0;
    QTest::newRow("compact of 22") << true << true << true << 22.0 << false << 116 << 21.0;
}

void TestComputationalEditorView::configurationsShowTheirColumns()
{
    QFETCH(bool, compact);
    QFETCH(bool, lineNumbers);
    QFETCH(bool, gutter);
    QFETCH(double, fontSize);
    QFETCH(bool, numbersShown);
    QFETCH(int, gutterWidth);
    QFETCH(qreal, textSize);
    EditorFixture f({budgetNote}, compact);
    f.viewModel().updateConfig([&](ZulConfig &config) {
        config.showLineNumbers = lineNumbers;
        config.showCalculationGutter = gutter;
        config.fontSize = fontSize;
    });
    settle();
    QCOMPARE(f.editor->lineNumberColumn()->isVisible(), numbersShown);
    if (numbersShown)
        QCOMPARE(f.editor->lineNumberColumn()->width(), 36);
    QCOMPARE(f.editor->resultGutter()->isVisible(), gutterWidth > 0);
    if (gutterWidth > 0)
        QCOMPARE(f.editor->resultGutter()->width(), gutterWidth);
    QCOMPARE(f.text().fontSize(), textSize);
    QCOMPARE(f.editor->metrics()->lineHeight(), SynchronizedComputationalTextView::lineHeightFor(textSize));
    QCOMPARE(f.editor->header() != nullptr, !compact);
    QCOMPARE(f.editor->statusBar()->compactMode(), compact);
    // Freed width goes to the text.
    const int columns = (numbersShown ? 37 : 0) + (gutterWidth > 0 ? gutterWidth + 1 : 0);
    QCOMPARE(f.text().width(), f.editor->width() - columns);
}

void TestComputationalEditorView::statusBarFollowsTheNote()
{
    EditorFixture f({budgetNote});
    ZulEditorStatusBar *bar = f.editor->statusBar();
    const NoteEvaluationSummary summary = f.viewModel().evaluation(f.notes[0].id);
    QVERIFY(summary.totalNumericSum.has_value());
    QCOMPARE(bar->sumChip()->spokenText(),
             QStringLiteral("Sum ") + ZulNumberFormatter::format(*summary.totalNumericSum, 2));
    QCOMPARE(bar->taskChip()->spokenText(), QStringLiteral("Tasks 1/2"));
    f.click(bar->stickyButton(), bar->stickyButton()->rect().center());
    QVERIFY(f.stored().isFloatingSticky);
    QCOMPARE(bar->stickyButton()->text(), QStringLiteral("Unfloat Sticky"));
    QVERIFY(bar->stickyButton()->isActive());
    f.click(bar->copyButton(), bar->copyButton()->rect().center());
    QVERIFY(f.studio.clipboard->text.startsWith(QStringLiteral("# March budget")));
}

void TestComputationalEditorView::editorsFollowTheirOwnNote_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("typed in another surface") << "type";
    QTest::newRow("a long text's results come later") << "lengthen";
    QTest::newRow("retitled") << "retitle";
    QTest::newRow("tinted") << "tint";
    QTest::newRow("floated") << "float";
    QTest::newRow("live rates replace every result") << "rates";
    QTest::newRow("the other note changes") << "other";
}

void TestComputationalEditorView::editorsFollowTheirOwnNote()
{
    QFETCH(QString, change);
    EditorFixture f({budgetNote + "\n100 USD to TRY", QStringLiteral("x = 2")});
    // The second note in a compact editor beside the first (a sticky, say).
    ComputationalEditorView other(&f.viewModel(), f.notes[1].id, true, false);
    other.show();
    settle();
    ZulStudioViewModel &viewModel = f.viewModel();
    const QUuid first = f.notes[0].id;
    if (change == "type") {
        viewModel.updateNoteContent(first, f.stored().content + "\n5 * 7");
    } else if (change == "lengthen") {
        viewModel.updateNoteContent(first, QString("word\n").repeated(900) + "sum = 12");
        QTRY_COMPARE(viewModel.evaluation(first).numericCount, qint64(1));
    } else if (change == "retitle") {
        viewModel.updateNoteTitle(first, "April");
    } else if (change == "tint") {
        viewModel.updateNoteTint(first, ZulNoteTint::coral);
    } else if (change == "float") {
        viewModel.toggleFloatingSticky(first);
    } else if (change == "rates") {
        CurrencyRateTable live = CurrencyRateTable::offlineDefaults();
        live.ratesPerUSD.insert(QStringLiteral("TRY"), 100.0);
        viewModel.refreshLiveCurrencyRates();
        f.studio.rates->answer(live);
    } else {
        viewModel.updateNoteContent(f.notes[1].id, "x = 3\nx * 2");
    }
    settle();

    // Each editor shows its own note as it now stands, and nothing else.
    for (ComputationalEditorView *editor : {f.editor.get(), &other}) {
        const ZulNote note = *viewModel.note(editor->noteID());
        const NoteEvaluationSummary summary = viewModel.evaluation(note.id);
        QCOMPARE(editor->textView()->noteText(), note.content);
        QCOMPARE(editor->resultGutter()->summary(), summary);
        QCOMPARE(editor->statusBar()->sumChip()->spokenText(),
                 QStringLiteral("Sum ") + ZulNumberFormatter::format(summary.totalNumericSum.value_or(0), 2));
        QCOMPARE(editor->statusBar()->stickyButton()->isActive(), note.isFloatingSticky);
        QCOMPARE(editor->textView()->accentColor(), veskColorFromHex(accentHex(note.tint)));
        if (editor->header())
            QCOMPARE(editor->header()->titleField()->text(), note.title);
    }
}

void TestComputationalEditorView::missingNoteShowsTheEmptyState_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("title");
    QTest::newRow("english") << VeskLanguage(VeskLanguage::en) << QStringLiteral("New Note");
    QTest::newRow("turkish") << VeskLanguage(VeskLanguage::tr) << QStringLiteral("Yeni Not");
}

void TestComputationalEditorView::missingNoteShowsTheEmptyState()
{
    QFETCH(VeskLanguage, language);
    QFETCH(QString, title);
    EditorFixture f({budgetNote});
    f.viewModel().setLanguage(language);
    f.editor->setNoteID(QUuid::createUuid());
    QVERIFY(f.editor->isShowingEmptyState());
    QCOMPARE(f.editor->newNoteButton()->text(), title);
    const int before = int(f.viewModel().notes().size());
    f.click(f.editor->newNoteButton(), f.editor->newNoteButton()->rect().center());
    QCOMPARE(int(f.viewModel().notes().size()), before + 1);
    QCOMPARE(f.viewModel().notes().first().title, title);
    QCOMPARE(f.viewModel().selectedNoteID(), std::optional<QUuid>(f.viewModel().notes().first().id));
    QVERIFY(f.editor->isShowingEmptyState()); // the editor keeps its own id

    // A note deleted while shown turns the editor into the empty state.
    f.editor->setNoteID(f.notes[0].id);
    QVERIFY(!f.editor->isShowingEmptyState());
    f.viewModel().deleteNote(f.notes[0].id);
    QVERIFY(f.editor->isShowingEmptyState());
}

void TestComputationalEditorView::eachNoteKeepsItsUndoHistory_data()
{
    QTest::addColumn<QString>("between"); // what happens after typing into the first note
    QTest::newRow("another note shown and this one again") << "switch";
    QTest::newRow("the font size changed") << "font";
    QTest::newRow("changed elsewhere while another note showed") << "elsewhere";
}

void TestComputationalEditorView::eachNoteKeepsItsUndoHistory()
{
    QFETCH(QString, between);
    EditorFixture f({QStringLiteral("first"), QStringLiteral("first")});
    f.moveCaretTo(5);
    QTest::keyClicks(&f.text(), QStringLiteral(" typed"));
    QStringList undone{QStringLiteral("first")};
    if (between == "font") {
        f.viewModel().updateConfig([](ZulConfig &config) { config.fontSize = 18; });
    } else {
        // The other note, of the same text, has nothing to undo.
        f.editor->setNoteID(f.notes[1].id);
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.stored(1).content, QStringLiteral("first"));
        if (between == "elsewhere") {
            f.viewModel().updateNoteContent(f.notes[0].id, QStringLiteral("from elsewhere"));
            undone.prepend(QStringLiteral("first typed"));
        }
        f.editor->setNoteID(f.notes[0].id);
    }
    for (const QString &expected : std::as_const(undone) + QStringList{QStringLiteral("first")}) {
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.stored(0).content, expected);
    }
}

void TestComputationalEditorView::undoPutsTheCaretWhereTheChangeWas_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("undo"); // "keys": Ctrl+Z; "menu": the text's menu, opened with Shift+F10
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("a task ticked in the gutter") << "tick" << "keys" << 28 << 4;
    QTest::newRow("the note edited in its sticky") << "sticky" << "keys" << 29 << 16;
    QTest::newRow("a tick undone from the menu") << "tick" << "menu" << 28 << 4;
}

void TestComputationalEditorView::undoPutsTheCaretWhereTheChangeWas()
{
    QFETCH(QString, change);
    QFETCH(QString, undo);
    QFETCH(int, line);
    QFETCH(int, column);
    const QString note = QStringLiteral("x = 1\n").repeated(28) + "- [ ] pay rent\n- [ ] file taxes\n"
                         + QStringLiteral("y = 2\n").repeated(18);
    EditorFixture f({note});
    VeskContextMenuKey::applyApplicationWide();
    QVERIFY(QTest::qWaitForWindowActive(f.editor.get()));
    f.text().setFocus();
    f.text().verticalScrollBar()->setValue(int(f.editor->metrics()->top(26)));
    f.moveCaretTo(6 * 27);
    const int scroll = f.text().verticalScrollBar()->value();
    QVERIFY(scroll > 0);

    ComputationalEditorView sticky(&f.viewModel(), f.notes[0].id, true, false);
    if (change == "tick") {
        f.click(f.editor->resultGutter(), f.rowFor(28).value().chip.center());
    } else {
        QTextCursor cursor(sticky.textView()->document());
        cursor.setPosition(sticky.textView()->documentPosition(note.indexOf(QStringLiteral("taxes")) + 5));
        sticky.textView()->setTextCursor(cursor);
        QTest::keyClick(sticky.textView(), Qt::Key_Exclam, Qt::ShiftModifier, '!');
    }
    if (undo == "keys") {
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier);
    } else {
        QTest::keyClick(&f.text(), Qt::Key_F10, Qt::ShiftModifier);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("Undo"));
        menu->actions().constFirst()->trigger();
    }
    QCOMPARE(f.stored().content, note);
    settle();
    QCOMPARE(f.text().textPosition(f.text().textCursor().position()),
             ComputationalNoteEngine::splitLines(note).value(line).start + column);
    QCOMPARE(f.text().verticalScrollBar()->value(), scroll);
}

void TestComputationalEditorView::changesFromElsewhereJoinTheUndoHistory()
{
    EditorFixture f({budgetNote});
    f.moveCaretTo(budgetNote.indexOf(QStringLiteral("340.5")) + 5);
    QTest::keyClicks(&f.text(), QStringLiteral(" + 9"));
    const int caret = f.text().textCursor().position();
    QStringList steps = {budgetNote, f.stored().content};
    // A task ticked in the gutter, then a key typed into another editor of
    // the note: each joins the history, and the caret keeps its place.
    settle();
    f.click(f.editor->resultGutter(), f.rowFor(4).value().chip.center());
    steps << f.stored().content;
    ComputationalEditorView other(&f.viewModel(), f.notes[0].id, true, false);
    other.textView()->moveCursor(QTextCursor::End);
    QTest::keyClick(other.textView(), Qt::Key_Exclam, Qt::ShiftModifier, '!');
    QCOMPARE(f.text().noteText(), QString(steps[1]).replace("- [ ] pay rent", "- [x] pay rent") + '!');
    QCOMPARE(f.text().textCursor().position(), caret);
    // Undo takes each back in turn, the typing last; Redo brings all back.
    const QString all = f.text().noteText();
    for (qsizetype i = steps.size() - 1; i >= 0; --i) {
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.stored().content, steps[i]);
    }
    for (qsizetype i = 0; i < steps.size(); ++i)
        QTest::keyClick(&f.text(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(f.stored().content, all);
}

void TestComputationalEditorView::findBarFindsWithTheKeyboard_data()
{
    // In "price = 150\n7 * 2\nprice * 150\n150 + 1", the caret at 3.
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<QString>("term");
    QTest::addColumn<QString>("moves"); // '>' Enter, '<' Shift+Enter, 't' Tab
    QTest::addColumn<int>("found");     // where the selected match starts; -1: none
    QTest::addColumn<QString>("count");
    const VeskLanguage en = VeskLanguage::en;
    const VeskLanguage tr = VeskLanguage::tr;
    QTest::newRow("typing finds the first after the caret") << en << "150" << "" << 8 << "1 of 3";
    QTest::newRow("Enter goes on and wraps around") << en << "150" << ">>>" << 8 << "1 of 3";
    QTest::newRow("Shift+Enter goes back and wraps") << en << "Price" << "<<" << 18 << "2 of 2";
    QTest::newRow("Turkish") << tr << "150" << ">" << 26 << "2 / 3";
    QTest::newRow("Escape on a button of the bar") << en << "150" << "t" << 8 << "1 of 3";
    QTest::newRow("nothing found") << en << "999" << ">" << -1 << "No matches";
    QTest::newRow("nothing found, Turkish") << tr << "999" << "" << -1 << "Eşleşme yok";
}

void TestComputationalEditorView::findBarFindsWithTheKeyboard()
{
    QFETCH(VeskLanguage, language);
    QFETCH(QString, term);
    QFETCH(QString, moves);
    QFETCH(int, found);
    QFETCH(QString, count);
    const QString note = QStringLiteral("price = 150\n7 * 2\nprice * 150\n150 + 1");
    EditorFixture f({note});
    f.viewModel().setLanguage(language);
    QVERIFY(QTest::qWaitForWindowActive(f.editor.get()));
    f.text().setFocus();
    f.moveCaretTo(3);
    QWindow *window = f.editor->windowHandle();
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    ZulEditorFindBar *bar = f.editor->findBar();
    QVERIFY(bar);
    QCOMPARE(QApplication::focusWidget(), bar->field());
    // Above the text, the numbers and the results alike.
    QVERIFY(bar->isVisible() && bar->geometry().bottom() < f.text().mapTo(f.editor.get(), QPoint(0, 0)).y());
    for (const QChar c : term)
        QTest::keyClick(window, c.toLatin1());
    for (const QChar move : moves) {
        if (move == QLatin1Char('t'))
            QTest::keyClick(window, Qt::Key_Tab);
        else
            QTest::keyClick(window, Qt::Key_Return, move == QLatin1Char('<') ? Qt::ShiftModifier : Qt::NoModifier);
    }
    QCOMPARE(bar->countLabel()->text(), count);
    QCOMPARE(f.stored().content, note);
    // The term stands readable in its field: light ink on the dark glass,
    // with the look the application gives its menus in place.
    VeskGlassMenu::applyApplicationWide(VeskProductPalette::deepIndigo);
    const QImage field = bar->field()->grab().toImage();
    int light = 0, dark = 0;
    for (int y = 0; y < field.height(); ++y)
        for (int x = 0; x < field.width(); ++x)
            light += qGray(field.pixel(x, y)) > 170, dark += qGray(field.pixel(x, y)) < 90;
    QVERIFY2(light > 10 && dark > field.width() * field.height() / 2,
             qPrintable(QString("%1 light, %2 dark").arg(light).arg(dark)));

    // Escape hands the keyboard back: at the match, or where it was.
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!bar->isVisible());
    QCOMPARE(QApplication::focusWidget(), &f.text());
    const QTextCursor cursor = f.text().textCursor();
    QCOMPARE(f.text().textPosition(cursor.selectionStart()), found < 0 ? 3 : found);
    QCOMPARE(f.text().textPosition(cursor.selectionEnd()), found < 0 ? 3 : found + term.size());
}

QTEST_MAIN(TestComputationalEditorView)
#include "tst_computationaleditorview.moc"
