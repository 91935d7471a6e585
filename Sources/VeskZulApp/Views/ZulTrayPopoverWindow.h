#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>

class MenuBarZulPopoverView;
class QScrollArea;
class ZulStudioViewModel;

// The frameless panel the tray icon opens, holding the tray popover. It
// stands next to the tray icon (below it for a tray at the top of the
// screen, above it for one at the bottom); where the tray does not say where
// its icon is, next to the pointer; and where the pointer's place is not
// known either (a tray of a Wayland desktop seen through XWayland), centred a
// little above the middle of the screen, as the kit's floating panels are:
// in plain view, wherever the tray is. Always inside the screen's visible
// area. It keeps its place while its content grows or shrinks (typing adds
// result rows): it grows away from the icon, and once it would be taller
// than the visible area its content scrolls instead. It takes the keyboard
// when it opens and goes away on Escape and when it loses the keyboard (a
// click elsewhere).
class ZulTrayPopoverWindow : public QWidget
{
    Q_OBJECT

public:
    // Between the icon and the popup, and between the popup and the screen's edges.
    static constexpr int gap = 6;

    ZulTrayPopoverWindow(ZulStudioViewModel *viewModel, std::function<void()> onOpenStudio, const QColor &accent,
                         QWidget *parent = nullptr);

    MenuBarZulPopoverView *content() const { return m_content; }
    QScrollArea *scrollArea() const { return m_scroll; }

    // The visible area of the screen an icon stands on (the main screen's
    // for a null anchor); replaceable so a tray can be placed anywhere
    // without real screens.
    std::function<QRect(const QRect &anchor)> availableAreaProvider;
    // Where the pointer is, when the application can know it: not in a
    // Wayland session, where an X11 client sees the pointer only while it is
    // over an X11 window; replaceable.
    std::function<std::optional<QPoint>()> pointerProvider;

    // Shows the popup by the icon, or by the pointer (else centred) for an
    // empty or absent geometry; a second call while shown hides it, and so
    // does one right after a click elsewhere put it away: that click was on
    // the icon.
    void toggleNear(const std::optional<QRect> &trayIconGeometry);
    void showNear(const std::optional<QRect> &trayIconGeometry);

    // Where a popup of `size` goes for the icon's rectangle (in Qt screen
    // coordinates; a null one when its place is unknown) on a screen whose
    // visible area is `available`.
    static QPoint popupOrigin(QSize size, const QRect &anchor, const QRect &available);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Sizes the popup to its content, within the visible area, beside the anchor.
    void place();

    MenuBarZulPopoverView *m_content = nullptr;
    bool m_openedBefore = false;
    QScrollArea *m_scroll = nullptr;
    std::optional<QRect> m_anchor;
    // Since a click elsewhere last put the popup away.
    QElapsedTimer m_sinceFocusLoss;
};
