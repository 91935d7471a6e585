#pragma once

#include <QObject>

// Whether the pointer rests on the drawer's pull handle. The controller owns
// it, the handle panel's host reports into it and the handle view draws
// from it; hovering only changes the handle's look.
class EdgeHandleHoverState : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isHovering READ isHovering WRITE setIsHovering NOTIFY isHoveringChanged)

public:
    explicit EdgeHandleHoverState(QObject *parent = nullptr) : QObject(parent) {}

    bool isHovering() const { return m_isHovering; }
    void setIsHovering(bool hovering)
    {
        if (m_isHovering == hovering)
            return;
        m_isHovering = hovering;
        emit isHoveringChanged();
    }

signals:
    void isHoveringChanged();

private:
    bool m_isHovering = false;
};
