#include "VeskKit/Design/VeskColorHex.h"

QColor veskColorFromHex(quint32 hex, double opacity)
{
    const int red = int((hex >> 16) & 0xFFu);
    const int green = int((hex >> 8) & 0xFFu);
    const int blue = int(hex & 0xFFu);
    QColor colour = QColor::fromRgb(red, green, blue);
    colour.setAlphaF(float(opacity));
    return colour;
}

QString veskStyleSheetColor(const QColor &colour)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alpha());
}
