#include "VeskKit/Design/VeskActivitySpinner.h"

#include <QPainter>
#include <QPen>

#include <cmath>

VeskActivitySpinner::VeskActivitySpinner(qreal side, const QColor &colour, QWidget *parent)
    : QWidget(parent), m_side(side), m_colour(colour)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_turn.setInterval(70);
    connect(&m_turn, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + 30) % 360;
        update();
    });
}

QSize VeskActivitySpinner::sizeHint() const
{
    const int side = int(std::ceil(m_side));
    return {side, side};
}

// Turning only while visible keeps hidden banners from waking the loop.
void VeskActivitySpinner::showEvent(QShowEvent *)
{
    m_turn.start();
}

void VeskActivitySpinner::hideEvent(QHideEvent *)
{
    m_turn.stop();
}

void VeskActivitySpinner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal side = std::min(width(), height());
    const QRectF ring(QPointF((width() - side) / 2 + 1.5, (height() - side) / 2 + 1.5), QSizeF(side - 3, side - 3));
    QColor faint = m_colour;
    faint.setAlphaF(m_colour.alphaF() * 0.25);
    painter.setPen(QPen(faint, 2));
    painter.drawEllipse(ring);
    painter.setPen(QPen(m_colour, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, -m_angle * 16, 110 * 16);
}
