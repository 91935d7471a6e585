#include "VeskKit/Design/VeskFirstClickHostingView.h"

#include <QVBoxLayout>

VeskFirstClickHostingView::VeskFirstClickHostingView(QWidget *rootView, QWidget *parent)
    : QWidget(parent), m_rootView(rootView)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (m_rootView)
        layout->addWidget(m_rootView);
}
