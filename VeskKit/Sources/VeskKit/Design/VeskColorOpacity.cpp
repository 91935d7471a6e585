#include "VeskKit/Design/VeskColorOpacity.h"

QColor veskColorWithOpacity(QColor colour, qreal opacity)
{
    colour.setAlphaF(float(opacity));
    return colour;
}

QColor veskColorFaded(QColor colour, qreal factor)
{
    colour.setAlphaF(float(colour.alphaF() * factor));
    return colour;
}
