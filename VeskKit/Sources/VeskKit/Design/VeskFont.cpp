#include "VeskKit/Design/VeskFont.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace {

double logicalDpi()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const double dpi = screen->logicalDotsPerInchY();
        if (dpi > 0)
            return dpi;
    }
    return 96.0;
}

} // namespace

QFont veskSystemFont(double pixelSize, QFont::Weight weight, VeskFontDesign design)
{
    QFont font = design == VeskFontDesign::monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont)
                                                      : QGuiApplication::font();
    if (design == VeskFontDesign::monospaced)
        font.setStyleHint(QFont::Monospace);
    // No rounded system face exists here; the standard face stands in for it.
    if (pixelSize <= 0)
        pixelSize = 1;
    // QFont only takes whole pixel sizes; a fractional size (12.5) is set in
    // points at the screen's logical resolution so it is not rounded away.
    if (std::floor(pixelSize) == pixelSize)
        font.setPixelSize(int(pixelSize));
    else
        font.setPointSizeF(pixelSize * 72.0 / logicalDpi());
    font.setWeight(weight);
    return font;
}

double veskTextStylePixelSize(VeskTextStyle style)
{
    switch (style) {
    case VeskTextStyle::largeTitle: return 26;
    case VeskTextStyle::title: return 22;
    case VeskTextStyle::title2: return 17;
    case VeskTextStyle::title3: return 15;
    case VeskTextStyle::headline: return 13;
    case VeskTextStyle::subheadline: return 11;
    case VeskTextStyle::body: return 13;
    case VeskTextStyle::callout: return 12;
    case VeskTextStyle::footnote: return 10;
    case VeskTextStyle::caption: return 10;
    case VeskTextStyle::caption2: return 10;
    }
    return 13;
}

QFont veskTextStyleFont(VeskTextStyle style, std::optional<QFont::Weight> weight, VeskFontDesign design)
{
    const QFont::Weight base = style == VeskTextStyle::headline ? QFont::Bold : QFont::Normal;
    return veskSystemFont(veskTextStylePixelSize(style), weight.value_or(base), design);
}

double veskFontPixelSize(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return font.pointSizeF() * logicalDpi() / 72.0;
}
