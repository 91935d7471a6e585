#pragma once

// A marker for widgets that handle their own mouse drags: a press on such a
// widget, or on anything inside it, never moves a VeskDraggableFloatingPanel.
// Inherit it beside QWidget.
class VeskCustomDragTrackingView {
public:
    virtual ~VeskCustomDragTrackingView() = default;
};
