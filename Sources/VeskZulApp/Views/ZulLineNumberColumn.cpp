#include "Views/ZulLineNumberColumn.h"

#include "Views/EditorLayoutMetrics.h"

#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

QFont numberFont()
{
    return veskSystemFont(10.5, QFont::Normal, VeskFontDesign::monospaced);
}

} // namespace

ZulLineNumberColumn::ZulLineNumberColumn(EditorLayoutMetrics *metrics, QWidget *parent)
    : QWidget(parent)
    , m_metrics(metrics)
{
    setFixedWidth(columnWidth);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    const auto repaint = [this] { update(); };
    connect(metrics, &EditorLayoutMetrics::lineTopYChanged, this, repaint);
    connect(metrics, &EditorLayoutMetrics::lineHeightChanged, this, repaint);
    connect(metrics, &EditorLayoutMetrics::scrollOffsetYChanged, this, repaint);
    connect(metrics, &EditorLayoutMetrics::logicalLineCountChanged, this, [this] {
        fitWidestNumber();
        update();
    });
    fitWidestNumber();
}

void ZulLineNumberColumn::fitWidestNumber()
{
    const qsizetype widest = m_metrics ? std::max<qsizetype>(m_metrics->logicalLineCount(), 1) : 1;
    const qreal needed = std::ceil(QFontMetricsF(numberFont()).horizontalAdvance(QString::number(widest)));
    const qreal room = std::max(numberWidth, needed);
    if (room == m_numberRoom)
        return;
    m_numberRoom = room;
    setFixedWidth(int(std::ceil(room + columnWidth - numberWidth)));
}

QSize ZulLineNumberColumn::sizeHint() const
{
    return QSize(minimumWidth(), 100);
}

QRectF ZulLineNumberColumn::rowRect(qsizetype index) const
{
    if (!m_metrics)
        return {};
    return QRectF(width() - trailingShift - m_numberRoom, m_metrics->y(index), m_numberRoom, m_metrics->lineHeight());
}

std::pair<qsizetype, qsizetype> ZulLineNumberColumn::visibleLines() const
{
    if (!m_metrics)
        return {0, 0};
    const qsizetype count = std::max(m_metrics->logicalLineCount(), 1);
    const qreal height = m_metrics->lineHeight();
    // Rows go down the page in line order, so both ends are found by
    // bisection: a long note costs only the rows on screen.
    qsizetype first = 0;
    qsizetype last = count;
    while (first < last) {
        const qsizetype mid = first + (last - first) / 2;
        if (m_metrics->y(mid) + height <= 0)
            first = mid + 1;
        else
            last = mid;
    }
    qsizetype end = first;
    last = count;
    while (end < last) {
        const qsizetype mid = end + (last - end) / 2;
        if (m_metrics->y(mid) < this->height())
            end = mid + 1;
        else
            last = mid;
    }
    return {first, end};
}

void ZulLineNumberColumn::setBackgroundColor(const QColor &colour)
{
    m_background = colour;
    update();
}

void ZulLineNumberColumn::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_background);
    if (!m_metrics)
        return;
    painter.setFont(numberFont());
    QColor colour = VeskGlassTokens::textMuted();
    colour.setAlphaF(colour.alphaF() * 0.75);
    painter.setPen(colour);
    const auto [first, end] = visibleLines();
    for (qsizetype i = first; i < end; ++i)
        painter.drawText(rowRect(i), Qt::AlignRight | Qt::AlignVCenter, QString::number(i + 1));
}
