#include "VeskKit/Design/VeskSymbol.h"

#include "VeskKit/Design/VeskSymbolGlyphs.h"

#include <QApplication>
#include <QFuture>
#include <QHash>
#include <QIconEngine>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QtConcurrent/QtConcurrentRun>

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

// Outlines built or being built, by name and weight.
QHash<QString, QFuture<QPainterPath>> &cache()
{
    static QHash<QString, QFuture<QPainterPath>> paths;
    return paths;
}

QString cacheKey(VeskSymbolGlyphs::Draw draw, const QString &name, int weight)
{
    // Unknown names share one cached fallback per weight.
    return (draw ? name : QStringLiteral("\x01fallback")) + QLatin1Char('@') + QString::number(weight);
}

QPainterPath build(VeskSymbolGlyphs::Draw draw, int weight)
{
    Builder builder(strokeWidth(weight));
    if (draw)
        draw(builder);
    else
        VeskSymbolGlyphs::drawFallback(builder);
    return builder.result();
}

// Draws the glyph at whatever size a menu or button asks for, when it asks.
class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(const QString &name, const QColor &colour, int weight)
        : m_name(name), m_colour(colour), m_weight(weight)
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::max(1, std::min(size.width(), size.height()));
        const QString key = QStringLiteral("%1@%2").arg(side).arg(int(mode));
        const auto found = m_drawn.constFind(key);
        if (found != m_drawn.cend())
            return *found;
        QPixmap drawn = QPixmap::fromImage(VeskSymbol::image(m_name, side, m_colour, m_weight));
        // Greyed where the desktop greys icons, as icons made of pixmaps are.
        if (mode != QIcon::Normal && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            drawn = QApplication::style()->generatedIconPixmap(mode, drawn, &option);
        }
        m_drawn.insert(key, drawn);
        return drawn;
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(48, 48)};
    }

    QIconEngine *clone() const override { return new SymbolIconEngine(m_name, m_colour, m_weight); }

private:
    QString m_name;
    QColor m_colour;
    int m_weight;
    QHash<QString, QPixmap> m_drawn;
};

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
    const QString key = cacheKey(draw, name, weight);
    QFuture<QPainterPath> known;
    {
        QMutexLocker locker(&cacheLock());
        known = cache().value(key);
    }
    if (known.isValid())
        return known.result();
    QPainterPath built = build(draw, weight);
    QMutexLocker locker(&cacheLock());
    cache().insert(key, QtFuture::makeReadyFuture(built));
    return built;
}

void prepare(const QString &name, int weight)
{
    const auto draw = drawsByName().value(name, nullptr);
    const QString key = cacheKey(draw, name, weight);
    QMutexLocker locker(&cacheLock());
    if (!cache().contains(key))
        cache().insert(key, QtConcurrent::run([draw, weight] { return build(draw, weight); }));
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
    return QIcon(new SymbolIconEngine(name, colour, weight));
}

} // namespace VeskSymbol
