#include "VeskKit/Design/Emblems/VeskAppEmblem.h"

#include "VeskKit/Design/Emblems/VeskEmblemRenderer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Asked for at two pixels per point on every display, so one cached image
// serves standard and high-density screens alike.
constexpr qreal emblemScale = 2;

int frameSide(qreal size)
{
    if (!std::isfinite(size) || size <= 0)
        return 0;
    return int(std::ceil(std::min(size, qreal(QWIDGETSIZE_MAX))));
}

} // namespace

VeskAppEmblem::VeskAppEmblem(VeskAppIdentity app, qreal size, bool asTemplate, QWidget *parent)
    : QWidget(parent), m_app(app), m_size(size), m_asTemplate(asTemplate)
{
    const int side = frameSide(size);
    setFixedSize(side, side);
}

QSize VeskAppEmblem::sizeHint() const
{
    const int side = frameSide(m_size);
    return QSize(side, side);
}

void VeskAppEmblem::paintEvent(QPaintEvent *)
{
    const int side = frameSide(m_size);
    if (side == 0)
        return;
    QImage emblem = VeskEmblemRenderer::image(m_app, m_size, emblemScale, m_asTemplate);
    if (m_asTemplate) {
        // Only the emblem's coverage survives; its colour becomes the foreground.
        QImage tinted = emblem.copy();
        QPainter tint(&tinted);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(QRectF(QPointF(0, 0), tinted.deviceIndependentSize()),
                      palette().color(foregroundRole()));
        tint.end();
        emblem = tinted;
    }

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const QRectF frame((width() - m_size) / 2.0, (height() - m_size) / 2.0, m_size, m_size);
    painter.drawImage(frame, emblem, QRectF(QPointF(0, 0), QSizeF(emblem.size())));
}
