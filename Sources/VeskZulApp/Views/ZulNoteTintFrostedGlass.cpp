#include "Views/ZulNoteTintFrostedGlass.h"

#include "VeskKit/Design/VeskColorHex.h"

QLinearGradient frostedGlassGradient(ZulNoteTint tint, double topOpacity, double bottomOpacity)
{
    QLinearGradient gradient(0, 0, 1, 1);
    gradient.setCoordinateMode(QGradient::ObjectMode);
    gradient.setColorAt(0, veskColorFromHex(surfaceTopHex(tint), topOpacity));
    gradient.setColorAt(1, veskColorFromHex(surfaceBottomHex(tint), bottomOpacity));
    return gradient;
}
