#include "VeskKit/Design/VeskSymbol.h"

#include "VeskKit/Design/VeskSymbolGlyphs.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace {

using VeskSymbolGlyphs::Builder;

const QHash<QString, VeskSymbolGlyphs::Draw> &drawsByName()
{
    static const QHash<QString, VeskSymbolGlyphs::Draw> table = [] {
        QHash<QString, VeskSymbolGlyphs::Draw> built;
        for (const VeskSymbolGlyphs::Glyph &glyph : VeskSymbolGlyphs::glyphs())
            built.insert(QString::fromLatin1(glyph.name), glyph.draw);
        return built;
    }();
    return table;
}

// Heavier text gets heavier strokes, as a symbol set in that text would.
qreal strokeWidth(int weight)
{
    return std::clamp(1.8 + (weight - int(QFont::Normal)) * 0.0023, 0.9, 3.2);
}

QMutex &cacheLock()
{
    static QMutex lock;
    return lock;
}

QHash<QString, QPainterPath> &cache()
{
    static QHash<QString, QPainterPath> paths;
    return paths;
}

} // namespace

namespace VeskSymbol {

bool contains(const QString &name)
{
    return drawsByName().contains(name);
}

QStringList names()
{
    QStringList all = drawsByName().keys();
    std::sort(all.begin(), all.end());
    return all;
}

QPainterPath path(const QString &name, int weight)
{
    const auto draw = drawsByName().value(name, nullptr);
    // Unknown names share one cached fallback per weight.
    const QString key = (draw ? name : QStringLiteral("\x01fallback")) + QLatin1Char('@') + QString::number(weight);
    {
        QMutexLocker locker(&cacheLock());
        const auto found = cache().constFind(key);
        if (found != cache().constEnd())
            return *found;
    }
    Builder builder(strokeWidth(weight));
    if (draw)
        draw(builder);
    else
        VeskSymbolGlyphs::drawFallback(builder);
    QPainterPath built = builder.result();
    QMutexLocker locker(&cacheLock());
    cache().insert(key, built);
    return built;
}

qreal boxSide(qreal fontPixelSize)
{
    return fontPixelSize * 1.2;
}

void paint(QPainter &painter, const QRectF &box, const QString &name, const QColor &colour, int weight)
{
    if (box.isEmpty())
        return;
    const qreal side = std::min(box.width(), box.height());
    const qreal scale = side / gridSize;
    QTransform toBox;
    toBox.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    toBox.scale(scale, scale);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(toBox.map(path(name, weight)), colour);
    painter.restore();
}

QImage image(const QString &name, int side, const QColor &colour, int weight)
{
    QImage img(std::max(side, 1), std::max(side, 1), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    paint(painter, QRectF(0, 0, img.width(), img.height()), name, colour, weight);
    painter.end();
    return img;
}

QIcon icon(const QString &name, const QColor &colour, int weight)
{
    QIcon result;
    for (int side : {16, 22, 32, 48})
        result.addPixmap(QPixmap::fromImage(image(name, side, colour, weight)));
    return result;
}

} // namespace VeskSymbol
