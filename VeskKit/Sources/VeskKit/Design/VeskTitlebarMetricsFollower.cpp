#include "VeskKit/Design/VeskTitlebarMetricsFollower.h"

#include "VeskKit/Design/VeskTitlebarMetricsStore.h"

#include <QEvent>
#include <QWidget>

VeskTitlebarMetricsFollower::VeskTitlebarMetricsFollower(QWidget *widget, Apply apply)
    : QObject(widget), m_widget(widget), m_apply(std::move(apply))
{
    widget->installEventFilter(this);
    refresh();
}

void VeskTitlebarMetricsFollower::refresh()
{
    VeskTitlebarMetricsStore *store = VeskTitlebarMetricsStore::nearest(m_widget);
    if (store != m_store) {
        disconnect(m_connection);
        m_store = store;
        if (store)
            m_connection = connect(store, &VeskTitlebarMetricsStore::metricsChanged, this,
                                   &VeskTitlebarMetricsFollower::deliver);
    }
    deliver(store ? store->metrics() : VeskUnifiedTitlebarMetrics());
}

bool VeskTitlebarMetricsFollower::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_widget && (event->type() == QEvent::ParentChange || event->type() == QEvent::Show))
        refresh();
    return QObject::eventFilter(watched, event);
}

void VeskTitlebarMetricsFollower::deliver(const VeskUnifiedTitlebarMetrics &metrics)
{
    m_current = metrics;
    if (m_apply)
        m_apply(metrics);
}
