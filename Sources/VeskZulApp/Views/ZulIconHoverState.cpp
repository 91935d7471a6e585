#include "Views/ZulIconHoverState.h"

void ZulIconHoverState::setIsHovered(bool hovered)
{
    if (hovered == m_isHovered)
        return;
    m_isHovered = hovered;
    emit isHoveredChanged(hovered);
}
