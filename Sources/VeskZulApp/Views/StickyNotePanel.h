#pragma once

#include "VeskKit/Design/VeskDraggableFloatingPanel.h"

#include <QPointer>
#include <QRect>
#include <QUuid>

#include <optional>

class QWindow;
class VeskWindowResizeGrips;

// The window of one floating sticky note: frameless, moved by dragging its
// background, resized by its edges and corners, above other windows unless
// switched to the normal level. It reports each change of its frame that the
// window system reports once the panel is on screen: a move the window
// manager ignored is no change, and neither is where the panel first
// appears, wherever the window manager chose to put it.
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
    // The frame the window system last reported while the panel was shown.
    std::optional<QRect> reportedFrame() const { return m_lastFrame; }

signals:
    // The panel was moved or resized while shown, to `frame` (Qt
    // coordinates, to the device pixel); `moved` when its top-left corner
    // changed place, not only its size.
    void frameChanged(const QRectF &frame, bool moved);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void watchWindow();
    void scheduleReport();
    void reportFrame();

    VeskWindowResizeGrips *m_grips = nullptr;
    QPointer<QWindow> m_watched;
    // Where the window system last said the panel is.
    QRect m_reported;
    // The frame last reported onwards; none until the panel is first shown
    // on screen, and none while hidden.
    std::optional<QRect> m_lastFrame;
    bool m_reportPending = false;
};
