#include "Views/ZulPanelCornerMask.h"

#include "X11Compositor.h"

#include <QGuiApplication>
#include <QPainterPath>
#include <QPolygon>
#include <QWidget>

#include <optional>

namespace {

bool needsMask()
{
    // Asked once: a compositing manager started later only costs the
    // corners their smoothing.
    static const bool uncomposited = QGuiApplication::platformName() == QLatin1String("xcb")
        && !X11Compositor::isActive();
    return uncomposited;
}

} // namespace

namespace ZulPanelCornerMask {

QRegion roundedRegion(QSize size, qreal radius)
{
    if (size.isEmpty())
        return {};
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), radius, radius);
    return QRegion(shape.toFillPolygon().toPolygon(), Qt::WindingFill);
}

void apply(QWidget *window, qreal radius)
{
    if (!needsMask())
        return;
    window->setMask(roundedRegion(window->size(), radius));
}

void apply(QWidget *window, qreal radius, const QRect &shape)
{
    if (!needsMask())
        return;
    window->setMask(roundedRegion(shape.size(), radius).translated(shape.topLeft()) & window->rect());
}

} // namespace ZulPanelCornerMask
