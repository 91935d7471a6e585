#include "Views/ZulEditorChip.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
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
    for (const Part &part : m_parts) {
        if (!part.symbol.isEmpty())
            VeskSymbol::prepare(part.symbol, part.font.weight());
    }
    setAccessibleName(spokenText());
    updateGeometry();
    update();
    refreshToolTip();
}

void ZulEditorChip::setShrinkable(bool shrinkable)
{
    m_shrinkable = shrinkable;
    setSizePolicy(shrinkable ? QSizePolicy::Maximum : QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateGeometry();
}

void ZulEditorChip::setHelpText(const QString &help)
{
    m_helpText = help;
    refreshToolTip();
}

qsizetype ZulEditorChip::lastTextIndex() const
{
    for (qsizetype i = m_parts.size() - 1; i >= 0; --i) {
        if (m_parts[i].symbol.isEmpty())
            return i;
    }
    return -1;
}

QString ZulEditorChip::shownLastText() const
{
    const qsizetype last = lastTextIndex();
    if (last < 0)
        return {};
    const Part &part = m_parts[last];
    const qreal room = partWidth(part) - (sizeHint().width() - width());
    return room >= partWidth(part) ? part.text
                                   : QFontMetricsF(part.font).elidedText(part.text, Qt::ElideRight, room);
}

void ZulEditorChip::refreshToolTip()
{
    const qsizetype last = lastTextIndex();
    const bool cut = last >= 0 && shownLastText() != m_parts[last].text;
    QStringList lines;
    if (cut)
        lines.append(spokenText());
    if (!m_helpText.isEmpty())
        lines.append(m_helpText);
    setToolTip(lines.join(QLatin1Char('\n')));
}

void ZulEditorChip::resizeEvent(QResizeEvent *event)
{
    QAbstractButton::resizeEvent(event);
    refreshToolTip();
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
    // A chip that takes no clicks is read, not pressed.
    VeskAccessibleControl::setRole(this, passive ? QAccessible::StaticText : QAccessible::Button);
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
    const QSize whole = sizeHint();
    const qsizetype last = lastTextIndex();
    if (!m_shrinkable || last < 0)
        return whole;
    // Down to an ellipsis for the last text.
    const qreal spare = partWidth(m_parts[last]) - QFontMetricsF(m_parts[last].font).horizontalAdvance(QChar(0x2026));
    return QSize(whole.width() - int(std::floor(std::max(0.0, spare))), whole.height());
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
    const qsizetype last = lastTextIndex();
    for (qsizetype i = 0; i < m_parts.size(); ++i) {
        const Part &part = m_parts[i];
        const QString text = i == last ? shownLastText() : part.text;
        const qreal w = i == last ? QFontMetricsF(part.font).horizontalAdvance(text) : partWidth(part);
        const qreal h = partHeight(part);
        if (!part.symbol.isEmpty()) {
            VeskSymbol::paint(painter, QRectF(x, centre - h / 2, w, h), part.symbol, part.colour, part.font.weight());
        } else {
            painter.setFont(part.font);
            painter.setPen(part.colour);
            painter.drawText(QRectF(x, centre - h / 2, w + 1, h), Qt::AlignLeft | Qt::AlignVCenter, text);
        }
        x += w + m_spacing;
    }
}
