#include "VeskKit/Design/Emblems/VeskEmblemArtworkProductivity.h"
#include "VeskKit/Design/Emblems/VeskEmblemArtworkSystemNet.h"
#include "VeskKit/Design/Emblems/VeskEmblemRenderer.h"

#include "helper_emblemmodel.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace {

const QColor flatPrimary(30, 90, 200);
const QColor flatAccent(250, 170, 40);

// The application's own emblem under white glass, shape by shape.
const std::vector<EmblemModel::Shape> veskZulGlass = {
    {QRectF(25, 22, 50, 56), 8.5, 0.98, false},   // card
    {QRectF(33, 33, 26, 4.2), 2.1, 0.8625, true}, // long bar
    {QRectF(33, 42, 19, 4.2), 2.1, 0.6325, true}, // second bar
    {QRectF(33, 55.5, 11, 3.4), 1.7, 1.0, true},  // short bars
    {QRectF(33, 62, 11, 3.4), 1.7, 1.0, true},
    {QRectF(49, 54.5, 18, 12), 4.5, 0.86, true},  // chip
};

// Identities are told apart by their place in the catalog.
VeskAppIdentity identityAt(int tag)
{
    return VeskAppIdentity::allCases().at(tag);
}

QImage gridCanvas(int pixelSize, QPainter &painter, QImage &image)
{
    image = QImage(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal k = EmblemModel::pixelsPerUnit(pixelSize);
    painter.translate(pixelSize / 2.0, pixelSize / 2.0);
    painter.scale(k, k);
    painter.translate(-50, -50);
    return image;
}

} // namespace

class TestEmblemRenderer : public QObject
{
    Q_OBJECT

private slots:
    void pixelSizeIsQuantised_data();
    void pixelSizeIsQuantised();
    void repeatedRequestReturnsTheCachedImage();
    void requestsOfOnePixelSizeShareAnEntry();
    void templateAndGlassAreSeparateEntriesWithTheSamePixels();
    void leastRecentlyUsedEntryIsEvicted();
    void concurrentRequestsAgree();
    void pngData_data();
    void pngData();
    void ownEmblemAlpha_data();
    void ownEmblemAlpha();
    void ownEmblemIsUpright();
    void ownEmblemUnderFlatLight_data();
    void ownEmblemUnderFlatLight();
    void everyIdentityHasArtworkInsideTheWindow_data();
    void everyIdentityHasArtworkInsideTheWindow();
    void groupsDrawOnlyTheirOwn_data();
    void groupsDrawOnlyTheirOwn();
    void screenWithPlayMarkDrawnByTheDispatch_data();
    void screenWithPlayMarkDrawnByTheDispatch();
};

void TestEmblemRenderer::pixelSizeIsQuantised_data()
{
    QTest::addColumn<qreal>("pointSize");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<qreal>("points");

    const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
    const qreal inf = std::numeric_limits<qreal>::infinity();
    QTest::newRow("point size 4 is raised to 10") << 4.0 << 2.0 << 20 << 10.0;
    QTest::newRow("pixel size 10 is raised to 16") << 6.0 << 1.0 << 16 << 10.0;
    QTest::newRow("scale 5 counts as 3") << 20.0 << 5.0 << 60 << 20.0;
    QTest::newRow("scale 0.5 counts as 1") << 21.0 << 0.5 << 21 << 21.0;
    QTest::newRow("40.5 pixels round up") << 13.5 << 3.0 << 41 << 13.5;
    QTest::newRow("40.4 pixels round down") << 20.2 << 2.0 << 40 << 20.2;
    QTest::newRow("the view's 16 points") << 16.0 << 2.0 << 32 << 16.0;
    QTest::newRow("point size not a number counts as 10") << nan << 2.0 << 20 << 10.0;
    QTest::newRow("scale not a number counts as 3") << 22.0 << nan << 66 << 22.0;
    QTest::newRow("negative point size counts as 10") << -8.0 << 1.5 << 16 << 10.0;
    QTest::newRow("infinite point size is held at the largest bitmap")
        << inf << 2.0 << VeskEmblemRenderer::maximumPixelSize << VeskEmblemRenderer::maximumPixelSize / 2.0;
}

void TestEmblemRenderer::pixelSizeIsQuantised()
{
    QFETCH(qreal, pointSize);
    QFETCH(qreal, scale);
    QFETCH(int, pixels);
    QFETCH(qreal, points);

    const QImage image = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, pointSize, scale, false);
    QCOMPARE(image.size(), QSize(pixels, pixels));
    QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
    QVERIFY(qAbs(image.deviceIndependentSize().width() - points) < 1e-6);
    QVERIFY(qAbs(image.deviceIndependentSize().height() - points) < 1e-6);
    // The card's middle is painted at any size.
    QVERIFY(qAlpha(image.pixel(pixels / 2, pixels / 2)) > 200);
}

void TestEmblemRenderer::repeatedRequestReturnsTheCachedImage()
{
    const QImage first = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 23, 2, false);
    const QImage second = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 23, 2, false);
    QCOMPARE(second.cacheKey(), first.cacheKey());
    const QImage other = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 24, 2, false);
    QVERIFY(other.cacheKey() != first.cacheKey());
}

void TestEmblemRenderer::requestsOfOnePixelSizeShareAnEntry()
{
    // 11 points at scale 2 and 22 points at scale 1 are both 22 pixels: one
    // entry, keeping the point size of the first request.
    const QImage small = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 11, 2, false);
    const QImage large = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 22, 1, false);
    QCOMPARE(large.cacheKey(), small.cacheKey());
    QCOMPARE(large.deviceIndependentSize(), QSizeF(11, 11));
}

void TestEmblemRenderer::templateAndGlassAreSeparateEntriesWithTheSamePixels()
{
    const QImage glass = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 25, 2, false);
    const QImage tpl = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 25, 2, true);
    QVERIFY(glass.cacheKey() != tpl.cacheKey());
    QVERIFY(!VeskEmblemRenderer::isTemplate(glass));
    QVERIFY(VeskEmblemRenderer::isTemplate(tpl));
    QCOMPARE(tpl, glass); // pixels, size and format
    QCOMPARE(VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 25, 2, true).cacheKey(), tpl.cacheKey());
}

void TestEmblemRenderer::leastRecentlyUsedEntryIsEvicted()
{
    // Fresh keys: each identity at sizes no other test asks for.
    int fresh = 0;
    auto requestFresh = [&fresh] {
        const int tag = fresh % 75;
        const int pixels = 100 + fresh / 75;
        ++fresh;
        VeskEmblemRenderer::image(identityAt(tag), pixels, 1, true);
    };

    const QImage kept = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 90, 1, false);
    const QImage dropped = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 91, 1, false);
    for (int i = 0; i < 254; ++i)
        requestFresh();
    // The cache is full with these 256; using `kept` makes `dropped` the
    // least recently used.
    QCOMPARE(VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 90, 1, false).cacheKey(), kept.cacheKey());
    requestFresh();

    const QImage again = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 91, 1, false);
    QVERIFY(again.cacheKey() != dropped.cacheKey());
    QCOMPARE(VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 90, 1, false).cacheKey(), kept.cacheKey());
    // The evicted image is still whole for whoever holds it.
    QCOMPARE(dropped, again);
}

void TestEmblemRenderer::concurrentRequestsAgree()
{
    // Several threads hitting and missing the shared cache at once.
    constexpr int threadCount = 4, rounds = 30, sizes = 5;
    std::vector<std::vector<QImage>> results(threadCount);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&results, t] {
            for (int i = 0; i < rounds; ++i)
                results[t].push_back(VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 60 + (i + t) % sizes, 1, false));
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int t = 0; t < threadCount; ++t) {
        for (int i = 0; i < rounds; ++i) {
            const int pixels = 60 + (i + t) % sizes;
            QCOMPARE(results[t][i].width(), pixels);
            QCOMPARE(results[t][i], results[0][pixels - 60]); // thread 0 asked for 60 + i at i
        }
    }
}

void TestEmblemRenderer::pngData_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("produced");

    QTest::newRow("256 pixels") << 256 << true;
    QTest::newRow("odd size, below the image floor") << 9 << true;
    QTest::newRow("one pixel") << 1 << true;
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("negative") << -32 << false;
    QTest::newRow("beyond the largest bitmap") << VeskEmblemRenderer::maximumPixelSize + 1 << false;
}

void TestEmblemRenderer::pngData()
{
    QFETCH(int, pixelSize);
    QFETCH(bool, produced);

    const std::optional<QByteArray> data = VeskEmblemRenderer::pngData(VeskAppIdentity::veskZul, pixelSize);
    QCOMPARE(data.has_value(), produced);
    if (!produced)
        return;
    QVERIFY(data->startsWith("\x89PNG\r\n\x1a\n"));
    QBuffer buffer;
    buffer.setData(*data);
    QImageReader reader(&buffer, "png");
    const QImage decoded = reader.read();
    QCOMPARE(decoded.size(), QSize(pixelSize, pixelSize));
    QVERIFY(decoded.hasAlphaChannel());
    QCOMPARE(qRound(decoded.dotsPerMeterX() * 0.0254), 72);
    QCOMPARE(qRound(decoded.dotsPerMeterY() * 0.0254), 72);
}

void TestEmblemRenderer::ownEmblemAlpha_data()
{
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<qreal>("gridX");
    QTest::addColumn<qreal>("gridY");

    for (const int size : {32, 200}) {
        auto row = [size](const char *name, qreal x, qreal y) {
            QTest::addRow("%d px, %s", size, name) << size << x << y;
        };
        row("card left of the bars", 28, 50);
        row("card above the bars", 50, 27.5);
        row("card right of the long bar", 70, 35);
        row("long bar", 45, 35);
        row("between the first two bars", 45, 40);
        row("second bar", 40, 44);
        row("third bar", 38, 57);
        row("fourth bar", 38, 63.8);
        row("between the short bars and the chip", 46.5, 60);
        row("chip", 58, 60);
        row("card below the chip", 58, 73);
        row("outside, left", 18, 50);
        row("outside, below", 50, 82.5);
    }
    QTest::newRow("200 px, outside the rounded top left corner") << 200 << 25.8 << 22.5;
    QTest::newRow("200 px, inside the rounded top left corner") << 200 << 29.0 << 26.0;
    QTest::newRow("200 px, card edge, half covered") << 200 << 74.9 << 50.0;
}

void TestEmblemRenderer::ownEmblemAlpha()
{
    QFETCH(int, pixelSize);
    QFETCH(qreal, gridX);
    QFETCH(qreal, gridY);

    const QPoint pixel = EmblemModel::pixelAt(pixelSize, gridX, gridY);
    const std::optional<qreal> expected = EmblemModel::alphaAt(veskZulGlass, pixelSize, pixel);
    QVERIFY2(expected, "test point lies on a rounded corner");

    const QImage image = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, pixelSize / 2.0, 2, false);
    QCOMPARE(image.width(), pixelSize);
    const int actual = qAlpha(image.pixel(pixel));
    QVERIFY2(qAbs(actual - *expected * 255) <= 2,
             qPrintable(QStringLiteral("pixel (%1, %2): alpha %3, expected %4")
                            .arg(pixel.x()).arg(pixel.y()).arg(actual).arg(*expected * 255)));
}

void TestEmblemRenderer::ownEmblemIsUpright()
{
    // The bars stand in the upper half and the chip in the lower right: a
    // flipped picture would swap them.
    const QImage image = VeskEmblemRenderer::image(VeskAppIdentity::veskZul, 100, 2, false);
    const QPoint longBar = EmblemModel::pixelAt(200, 45, 35);
    const QPoint mirrored = EmblemModel::pixelAt(200, 45, 65);
    QVERIFY(qAlpha(image.pixel(longBar)) < 60);
    QVERIFY(qAlpha(image.pixel(mirrored)) > 240);
}

void TestEmblemRenderer::ownEmblemUnderFlatLight_data()
{
    QTest::addColumn<qreal>("gridX");
    QTest::addColumn<qreal>("gridY");
    QTest::addColumn<QColor>("expected");

    auto tintOver = [](qreal alpha) {
        const QColor tint(238, 241, 247);
        return QColor::fromRgbF(tint.redF() * alpha + flatPrimary.redF() * (1 - alpha),
                                tint.greenF() * alpha + flatPrimary.greenF() * (1 - alpha),
                                tint.blueF() * alpha + flatPrimary.blueF() * (1 - alpha));
    };
    QTest::newRow("card") << 28.0 << 50.0 << flatPrimary;
    QTest::newRow("long bar") << 45.0 << 35.0 << tintOver(0.75);
    QTest::newRow("second bar") << 40.0 << 44.0 << tintOver(0.55);
    QTest::newRow("third bar") << 38.0 << 57.0 << tintOver(0.9);
    QTest::newRow("fourth bar") << 38.0 << 63.8 << tintOver(0.9);
    QTest::newRow("chip") << 58.0 << 60.0 << flatAccent;
}

void TestEmblemRenderer::ownEmblemUnderFlatLight()
{
    QFETCH(qreal, gridX);
    QFETCH(qreal, gridY);
    QFETCH(QColor, expected);

    QImage image;
    QPainter painter;
    gridCanvas(200, painter, image);
    QVERIFY(VeskEmblemRenderer::drawFlatEmblem(VeskAppIdentity::veskZul, painter,
                                               VeskEmblemTone::flatLight(flatPrimary, flatAccent)));
    painter.end();

    const QColor actual = image.pixelColor(EmblemModel::pixelAt(200, gridX, gridY));
    QCOMPARE(actual.alpha(), 255);
    QVERIFY2(qAbs(actual.red() - expected.red()) <= 2 && qAbs(actual.green() - expected.green()) <= 2
                 && qAbs(actual.blue() - expected.blue()) <= 2,
             qPrintable(actual.name() + QLatin1String(" instead of ") + expected.name()));
}

void TestEmblemRenderer::everyIdentityHasArtworkInsideTheWindow_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<bool>("whiteGlass");
    for (int tag = 0; tag < VeskAppIdentity::caseCount; ++tag) {
        const QString name = rawValue(identityAt(tag));
        QTest::addRow("%s, white glass", qPrintable(name)) << tag << true;
        QTest::addRow("%s, flat light", qPrintable(name)) << tag << false;
    }
}

void TestEmblemRenderer::everyIdentityHasArtworkInsideTheWindow()
{
    QFETCH(int, tag);
    QFETCH(bool, whiteGlass);

    // The whole grid at 2 pixels a unit, so anything beyond the renderer's
    // window (50 +- 30/0.88 units) would show.
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    const VeskEmblemTone tone = whiteGlass ? VeskEmblemTone::whiteGlass()
                                           : VeskEmblemTone::flatLight(flatPrimary, flatAccent);
    QVERIFY(VeskEmblemRenderer::drawFlatEmblem(identityAt(tag), painter, tone));
    QCOMPARE(painter.transform(), QTransform::fromScale(2, 2)); // a turned element puts it back
    painter.end();

    const qreal low = 50 - 30 / 0.88, high = 50 + 30 / 0.88;
    int painted = 0;
    for (int y = 0; y < 200; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < 200; ++x) {
            const QRgb pixel = line[x]; // premultiplied
            const int alpha = qAlpha(pixel);
            if (alpha == 0)
                continue;
            ++painted;
            const qreal gx = x / 2.0, gy = y / 2.0;
            if (gx + 0.5 <= low || gx >= high || gy + 0.5 <= low || gy >= high)
                QFAIL(qPrintable(QStringLiteral("paint at grid (%1, %2)").arg(gx).arg(gy)));
            // White glass paints nothing but white: premultiplied, every
            // channel equals the alpha.
            if (whiteGlass && (qRed(pixel) < alpha - 1 || qGreen(pixel) < alpha - 1 || qBlue(pixel) < alpha - 1))
                QFAIL(qPrintable(QStringLiteral("colour %1 at (%2, %3)").arg(pixel, 8, 16).arg(x).arg(y)));
        }
    }
    // An emblem covers a fair part of its window (some 136 pixels square).
    QVERIFY2(painted > 2000, qPrintable(QString::number(painted)));
}

void TestEmblemRenderer::groupsDrawOnlyTheirOwn_data()
{
    QTest::addColumn<int>("tag");
    for (const int tag : {0, 8, 26, 27, 30, 42, 43, 55, 74})
        QTest::addRow("%s", qPrintable(rawValue(identityAt(tag)))) << tag;
}

void TestEmblemRenderer::groupsDrawOnlyTheirOwn()
{
    QFETCH(int, tag);
    struct Group
    {
        bool (*draw)(VeskAppIdentity, QPainter &, const VeskEmblemTone &);
        int first, last;
    };
    const Group groups[] = {{VeskEmblemArtworkProductivity::draw, 0, 26},
                            {VeskEmblemArtworkSystemNet::draw, 43, 74}};
    for (const Group &group : groups) {
        QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        const bool drew = group.draw(identityAt(tag), painter, VeskEmblemTone::whiteGlass());
        painter.end();
        const bool own = tag >= group.first && tag <= group.last;
        QCOMPARE(drew, own);
        QImage empty(100, 100, QImage::Format_ARGB32_Premultiplied);
        empty.fill(Qt::transparent);
        QCOMPARE(image == empty, !own);
    }
}

void TestEmblemRenderer::screenWithPlayMarkDrawnByTheDispatch_data()
{
    QTest::addColumn<qreal>("gridX");
    QTest::addColumn<qreal>("gridY");
    QTest::addColumn<qreal>("alpha");

    QTest::newRow("play mark") << 49.0 << 44.5 << 0.98;
    QTest::newRow("recording light, over the screen") << 31.0 << 33.5 << 0.72 + 0.16 * 0.28;
    QTest::newRow("screen") << 68.0 << 55.0 << 0.16;
    QTest::newRow("stand") << 50.0 << 72.3 << 0.82;
    QTest::newRow("beside the play mark") << 44.5 << 56.0 << 0.16;
}

void TestEmblemRenderer::screenWithPlayMarkDrawnByTheDispatch()
{
    QFETCH(qreal, gridX);
    QFETCH(qreal, gridY);
    QFETCH(qreal, alpha);
    const QImage image = VeskEmblemRenderer::image(identityAt(30), 100, 2, false);
    const int actual = qAlpha(image.pixel(EmblemModel::pixelAt(200, gridX, gridY)));
    QVERIFY2(qAbs(actual - alpha * 255) <= 2, qPrintable(QString::number(actual)));
}

QTEST_MAIN(TestEmblemRenderer)
#include "tst_emblemrenderer.moc"
