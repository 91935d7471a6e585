#pragma once

#include <QObject>

// Whether the pointer is over one icon button; a new button starts not hovered.
class ZulIconHoverState : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isHovered READ isHovered WRITE setIsHovered NOTIFY isHoveredChanged)
public:
    using QObject::QObject;

    bool isHovered() const { return m_isHovered; }
    void setIsHovered(bool hovered);

signals:
    void isHoveredChanged(bool hovered);

private:
    bool m_isHovered = false;
};
