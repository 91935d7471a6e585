#include "VeskKit/Design/VeskTitlebarObserver.h"

#include "VeskKit/Design/VeskTitlebarMetricsStore.h"
#include "VeskKit/Design/VeskUnifiedTitlebar.h"
#include "VeskKit/Design/VeskWindowControls.h"

#include <QEvent>
#include <QTimer>

VeskTitlebarObserver::VeskTitlebarObserver(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, true);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(0, 0);
}

VeskTitlebarObserver::~VeskTitlebarObserver()
{
    clearObservers();
}

void VeskTitlebarObserver::attach(QWidget *window)
{
    if (m_observedWindow) {
        if (!window) {
            clearObservers();
            m_observedWindow = nullptr;
            return;
        }
        if (window == m_observedWindow) {
            reportCurrentMetrics();
            return;
        }
    } else if (!window) {
        reportCurrentMetrics();
        return;
    }

    clearObservers();
    m_observedWindow = window;
    veskConfigureUnifiedTitlebar(window, m_mode);
    window->installEventFilter(this);
    m_observers.append(window);
    if (VeskWindowControls *controls = VeskWindowControls::of(window)) {
        // The buttons move when the titlebar row changes height.
        for (VeskWindowButton kind : {VeskWindowButton::close, VeskWindowButton::miniaturize, VeskWindowButton::zoom})
            if (QAbstractButton *button = controls->button(kind)) {
                button->installEventFilter(this);
                m_observers.append(button);
            }
        controls->installEventFilter(this);
        m_observers.append(controls);
    }

    reportCurrentMetrics();
    // Once more after the window has settled in the next turn of the loop.
    QTimer::singleShot(0, this, [self = QPointer<VeskTitlebarObserver>(this)] {
        if (self)
            self->reportCurrentMetrics();
    });
}

void VeskTitlebarObserver::reportCurrentMetrics()
{
    if (!m_observedWindow)
        return;
    const VeskUnifiedTitlebarMetrics metrics =
        veskMeasureTitlebarMetrics(m_observedWindow, m_fullscreenLeading, m_trafficLightGap);
    if (m_lastReported && *m_lastReported == metrics)
        return;
    m_lastReported = metrics;
    if (m_onMetricsChange)
        m_onMetricsChange(metrics);
}

void VeskTitlebarObserver::clearObservers()
{
    for (const QPointer<QObject> &observed : std::as_const(m_observers))
        if (observed)
            observed->removeEventFilter(this);
    m_observers.clear();
}

bool VeskTitlebarObserver::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)
        attach(window());
    return QWidget::event(event);
}

bool VeskTitlebarObserver::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
    case QEvent::LayoutRequest:
        // Measured on the next turn of the loop, once the change has settled
        // (the controls hide and show themselves around full screen), and
        // only once for a burst of events.
        if (m_observedWindow && !m_reportQueued) {
            m_reportQueued = true;
            QTimer::singleShot(0, this, [this] {
                m_reportQueued = false;
                reportCurrentMetrics();
            });
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

VeskTitlebarMetricsStore *veskUnifiedTitlebarWindow(QWidget *root, VeskUnifiedTitlebarMode mode,
                                                    qreal fullscreenLeading, qreal trafficLightGap)
{
    auto *store = new VeskTitlebarMetricsStore(root);
    auto *observer = new VeskTitlebarObserver(root);
    observer->setMode(mode);
    observer->setFullscreenLeading(fullscreenLeading);
    observer->setTrafficLightGap(trafficLightGap);
    observer->setOnMetricsChange([store = QPointer<VeskTitlebarMetricsStore>(store)](
                                     const VeskUnifiedTitlebarMetrics &metrics) {
        if (store)
            store->setMetrics(metrics);
    });
    observer->attach(root->window());
    return store;
}
