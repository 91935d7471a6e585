#include "VeskKit/Design/Emblems/VeskAppIcon.h"

#include "VeskKit/Design/Emblems/VeskEmblemRenderer.h"
#include "VeskKit/Design/Emblems/VeskEmblemTone.h"

#include <QPainter>
#include <QPixmap>

namespace VeskAppIcon {

void paint(QPainter &painter, const QRectF &target, VeskAppIdentity app, VeskProductPalette palette)
{
    // The ground's brightest stop carries the shape; the accent marks the detail.
    const VeskEmblemTone tone = VeskEmblemTone::flatLight(groundStops(palette).topLeft, accentColor(palette));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    VeskEmblemRenderer::mapGridToSquare(painter, target);
    VeskEmblemRenderer::drawFlatEmblem(app, painter, tone);
    painter.restore();
}

QImage image(VeskAppIdentity app, VeskProductPalette palette, int pixelSize)
{
    QImage icon(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (icon.isNull())
        return icon;
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    paint(painter, QRectF(0, 0, pixelSize, pixelSize), app, palette);
    return icon;
}

QIcon windowIcon(VeskAppIdentity app, VeskProductPalette palette)
{
    QIcon icon;
    for (int size : pixelSizes) {
        if (size <= 128)
            icon.addPixmap(QPixmap::fromImage(image(app, palette, size)));
    }
    return icon;
}

} // namespace VeskAppIcon
