#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>

#include <optional>

class QMouseEvent;
class QWidget;

// What a double click on a title bar does.
enum class VeskTitlebarDoubleClickAction { zoom, miniaturize, none };

// The mouse gesture of a title bar, for widgets that stand in for one:
// pressing and dragging moves the window (through the window manager when it
// offers to, else by following the pointer); a double click does what the
// desktop's title-bar double-click setting says.
class VeskWindowDragGesture {
public:
    // Each returns whether it handled the event.
    bool press(QWidget *window, QMouseEvent *event);
    bool move(QWidget *window, QMouseEvent *event);
    bool release(QMouseEvent *event);
    bool doubleClick(QWidget *window, QMouseEvent *event);

    bool isFollowingPointer() const { return m_followingPointer; }

    // The desktop's setting: KWin's "TitlebarDoubleClickCommand" in
    // $XDG_CONFIG_HOME/kwinrc, read on every call; nothing when unset.
    static std::optional<QString> doubleClickSetting();
    // "Minimize" minimises, "None" (or KWin's "Nothing") does nothing, and
    // anything else, a missing setting included, zooms.
    static VeskTitlebarDoubleClickAction actionForSetting(const std::optional<QString> &setting);
    static void perform(QWidget *window, VeskTitlebarDoubleClickAction action);

private:
    std::optional<QPoint> m_pressGlobal;
    QPoint m_pressOffset;
    bool m_followingPointer = false;
};
