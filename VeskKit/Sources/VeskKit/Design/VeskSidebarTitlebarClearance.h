#pragma once

#include <QWidget>

class QVBoxLayout;
class VeskTitlebarMetricsFollower;

// The top of a sidebar that runs from the window's top edge: pads its
// content down by the measured sidebar clearance (below the window
// controls) plus `extraTop`.
class VeskSidebarTitlebarClearance : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of `content`.
    VeskSidebarTitlebarClearance(QWidget *content, qreal extraTop, QWidget *parent = nullptr);

    qreal extraTop() const { return m_extraTop; }
    qreal topPadding() const;

private:
    qreal m_extraTop;
    QVBoxLayout *m_layout;
    VeskTitlebarMetricsFollower *m_follower;
};
