#include "VeskKit/Design/VeskProgressTrack.h"

#include "VeskKit/Design/VeskContinuousShape.h"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

VeskProgressTrack::VeskProgressTrack(qreal height, const QColor &track, qreal minimumFill, QWidget *parent)
    : QWidget(parent), m_height(height), m_track(track), m_minimumFill(minimumFill)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(int(std::lround(height)));
}

void VeskProgressTrack::setFraction(double fraction)
{
    m_fraction = fraction;
    update();
}

void VeskProgressTrack::setFillColours(const QColor &start, const QColor &end)
{
    m_fillStart = start;
    m_fillEnd = end;
    update();
}

qreal VeskProgressTrack::fillWidth(double fraction, qreal availableWidth, qreal minimumFill)
{
    if (!(fraction > 0))
        return 0;
    const double scaled = fraction * availableWidth;
    // An infinite fraction fills what there is rather than an endless shape.
    if (!std::isfinite(scaled))
        return std::max(availableWidth, minimumFill);
    return std::max(qreal(scaled), minimumFill);
}

QSize VeskProgressTrack::sizeHint() const
{
    return {120, int(std::lround(m_height))};
}

QSize VeskProgressTrack::minimumSizeHint() const
{
    return {0, int(std::lround(m_height))};
}

void VeskProgressTrack::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF bounds(rect());
    painter.fillPath(veskContinuousCapsule(bounds), m_track);
    const qreal fill = fillWidth();
    if (fill <= 0)
        return;
    const QRectF filled(bounds.left(), bounds.top(), fill, bounds.height());
    QLinearGradient gradient(filled.topLeft(), filled.topRight());
    gradient.setColorAt(0, m_fillStart);
    gradient.setColorAt(1, m_fillEnd);
    painter.fillPath(veskContinuousCapsule(filled), gradient);
}
