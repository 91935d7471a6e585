#include "VeskKit/Design/VeskSidebarTitlebarClearance.h"

#include "VeskKit/Design/VeskTitlebarMetricsFollower.h"

#include <QVBoxLayout>

#include <cmath>

VeskSidebarTitlebarClearance::VeskSidebarTitlebarClearance(QWidget *content, qreal extraTop, QWidget *parent)
    : QWidget(parent), m_extraTop(extraTop), m_layout(new QVBoxLayout(this))
{
    m_layout->setSpacing(0);
    m_layout->addWidget(content);
    m_follower = new VeskTitlebarMetricsFollower(this, [this](const VeskUnifiedTitlebarMetrics &metrics) {
        m_layout->setContentsMargins(0, int(std::ceil(m_extraTop + metrics.sidebarTopClearance)), 0, 0);
    });
}

qreal VeskSidebarTitlebarClearance::topPadding() const
{
    return m_extraTop + m_follower->current().sidebarTopClearance;
}
