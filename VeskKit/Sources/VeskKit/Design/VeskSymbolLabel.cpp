#include "VeskKit/Design/VeskSymbolLabel.h"

#include "VeskKit/Design/VeskSymbol.h"

#include <QPainter>

#include <cmath>

VeskSymbolLabel::VeskSymbolLabel(const QString &name, qreal fontPixelSize, QFont::Weight weight,
                                 const QColor &colour, QWidget *parent)
    : QWidget(parent), m_name(name), m_fontPixelSize(fontPixelSize), m_weight(weight), m_colour(colour)
{
    VeskSymbol::prepare(name, weight);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void VeskSymbolLabel::setName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    update();
}

void VeskSymbolLabel::setColour(const QColor &colour)
{
    if (colour == m_colour)
        return;
    m_colour = colour;
    update();
}

void VeskSymbolLabel::setFontPixelSize(qreal size)
{
    if (size == m_fontPixelSize)
        return;
    m_fontPixelSize = size;
    updateGeometry();
    update();
}

void VeskSymbolLabel::setWeight(QFont::Weight weight)
{
    if (weight == m_weight)
        return;
    m_weight = weight;
    update();
}

QSize VeskSymbolLabel::sizeHint() const
{
    const int side = int(std::ceil(VeskSymbol::boxSide(m_fontPixelSize)));
    return {side, side};
}

QSize VeskSymbolLabel::minimumSizeHint() const
{
    return sizeHint();
}

void VeskSymbolLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const qreal side = VeskSymbol::boxSide(m_fontPixelSize);
    const QRectF box(QPointF(0, 0), QSizeF(side, side));
    VeskSymbol::paint(painter, box.translated(QRectF(rect()).center() - box.center()), m_name, m_colour, m_weight);
}
