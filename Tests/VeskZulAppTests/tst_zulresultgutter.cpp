#include "Views/EditorLayoutMetrics.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulLineNumberColumn.h"
#include "Views/ZulResultGutter.h"

#include "Engine/ComputationalNoteEngine.h"
#include "Models/CurrencyRateTable.h"

#include <QHBoxLayout>
#include <QPaintEvent>
#include <QRegion>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>

namespace {

EvaluatedLine resultLine(qint64 index, const QString &result,
                         EvaluatedLineKind kind = EvaluatedLineKind::math)
{
    EvaluatedLine line;
    line.lineIndex = index;
    line.rawLine = QStringLiteral("line %1").arg(index);
    line.formattedResult = result;
    line.kind = kind;
    if (kind == EvaluatedLineKind::checklist)
        line.isChecked = false;
    return line;
}

NoteEvaluationSummary evaluate(const QString &text)
{
    const ComputationalNoteEngine engine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                         QDateTime(QDate(2026, 3, 2), QTime(12, 0), QTimeZone::utc()),
                                         QTimeZone::utc());
    return engine.evaluate(text);
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Remembers the area of the next paints of one widget.
class PaintRecorder : public QObject
{
public:
    explicit PaintRecorder(QWidget *widget) { widget->installEventFilter(this); }
    QRegion painted;
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            painted += static_cast<QPaintEvent *>(event)->region();
            ++paints;
        }
        return false;
    }
};

// Results for consecutive lines from 0; an empty text leaves its line without
// a result.
NoteEvaluationSummary summaryOf(const QStringList &results)
{
    NoteEvaluationSummary summary;
    for (qsizetype i = 0; i < results.size(); ++i) {
        if (results[i].isEmpty())
            continue;
        const bool aggregate = results[i].startsWith(QLatin1Char('='));
        summary.lines.append(resultLine(i, aggregate ? results[i].mid(1) : results[i],
                                        aggregate ? EvaluatedLineKind::aggregate : EvaluatedLineKind::math));
    }
    return summary;
}

// Text view and result column side by side, tops level, as the editor
// arranges them.
struct EditorRow
{
    QWidget host;
    EditorLayoutMetrics metrics;
    SynchronizedComputationalTextView *text = nullptr;
    ZulResultGutter *gutter = nullptr;
    ZulLineNumberColumn *numbers = nullptr;

    EditorRow()
    {
        auto *layout = new QHBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        numbers = new ZulLineNumberColumn(&metrics);
        text = new SynchronizedComputationalTextView;
        text->setMetrics(&metrics);
        gutter = new ZulResultGutter(&metrics);
        gutter->setFixedWidth(168);
        layout->addWidget(numbers);
        layout->addWidget(text, 1);
        layout->addWidget(gutter);
        host.resize(640, 260);
        host.show();
        settle();
    }

    void show(const QString &note)
    {
        text->setNoteText(note);
        gutter->setSummary(evaluate(note));
        settle();
    }

    qreal caretCentreInHost(qsizetype line) const
    {
        const QTextCursor cursor(text->document()->findBlockByNumber(int(line)));
        const QRect rect = text->cursorRect(cursor);
        return text->viewport()->mapTo(&host, QPointF(0, rect.top() + rect.height() / 2.0)).y();
    }
};

} // namespace

class TestZulResultGutter : public QObject
{
    Q_OBJECT

private slots:
    void rowsAreCulledStrictlyOutsideForty_data();
    void rowsAreCulledStrictlyOutsideForty();
    void unmeasuredLinesUseTheUnwrappedPlace();
    void resultsStayLevelWithTheirLines_data();
    void resultsStayLevelWithTheirLines();
    void clicksCopyOrToggle_data();
    void clicksCopyOrToggle();
    void longResultIsElidedInsideTheColumn();
    void helpTexts_data();
    void helpTexts();
    void lineNumbersCoverEveryLine_data();
    void lineNumbersCoverEveryLine();
    void widestNumberIsDrawnWhole();
    void newResultsRepaintTheirRows_data();
    void newResultsRepaintTheirRows();
};

void TestZulResultGutter::rowsAreCulledStrictlyOutsideForty_data()
{
    QTest::addColumn<qreal>("top");
    QTest::addColumn<bool>("built");
    // The gutter is 200 high; scrolled by 100.
    QTest::newRow("exactly -40") << 60.0 << false;
    QTest::newRow("-39.9") << 60.1 << true;
    QTest::newRow("on screen") << 150.0 << true;
    QTest::newRow("H + 39.9") << 339.9 << true;
    QTest::newRow("exactly H + 40") << 340.0 << false;
    QTest::newRow("far below") << 900.0 << false;
}

void TestZulResultGutter::rowsAreCulledStrictlyOutsideForty()
{
    QFETCH(qreal, top);
    QFETCH(bool, built);
    EditorLayoutMetrics metrics;
    metrics.setLineTopY({14.0, top});
    metrics.setScrollOffsetY(100);
    ZulResultGutter gutter(&metrics);
    gutter.resize(168, 200);
    NoteEvaluationSummary summary;
    summary.lines = {resultLine(1, QStringLiteral("42"))};
    gutter.setSummary(summary);
    const QList<ZulResultGutter::Row> rows = gutter.visibleRows();
    QCOMPARE(rows.size(), built ? 1 : 0);
    if (built)
        QCOMPARE(rows[0].frame.top(), top - 100);
}

void TestZulResultGutter::unmeasuredLinesUseTheUnwrappedPlace()
{
    EditorLayoutMetrics metrics;
    ZulResultGutter gutter(&metrics);
    gutter.resize(168, 300);
    NoteEvaluationSummary summary;
    summary.lines = {resultLine(0, QStringLiteral("1")), resultLine(1, QStringLiteral("2"))};
    gutter.setSummary(summary);
    const QList<ZulResultGutter::Row> rows = gutter.visibleRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0].frame, QRectF(0, 14, 168, 22));
    QCOMPARE(rows[1].frame, QRectF(0, 36, 168, 22));
    // Chips end 8 from the column's right edge, centred on their row.
    QCOMPARE(rows[1].chip.right(), 160.0);
    QCOMPARE(rows[1].chip.center().y(), rows[1].frame.center().y());
}

void TestZulResultGutter::resultsStayLevelWithTheirLines_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("scroll");
    QTest::newRow("at rest") << 640 << 0;
    QTest::newRow("scrolled") << 640 << 173;
    QTest::newRow("narrowed so lines wrap") << 400 << 0;
    QTest::newRow("narrowed and scrolled") << 400 << 260;
}

void TestZulResultGutter::resultsStayLevelWithTheirLines()
{
    QFETCH(int, width);
    QFETCH(int, scroll);
    EditorRow row;
    QString note = QStringLiteral("# Trip budget\r\n");
    for (int i = 0; i < 24; ++i) {
        note += QStringLiteral("Leg %1 along the long mountain pass road: %2 * 3\r\n").arg(i).arg(i + 10);
        if (i % 5 == 0)
            note += QStringLiteral("- [ ] book leg %1\v").arg(i);
    }
    note += QStringLiteral("total");
    row.show(note);
    row.host.resize(width, 400);
    settle();
    row.text->verticalScrollBar()->setValue(scroll);
    settle();
    if (scroll > 0)
        QVERIFY(row.metrics.scrollOffsetY() > 0);

    const QList<ZulResultGutter::Row> rows = row.gutter->visibleRows();
    QVERIFY(rows.size() >= 3);
    for (const ZulResultGutter::Row &r : rows) {
        const qreal chipCentre = row.gutter->mapTo(&row.host, r.chip.center()).y();
        const qreal caret = row.caretCentreInHost(r.line.lineIndex);
        QVERIFY2(qAbs(chipCentre - caret) <= 1.0,
                 qPrintable(QStringLiteral("line %1: result at %2, caret at %3")
                                .arg(r.line.lineIndex)
                                .arg(chipCentre)
                                .arg(caret)));
    }
    const auto [first, end] = row.numbers->visibleLines();
    QVERIFY(end > first);
    for (qsizetype i = first; i < end; ++i) {
        const qreal numberCentre = row.numbers->mapTo(&row.host, row.numbers->rowRect(i).center()).y();
        QVERIFY(qAbs(numberCentre - row.caretCentreInHost(i)) <= 1.0);
    }
}

void TestZulResultGutter::clicksCopyOrToggle_data()
{
    QTest::addColumn<EvaluatedLineKind>("kind");
    QTest::addColumn<bool>("endsOnChip");
    QTest::addColumn<int>("copies");
    QTest::addColumn<int>("toggles");
    QTest::newRow("result copied") << EvaluatedLineKind::currency << true << 1 << 0;
    QTest::newRow("aggregate copied") << EvaluatedLineKind::aggregate << true << 1 << 0;
    QTest::newRow("task toggled") << EvaluatedLineKind::checklist << true << 0 << 1;
    QTest::newRow("press dragged off the chip") << EvaluatedLineKind::math << false << 0 << 0;
}

void TestZulResultGutter::clicksCopyOrToggle()
{
    QFETCH(EvaluatedLineKind, kind);
    QFETCH(bool, endsOnChip);
    QFETCH(int, copies);
    QFETCH(int, toggles);
    EditorLayoutMetrics metrics;
    ZulResultGutter gutter(&metrics);
    gutter.resize(168, 200);
    NoteEvaluationSummary summary;
    summary.lines = {resultLine(2, QStringLiteral("1,250.5 TRY"), kind)};
    gutter.setSummary(summary);
    gutter.show();
    QSignalSpy copied(&gutter, &ZulResultGutter::copyRequested);
    QSignalSpy toggled(&gutter, &ZulResultGutter::taskToggleRequested);
    const QList<ZulResultGutter::Row> rows = gutter.visibleRows();
    QCOMPARE(rows.size(), 1);
    const QPoint on = rows[0].chip.center().toPoint();
    QTest::mousePress(&gutter, Qt::LeftButton, {}, on);
    QTest::mouseRelease(&gutter, Qt::LeftButton, {}, endsOnChip ? on : QPoint(4, 190));
    QCOMPARE(copied.count(), copies);
    QCOMPARE(toggled.count(), toggles);
    if (copies)
        QCOMPARE(copied.at(0).at(0).toString(), QStringLiteral("1,250.5 TRY"));
    if (toggles)
        QCOMPARE(toggled.at(0).at(0).value<EvaluatedLine>().lineIndex, 2);

    // A click beside the chip does nothing.
    QTest::mouseClick(&gutter, Qt::LeftButton, {}, QPoint(2, on.y()));
    QCOMPARE(copied.count(), copies);
    QCOMPARE(toggled.count(), toggles);
}

void TestZulResultGutter::longResultIsElidedInsideTheColumn()
{
    EditorLayoutMetrics metrics;
    ZulResultGutter gutter(&metrics);
    gutter.resize(116, 200);
    gutter.setCompactMode(true);
    NoteEvaluationSummary summary;
    summary.lines = {resultLine(0, QStringLiteral("123,456,789,012,345,678 USD")),
                     resultLine(1, QStringLiteral("9,999,999,999,999"), EvaluatedLineKind::aggregate)};
    gutter.setSummary(summary);
    const QList<ZulResultGutter::Row> rows = gutter.visibleRows();
    QCOMPARE(rows.size(), 2);
    for (const ZulResultGutter::Row &row : rows) {
        QVERIFY(row.shownText.endsWith(QChar(0x2026)));
        QVERIFY(row.chip.left() >= 0);
        QCOMPARE(row.chip.right(), 108.0);
    }
}

void TestZulResultGutter::helpTexts_data()
{
    QTest::addColumn<VeskLanguage>("language");
    QTest::addColumn<EvaluatedLineKind>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("copy en") << VeskLanguage(VeskLanguage::en) << EvaluatedLineKind::math
                             << QStringLiteral("Click to copy 42");
    QTest::newRow("copy tr") << VeskLanguage(VeskLanguage::tr) << EvaluatedLineKind::unit
                             << QStringLiteral("Kopyalamak için tıkla: 42");
    QTest::newRow("task en") << VeskLanguage(VeskLanguage::en) << EvaluatedLineKind::checklist
                             << QStringLiteral("Click to toggle task");
    QTest::newRow("task tr") << VeskLanguage(VeskLanguage::tr) << EvaluatedLineKind::checklist
                             << QStringLiteral("Görevi işaretlemek için tıkla");
}

void TestZulResultGutter::helpTexts()
{
    QFETCH(VeskLanguage, language);
    QFETCH(EvaluatedLineKind, kind);
    QFETCH(QString, expected);
    EditorLayoutMetrics metrics;
    ZulResultGutter gutter(&metrics);
    gutter.setLanguage(language);
    QCOMPARE(gutter.helpText(resultLine(0, QStringLiteral("42"), kind)), expected);
}

void TestZulResultGutter::lineNumbersCoverEveryLine_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<qreal>("scroll");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("end");
    // 22-high rows from 14 in a 100-high column.
    QTest::newRow("no published lines still shows 1") << 0 << 0.0 << 0 << 1;
    QTest::newRow("short note") << 3 << 0.0 << 0 << 3;
    QTest::newRow("long note at the top") << 500 << 0.0 << 0 << 4;
    QTest::newRow("long note scrolled") << 500 << 1000.0 << 44 << 50;
}

void TestZulResultGutter::lineNumbersCoverEveryLine()
{
    QFETCH(int, count);
    QFETCH(qreal, scroll);
    QFETCH(int, first);
    QFETCH(int, end);
    EditorLayoutMetrics metrics;
    metrics.setLogicalLineCount(count);
    metrics.setScrollOffsetY(scroll);
    ZulLineNumberColumn column(&metrics);
    column.resize(36, 100);
    const auto visible = column.visibleLines();
    QCOMPARE(visible.first, qsizetype(first));
    QCOMPARE(visible.second, qsizetype(end));
    QCOMPARE(column.rowRect(first), QRectF(2, 22.0 * first + 14 - scroll, 30, 22));
}

void TestZulResultGutter::widestNumberIsDrawnWhole()
{
    // The last two rows of a note of 100,000 lines: 99999, then 100000.
    EditorLayoutMetrics metrics;
    metrics.setLogicalLineCount(100000);
    metrics.setScrollOffsetY(22.0 * 99998 + 14 - 40);
    ZulLineNumberColumn column(&metrics);
    column.setBackgroundColor(Qt::black);
    column.resize(column.width(), 100);
    const QImage shot = column.grab().toImage();
    const auto inkWidth = [&shot](int top) {
        int left = shot.width(), right = -1;
        for (int y = top; y < top + 22; ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qGray(shot.pixel(x, y)) > 40)
                    left = std::min(left, x), right = std::max(right, x);
        return right - left + 1;
    };
    // The sixth digit widens the ink by a digit, about a fifth of the five.
    const int five = inkWidth(40), six = inkWidth(62);
    QVERIFY2(six - five >= five / 10, qPrintable(QString("%1 then %2").arg(five).arg(six)));
}

void TestZulResultGutter::newResultsRepaintTheirRows_data()
{
    // Results of lines 0 to 5 before and after; "=" marks a sum.
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<bool>("whole");
    const QStringList six = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                             QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("=15")};
    QStringList changed = six;
    changed[2] = QStringLiteral("37");
    changed[5] = QStringLiteral("=49");
    QTest::newRow("a result and the sum change") << six << changed << false;
    QStringList longer = six;
    longer[3] = QStringLiteral("4,000,000,000");
    QTest::newRow("a result grows wider") << six << longer << false;
    QStringList fewer = six;
    fewer[1].clear();
    QTest::newRow("a result goes") << six << fewer << false;
    QTest::newRow("a result comes") << fewer << six << false;
    QTest::newRow("every result goes") << six << QStringList() << true;
    QTest::newRow("the first results come") << QStringList() << six << true;
}

void TestZulResultGutter::newResultsRepaintTheirRows()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(bool, whole);
    EditorRow f;
    f.text->setNoteText(QStringLiteral("a\nb\nc\nd\ne\nf"));
    f.gutter->setSummary(summaryOf(before));
    settle();
    const QList<ZulResultGutter::Row> oldRows = f.gutter->visibleRows();

    PaintRecorder recorder(f.gutter);
    f.gutter->setSummary(summaryOf(after));
    settle();
    QVERIFY(recorder.paints > 0);
    if (whole) {
        QVERIFY(recorder.painted.contains(f.gutter->rect()));
        return;
    }
    const QList<ZulResultGutter::Row> newRows = f.gutter->visibleRows();
    for (qint64 line = 0; line < 6; ++line) {
        const QString was = before.value(line);
        const QString is = after.value(line);
        const auto find = [line](const QList<ZulResultGutter::Row> &rows) -> std::optional<QRect> {
            for (const ZulResultGutter::Row &row : rows) {
                if (row.line.lineIndex == line)
                    return row.chip.toAlignedRect();
            }
            return std::nullopt;
        };
        const std::optional<QRect> oldChip = find(oldRows);
        const std::optional<QRect> newChip = find(newRows);
        QCOMPARE(oldChip.has_value(), !was.isEmpty());
        QCOMPARE(newChip.has_value(), !is.isEmpty());
        if (was == is) {
            // A changed neighbour's glow reaches into this row.
            const bool neighbourChanged = before.value(line - 1) != after.value(line - 1)
                                          || before.value(line + 1) != after.value(line + 1);
            if (oldChip && !neighbourChanged)
                QVERIFY2(!recorder.painted.intersects(*oldChip), qPrintable(QStringLiteral("line %1").arg(line)));
            continue;
        }
        // Whatever was drawn for the line is cleared and drawn anew.
        for (const std::optional<QRect> &chip : {oldChip, newChip}) {
            if (chip)
                QVERIFY2(recorder.painted.contains(*chip), qPrintable(QStringLiteral("line %1").arg(line)));
        }
    }
}

QTEST_MAIN(TestZulResultGutter)
#include "tst_zulresultgutter.moc"
