#pragma once

#include <QPointF>
#include <QWidget>

#include <functional>

// A region the user drags content out of its window with. It shows the open
// hand; once the pointer has moved 8 pixels from the press, the closed hand,
// and it reports each time the pointer crosses the window's frame grown by 4
// pixels (true: outside). Releasing outside reports the state back to false
// and then the drop point in screen coordinates; releasing inside drops
// nothing. A region whose window is gone reports nothing.
class VeskTearOffDragRegion : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal startDistance = 8;
    static constexpr int hostMargin = 4;

    VeskTearOffDragRegion(std::function<void(bool)> onTearOffStateChanged,
                          std::function<void(QPointF)> onTearOffDropped, QWidget *parent = nullptr);
    ~VeskTearOffDragRegion() override;

    // The owner hands its current actions again whenever it rebuilds.
    void setActions(std::function<void(bool)> onTearOffStateChanged, std::function<void(QPointF)> onTearOffDropped);

    bool isTracking() const { return m_isTracking; }
    bool isOutsideHost() const { return m_isOutsideHost; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void cleanup();

    std::function<void(bool)> m_onTearOffStateChanged;
    std::function<void(QPointF)> m_onTearOffDropped;
    bool m_isTracking = false;
    bool m_isOutsideHost = false;
    QPointF m_startScreenPoint;
    bool m_pushedCursor = false;
};
