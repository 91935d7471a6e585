#pragma once

#include "VeskKit/Design/VeskWindowDragGesture.h"

#include <QWidget>

// An empty area that acts as the window's title bar: drag it to move the
// window, double-click it for the desktop's title-bar double-click action.
// Put it behind a header's content; presses the content ignores reach it.
class VeskWindowDragArea : public QWidget {
    Q_OBJECT
public:
    explicit VeskWindowDragArea(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    VeskWindowDragGesture m_gesture;
};
