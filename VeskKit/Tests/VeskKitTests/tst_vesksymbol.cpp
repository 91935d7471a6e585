#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Design/VeskSymbolLabel.h"

#include <QGuiApplication>
#include <QImage>
#include <QtTest>

namespace {

// Pixels with any coverage.
int inkedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    return count;
}

// Total coverage, in whole pixels.
double ink(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += qAlpha(image.pixel(x, y)) / 255.0;
    return sum;
}

QImage render(const QString &name, int weight = QFont::Normal, int side = 48)
{
    return VeskSymbol::image(name, side, Qt::white, weight);
}

} // namespace

class TestVeskSymbol : public QObject {
    Q_OBJECT
private slots:
    void everyNameTheViewsUseHasAGlyph_data();
    void everyNameTheViewsUseHasAGlyph();
    void everyGlyphDrawsInsideItsBox();
    void glyphsAreDistinct();
    void unknownNameDrawsTheFallback_data();
    void unknownNameDrawsTheFallback();
    void heavierWeightDrawsHeavierStrokes();
    void paintsInTheGivenColour();
    void boxFollowsTheFontSize();
};

void TestVeskSymbol::everyNameTheViewsUseHasAGlyph_data()
{
    QTest::addColumn<QString>("name");
    // Every symbol name the views ask for.
    const char *names[] = {
        "arrow.clockwise", "arrow.up.left.and.arrow.down.right", "bolt.circle.fill", "bolt.fill",
        "bubble.left.and.bubble.right.fill", "bubble.left.and.exclamationmark.bubble.right", "chart.bar.xaxis",
        "checklist", "checkmark", "checkmark.circle.fill", "checkmark.seal.fill", "chevron.down", "chevron.left",
        "chevron.right", "chevron.up", "circle", "clock.arrow.circlepath", "doc.on.clipboard", "doc.on.doc",
        "doc.plaintext", "doc.richtext", "doc.text.magnifyingglass", "exclamationmark.triangle.fill",
        "externaldrive.badge.timemachine", "folder", "function", "gearshape.fill", "globe", "hourglass",
        "hourglass.circle.fill", "ladybug.fill", "lightbulb.fill", "line.3.horizontal", "macwindow.on.rectangle",
        "magnifyingglass", "memorychip", "note.text", "photo.on.rectangle.angled", "pin", "pin.fill", "pin.slash",
        "plus", "plus.circle", "rectangle.inset.topright.filled", "rectangle.on.rectangle.slash", "safari", "scope",
        "sidebar.left", "sidebar.right", "slider.horizontal.3", "sparkles", "square.and.arrow.up",
        "square.grid.2x2.fill", "sum", "sun.max.fill", "tablecells", "tag.fill", "thermometer.medium", "trash",
        "tray", "waveform.path.ecg", "xmark", "xmark.circle.fill", "xmark.octagon.fill",
    };
    for (const char *name : names)
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestVeskSymbol::everyNameTheViewsUseHasAGlyph()
{
    QFETCH(QString, name);
    QVERIFY(VeskSymbol::contains(name));
    QVERIFY(VeskSymbol::names().contains(name));
    const QImage glyph = render(name);
    // A real drawing: some ink, but not a filled square, and not the fallback.
    const int ink = inkedPixels(glyph);
    QVERIFY2(ink > 48 * 48 / 40, qPrintable(QStringLiteral("only %1 pixels").arg(ink)));
    QVERIFY(ink < 48 * 48 * 9 / 10);
    QVERIFY(glyph != render(QStringLiteral("not.a.symbol")));
}

void TestVeskSymbol::everyGlyphDrawsInsideItsBox()
{
    const QRectF grid(0, 0, VeskSymbol::gridSize, VeskSymbol::gridSize);
    for (const QString &name : VeskSymbol::names()) {
        for (int weight : {int(QFont::Light), int(QFont::Normal), int(QFont::Bold)}) {
            const QRectF bounds = VeskSymbol::path(name, weight).boundingRect();
            QVERIFY2(grid.contains(bounds), qPrintable(name));
            QVERIFY2(bounds.width() > 4 && bounds.height() > 4, qPrintable(name));
        }
    }
}

void TestVeskSymbol::glyphsAreDistinct()
{
    QHash<QByteArray, QString> seen;
    for (const QString &name : VeskSymbol::names()) {
        const QImage glyph = render(name);
        const QByteArray key(reinterpret_cast<const char *>(glyph.constBits()), glyph.sizeInBytes());
        QVERIFY2(!seen.contains(key), qPrintable(name + QStringLiteral(" looks like ") + seen.value(key)));
        seen.insert(key, name);
    }
}

void TestVeskSymbol::unknownNameDrawsTheFallback_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("made-up name") << "sparkle.unicorn";
    QTest::newRow("empty") << "";
    QTest::newRow("wrong case") << "XMark";
    QTest::newRow("trailing space") << "xmark ";
}

void TestVeskSymbol::unknownNameDrawsTheFallback()
{
    QFETCH(QString, name);
    QVERIFY(!VeskSymbol::contains(name));
    const QImage glyph = render(name);
    QVERIFY(inkedPixels(glyph) > 48 * 48 / 40);
    QCOMPARE(glyph, render(QStringLiteral("another.unknown.name")));
}

void TestVeskSymbol::heavierWeightDrawsHeavierStrokes()
{
    for (const char *name : {"xmark", "chevron.left", "globe", "pin"}) {
        const double light = ink(render(QString::fromLatin1(name), QFont::Light));
        const double regular = ink(render(QString::fromLatin1(name), QFont::Normal));
        const double bold = ink(render(QString::fromLatin1(name), QFont::Bold));
        QVERIFY2(light < regular && regular < bold, qPrintable(QStringLiteral("%1: %2 %3 %4").arg(QLatin1String(name)).arg(light).arg(regular).arg(bold)));
    }
}

void TestVeskSymbol::paintsInTheGivenColour()
{
    const QColor amber(255, 184, 77);
    const QImage glyph = VeskSymbol::image(QStringLiteral("exclamationmark.triangle.fill"), 48, amber);
    // The triangle's solid lower band, beside the cut-out mark.
    const QColor sampled = glyph.pixelColor(16, 36);
    QCOMPARE(sampled.rgb(), amber.rgb());
    QCOMPARE(sampled.alpha(), 255);
    // The cut-out stroke of the exclamation mark is empty.
    QCOMPARE(glyph.pixelColor(24, 22).alpha(), 0);
}

void TestVeskSymbol::boxFollowsTheFontSize()
{
    VeskSymbolLabel small(QStringLiteral("xmark"), 10, QFont::Bold, Qt::white);
    VeskSymbolLabel large(QStringLiteral("xmark"), 20, QFont::Bold, Qt::white);
    QCOMPARE(small.sizeHint(), QSize(12, 12));
    QCOMPARE(large.sizeHint(), QSize(24, 24));
}

QTEST_MAIN(TestVeskSymbol)
#include "tst_vesksymbol.moc"
