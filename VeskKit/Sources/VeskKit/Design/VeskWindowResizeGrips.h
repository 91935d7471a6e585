#pragma once

#include <QObject>
#include <QPointer>

#include <array>

class QWidget;

// Edges a frameless window can be resized by: thin invisible strips along
// its four sides and squares at its corners, kept above the content. A press
// hands the resize to the window manager; where it declines (no window
// manager at all) the strip follows the pointer itself, never below the
// window's minimum size. Hidden while the window is maximised or full screen.
class VeskWindowResizeGrips : public QObject {
    Q_OBJECT
public:
    static constexpr int edgeThickness = 5;
    static constexpr int cornerSide = 12;

    // Lives as long as the window; one per window.
    explicit VeskWindowResizeGrips(QWidget *window);

    // The grip for that edge or corner (Qt::TopEdge | Qt::LeftEdge for the
    // top-left corner), for tests and for windows that adjust them.
    QWidget *grip(Qt::Edges edges) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layoutGrips();

    QWidget *m_window;
    std::array<QPointer<QWidget>, 8> m_grips;
};
