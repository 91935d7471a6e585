#include "Views/ZulEditorChip.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

ZulEditorChip::ZulEditorChip(QWidget *parent)
    : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void ZulEditorChip::setParts(const QList<Part> &parts)
{
    if (parts == m_parts)
        return;
    m_parts = parts;
    setAccessibleName(spokenText());
    updateGeometry();
    update();
}

QString ZulEditorChip::spokenText() const
{
    QStringList texts;
    for (const Part &part : m_parts) {
        if (part.symbol.isEmpty())
            texts.append(part.text);
    }
    return texts.join(QLatin1Char(' '));
}

QString ZulEditorChip::symbolName() const
{
    for (const Part &part : m_parts) {
        if (!part.symbol.isEmpty())
            return part.symbol;
    }
    return {};
}

void ZulEditorChip::setSpacing(qreal spacing)
{
    m_spacing = spacing;
    updateGeometry();
    update();
}

void ZulEditorChip::setPadding(qreal horizontal, qreal vertical)
{
    m_horizontalPadding = horizontal;
    m_verticalPadding = vertical;
    updateGeometry();
    update();
}

void ZulEditorChip::setFill(const QColor &fill)
{
    m_fill = fill;
    update();
}

void ZulEditorChip::setBorder(const QColor &border, qreal width)
{
    m_border = border;
    m_borderWidth = width;
    update();
}

void ZulEditorChip::setPassive(bool passive)
{
    m_passive = passive;
    setAttribute(Qt::WA_TransparentForMouseEvents, passive);
    setFocusPolicy(passive ? Qt::NoFocus : Qt::TabFocus);
    setCursor(passive ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

qreal ZulEditorChip::partWidth(const Part &part) const
{
    if (!part.symbol.isEmpty())
        return VeskSymbol::boxSide(veskFontPixelSize(part.font));
    return QFontMetricsF(part.font).horizontalAdvance(part.text);
}

qreal ZulEditorChip::partHeight(const Part &part) const
{
    if (!part.symbol.isEmpty())
        return VeskSymbol::boxSide(veskFontPixelSize(part.font));
    return QFontMetricsF(part.font).height();
}

QSize ZulEditorChip::sizeHint() const
{
    qreal width = 0;
    qreal height = 0;
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        width += partWidth(m_parts[i]) + (i > 0 ? m_spacing : 0);
        height = std::max(height, partHeight(m_parts[i]));
    }
    return QSize(int(std::ceil(width + 2 * m_horizontalPadding)), int(std::ceil(height + 2 * m_verticalPadding)));
}

QSize ZulEditorChip::minimumSizeHint() const
{
    return sizeHint();
}

bool ZulEditorChip::hitButton(const QPoint &pos) const
{
    return !m_passive && rect().contains(pos);
}

void ZulEditorChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect());
    if (m_fill.alpha() > 0 || m_border.alpha() > 0)
        veskPaintGlassShape(painter, bounds, bounds.height() / 2, m_fill, m_border, m_borderWidth);
    if (hasFocus() && m_drawsFocusRing)
        VeskFocusRing::paint(painter, bounds, bounds.height() / 2);
    if (isDown()) {
        painter.setOpacity(0.78);
    }
    qreal x = m_horizontalPadding;
    const qreal centre = bounds.center().y();
    for (const Part &part : m_parts) {
        const qreal w = partWidth(part);
        const qreal h = partHeight(part);
        if (!part.symbol.isEmpty()) {
            VeskSymbol::paint(painter, QRectF(x, centre - h / 2, w, h), part.symbol, part.colour, part.font.weight());
        } else {
            painter.setFont(part.font);
            painter.setPen(part.colour);
            painter.drawText(QRectF(x, centre - h / 2, w + 1, h), Qt::AlignLeft | Qt::AlignVCenter, part.text);
        }
        x += w + m_spacing;
    }
}
