#include "Views/ZulScreenLayout.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformwindow.h>

#include <algorithm>
#include <cmath>

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

QRectF ZulScreenLayout::visibleFrameAt(const std::optional<QPointF> &point) const
{
    if (point) {
        for (const ZulScreenFrames &screen : screens) {
            if (ZulScreenCoordinates::containsPointer(screen.frame, *point))
                return screen.visibleFrame;
        }
    }
    return mainVisibleFrame();
}

bool ZulScreenLayout::isReachable(const QRectF &frame) const
{
    const qreal stripHeight = std::min(titleStripHeight, frame.height());
    // bottom() is the top edge in this form.
    const QRectF strip(frame.left(), frame.bottom() - stripHeight, frame.width(), stripHeight);
    return std::any_of(screens.cbegin(), screens.cend(), [&](const ZulScreenFrames &screen) {
        const QRectF onScreen = strip.intersected(screen.visibleFrame);
        return onScreen.width() >= grabSize.width() && onScreen.height() >= std::min(grabSize.height(), stripHeight);
    });
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

QRect wholeDevicePixels(const QRectF &deviceFrame, bool outward, Qt::Edges anchored, QSize increment)
{
    const auto round = [outward](qreal value, bool low) {
        return int(outward ? (low ? std::floor(value) : std::ceil(value)) : std::round(value));
    };
    int left = round(deviceFrame.left(), true);
    int top = round(deviceFrame.top(), true);
    int right = round(deviceFrame.right(), false);
    int bottom = round(deviceFrame.bottom(), false);
    const auto grow = [](int &low, int &high, int step, bool anchoredHigh) {
        if (step <= 1)
            return;
        const int missing = (step - (high - low) % step) % step;
        if (anchoredHigh)
            low -= missing;
        else
            high += missing;
    };
    grow(left, right, increment.width(), anchored.testFlag(Qt::RightEdge) && !anchored.testFlag(Qt::LeftEdge));
    grow(top, bottom, increment.height(), anchored.testFlag(Qt::BottomEdge) && !anchored.testFlag(Qt::TopEdge));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

} // namespace ZulScreenCoordinates

namespace {

const char *const kPendingFrame = "_zul_pending_frame";
const char *const kPendingOutward = "_zul_pending_outward";
const char *const kPendingAnchors = "_zul_pending_anchors";
const char *const kWatched = "_zul_pending_watched";

void placeExactly(QWidget *window, const QRectF &frame, bool outward, Qt::Edges anchored)
{
    QWindow *handle = window->windowHandle();
    QPlatformWindow *platform = handle ? handle->handle() : nullptr;
    if (!platform)
        return;
    const QRect exact = ZulScreenCoordinates::wholeDevicePixels(QHighDpi::toNativeWindowGeometry(frame, handle),
                                                                outward, anchored, platform->windowSizeIncrement());
    if (platform->geometry() != exact)
        platform->setGeometry(exact);
}

// Takes a window not shown yet to its exact place once Qt has shown it: Qt
// puts a window it shows at its own geometry, in whole points.
class PendingPlacement : public QObject
{
public:
    explicit PendingPlacement(QWidget *window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || watched != parent())
            return false;
        QTimer::singleShot(0, this, [window = QPointer<QWidget>(static_cast<QWidget *>(watched))] {
            if (!window || !window->property(kPendingFrame).isValid())
                return;
            const QRectF frame = window->property(kPendingFrame).toRectF();
            window->setProperty(kPendingFrame, QVariant());
            // Still where it was asked to be, give or take the point the
            // window system rounded away; moved or resized since, it stays.
            const QRect asked = frame.toRect();
            const QRect now = window->geometry();
            const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
            if (near(now.left(), asked.left()) && near(now.top(), asked.top()) && near(now.right(), asked.right())
                && near(now.bottom(), asked.bottom()))
                placeExactly(window, frame, window->property(kPendingOutward).toBool(),
                             Qt::Edges(window->property(kPendingAnchors).toInt()));
        });
        return false;
    }
};

} // namespace

namespace ZulWindowPlacement {

QRectF frameOf(const QWidget *window)
{
    QWindow *handle = window->windowHandle();
    QPlatformWindow *platform = handle ? handle->handle() : nullptr;
    if (!platform)
        return QRectF(window->geometry());
    return QHighDpi::fromNativeWindowGeometry(QRectF(platform->geometry()), handle);
}

void place(QWidget *window, const QRectF &frame, bool outward, Qt::Edges anchored)
{
    window->setGeometry(frame.toRect());
    if (window->isVisible()) {
        window->setProperty(kPendingFrame, QVariant());
        placeExactly(window, frame, outward, anchored);
        return;
    }
    if (!window->property(kWatched).toBool()) {
        window->setProperty(kWatched, true);
        new PendingPlacement(window);
    }
    window->setProperty(kPendingFrame, frame);
    window->setProperty(kPendingOutward, outward);
    window->setProperty(kPendingAnchors, int(anchored));
}

} // namespace ZulWindowPlacement
