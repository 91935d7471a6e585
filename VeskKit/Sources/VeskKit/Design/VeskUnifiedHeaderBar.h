#pragma once

#include "VeskKit/Design/VeskWindowDragGesture.h"

#include <QColor>
#include <QWidget>

class QHBoxLayout;
class VeskTitlebarMetricsFollower;

// A window's header row that shares the titlebar row with the window
// controls: its content starts right of them (the measured leading
// clearance), and the bar's background moves the window when dragged and
// answers a double click as a title bar does. Presses that the content's
// labels and empty parts ignore come to the bar.
class VeskUnifiedHeaderBar : public QWidget {
    Q_OBJECT
public:
    // The bar takes ownership of `row`.
    VeskUnifiedHeaderBar(QWidget *row, qreal minHeight, qreal trailingPadding, qreal verticalPadding,
                         const QColor &backgroundColor, QWidget *parent = nullptr);

    QWidget *row() const { return m_row; }
    qreal minHeight() const { return m_minHeight; }
    qreal trailingPadding() const { return m_trailingPadding; }
    qreal verticalPadding() const { return m_verticalPadding; }
    QColor backgroundColor() const { return m_backgroundColor; }
    // The leading padding in use: the measured clearance of the window controls.
    qreal leadingPadding() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QWidget *m_row;
    qreal m_minHeight;
    qreal m_trailingPadding;
    qreal m_verticalPadding;
    QColor m_backgroundColor;
    QHBoxLayout *m_layout;
    VeskTitlebarMetricsFollower *m_follower;
    VeskWindowDragGesture m_gesture;
};
