#include "VeskKit/Design/VeskAdaptiveGridLayout.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

VeskAdaptiveGridLayout::VeskAdaptiveGridLayout(qreal minimumColumnWidth, qreal columnSpacing, qreal rowSpacing,
                                               QWidget *parent)
    : QLayout(parent), m_minimumColumnWidth(minimumColumnWidth), m_columnSpacing(columnSpacing),
      m_rowSpacing(rowSpacing)
{
    setContentsMargins(0, 0, 0, 0);
}

VeskAdaptiveGridLayout::~VeskAdaptiveGridLayout()
{
    while (QLayoutItem *item = takeAt(0))
        delete item;
}

int VeskAdaptiveGridLayout::columnCount(qreal width, qreal minimumColumnWidth, qreal columnSpacing)
{
    const qreal step = minimumColumnWidth + columnSpacing;
    if (!(width > 0) || !(step > 0))
        return 1;
    return std::max(1, int(std::floor((width + columnSpacing) / step)));
}

void VeskAdaptiveGridLayout::addItem(QLayoutItem *item)
{
    m_items.append(item);
    invalidate();
}

int VeskAdaptiveGridLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem *VeskAdaptiveGridLayout::itemAt(int index) const
{
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem *VeskAdaptiveGridLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem *item = m_items.takeAt(index);
    invalidate();
    return item;
}

Qt::Orientations VeskAdaptiveGridLayout::expandingDirections() const
{
    return Qt::Horizontal;
}

bool VeskAdaptiveGridLayout::hasHeightForWidth() const
{
    return true;
}

QList<QLayoutItem *> VeskAdaptiveGridLayout::visibleItems() const
{
    QList<QLayoutItem *> items;
    for (QLayoutItem *item : m_items) {
        if (!item->isEmpty())
            items.append(item);
    }
    return items;
}

int VeskAdaptiveGridLayout::arrange(const QRect &rect, bool apply) const
{
    const QRectF area = QRectF(rect).marginsRemoved(QMarginsF(contentsMargins()));
    const QList<QLayoutItem *> items = visibleItems();
    const int columns = columnCount(area.width(), m_minimumColumnWidth, m_columnSpacing);
    const qreal cellWidth = std::max(0.0, (area.width() - (columns - 1) * m_columnSpacing) / columns);
    qreal y = area.top();
    for (qsizetype start = 0; start < items.size(); start += columns) {
        const qsizetype end = std::min<qsizetype>(start + columns, items.size());
        int rowHeight = 0;
        for (qsizetype i = start; i < end; ++i) {
            QLayoutItem *item = items.at(i);
            const int height = item->hasHeightForWidth() ? item->heightForWidth(int(cellWidth))
                                                         : item->sizeHint().height();
            rowHeight = std::max(rowHeight, height);
        }
        if (apply) {
            for (qsizetype i = start; i < end; ++i) {
                QLayoutItem *item = items.at(i);
                const int height = item->hasHeightForWidth() ? item->heightForWidth(int(cellWidth))
                                                             : item->sizeHint().height();
                const qreal x = area.left() + (i - start) * (cellWidth + m_columnSpacing);
                item->setGeometry(QRectF(x, y + (rowHeight - height) / 2.0, cellWidth, height).toRect());
            }
        }
        y += rowHeight;
        if (end < items.size())
            y += m_rowSpacing;
    }
    return int(std::ceil(y - area.top())) + contentsMargins().top() + contentsMargins().bottom();
}

int VeskAdaptiveGridLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize VeskAdaptiveGridLayout::minimumSize() const
{
    const QMargins m = contentsMargins();
    const int width = int(std::ceil(m_minimumColumnWidth)) + m.left() + m.right();
    return {width, heightForWidth(width)};
}

// Ideally every item has a column of its own, all on one row.
QSize VeskAdaptiveGridLayout::sizeHint() const
{
    const QMargins m = contentsMargins();
    const qsizetype items = std::max<qsizetype>(1, visibleItems().size());
    const int width = int(std::ceil(items * m_minimumColumnWidth + (items - 1) * m_columnSpacing)) + m.left() +
                      m.right();
    return {width, heightForWidth(width)};
}

void VeskAdaptiveGridLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}
