#pragma once

#include "VeskKit/Design/VeskUnifiedTitlebarMetrics.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;
class VeskTitlebarMetricsStore;

// Keeps a widget in step with the titlebar metrics it sees: finds the nearest
// store each time the widget is shown or moved to another parent, and calls
// `apply` with its metrics then and on every change (with the default record
// while there is no store). Owned by the widget it follows for.
class VeskTitlebarMetricsFollower : public QObject {
    Q_OBJECT
public:
    using Apply = std::function<void(const VeskUnifiedTitlebarMetrics &)>;

    VeskTitlebarMetricsFollower(QWidget *widget, Apply apply);

    const VeskUnifiedTitlebarMetrics &current() const { return m_current; }
    // Looks the store up again now.
    void refresh();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void deliver(const VeskUnifiedTitlebarMetrics &metrics);

    QWidget *m_widget;
    Apply m_apply;
    QPointer<VeskTitlebarMetricsStore> m_store;
    QMetaObject::Connection m_connection;
    VeskUnifiedTitlebarMetrics m_current;
};
