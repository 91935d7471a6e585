#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

// The host of every floating panel's content. A click into an inactive panel
// already reaches the control under the pointer here (the panels are shown
// without activation and Qt delivers that first press as usual), so what
// this view adds is hover reporting: with a callback set, it reports
// whenever the pointer enters or leaves it, only on changes, and after every
// resize, move or show it re-checks where the pointer rests, so a panel that
// appears or moves under a still pointer is reported right.
class FirstClickHostingView : public QWidget {
    Q_OBJECT
public:
    explicit FirstClickHostingView(QWidget *rootView, QWidget *parent = nullptr);

    QWidget *rootView() const { return m_rootView; }

    // Takes effect at the next updateTrackingAreas().
    void setOnHoverChanged(std::function<void(bool)> callback);
    bool hasHoverTracking() const { return m_hoverTracking; }
    bool isPointerInside() const { return m_isPointerInside; }

    // Drops the hover tracking and, when a callback is set, installs it
    // again and reports the pointer's current state if it changed.
    void updateTrackingAreas();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void nameWindow();
    void syncPointerLocation();
    void updateHover(bool inside);

    QWidget *m_rootView;
    std::function<void(bool)> m_onHoverChanged;
    QPointer<QWidget> m_watchedWindow;
    bool m_hoverTracking = false;
    bool m_isPointerInside = false;
};
