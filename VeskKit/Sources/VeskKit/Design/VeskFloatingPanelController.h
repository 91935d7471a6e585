#pragma once

#include "VeskKit/Design/VeskFloatingNSPanel.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>

class QScreen;

// Shows content in a floating panel of a fixed size: centred a little above
// the middle of the screen under the pointer, or at a given origin, or where
// it last stood. Escape, hide(), toggling it off and (optionally) the panel
// losing the keyboard put it away, each followed by onDismiss. The panel is
// made on the first show and kept; every show builds fresh content.
//
// Coordinates are Qt's: screen pixels with the origin at the top left.
class VeskFloatingPanelController : public QObject {
    Q_OBJECT
public:
    using ContentBuilder = std::function<QWidget *()>;

    VeskFloatingPanelController(QSizeF size, bool dismissOnResignKey, std::function<void()> onDismiss,
                                QObject *parent = nullptr);
    ~VeskFloatingPanelController() override;

    VeskFloatingNSPanel *panel() const { return m_panel; }
    QSizeF size() const { return m_size; }
    bool dismissOnResignKey() const { return m_dismissOnResignKey; }
    bool isVisible() const;

    void show(bool centeredOnActiveScreen, std::optional<QRectF> anchorFrame, const ContentBuilder &content);
    void hide();
    void toggle(bool centeredOnActiveScreen, std::optional<QRectF> anchorFrame, const ContentBuilder &content);
    void windowDidResignKey();

    // Where a panel of this size goes on a screen's visible area: centred
    // across, 40 above the middle, never closer than 24 to the bottom.
    static QPointF centredOrigin(const QRectF &visibleFrame, QSizeF size);
    // The screen under the pointer, else the primary screen, else the first.
    static QScreen *activeScreen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    VeskFloatingNSPanel *ensurePanel();
    void orderOutAndDismiss();

    QPointer<VeskFloatingNSPanel> m_panel;
    QSizeF m_size;
    bool m_dismissOnResignKey;
    std::function<void()> m_onDismiss;
};
