#pragma once

#include "VeskKit/Design/Emblems/VeskFlatPaint.h"

#include <QColor>

// The colour model of an emblem. Artwork never names a colour itself: it asks
// the tone for paints, so one drawing serves both the white-glass glyph (inner
// details cut out as transparency) and the two-colour flat-light form (inner
// details painted in a fixed light tint).
struct VeskEmblemTone
{
    QColor primaryColor;
    QColor accentColor;
    bool isWhiteGlass = true;

    static const VeskEmblemTone &whiteGlass();
    static VeskEmblemTone flatLight(const QColor &primary, const QColor &accent);

    VeskFlatPaint primary() const;
    VeskFlatPaint accent() const;
    VeskFlatPaint mid() const;
    VeskFlatPaint soft() const;
    VeskFlatPaint stroke() const;
    VeskFlatPaint primaryAlpha(qreal alpha) const;
    VeskFlatPaint accentAlpha(qreal alpha) const;
    VeskFlatPaint onPrimaryAccent() const;
    // A detail inside the glyph: a hole of at least 0.55 under white glass, the
    // light tint at exactly `alpha` under flat light.
    VeskFlatPaint cutout(qreal alpha) const;

    bool operator==(const VeskEmblemTone &other) const = default;
};
