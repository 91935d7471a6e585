#pragma once

#include <QColor>
#include <QFont>

// The bright call-to-action look: dark semibold text on a near-white rounded
// rectangle that dims and shrinks slightly while pressed, easing out over
// 0.12 s each way. Applied by VeskButton.
struct VeskPrimaryButtonStyle {
    static constexpr qreal fontPixelSize = 13;
    static constexpr QFont::Weight fontWeight = QFont::DemiBold;
    static constexpr qreal horizontalPadding = 14;
    static constexpr qreal verticalPadding = 7;
    static constexpr qreal cornerRadius = 9;
    static constexpr qreal fillOpacity = 0.96;
    static constexpr qreal pressedFillOpacity = 0.82;
    static constexpr qreal pressedScale = 0.98;
    static constexpr int pressAnimationMs = 120;

    static QFont font();
    static QColor foreground();
    // The fill for a press amount between 0 (released) and 1 (pressed).
    static QColor fill(qreal pressAmount);
    static qreal scale(qreal pressAmount);
};
