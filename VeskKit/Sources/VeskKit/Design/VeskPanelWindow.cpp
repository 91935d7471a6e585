#include "VeskKit/Design/VeskPanelWindow.h"

#include "X11PanelStates.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace {

const char *const kPanelProperty = "_vesk_panel";
const char *const kStatesProperty = "_vesk_panel_states";
const char *const kActivationProperty = "_vesk_panel_activation";

xcb_connection_t *x11Connection()
{
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x11->connection();
    return nullptr;
}

void mark(QWidget *window)
{
    if (QWindow *handle = window->windowHandle())
        handle->setProperty(kPanelProperty, true);
}

void requestUserActivation(QWidget *window)
{
    window->setProperty(kActivationProperty, QVariant());
    X11PanelStates::requestUserActivation(x11Connection(), uint32_t(window->winId()));
}

// A widget's show event comes after its native window is made and before it
// is mapped: the one moment to ask for states the window manager reads at
// the map. An activation asked for before the window manager has taken the
// window on waits until the window is exposed.
class PanelStates : public QObject
{
public:
    explicit PanelStates(QWidget *window) : QObject(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = static_cast<QWidget *>(parent());
        if (event->type() == QEvent::Show && watched == window) {
            mark(window);
            if (!window->testAttribute(Qt::WA_DontShowOnScreen))
                X11PanelStates::askBeforeMap(x11Connection(), uint32_t(window->winId()));
            if (QWindow *handle = window->windowHandle(); handle && handle != m_handle) {
                m_handle = handle;
                handle->installEventFilter(this);
            }
        } else if (event->type() == QEvent::Expose && watched == m_handle && m_handle->isExposed()
                   && window->property(kActivationProperty).toBool()) {
            requestUserActivation(window);
        }
        return false;
    }

private:
    QPointer<QWindow> m_handle;
};

} // namespace

namespace VeskPanelWindow {

void makePanel(QWidget *window)
{
    if (!window || window->property(kStatesProperty).toBool())
        return;
    window->setProperty(kStatesProperty, true);
    new PanelStates(window);
    mark(window);
}

bool isPanel(const QWindow *window)
{
    return window && window->property(kPanelProperty).toBool();
}

void activate(QWidget *window)
{
    window->activateWindow();
    if (!x11Connection())
        return;
    if (QWindow *handle = window->windowHandle(); handle && handle->isExposed())
        requestUserActivation(window);
    else
        window->setProperty(kActivationProperty, true);
}

} // namespace VeskPanelWindow
