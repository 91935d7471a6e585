#pragma once

#include "VeskKit/Design/VeskDraggableFloatingPanel.h"

#include <QRect>
#include <QUuid>

#include <optional>

class VeskWindowResizeGrips;

// The window of one floating sticky note: frameless, moved by dragging its
// background, resized by its edges and corners, above other windows unless
// switched to the normal level. It reports each change of its frame once it
// is on screen; where it first appears is not a change.
class StickyNotePanel : public VeskDraggableFloatingPanel
{
    Q_OBJECT

public:
    explicit StickyNotePanel(QWidget *parent = nullptr);

    // Set by the controller right after construction.
    std::optional<QUuid> noteID;

    bool isAlwaysOnTop() const;
    // Switches between the floating level and the normal one, in place.
    void setAlwaysOnTop(bool onTop);

    VeskWindowResizeGrips *resizeGrips() const { return m_grips; }

signals:
    // The panel was moved or resized while shown; `moved` when its top-left
    // corner changed place, not only its size.
    void frameChanged(bool moved);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void noteFrame();

    VeskWindowResizeGrips *m_grips = nullptr;
    std::optional<QRect> m_lastFrame;
};
