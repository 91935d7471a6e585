#include "VeskKit/Design/VeskUnifiedHeaderBar.h"

#include "VeskKit/Design/VeskTitlebarMetricsFollower.h"

#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

int px(qreal length)
{
    return int(std::ceil(length));
}

} // namespace

VeskUnifiedHeaderBar::VeskUnifiedHeaderBar(QWidget *row, qreal minHeight, qreal trailingPadding,
                                           qreal verticalPadding, const QColor &backgroundColor, QWidget *parent)
    : QWidget(parent),
      m_row(row),
      m_minHeight(minHeight),
      m_trailingPadding(trailingPadding),
      m_verticalPadding(verticalPadding),
      m_backgroundColor(backgroundColor),
      m_layout(new QHBoxLayout(this))
{
    m_layout->setSpacing(0);
    m_layout->addWidget(row);
    setMinimumHeight(px(minHeight));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_follower = new VeskTitlebarMetricsFollower(this, [this](const VeskUnifiedTitlebarMetrics &metrics) {
        m_layout->setContentsMargins(px(metrics.leadingClearance), px(m_verticalPadding), px(m_trailingPadding),
                                     px(m_verticalPadding));
    });
}

qreal VeskUnifiedHeaderBar::leadingPadding() const
{
    return m_follower->current().leadingClearance;
}

void VeskUnifiedHeaderBar::paintEvent(QPaintEvent *)
{
    if (m_backgroundColor.alpha() == 0)
        return;
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
}

void VeskUnifiedHeaderBar::mousePressEvent(QMouseEvent *event)
{
    if (!m_gesture.press(window(), event))
        QWidget::mousePressEvent(event);
}

void VeskUnifiedHeaderBar::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_gesture.move(window(), event))
        QWidget::mouseMoveEvent(event);
}

void VeskUnifiedHeaderBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_gesture.release(event))
        QWidget::mouseReleaseEvent(event);
}

void VeskUnifiedHeaderBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_gesture.doubleClick(window(), event))
        QWidget::mouseDoubleClickEvent(event);
}
