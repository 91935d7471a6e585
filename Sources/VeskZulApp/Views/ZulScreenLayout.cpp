#include "Views/ZulScreenLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace {

const QRectF kFallbackVisibleFrame(0, 0, 1440, 900);

} // namespace

ZulScreenLayout ZulScreenLayout::current()
{
    ZulScreenLayout layout;
    const QList<QScreen *> screens = QGuiApplication::screens();
    QScreen *primary = QGuiApplication::primaryScreen();
    if (!primary && !screens.isEmpty())
        primary = screens.first();
    if (!primary)
        return layout;

    const QRect primaryGeometry = primary->geometry();
    layout.flipAxis = primaryGeometry.y() + primaryGeometry.height();

    // Primary first, the others in Qt's order.
    QList<QScreen *> ordered{primary};
    for (QScreen *screen : screens) {
        if (screen != primary)
            ordered.append(screen);
    }
    QScreen *main = primary;
    if (QWindow *active = QGuiApplication::focusWindow(); active && active->screen())
        main = active->screen();

    for (QScreen *screen : ordered) {
        if (screen == main)
            layout.mainIndex = layout.screens.size();
        layout.screens.append(
            {ZulScreenCoordinates::toBottomLeft(QRectF(screen->geometry()), layout.flipAxis),
             ZulScreenCoordinates::toBottomLeft(QRectF(screen->availableGeometry()), layout.flipAxis)});
    }
    return layout;
}

QRectF ZulScreenLayout::mainVisibleFrame() const
{
    if (mainIndex && *mainIndex >= 0 && *mainIndex < screens.size())
        return screens.at(*mainIndex).visibleFrame;
    if (!screens.isEmpty())
        return screens.first().visibleFrame;
    return kFallbackVisibleFrame;
}

namespace ZulScreenCoordinates {

QRectF toBottomLeft(const QRectF &qtRect, qreal flipAxis)
{
    return QRectF(qtRect.x(), flipAxis - (qtRect.y() + qtRect.height()), qtRect.width(), qtRect.height());
}

QRectF toTopLeft(const QRectF &bottomLeftRect, qreal flipAxis)
{
    return QRectF(bottomLeftRect.x(), flipAxis - (bottomLeftRect.y() + bottomLeftRect.height()),
                  bottomLeftRect.width(), bottomLeftRect.height());
}

QPointF pointToBottomLeft(const QPointF &qtPoint, qreal flipAxis)
{
    return QPointF(qtPoint.x(), flipAxis - qtPoint.y());
}

bool containsPointer(const QRectF &rect, const QPointF &point)
{
    const QRectF r = rect.normalized();
    return point.x() >= r.left() && point.x() < r.right() && point.y() > r.top() && point.y() <= r.bottom();
}

} // namespace ZulScreenCoordinates
