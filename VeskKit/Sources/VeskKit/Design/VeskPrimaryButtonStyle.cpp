#include "VeskKit/Design/VeskPrimaryButtonStyle.h"

#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFont.h"

QFont VeskPrimaryButtonStyle::font()
{
    return veskSystemFont(fontPixelSize, fontWeight);
}

QColor VeskPrimaryButtonStyle::foreground()
{
    return veskColorFromHex(0x000000, 0.9);
}

QColor VeskPrimaryButtonStyle::fill(qreal pressAmount)
{
    return veskColorFromHex(0xFFFFFF, fillOpacity + (pressedFillOpacity - fillOpacity) * pressAmount);
}

qreal VeskPrimaryButtonStyle::scale(qreal pressAmount)
{
    return 1.0 + (pressedScale - 1.0) * pressAmount;
}
