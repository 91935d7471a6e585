#include "Views/EdgeHandlePanel.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskPanelWindow.h"

EdgeHandlePanel::EdgeHandlePanel(QWidget *parent)
    : QWidget(parent, VeskPanelWindow::flags | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint)
{
    VeskPanelWindow::makePanel(this);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    // Tooltips show only over an active window, which this one never is.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFocusPolicy(Qt::NoFocus);
}
