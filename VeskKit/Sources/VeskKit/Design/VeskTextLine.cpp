#include "VeskKit/Design/VeskTextLine.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

VeskTextLine::VeskTextLine(const QString &text, const QFont &font, const QColor &colour, QWidget *parent)
    : QWidget(parent), m_text(text), m_font(font), m_colour(colour)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void VeskTextLine::changed()
{
    updateGeometry();
    update();
    refreshToolTip();
}

bool VeskTextLine::isCut() const
{
    const QStringList lines = shownLines(width());
    if (m_maximumLines == 1)
        return !lines.isEmpty() && lines.first() != m_text;
    const QChar ellipsis(0x2026);
    return !lines.isEmpty() && lines.last().contains(ellipsis) && !m_text.contains(ellipsis);
}

void VeskTextLine::refreshToolTip()
{
    // A tooltip of the caller's own stays.
    if (!toolTip().isEmpty() && toolTip() != m_cutToolTip)
        return;
    m_cutToolTip = isCut() ? m_text : QString();
    setToolTip(m_cutToolTip);
}

void VeskTextLine::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refreshToolTip();
}

void VeskTextLine::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    changed();
}

void VeskTextLine::setFont(const QFont &font)
{
    m_font = font;
    changed();
}

void VeskTextLine::setColour(const QColor &colour)
{
    m_colour = colour;
    update();
}

void VeskTextLine::setMaximumLines(int lines)
{
    m_maximumLines = std::max(1, lines);
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(m_maximumLines > 1);
    setSizePolicy(policy);
    changed();
}

void VeskTextLine::setElideMode(Qt::TextElideMode mode)
{
    m_elideMode = mode;
    update();
    refreshToolTip();
}

void VeskTextLine::setMinimumScaleFactor(qreal factor)
{
    m_minimumScaleFactor = std::clamp(factor, 0.1, 1.0);
    update();
    refreshToolTip();
}

QStringList VeskTextLine::layoutLines(const QFont &font, qreal width) const
{
    const QFontMetricsF metrics(font);
    if (m_maximumLines == 1 || width <= 0)
        return {metrics.elidedText(m_text, m_elideMode, std::max(0.0, width))};
    QTextLayout layout(m_text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() + 1 == m_maximumLines) {
            // The last line allowed takes the rest of the text, cut to fit.
            lines << metrics.elidedText(m_text.mid(line.textStart()), m_elideMode, width);
            break;
        }
        lines << m_text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

QFont VeskTextLine::shownFont(qreal width) const
{
    if (m_minimumScaleFactor >= 1 || m_maximumLines > 1)
        return m_font;
    const qreal natural = QFontMetricsF(m_font).horizontalAdvance(m_text);
    if (natural <= width || natural <= 0)
        return m_font;
    const qreal scale = std::max(m_minimumScaleFactor, width / natural);
    QFont font = m_font;
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::floor(font.pixelSize() * scale))));
    else
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

QStringList VeskTextLine::shownLines(qreal width) const
{
    if (m_text.isEmpty())
        return {};
    return layoutLines(shownFont(width), width);
}

QSize VeskTextLine::sizeHint() const
{
    const QFontMetricsF metrics(m_font);
    return {int(std::ceil(metrics.horizontalAdvance(m_text))), int(std::ceil(metrics.height()))};
}

QSize VeskTextLine::minimumSizeHint() const
{
    return {0, int(std::ceil(QFontMetricsF(m_font).height()))};
}

int VeskTextLine::heightForWidth(int width) const
{
    const qsizetype lines = std::max<qsizetype>(1, shownLines(width).size());
    return int(std::ceil(QFontMetricsF(m_font).lineSpacing() * lines));
}

void VeskTextLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QFont font = shownFont(width());
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.setPen(m_colour);
    const QStringList lines = layoutLines(font, width());
    if (lines.size() == 1) {
        painter.drawText(QRectF(rect()), Qt::AlignLeft | Qt::AlignVCenter, lines.first());
        return;
    }
    qreal y = 0;
    for (const QString &line : lines) {
        painter.drawText(QRectF(0, y, width(), metrics.lineSpacing()), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += metrics.lineSpacing();
    }
}
