#include "VeskKit/Design/VeskFlowBoxLayout.h"
#include "VeskKit/Design/VeskFlowLayout.h"

#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

#include <optional>

using Sizes = QList<QSizeF>;
using Frames = QList<QRectF>;

class TestVeskFlowLayout : public QObject {
    Q_OBJECT
private slots:
    void measuring_data();
    void measuring();
    void placing_data();
    void placing();
    void measuredLinesMatchPlacedLines();
    void qtLayoutWrapsWidgets();
    void qtLayoutHeightFollowsWidth();
};

void TestVeskFlowLayout::measuring_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("lineSpacing");
    QTest::addColumn<double>("proposedWidth"); // negative: unspecified
    QTest::addColumn<Sizes>("sizes");
    QTest::addColumn<QSizeF>("expected");

    QTest::newRow("no items, width given") << 7.0 << 5.0 << 120.0 << Sizes{} << QSizeF(120, 0);
    QTest::newRow("no items, width unspecified") << 7.0 << 5.0 << -1.0 << Sizes{} << QSizeF(0, 0);
    QTest::newRow("unspecified width keeps one line")
        << 7.0 << 5.0 << -1.0 << Sizes{{40, 20}, {300, 10}, {25, 24}} << QSizeF(40 + 7 + 300 + 7 + 25, 24);
    QTest::newRow("finite width reported even when lines are narrower")
        << 7.0 << 5.0 << 500.0 << Sizes{{40, 20}, {30, 20}} << QSizeF(500, 20);
    QTest::newRow("item ending exactly at the width stays")
        << 10.0 << 4.0 << 100.0 << Sizes{{45, 20}, {45, 20}} << QSizeF(100, 20);
    QTest::newRow("item ending beyond the width wraps")
        << 10.0 << 4.0 << 100.0 << Sizes{{45, 20}, {45.25, 20}} << QSizeF(100, 20 + 4 + 20);
    QTest::newRow("too wide item stays first and the next one wraps")
        << 6.0 << 5.0 << 100.0 << Sizes{{150, 10}, {20, 12}} << QSizeF(100, 10 + 5 + 12);
    QTest::newRow("too wide item after another wraps onto its own line")
        << 6.0 << 5.0 << 100.0 << Sizes{{20, 10}, {150, 12}, {20, 8}} << QSizeF(100, 10 + 5 + 12 + 5 + 8);
    QTest::newRow("next line starts below the tallest item")
        << 5.0 << 3.0 << 60.0 << Sizes{{20, 10}, {20, 30}, {20, 15}, {20, 5}} << QSizeF(60, 30 + 3 + 15);
    QTest::newRow("spacing after a line's last item is not counted")
        << 10.0 << 0.0 << 70.0 << Sizes{{30, 10}, {30, 10}, {30, 10}} << QSizeF(70, 20);
    QTest::newRow("zero spacings") << 0.0 << 0.0 << 50.0 << Sizes{{25, 10}, {25, 10}, {1, 10}} << QSizeF(50, 20);
}

void TestVeskFlowLayout::measuring()
{
    QFETCH(double, spacing);
    QFETCH(double, lineSpacing);
    QFETCH(double, proposedWidth);
    QFETCH(Sizes, sizes);
    QFETCH(QSizeF, expected);
    const VeskFlowLayout flow{spacing, lineSpacing};
    const std::optional<double> proposal = proposedWidth < 0 ? std::nullopt : std::optional(proposedWidth);
    QCOMPARE(flow.sizeThatFits(proposal, sizes), expected);
}

void TestVeskFlowLayout::placing_data()
{
    QTest::addColumn<double>("spacing");
    QTest::addColumn<double>("lineSpacing");
    QTest::addColumn<QRectF>("bounds");
    QTest::addColumn<Sizes>("sizes");
    QTest::addColumn<Frames>("expected");

    QTest::newRow("one line from the bounds' corner")
        << 7.0 << 5.0 << QRectF(10, 20, 200, 100) << Sizes{{40, 20}, {30, 10}}
        << Frames{{10, 20, 40, 20}, {57, 20, 30, 10}};
    QTest::newRow("overflow up to half a pixel stays on the line")
        << 10.0 << 4.0 << QRectF(0, 0, 100, 50) << Sizes{{45, 20}, {45.5, 20}}
        << Frames{{0, 0, 45, 20}, {55, 0, 45.5, 20}};
    QTest::newRow("overflow beyond half a pixel wraps")
        << 10.0 << 4.0 << QRectF(0, 0, 100, 50) << Sizes{{45, 20}, {45.75, 20}}
        << Frames{{0, 0, 45, 20}, {0, 24, 45.75, 20}};
    QTest::newRow("items top-aligned, next line below the tallest")
        << 5.0 << 3.0 << QRectF(0, 0, 60, 100) << Sizes{{20, 10}, {20, 30}, {20, 15}}
        << Frames{{0, 0, 20, 10}, {25, 0, 20, 30}, {0, 33, 20, 15}};
    QTest::newRow("too wide item stays first and overflows")
        << 6.0 << 5.0 << QRectF(0, 0, 100, 100) << Sizes{{150, 10}, {20, 12}}
        << Frames{{0, 0, 150, 10}, {0, 15, 20, 12}};
    QTest::newRow("offset bounds wrap back to their left edge")
        << 4.0 << 2.0 << QRectF(30, 40, 50, 100) << Sizes{{30, 10}, {30, 10}}
        << Frames{{30, 40, 30, 10}, {30, 52, 30, 10}};
    QTest::newRow("nothing to place") << 4.0 << 2.0 << QRectF(0, 0, 50, 50) << Sizes{} << Frames{};
}

void TestVeskFlowLayout::placing()
{
    QFETCH(double, spacing);
    QFETCH(double, lineSpacing);
    QFETCH(QRectF, bounds);
    QFETCH(Sizes, sizes);
    QFETCH(Frames, expected);
    const VeskFlowLayout flow{spacing, lineSpacing};
    QCOMPARE(flow.placeSubviews(bounds, sizes), expected);
}

void TestVeskFlowLayout::measuredLinesMatchPlacedLines()
{
    // Placing in the measured size must never need more height than measured.
    const VeskFlowLayout flow{7, 5};
    const Sizes sizes{{63, 22}, {41, 22}, {88, 22}, {120, 22}, {35, 22}, {72, 22}, {54, 22}, {99, 22}};
    for (double width : {80.0, 150.0, 200.0, 260.0, 333.0, 1000.0}) {
        const QSizeF fitted = flow.sizeThatFits(width, sizes);
        const Frames frames = flow.placeSubviews(QRectF(QPointF(0, 0), fitted), sizes);
        double bottom = 0;
        for (const QRectF &frame : frames)
            bottom = std::max(bottom, frame.bottom());
        QCOMPARE(bottom, fitted.height());
    }
}

namespace {

QWidget *fixedItem(int w, int h)
{
    auto *item = new QWidget;
    item->setFixedSize(w, h);
    return item;
}

} // namespace

void TestVeskFlowLayout::qtLayoutWrapsWidgets()
{
    QWidget host;
    auto *layout = new VeskFlowBoxLayout(VeskFlowLayout{7, 5}, &host);
    QList<QWidget *> items;
    for (int w : {60, 40, 80, 50, 30}) {
        items << fixedItem(w, 20);
        layout->addWidget(items.last());
    }
    host.resize(200, layout->heightForWidth(200));
    layout->activate();
    // 60 + 7 + 40 + 7 + 80 = 194 fits in 200; 50 wraps.
    QCOMPARE(items[0]->geometry(), QRect(0, 0, 60, 20));
    QCOMPARE(items[1]->geometry(), QRect(67, 0, 40, 20));
    QCOMPARE(items[2]->geometry(), QRect(114, 0, 80, 20));
    QCOMPARE(items[3]->geometry(), QRect(0, 25, 50, 20));
    QCOMPARE(items[4]->geometry(), QRect(57, 25, 30, 20));
    QCOMPARE(layout->heightForWidth(200), 45);
    // Unconstrained, everything is one line.
    QCOMPARE(layout->sizeHint(), QSize(60 + 40 + 80 + 50 + 30 + 4 * 7, 20));
    // Never narrower than its widest item.
    QCOMPARE(layout->minimumSize(), QSize(80, 20));
}

void TestVeskFlowLayout::qtLayoutHeightFollowsWidth()
{
    // Inside a column of fixed width, the flow gets all the height its lines need.
    QWidget window;
    auto *column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    auto *chips = new QWidget;
    auto *flow = new VeskFlowBoxLayout(VeskFlowLayout{7, 5}, chips);
    QList<QWidget *> items;
    for (int i = 0; i < 9; ++i) {
        items << fixedItem(70, 24);
        flow->addWidget(items.last());
    }
    column->addWidget(chips);
    column->addStretch();
    window.resize(240, 400);
    window.show();
    column->activate();
    QCoreApplication::processEvents();
    // Three per line (70 + 7 + 70 + 7 + 70 = 224), three lines.
    QCOMPARE(chips->height(), 3 * 24 + 2 * 5);
    for (QWidget *item : items)
        QVERIFY(chips->rect().contains(item->geometry()));
    QCOMPARE(items[8]->geometry().topLeft(), QPoint(154, 58));
}

QTEST_MAIN(TestVeskFlowLayout)
#include "tst_veskflowlayout.moc"
