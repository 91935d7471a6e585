#include "VeskKit/Design/VeskGlassButtonStyle.h"

#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"

QFont VeskGlassButtonStyle::font()
{
    return veskSystemFont(fontPixelSize, fontWeight);
}

QColor VeskGlassButtonStyle::foreground()
{
    return VeskGlassTokens::textPrimary();
}

QColor VeskGlassButtonStyle::fill() const
{
    return isActive ? VeskGlassTokens::surface3() : VeskGlassTokens::surface2();
}

QColor VeskGlassButtonStyle::border() const
{
    return isActive ? VeskGlassTokens::borderStrong() : VeskGlassTokens::borderSubtle();
}
