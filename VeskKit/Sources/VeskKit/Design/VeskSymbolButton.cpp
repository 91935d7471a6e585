#include "VeskKit/Design/VeskSymbolButton.h"

#include "VeskKit/Design/VeskSymbol.h"

#include <QPainter>

#include <cmath>

VeskSymbolButton::VeskSymbolButton(const QString &symbol, qreal pixelSize, const QColor &colour, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol), m_pixelSize(pixelSize), m_colour(colour)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    // The arrow, whatever cursor the surface under the button shows.
    setCursor(Qt::ArrowCursor);
}

QSize VeskSymbolButton::sizeHint() const
{
    const int side = int(std::ceil(VeskSymbol::boxSide(m_pixelSize)));
    return {side, side};
}

QSize VeskSymbolButton::minimumSizeHint() const
{
    return sizeHint();
}

void VeskSymbolButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (isDown())
        painter.setOpacity(0.7);
    VeskSymbol::paint(painter, QRectF(rect()), m_symbol, m_colour);
}
