#include "VeskKit/Design/VeskFlowBoxLayout.h"

#include <QWidget>

#include <cmath>

VeskFlowBoxLayout::VeskFlowBoxLayout(VeskFlowLayout flow, QWidget *parent) : QLayout(parent), m_flow(flow)
{
    setContentsMargins(0, 0, 0, 0);
}

VeskFlowBoxLayout::~VeskFlowBoxLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

void VeskFlowBoxLayout::setFlow(const VeskFlowLayout &flow)
{
    m_flow = flow;
    invalidate();
}

void VeskFlowBoxLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

int VeskFlowBoxLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *VeskFlowBoxLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem *VeskFlowBoxLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

Qt::Orientations VeskFlowBoxLayout::expandingDirections() const
{
    return {};
}

bool VeskFlowBoxLayout::hasHeightForWidth() const
{
    return true;
}

QList<QSizeF> VeskFlowBoxLayout::idealSizes() const
{
    QList<QSizeF> sizes;
    sizes.reserve(m_items.size());
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        sizes.append(QSizeF(item->sizeHint()));
    }
    return sizes;
}

int VeskFlowBoxLayout::heightForWidth(int width) const
{
    const QMargins m = contentsMargins();
    const QSizeF fitted = m_flow.sizeThatFits(double(width - m.left() - m.right()), idealSizes());
    return int(std::ceil(fitted.height())) + m.top() + m.bottom();
}

QSize VeskFlowBoxLayout::sizeHint() const
{
    const QMargins m = contentsMargins();
    const QSizeF oneLine = m_flow.sizeThatFits(std::nullopt, idealSizes());
    return QSize(int(std::ceil(oneLine.width())), int(std::ceil(oneLine.height()))) +
           QSize(m.left() + m.right(), m.top() + m.bottom());
}

QSize VeskFlowBoxLayout::minimumSize() const
{
    // As narrow as the widest item, since every item may start its own line.
    QSize widest;
    for (const QSizeF &size : idealSizes())
        widest = widest.expandedTo(QSize(int(std::ceil(size.width())), int(std::ceil(size.height()))));
    const QMargins m = contentsMargins();
    return widest + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void VeskFlowBoxLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    const QRectF bounds = QRectF(rect).marginsRemoved(QMarginsF(contentsMargins()));
    const QList<QRectF> frames = m_flow.placeSubviews(bounds, idealSizes());
    int next = 0;
    for (QLayoutItem *item : m_items) {
        if (item->isEmpty())
            continue;
        item->setGeometry(frames.at(next++).toRect());
    }
}
