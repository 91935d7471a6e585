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

QString EdgeDrawerNoteChip::shownTitle(const QString &title)
{
    // A chip is a single line: line breaks of a title would not show anyway.
    if (!title.contains(QLatin1Char('\n')))
        return title;
    QString oneLine = title;
    return oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

void EdgeDrawerNoteChip::setNote(const QUuid &noteID, const QString &title, ZulNoteTint tint, bool selected)
{
    m_noteID = noteID;
    setLook(title, tint, selected);
}

void EdgeDrawerNoteChip::setLook(const QString &title, ZulNoteTint tint, bool selected)
{
    const QString oneLine = shownTitle(title);
    // One whose note changed what it does not show stays as it is.
    if (oneLine == text() && tint == m_tint && selected == m_selected)
        return;
    m_tint = tint;
    m_selected = selected;
    setText(oneLine);
    setAccessibleName(oneLine);
    VeskAccessibleControl::setOn(this, selected);
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
    return titleFont(m_selected);
}

QFont EdgeDrawerNoteChip::titleFont(bool selected)
{
    return veskSystemFont(fontPixelSize, selected ? QFont::DemiBold : QFont::Medium);
}

int EdgeDrawerNoteChip::widthFor(const QFontMetricsF &metrics, const QString &shownTitle)
{
    return int(std::ceil(horizontalPadding * 2 + dotSide + spacing + metrics.horizontalAdvance(shownTitle)));
}

int EdgeDrawerNoteChip::heightFor(const QFontMetricsF &metrics)
{
    return int(std::ceil(verticalPadding * 2 + std::max(metrics.height(), dotSide)));
}

QSize EdgeDrawerNoteChip::sizeHint() const
{
    const QFontMetricsF metrics(titleFont());
    return QSize(widthFor(metrics, text()), heightFor(metrics));
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
