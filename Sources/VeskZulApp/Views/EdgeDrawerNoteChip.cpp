#include "Views/EdgeDrawerNoteChip.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

EdgeDrawerNoteChip::EdgeDrawerNoteChip(const QUuid &noteID, const QString &title, ZulNoteTint tint, bool selected,
                                       QWidget *parent)
    : QAbstractButton(parent), m_noteID(noteID), m_tint(tint), m_selected(selected)
{
    // The strip is one Tab stop; the drawer moves the keyboard along it.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    // The open note's chip is the one that is on.
    VeskAccessibleControl::setRole(this, QAccessible::CheckBox);
    VeskAccessibleControl::setOn(this, selected);
    setLook(title, tint, selected);
}

void EdgeDrawerNoteChip::setLook(const QString &title, ZulNoteTint tint, bool selected)
{
    // A chip is a single line: line breaks of a title would not show anyway.
    QString oneLine = title;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    // A chip among thousands costs a repaint of the strip's bookkeeping;
    // one whose note changed what it does not show stays as it is.
    if (oneLine == text() && tint == m_tint && selected == m_selected)
        return;
    const bool resized = oneLine != text() || selected != m_selected;
    m_tint = tint;
    m_selected = selected;
    setText(oneLine);
    setAccessibleName(oneLine);
    VeskAccessibleControl::setOn(this, selected);
    if (resized)
        updateGeometry();
    update();
}

QColor EdgeDrawerNoteChip::titleColour() const
{
    return m_selected ? QColor(Qt::white) : VeskGlassTokens::textSecondary();
}

QColor EdgeDrawerNoteChip::fillColour() const
{
    return m_selected ? veskColorFromHex(accentHex(m_tint), 0.24) : veskColorFromHex(0xFFFFFF, 0.05);
}

QColor EdgeDrawerNoteChip::borderColour() const
{
    return m_selected ? veskColorFromHex(accentHex(m_tint), 0.55) : QColor(Qt::transparent);
}

QFont EdgeDrawerNoteChip::titleFont() const
{
    return veskSystemFont(fontPixelSize, m_selected ? QFont::DemiBold : QFont::Medium);
}

QSize EdgeDrawerNoteChip::sizeHint() const
{
    const QFontMetricsF metrics(titleFont());
    const qreal width = horizontalPadding * 2 + dotSide + spacing + metrics.horizontalAdvance(text());
    const qreal height = verticalPadding * 2 + std::max(metrics.height(), dotSide);
    return QSize(int(std::ceil(width)), int(std::ceil(height)));
}

void EdgeDrawerNoteChip::keyPressEvent(QKeyEvent *event)
{
    // Enter opens the chip's note, as Space (the button's own) does.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void EdgeDrawerNoteChip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(rect());
    veskPaintGlassShape(painter, bounds, bounds.height() / 2, fillColour(), borderColour(), 0.5);
    if (hasFocus())
        VeskFocusRing::paint(painter, bounds, bounds.height() / 2);

    const QRectF dot(horizontalPadding, bounds.center().y() - dotSide / 2, dotSide, dotSide);
    painter.setPen(Qt::NoPen);
    painter.setBrush(veskColorFromHex(accentHex(m_tint)));
    painter.drawEllipse(dot);

    painter.setFont(titleFont());
    painter.setPen(titleColour());
    const QRectF textArea(dot.right() + spacing, 0, bounds.width() - dot.right() - spacing - horizontalPadding,
                          bounds.height());
    const QString shown = QFontMetricsF(titleFont()).elidedText(text(), Qt::ElideRight, textArea.width());
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine, shown);
}
