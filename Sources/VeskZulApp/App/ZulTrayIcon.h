#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

class QMenu;
class QSystemTrayIcon;
class ZulStudioViewModel;

// The application's item in the desktop's tray: the note symbol with the
// menu-bar text (the selected note's total, else the note count) drawn into
// the icon and shown as its tooltip. A click runs the click action, given
// the icon's place on screen so a popup can open beside it; the context menu
// is the application's menu.
class ZulTrayIcon : public QObject {
    Q_OBJECT
public:
    using ClickAction = std::function<void(const QRect &iconGeometry)>;

    static constexpr int iconSide = 64;

    explicit ZulTrayIcon(ZulStudioViewModel &viewModel, QObject *parent = nullptr);
    ~ZulTrayIcon() override;

    QSystemTrayIcon *trayIcon() const { return m_tray; }
    // The popover, once there is one, opens from here.
    void setClickAction(ClickAction action) { m_clickAction = std::move(action); }
    void setContextMenu(QMenu *menu);

    QString text() const { return m_text; }
    // The icon as drawn for a text.
    static QImage drawIcon(const QString &text);

    // Runs the click action as a click on the icon would.
    void click();

private:
    void refresh();

    ZulStudioViewModel &m_viewModel;
    QSystemTrayIcon *m_tray;
    ClickAction m_clickAction;
    QString m_text;
};
