#include "VeskKit/Design/Emblems/VeskFlatPaint.h"

VeskFlatPaint::VeskFlatPaint(Kind kind, const QColor &color, qreal cutoutAlpha)
    : m_kind(kind), m_color(color), m_cutoutAlpha(cutoutAlpha)
{
}

VeskFlatPaint VeskFlatPaint::color(const QColor &color)
{
    return VeskFlatPaint(Kind::color, color, 0);
}

VeskFlatPaint VeskFlatPaint::cutout(qreal alpha)
{
    return VeskFlatPaint(Kind::cutout, QColor(), alpha);
}

bool VeskFlatPaint::operator==(const VeskFlatPaint &other) const
{
    return m_kind == other.m_kind && m_color == other.m_color
        && qFuzzyCompare(1.0 + m_cutoutAlpha, 1.0 + other.m_cutoutAlpha);
}
