// appicon IDENTITY PALETTE NAME OUTDIR
//
// Writes the icon of the suite application IDENTITY (a raw value such as
// veskzul) in the colours of PALETTE (deepIndigo, ...) as an hicolor theme:
// OUTDIR/scalable/apps/NAME.svg and OUTDIR/<n>x<n>/apps/NAME.png.

#include "VeskKit/Design/Emblems/VeskAppIcon.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QSvgGenerator>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdlib>

namespace {

constexpr int vectorSide = 512;

int fail(const QString &message)
{
    QTextStream(stderr) << "appicon: " << message << '\n';
    return 1;
}

QString prepared(const QString &outDir, const QString &folder, const QString &file)
{
    const QString path = outDir + u'/' + folder + QStringLiteral("/apps");
    QDir().mkpath(path);
    return path + u'/' + file;
}

// How far apart two images of one size are: the largest difference of any
// channel of any pixel, 0 to 255.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *left = reinterpret_cast<const uchar *>(a.constScanLine(y));
        const auto *right = reinterpret_cast<const uchar *>(b.constScanLine(y));
        for (int x = 0; x < a.width() * 4; ++x)
            largest = std::max(largest, std::abs(int(left[x]) - int(right[x])));
    }
    return largest;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5)
        return fail(QStringLiteral("usage: appicon IDENTITY PALETTE NAME OUTDIR"));
    const std::optional<VeskAppIdentity> app = VeskAppIdentityFromRaw(QString::fromLocal8Bit(argv[1]));
    const std::optional<VeskProductPalette> palette = VeskProductPaletteFromRaw(QString::fromLocal8Bit(argv[2]));
    const QString name = QString::fromLocal8Bit(argv[3]);
    const QString outDir = QString::fromLocal8Bit(argv[4]);
    if (!app || !palette)
        return fail(QStringLiteral("no such application or palette"));

    for (int size : VeskAppIcon::pixelSizes) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        const QString path = prepared(outDir, folder, name + QStringLiteral(".png"));
        if (!VeskAppIcon::image(*app, *palette, size).save(path, "PNG"))
            return fail(QStringLiteral("cannot write ") + path);
    }

    const QString svgPath = prepared(outDir, QStringLiteral("scalable"), name + QStringLiteral(".svg"));
    {
        QSvgGenerator svg;
        svg.setFileName(svgPath);
        svg.setSize(QSize(vectorSide, vectorSide));
        svg.setViewBox(QRect(0, 0, vectorSide, vectorSide));
        svg.setTitle(name);
        QPainter painter;
        if (!painter.begin(&svg))
            return fail(QStringLiteral("cannot write ") + svgPath);
        // No text is drawn, but every group of the file states a font size,
        // and without an application the default font has none.
        QFont font;
        font.setPixelSize(16);
        painter.setFont(font);
        VeskAppIcon::paint(painter, QRectF(0, 0, vectorSide, vectorSide), *app, *palette);
    }

    // The vector copy must show what the bitmaps show: drawn back, it may
    // differ from a bitmap of the same size only along antialiased edges.
    const int checkSide = 128;
    QImage drawnBack(checkSide, checkSide, QImage::Format_ARGB32_Premultiplied);
    drawnBack.fill(Qt::transparent);
    QSvgRenderer renderer(svgPath);
    QPainter painter(&drawnBack);
    renderer.render(&painter, QRectF(0, 0, checkSide, checkSide));
    painter.end();
    const int difference = largestDifference(drawnBack, VeskAppIcon::image(*app, *palette, checkSide));
    if (!renderer.isValid() || difference > 8)
        return fail(QStringLiteral("%1 does not show the bitmaps' picture (differs by %2)").arg(svgPath).arg(difference));
    return 0;
}
