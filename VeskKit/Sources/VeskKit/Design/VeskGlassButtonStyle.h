#pragma once

#include <QColor>
#include <QFont>

// The quiet glass look: light text on a translucent rounded rectangle with a
// one-pixel inner border, brighter when active, drawn at 0.78 opacity while
// pressed (no animation). Applied by VeskButton.
struct VeskGlassButtonStyle {
    bool isActive = false;

    static constexpr qreal fontPixelSize = 12.5;
    static constexpr QFont::Weight fontWeight = QFont::Medium;
    static constexpr qreal horizontalPadding = 11;
    static constexpr qreal verticalPadding = 6;
    static constexpr qreal cornerRadius = 8;
    static constexpr qreal pressedOpacity = 0.78;

    static QFont font();
    static QColor foreground();
    QColor fill() const;
    QColor border() const;

    bool operator==(const VeskGlassButtonStyle &) const = default;
};
