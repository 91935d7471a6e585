#include "Views/EdgeDrawerPanel.h"

#include "VeskKit/Design/VeskAccessibleControl.h"

#include "Views/EdgeDrawerContentView.h"
#include "Views/ZulPanelCornerMask.h"

#include <QKeyEvent>

EdgeDrawerPanel::EdgeDrawerPanel(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
}

void EdgeDrawerPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (onEscapePressed)
            onEscapePressed();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void EdgeDrawerPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ZulPanelCornerMask::apply(this, EdgeDrawerContentView::cornerRadius);
}
