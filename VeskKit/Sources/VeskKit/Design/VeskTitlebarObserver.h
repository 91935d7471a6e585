#pragma once

#include "VeskKit/Design/VeskUnifiedTitlebarMetrics.h"
#include "VeskKit/Design/VeskUnifiedTitlebarMode.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

// An invisible widget that watches the window it is in: it sets the window's
// title bar up for its mode when it first meets the window, re-measures the
// window controls whenever the window or the controls change size, position,
// visibility or full-screen state, and reports each record that differs from
// the last one it reported.
class VeskTitlebarObserver : public QWidget {
    Q_OBJECT
public:
    using MetricsHandler = std::function<void(const VeskUnifiedTitlebarMetrics &)>;

    explicit VeskTitlebarObserver(QWidget *parent = nullptr);
    ~VeskTitlebarObserver() override;

    VeskUnifiedTitlebarMode mode() const { return m_mode; }
    void setMode(VeskUnifiedTitlebarMode mode) { m_mode = mode; }
    qreal fullscreenLeading() const { return m_fullscreenLeading; }
    void setFullscreenLeading(qreal leading) { m_fullscreenLeading = leading; }
    qreal trafficLightGap() const { return m_trafficLightGap; }
    void setTrafficLightGap(qreal gap) { m_trafficLightGap = gap; }
    void setOnMetricsChange(MetricsHandler handler) { m_onMetricsChange = std::move(handler); }

    QWidget *observedWindow() const { return m_observedWindow; }
    const std::optional<VeskUnifiedTitlebarMetrics> &lastReported() const { return m_lastReported; }

    // Starts, keeps or stops watching: null stops; the window already watched
    // is only measured again; another window is set up and watched instead.
    void attach(QWidget *window);
    // Measures the watched window and reports a changed record.
    void reportCurrentMetrics();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void clearObservers();

    VeskUnifiedTitlebarMode m_mode = VeskUnifiedTitlebarMode::unifiedHeader;
    qreal m_fullscreenLeading = VeskUnifiedTitlebarMetrics::fullscreenLeadingMargin;
    qreal m_trafficLightGap = VeskUnifiedTitlebarMetrics::trafficLightGap;
    MetricsHandler m_onMetricsChange;
    QList<QPointer<QObject>> m_observers;
    QPointer<QWidget> m_observedWindow;
    std::optional<VeskUnifiedTitlebarMetrics> m_lastReported;
    bool m_reportQueued = false;
};

class VeskTitlebarMetricsStore;

// Gives `root` (the top of a window's content, usually the window itself)
// the kit's title bar in `mode`: the window is set up and watched, and the
// measured metrics are published in a store on `root` that every widget
// inside it reads. Returns that store.
VeskTitlebarMetricsStore *veskUnifiedTitlebarWindow(QWidget *root, VeskUnifiedTitlebarMode mode,
                                                    qreal fullscreenLeading, qreal trafficLightGap);
