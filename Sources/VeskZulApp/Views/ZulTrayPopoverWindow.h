#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <functional>
#include <optional>

class MenuBarZulPopoverView;
class QScrollArea;
class ZulStudioViewModel;

// The frameless popup the tray icon opens, holding the tray popover. It
// stands next to the tray icon (below it for a tray at the top of the
// screen, above it for one at the bottom), or next to the pointer when the
// tray does not say where its icon is, always inside the screen's visible
// area. It keeps its place while its content grows or shrinks (typing adds
// result rows): it grows away from the icon, and once it would be taller
// than the visible area its content scrolls instead. Like any popup it goes
// away on a click elsewhere or Escape.
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

    // The visible area of the screen an icon stands on; replaceable so a
    // tray can be placed anywhere without real screens.
    std::function<QRect(const QRect &anchor)> availableAreaProvider;

    // Shows the popup by the icon, or by the pointer for an empty or absent
    // geometry; a second call while shown hides it.
    void toggleNear(const std::optional<QRect> &trayIconGeometry);
    void showNear(const std::optional<QRect> &trayIconGeometry);

    // Where a popup of `size` goes for the icon's rectangle (in Qt screen
    // coordinates) on a screen whose visible area is `available`.
    static QPoint popupOrigin(QSize size, const QRect &anchor, const QRect &available);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Sizes the popup to its content, within the visible area, beside the anchor.
    void place();

    MenuBarZulPopoverView *m_content = nullptr;
    bool m_openedBefore = false;
    QScrollArea *m_scroll = nullptr;
    std::optional<QRect> m_anchor;
};
