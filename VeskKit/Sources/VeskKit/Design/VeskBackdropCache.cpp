#include "VeskKit/Design/VeskBackdropCache.h"

#include <QPainter>

#include <cmath>

void VeskBackdropCache::paint(QPainter &painter, const QRegion &region, const QSize &size, qreal ratio, quint64 look,
                              const Painter &paintBackdrop)
{
    if (size.isEmpty())
        return;
    if (m_pixmap.isNull() || size != m_size || ratio != m_ratio || look != m_look) {
        m_pixmap = QPixmap(QSize(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio))));
        m_pixmap.setDevicePixelRatio(ratio);
        m_pixmap.fill(Qt::transparent);
        QPainter drawing(&m_pixmap);
        drawing.setRenderHint(QPainter::Antialiasing);
        paintBackdrop(drawing, QRectF(QPointF(0, 0), QSizeF(size)));
        drawing.end();
        m_size = size;
        m_ratio = ratio;
        m_look = look;
        ++m_drawCount;
    }
    for (const QRect &rect : region) {
        const QRect part = rect & QRect(QPoint(0, 0), size);
        if (part.isEmpty())
            continue;
        const QRectF source(part.x() * ratio, part.y() * ratio, part.width() * ratio, part.height() * ratio);
        painter.drawPixmap(QRectF(part), m_pixmap, source);
    }
}
