#include "VeskKit/Design/VeskFloatingNSPanel.h"

#include "VeskKit/Design/VeskPanelWindow.h"

#include <QKeyEvent>

VeskFloatingNSPanel::VeskFloatingNSPanel(QWidget *parent)
    : QWidget(parent, VeskPanelWindow::flags)
{
    VeskPanelWindow::makePanel(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
}

void VeskFloatingNSPanel::keyPressEvent(QKeyEvent *event)
{
    // Escape does only what the owner asked for, nothing else.
    if (event->key() == Qt::Key_Escape) {
        if (onEscapePressed)
            onEscapePressed();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
