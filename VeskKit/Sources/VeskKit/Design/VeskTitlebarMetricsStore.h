#pragma once

#include "VeskKit/Design/VeskUnifiedTitlebarMetrics.h"

#include <QObject>

class QWidget;

// The titlebar metrics of one window as the content reads them: held by the
// root widget of the content and found by every widget below it, the way a
// value set on a view is seen by all views inside it. Widgets outside any
// store see the default record.
class VeskTitlebarMetricsStore : public QObject {
    Q_OBJECT
public:
    explicit VeskTitlebarMetricsStore(QObject *parent = nullptr);

    const VeskUnifiedTitlebarMetrics &metrics() const { return m_metrics; }
    // Announces only a record that differs from the held one.
    void setMetrics(const VeskUnifiedTitlebarMetrics &metrics);

    // The store held by `widget` or its nearest ancestor holding one.
    static VeskTitlebarMetricsStore *nearest(const QWidget *widget);
    // That store's metrics, else the default record.
    static VeskUnifiedTitlebarMetrics metricsFor(const QWidget *widget);

signals:
    void metricsChanged(const VeskUnifiedTitlebarMetrics &metrics);

private:
    VeskUnifiedTitlebarMetrics m_metrics;
};
