#include "VeskKit/Design/Emblems/VeskEmblemRenderer.h"

#include "VeskKit/Design/Emblems/VeskEmblemArtworkMedia.h"
#include "VeskKit/Design/Emblems/VeskEmblemArtworkProductivity.h"
#include "VeskKit/Design/Emblems/VeskEmblemArtworkSystemNet.h"
#include "VeskKit/Design/Emblems/VeskFlatDraw.h"

#include <QBuffer>
#include <QCache>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int cacheCountLimit = 256;
constexpr int minimumPixelSize = 16;
constexpr qreal minimumPointSize = 10;
const char *const templateTextKey = "VeskTemplate";

// 72 dots per inch, so that a PNG's size in points equals its pixel size.
constexpr int dotsPerMeterAt72Dpi = 2835;

struct EmblemCache
{
    QMutex lock;
    QCache<QString, QImage> images{cacheCountLimit};
};

EmblemCache &emblemCache()
{
    static EmblemCache cache;
    return cache;
}

QString cacheKey(VeskAppIdentity app, int pixelSize, bool asTemplate)
{
    return rawValue(app) + QLatin1Char('_') + QString::number(pixelSize) + QLatin1Char('_')
        + (asTemplate ? QStringLiteral("tpl") : QStringLiteral("glass"));
}

// The visible window of the grid is about 15.9 to 84.1 on both axes.
QImage renderBitmap(VeskAppIdentity app, int pixelSize)
{
    QImage bitmap(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return bitmap;
    bitmap.fill(Qt::transparent);
    bitmap.setDotsPerMeterX(dotsPerMeterAt72Dpi);
    bitmap.setDotsPerMeterY(dotsPerMeterAt72Dpi);

    // The fresh transparent bitmap is the emblem's own layer: cuts of the
    // artwork reach only the emblem's earlier shapes.
    QPainter painter(&bitmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    VeskEmblemRenderer::mapGridToSquare(painter, QRectF(0, 0, pixelSize, pixelSize));
    VeskEmblemRenderer::drawFlatEmblem(app, painter, VeskEmblemTone::whiteGlass());
    painter.end();
    return bitmap;
}

// The one emblem the dispatch draws itself: a screen with a play mark and a
// recording light.
void drawScreenWithPlayMark(QPainter &painter, const VeskEmblemTone &tone)
{
    VeskFlatDraw::displayFrame(painter, tone);
    QPainterPath play;
    play.moveTo(44, 36.5);
    play.lineTo(60, 44.5);
    play.lineTo(44, 52.5);
    play.closeSubpath();
    VeskFlatDraw::fillShape(painter, play, tone.primary());
    QPainterPath light;
    light.addEllipse(QRectF(27.8, 30.3, 6.4, 6.4));
    VeskFlatDraw::fillShape(painter, light, tone.accent());
}

} // namespace

namespace VeskEmblemRenderer {

QImage image(VeskAppIdentity app, qreal pointSize, qreal scale, bool asTemplate)
{
    qreal points = std::isnan(pointSize) ? minimumPointSize : std::max(pointSize, minimumPointSize);
    const qreal pixelsPerPoint = scale < 3 ? std::max(scale, qreal(1)) : qreal(3);

    const qreal exactPixels = std::round(points * pixelsPerPoint);
    int pixelSize;
    if (!std::isfinite(exactPixels) || exactPixels > maximumPixelSize) {
        // Too large to draw: keep the scale and shrink the point size to fit.
        pixelSize = maximumPixelSize;
        points = maximumPixelSize / pixelsPerPoint;
    } else {
        pixelSize = std::max(int(exactPixels), minimumPixelSize);
    }

    const QString key = cacheKey(app, pixelSize, asTemplate);
    EmblemCache &cache = emblemCache();
    {
        QMutexLocker locker(&cache.lock);
        if (const QImage *cached = cache.images.object(key))
            return *cached;
    }

    // Rendered outside the lock; two simultaneous misses both draw the same
    // pixels and the later store wins.
    QImage rendered = renderBitmap(app, pixelSize);
    const bool drawn = !rendered.isNull();
    if (!drawn) {
        // No memory for the bitmap: an empty image keeps the caller going and
        // the next request tries again.
        pixelSize = minimumPixelSize;
        rendered = QImage(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
        rendered.fill(Qt::transparent);
    }
    rendered.setDevicePixelRatio(pixelSize / points);
    rendered.setText(QString::fromLatin1(templateTextKey),
                     asTemplate ? QStringLiteral("true") : QStringLiteral("false"));
    if (drawn) {
        QMutexLocker locker(&cache.lock);
        cache.images.insert(key, new QImage(rendered));
    }
    return rendered;
}

void mapGridToSquare(QPainter &painter, const QRectF &target)
{
    const qreal k = target.width() * 0.88 / 60.0;
    painter.translate(target.center());
    painter.scale(k, k);
    painter.translate(-50, -50);
}

bool isTemplate(const QImage &image)
{
    return image.text(QString::fromLatin1(templateTextKey)) == QLatin1String("true");
}

std::optional<QByteArray> pngData(VeskAppIdentity app, int pixelSize)
{
    if (pixelSize < 1 || pixelSize > maximumPixelSize)
        return std::nullopt;
    const QImage bitmap = renderBitmap(app, pixelSize);
    if (bitmap.isNull())
        return std::nullopt;
    QByteArray data;
    QBuffer buffer(&data);
    if (!buffer.open(QIODevice::WriteOnly) || !bitmap.save(&buffer, "PNG") || data.isEmpty())
        return std::nullopt;
    return data;
}

bool drawFlatEmblem(VeskAppIdentity app, QPainter &painter, const VeskEmblemTone &tone)
{
    if (VeskEmblemArtworkProductivity::draw(app, painter, tone))
        return true;

    using namespace VeskEmblemArtworkMedia;
    switch (app) {
    case VeskAppIdentity::veskBloom: drawVeskBloom(painter, tone); return true;
    case VeskAppIdentity::veskCipher: drawVeskCipher(painter, tone); return true;
    case VeskAppIdentity::veskDrift: drawVeskDrift(painter, tone); return true;
    case VeskAppIdentity::veskEmber: drawScreenWithPlayMark(painter, tone); return true;
    case VeskAppIdentity::veskFable: drawVeskFable(painter, tone); return true;
    case VeskAppIdentity::veskGlyph: drawVeskGlyph(painter, tone); return true;
    case VeskAppIdentity::veskHaven: drawVeskHaven(painter, tone); return true;
    case VeskAppIdentity::veskInkwell: drawVeskInkwell(painter, tone); return true;
    case VeskAppIdentity::veskJuniper: drawVeskJuniper(painter, tone); return true;
    case VeskAppIdentity::veskKeel: drawVeskKeel(painter, tone); return true;
    case VeskAppIdentity::veskLoom: drawVeskLoom(painter, tone); return true;
    case VeskAppIdentity::veskMeridian: drawVeskMeridian(painter, tone); return true;
    case VeskAppIdentity::veskNexus: drawVeskNexus(painter, tone); return true;
    case VeskAppIdentity::veskOnyx: drawVeskOnyx(painter, tone); return true;
    case VeskAppIdentity::veskPrism: drawVeskPrism(painter, tone); return true;
    case VeskAppIdentity::veskQuarry: drawVeskQuarry(painter, tone); return true;
    default: break;
    }

    return VeskEmblemArtworkSystemNet::draw(app, painter, tone);
}

} // namespace VeskEmblemRenderer
