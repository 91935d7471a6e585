#pragma once

#include <QObject>

// The state of one open sticky panel, shared by its controller and its
// view: collapsed to the title bar or not, above other windows or not, the
// pointer over it or not, and the height to give back on expanding. None of
// it is saved: a panel opened again starts expanded and on top.
class StickyWindowState : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isCollapsed READ isCollapsed WRITE setIsCollapsed NOTIFY isCollapsedChanged)
    Q_PROPERTY(bool isAlwaysOnTop READ isAlwaysOnTop WRITE setIsAlwaysOnTop NOTIFY isAlwaysOnTopChanged)
    Q_PROPERTY(bool isHovering READ isHovering WRITE setIsHovering NOTIFY isHoveringChanged)

public:
    explicit StickyWindowState(QObject *parent = nullptr) : QObject(parent) {}

    bool isCollapsed() const { return m_isCollapsed; }
    void setIsCollapsed(bool collapsed) { set(m_isCollapsed, collapsed, &StickyWindowState::isCollapsedChanged); }
    bool isAlwaysOnTop() const { return m_isAlwaysOnTop; }
    void setIsAlwaysOnTop(bool onTop) { set(m_isAlwaysOnTop, onTop, &StickyWindowState::isAlwaysOnTopChanged); }
    bool isHovering() const { return m_isHovering; }
    void setIsHovering(bool hovering) { set(m_isHovering, hovering, &StickyWindowState::isHoveringChanged); }

    // Not published: only the controller reads it.
    double expandedHeight = 360;

signals:
    void isCollapsedChanged();
    void isAlwaysOnTopChanged();
    void isHoveringChanged();

private:
    void set(bool &field, bool value, void (StickyWindowState::*changed)())
    {
        if (field == value)
            return;
        field = value;
        emit(this->*changed)();
    }

    bool m_isCollapsed = false;
    bool m_isAlwaysOnTop = true;
    bool m_isHovering = false;
};
