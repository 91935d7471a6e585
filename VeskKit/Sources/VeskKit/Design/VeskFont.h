#pragma once

#include <QFont>

#include <optional>

// The system font at a size given in device-independent pixels (one point of
// the design is one pixel), a weight and a design.
enum class VeskFontDesign {
    standard,
    monospaced,
    rounded,
};

// The platform's named text styles, each a fixed size of the system font.
enum class VeskTextStyle {
    largeTitle,
    title,
    title2,
    title3,
    headline,
    subheadline,
    body,
    callout,
    footnote,
    caption,
    caption2,
};

QFont veskSystemFont(double pixelSize, QFont::Weight weight = QFont::Normal,
                     VeskFontDesign design = VeskFontDesign::standard);

// The pixel size of a text style.
double veskTextStylePixelSize(VeskTextStyle style);
QFont veskTextStyleFont(VeskTextStyle style, std::optional<QFont::Weight> weight = std::nullopt,
                        VeskFontDesign design = VeskFontDesign::standard);

// The size the font was asked for, in pixels, whether it was set in pixels or
// (for fractional sizes) in points.
double veskFontPixelSize(const QFont &font);
