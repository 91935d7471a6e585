#include "Views/EditorLayoutMetrics.h"

#include <QtMath>

#include <algorithm>

namespace {

// Smaller movements are noise from fractional layout and would only cost a
// repaint of both columns.
constexpr qreal deadBand = 0.25;

} // namespace

EditorLayoutMetrics::EditorLayoutMetrics(QObject *parent)
    : QObject(parent)
{
}

void EditorLayoutMetrics::setLineTopY(const QList<qreal> &tops)
{
    if (tops == m_lineTopY)
        return;
    m_lineTopY = tops;
    emit lineTopYChanged();
}

void EditorLayoutMetrics::setLineHeight(qreal height)
{
    if (qAbs(m_lineHeight - height) <= deadBand)
        return;
    m_lineHeight = height;
    emit lineHeightChanged();
}

void EditorLayoutMetrics::setScrollOffsetY(qreal offset)
{
    if (qAbs(m_scrollOffsetY - offset) <= deadBand)
        return;
    m_scrollOffsetY = offset;
    emit scrollOffsetYChanged();
}

void EditorLayoutMetrics::setLogicalLineCount(int count)
{
    count = std::max(count, 1);
    if (count == m_logicalLineCount)
        return;
    m_logicalLineCount = count;
    emit logicalLineCountChanged();
}

void EditorLayoutMetrics::setNewTagInput(const QString &text)
{
    if (text == m_newTagInput)
        return;
    m_newTagInput = text;
    emit newTagInputChanged();
}

qreal EditorLayoutMetrics::top(qsizetype index) const
{
    if (index >= 0 && index < m_lineTopY.size())
        return m_lineTopY[index];
    return m_lineHeight * qreal(index) + topInset;
}
