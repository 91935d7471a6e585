#include "Views/EdgeDrawerPanel.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskPanelWindow.h"

#include "Views/EdgeDrawerContentView.h"
#include "Views/ZulPanelCornerMask.h"

#include <QKeyEvent>

#include <algorithm>

EdgeDrawerPanel::EdgeDrawerPanel(QWidget *parent)
    : QWidget(parent, VeskPanelWindow::flags), m_sheet(new QWidget(this))
{
    VeskPanelWindow::makePanel(this);
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

void EdgeDrawerPanel::setStage(const std::optional<QRect> &stage)
{
    m_stage = stage;
    placeSheet();
}

void EdgeDrawerPanel::setSlideFrame(const QRect &frame)
{
    m_slideFrame = frame;
    if (!m_stage) {
        setGeometry(frame);
        return;
    }
    // Beyond the stage's edge nothing of the drawer shows; the window then
    // waits, one pixel wide and empty, at the edge it comes in from.
    const int left = std::clamp(frame.left(), m_stage->left(), m_stage->right());
    const int right = std::clamp(frame.right(), left, m_stage->right());
    const QRect window(QPoint(left, frame.top()), QPoint(right, frame.bottom()));
    // From where the window was asked to stand, not from where the window
    // manager says it stands: the sheet moves with the window, never away
    // from it.
    m_sheetOffset = frame.topLeft() - window.topLeft();
    setGeometry(window);
    placeSheet();
}

void EdgeDrawerPanel::placeSheet()
{
    const QRect sheetFrame = m_stage ? QRect(m_sheetOffset, m_slideFrame.size()) : rect();
    if (m_sheet->geometry() != sheetFrame)
        m_sheet->setGeometry(sheetFrame);
    ZulPanelCornerMask::apply(this, EdgeDrawerContentView::cornerRadius, m_sheet->geometry());
}

void EdgeDrawerPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeSheet();
}
