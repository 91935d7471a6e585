#include "VeskKit/Design/VeskGlassCard.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

VeskGlassCard::VeskGlassCard(qreal padding, qreal cornerRadius, QWidget *content, QWidget *parent)
    : QWidget(parent), m_padding(padding), m_cornerRadius(cornerRadius), m_content(content)
{
    auto *layout = new QVBoxLayout(this);
    const int inset = int(std::lround(padding));
    layout->setContentsMargins(inset, inset, inset, inset);
    layout->setSpacing(0);
    if (m_content)
        layout->addWidget(m_content);
}

void VeskGlassCard::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    veskPaintGlassShape(painter, rect(), m_cornerRadius, VeskGlassTokens::surface1(), VeskGlassTokens::borderSubtle());
}
