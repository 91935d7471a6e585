#include "Views/EdgeHandlePanel.h"

#include "VeskKit/Design/VeskAccessibleControl.h"

EdgeHandlePanel::EdgeHandlePanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    // Tooltips show only over an active window, which this one never is.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::NoFocus);
}
