#include "VeskKit/Design/VeskTitlebarMetricsStore.h"

#include <QWidget>

VeskTitlebarMetricsStore::VeskTitlebarMetricsStore(QObject *parent) : QObject(parent) {}

void VeskTitlebarMetricsStore::setMetrics(const VeskUnifiedTitlebarMetrics &metrics)
{
    if (metrics == m_metrics)
        return;
    m_metrics = metrics;
    emit metricsChanged(m_metrics);
}

VeskTitlebarMetricsStore *VeskTitlebarMetricsStore::nearest(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget())
        if (auto *store = w->findChild<VeskTitlebarMetricsStore *>(QString(), Qt::FindDirectChildrenOnly))
            return store;
    return nullptr;
}

VeskUnifiedTitlebarMetrics VeskTitlebarMetricsStore::metricsFor(const QWidget *widget)
{
    if (const VeskTitlebarMetricsStore *store = nearest(widget))
        return store->metrics();
    return VeskUnifiedTitlebarMetrics();
}
