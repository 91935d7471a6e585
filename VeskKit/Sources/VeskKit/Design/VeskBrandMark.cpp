#include "VeskKit/Design/VeskBrandMark.h"

#include "VeskKit/Design/Emblems/VeskEmblemRenderer.h"
#include "VeskKit/Design/VeskBrandMarkGeometry.h"
#include "VeskKit/Design/VeskColorHex.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Emblems are asked for at two pixels per point, as the emblem view does.
constexpr qreal emblemScale = 2;

int side(qreal size)
{
    if (!std::isfinite(size) || size <= 0)
        return 0;
    return int(std::ceil(std::min(size, qreal(QWIDGETSIZE_MAX))));
}

} // namespace

VeskBrandMark::VeskBrandMark(qreal size, const VeskBrandMarkStyle &style, QWidget *parent)
    : QWidget(parent), m_size(size), m_style(style)
{
    setFixedSize(side(size), side(size));
    setAttribute(Qt::WA_TranslucentBackground, true);
}

std::optional<VeskAppIdentity> VeskBrandMark::resolvedIdentity() const
{
    switch (m_style.kind()) {
    case VeskBrandMarkStyle::Kind::app:
        return m_style.identity();
    case VeskBrandMarkStyle::Kind::currentApp:
        return VeskAppIdentity::current();
    case VeskBrandMarkStyle::Kind::briselSuite:
        return std::nullopt;
    }
    return std::nullopt;
}

QSize VeskBrandMark::sizeHint() const
{
    return QSize(side(m_size), side(m_size));
}

void VeskBrandMark::paintSuiteMark(QPainter &painter, const QSizeF &size)
{
    const qreal w = size.width(), h = size.height();
    QLinearGradient base(QPointF(0, 0), QPointF(w, h));
    base.setColorAt(0, veskColorFromHex(0xFFFFFF));
    base.setColorAt(0.55, veskColorFromHex(0xEEF1F6));
    base.setColorAt(1, veskColorFromHex(0xC3CAD8));
    QLinearGradient sheen(QPointF(0, h), QPointF(w, 0));
    sheen.setColorAt(0.3, veskColorFromHex(0xFFFFFF, 0));
    sheen.setColorAt(0.5, veskColorFromHex(0xFFFFFF, 0.55));
    sheen.setColorAt(0.7, veskColorFromHex(0xFFFFFF, 0));

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    for (const QList<QPointF> &piece : VeskBrandMarkGeometry::allPieces()) {
        const QPainterPath path = VeskBrandMarkGeometry::piecePath(piece, size);
        painter.fillPath(path, base);
        painter.fillPath(path, sheen);
    }
    painter.restore();
}

void VeskBrandMark::paintEvent(QPaintEvent *)
{
    if (side(m_size) == 0)
        return;
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF frame((width() - m_size) / 2.0, (height() - m_size) / 2.0, m_size, m_size);
    if (const std::optional<VeskAppIdentity> identity = resolvedIdentity()) {
        const QImage emblem = VeskEmblemRenderer::image(*identity, m_size, emblemScale, false);
        painter.drawImage(frame, emblem, QRectF(QPointF(0, 0), QSizeF(emblem.size())));
        return;
    }
    painter.translate(frame.topLeft());
    paintSuiteMark(painter, frame.size());
}
