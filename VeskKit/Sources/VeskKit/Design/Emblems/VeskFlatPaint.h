#pragma once

#include <QColor>
#include <QtGlobal>

// How one emblem shape is applied: painted in a colour, or cut out of what the
// emblem has drawn so far.
class VeskFlatPaint
{
public:
    enum class Kind { color, cutout };

    static VeskFlatPaint color(const QColor &color);
    // `alpha` is the strength of the cut: 1 removes the coverage fully.
    static VeskFlatPaint cutout(qreal alpha);

    Kind kind() const { return m_kind; }
    // The paint colour of a `color` paint; invalid for a cut.
    QColor paintColor() const { return m_color; }
    // The cut strength of a `cutout` paint; 0 for a colour.
    qreal cutoutAlpha() const { return m_cutoutAlpha; }

    bool operator==(const VeskFlatPaint &other) const;

private:
    VeskFlatPaint(Kind kind, const QColor &color, qreal cutoutAlpha);

    Kind m_kind;
    QColor m_color;
    qreal m_cutoutAlpha;
};
