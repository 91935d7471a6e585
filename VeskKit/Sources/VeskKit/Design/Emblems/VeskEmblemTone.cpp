#include "VeskKit/Design/Emblems/VeskEmblemTone.h"

#include <algorithm>
#include <cmath>

namespace {

// The alpha is replaced, never multiplied: primaryAlpha(0.5) of a colour at
// 0.98 is 0.5, not 0.49.
QColor withAlpha(const QColor &color, qreal alpha)
{
    if (!color.isValid() || !std::isfinite(alpha))
        return color;
    QColor copy = color;
    copy.setAlphaF(float(std::clamp(alpha, 0.0, 1.0)));
    return copy;
}

} // namespace

const VeskEmblemTone &VeskEmblemTone::whiteGlass()
{
    static const VeskEmblemTone tone{QColor::fromRgbF(1, 1, 1, 0.98f),
                                     QColor::fromRgbF(1, 1, 1, 0.72f), true};
    return tone;
}

VeskEmblemTone VeskEmblemTone::flatLight(const QColor &primary, const QColor &accent)
{
    return VeskEmblemTone{primary, accent, false};
}

VeskFlatPaint VeskEmblemTone::primary() const
{
    return VeskFlatPaint::color(primaryColor);
}

VeskFlatPaint VeskEmblemTone::accent() const
{
    return VeskFlatPaint::color(accentColor);
}

VeskFlatPaint VeskEmblemTone::mid() const
{
    return VeskFlatPaint::color(withAlpha(primaryColor, 0.46));
}

VeskFlatPaint VeskEmblemTone::soft() const
{
    return VeskFlatPaint::color(withAlpha(primaryColor, isWhiteGlass ? 0.16 : 0.11));
}

VeskFlatPaint VeskEmblemTone::stroke() const
{
    return VeskFlatPaint::color(withAlpha(primaryColor, isWhiteGlass ? 0.42 : 0.28));
}

VeskFlatPaint VeskEmblemTone::primaryAlpha(qreal alpha) const
{
    return VeskFlatPaint::color(withAlpha(primaryColor, alpha));
}

VeskFlatPaint VeskEmblemTone::accentAlpha(qreal alpha) const
{
    return VeskFlatPaint::color(withAlpha(accentColor, alpha));
}

VeskFlatPaint VeskEmblemTone::onPrimaryAccent() const
{
    return isWhiteGlass ? VeskFlatPaint::cutout(0.86) : VeskFlatPaint::color(accentColor);
}

VeskFlatPaint VeskEmblemTone::cutout(qreal alpha) const
{
    if (isWhiteGlass)
        return VeskFlatPaint::cutout(std::min(std::max(alpha * 1.15, 0.55), 1.0));
    static const QColor lightTint = QColor::fromRgbF(238 / 255.0f, 241 / 255.0f, 247 / 255.0f);
    return VeskFlatPaint::color(withAlpha(lightTint, alpha));
}
