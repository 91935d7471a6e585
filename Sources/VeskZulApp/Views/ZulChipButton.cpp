#include "Views/ZulChipButton.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ZulChipButton::ZulChipButton(const QString &text, const QString &symbol, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol)
{
    setText(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAccessibleName(text);
}

void ZulChipButton::setSymbol(const QString &symbol)
{
    m_symbol = symbol;
    updateGeometry();
    update();
}

void ZulChipButton::setCornerRadius(qreal radius)
{
    m_cornerRadius = radius;
    update();
}

void ZulChipButton::setCapsule(bool capsule)
{
    m_capsule = capsule;
    update();
}

void ZulChipButton::setPadding(qreal horizontal, qreal vertical)
{
    m_horizontalPadding = horizontal;
    m_verticalPadding = vertical;
    updateGeometry();
    update();
}

void ZulChipButton::setSpacing(qreal spacing)
{
    m_spacing = spacing;
    updateGeometry();
    update();
}

void ZulChipButton::setLooks(const Look &selected, const Look &plain)
{
    if (!m_symbol.isEmpty()) {
        VeskSymbol::prepare(m_symbol, selected.font.weight());
        VeskSymbol::prepare(m_symbol, plain.font.weight());
    }
    m_selectedLook = selected;
    m_plainLook = plain;
    updateGeometry();
    update();
}

void ZulChipButton::setSelected(bool selected)
{
    if (selected == m_selected)
        return;
    m_selected = selected;
    VeskAccessibleControl::setOn(this, selected);
    // The weights differ, so the width may too.
    updateGeometry();
    update();
}

QSizeF ZulChipButton::labelSize(const Look &look) const
{
    const QFontMetricsF metrics(look.font);
    const qreal px = veskFontPixelSize(look.font);
    const qreal symbolSide = m_symbol.isEmpty() ? 0 : VeskSymbol::boxSide(px);
    const qreal textWidth = text().isEmpty() ? 0 : metrics.horizontalAdvance(text());
    const qreal gap = !m_symbol.isEmpty() && !text().isEmpty() ? m_spacing : 0;
    return {symbolSide + gap + textWidth, std::max(symbolSide, metrics.height())};
}

QSize ZulChipButton::sizeHint() const
{
    // Wide enough for either look, so selecting never jostles the row.
    const QSizeF a = labelSize(m_selectedLook), b = labelSize(m_plainLook);
    return {int(std::ceil(std::max(a.width(), b.width()) + 2 * m_horizontalPadding)),
            int(std::ceil(std::max(a.height(), b.height()) + 2 * m_verticalPadding))};
}

QSize ZulChipButton::minimumSizeHint() const
{
    return sizeHint();
}

void ZulChipButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void ZulChipButton::paintEvent(QPaintEvent *)
{
    const Look &look = currentLook();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF bounds(rect());
    const qreal radius = m_capsule ? bounds.height() / 2 : m_cornerRadius;
    if (isDown())
        painter.setOpacity(0.8);
    veskPaintGlassShape(painter, bounds, radius, look.fill, look.border, look.borderWidth);
    if (hasFocus())
        VeskFocusRing::paint(painter, bounds, radius);

    const QSizeF label = labelSize(look);
    const qreal width = std::min(label.width(), bounds.width() - 2 * m_horizontalPadding);
    qreal x = bounds.center().x() - width / 2;
    const qreal px = veskFontPixelSize(look.font);
    if (!m_symbol.isEmpty()) {
        const qreal side = VeskSymbol::boxSide(px);
        VeskSymbol::paint(painter, QRectF(x, bounds.center().y() - side / 2, side, side), m_symbol, look.foreground,
                          look.font.weight());
        x += side + (text().isEmpty() ? 0 : m_spacing);
    }
    if (!text().isEmpty()) {
        const QFontMetricsF metrics(look.font);
        const qreal room = std::max(0.0, bounds.right() - m_horizontalPadding - x);
        painter.setFont(look.font);
        painter.setPen(look.foreground);
        painter.drawText(QRectF(x, bounds.top(), room + 1, bounds.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(text(), Qt::ElideRight, room + 1));
    }
}
