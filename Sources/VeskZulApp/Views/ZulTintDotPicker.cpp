#include "Views/ZulTintDotPicker.h"

#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Localization/VeskText.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

struct Ring {
    qreal opacity;
    qreal width;
};

constexpr Ring kSelectedRing{0.92, 1.5};
constexpr Ring kOtherRing{0.2, 0.5};

} // namespace

ZulTintDotPicker::ZulTintDotPicker(ZulNoteTint selected, qreal dotSize, std::function<void(ZulNoteTint)> onSelect,
                                   QWidget *parent)
    : QWidget(parent), m_selected(selected), m_dotSize(dotSize), m_onSelect(std::move(onSelect)),
      m_keyboardTint(selected)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
    VeskAccessibleControl::setRole(this, QAccessible::Grouping);
    nameForLanguage();
}

// The row takes the keyboard as one stop, so it is named as a whole too,
// with the tint it holds: arriving, a reader hears that first.
void ZulTintDotPicker::nameForLanguage()
{
    setAccessibleName(veskText(QStringLiteral("Note tint: "), QStringLiteral("Not rengi: "), m_language) +
                      veskText(labelEN(m_selected), labelTR(m_selected), m_language));
}

void ZulTintDotPicker::setSelected(ZulNoteTint tint)
{
    if (tint == m_selected)
        return;
    m_selected = tint;
    nameForLanguage();
    update();
    VeskAccessibleControl::partsChanged(this);
}

void ZulTintDotPicker::setLanguage(VeskLanguage language)
{
    if (language == m_language)
        return;
    m_language = language;
    nameForLanguage();
    VeskAccessibleControl::partsChanged(this);
}

int ZulTintDotPicker::accessiblePartCount() const
{
    return int(ZulNoteTintAllCases().size());
}

VeskAccessiblePart ZulTintDotPicker::accessiblePart(int index) const
{
    const ZulNoteTint tint = ZulNoteTintAllCases().at(index);
    VeskAccessiblePart part;
    part.role = QAccessible::RadioButton;
    part.name = veskText(labelEN(tint), labelTR(tint), m_language);
    part.rect = dotRect(tint).toAlignedRect();
    part.isOn = tint == m_selected;
    part.hasKeyboard = hasFocus() && tint == m_keyboardTint;
    return part;
}

void ZulTintDotPicker::pressAccessiblePart(int index)
{
    if (m_onSelect && index >= 0 && index < accessiblePartCount())
        m_onSelect(ZulNoteTintAllCases().at(index));
}

int ZulTintDotPicker::overflowMargin() const
{
    return int(std::ceil(m_dotSize * (selectedScale - 1) / 2 + 1 + VeskFocusRing::width));
}

QRectF ZulTintDotPicker::dotRect(ZulNoteTint tint) const
{
    const qreal margin = overflowMargin();
    const qreal x = margin + int(tint) * (m_dotSize + spacing);
    return {x, margin, m_dotSize, m_dotSize};
}

QString ZulTintDotPicker::helpText(ZulNoteTint tint)
{
    return labelEN(tint);
}

QSize ZulTintDotPicker::sizeHint() const
{
    const qreal count = qreal(ZulNoteTintAllCases().size());
    const qreal width = count * m_dotSize + (count - 1) * spacing;
    const int margin = overflowMargin();
    return {int(std::ceil(width)) + 2 * margin, int(std::ceil(m_dotSize)) + 2 * margin};
}

QSize ZulTintDotPicker::minimumSizeHint() const
{
    return sizeHint();
}

std::optional<ZulNoteTint> ZulTintDotPicker::tintAt(QPointF position) const
{
    for (ZulNoteTint tint : ZulNoteTintAllCases())
        if (dotRect(tint).contains(position))
            return tint;
    return std::nullopt;
}

bool ZulTintDotPicker::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const auto tint = tintAt(help->pos()))
            QToolTip::showText(help->globalPos(), helpText(*tint), this, dotRect(*tint).toAlignedRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void ZulTintDotPicker::focusInEvent(QFocusEvent *event)
{
    // Arriving at the row, the ring starts on the note's own colour.
    m_keyboardTint = m_selected;
    QWidget::focusInEvent(event);
    VeskAccessibleControl::partsChangedAfterFocus(this);
}

void ZulTintDotPicker::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    VeskAccessibleControl::partsChanged(this);
}

void ZulTintDotPicker::keyPressEvent(QKeyEvent *event)
{
    const auto tints = ZulNoteTintAllCases();
    const qsizetype at = std::find(tints.begin(), tints.end(), m_keyboardTint) - tints.begin();
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const qsizetype next = std::clamp<qsizetype>(at + (event->key() == Qt::Key_Left ? -1 : 1), 0,
                                                     qsizetype(tints.size()) - 1);
        m_keyboardTint = tints[size_t(next)];
        update();
        VeskAccessibleControl::partsChanged(this);
        return;
    }
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_onSelect)
            m_onSelect(m_keyboardTint);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ZulTintDotPicker::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton ? tintAt(event->position()) : std::nullopt;
    event->accept();
}

void ZulTintDotPicker::mouseReleaseEvent(QMouseEvent *event)
{
    // A click is a press and release on the same dot.
    const std::optional<ZulNoteTint> pressed = m_pressed;
    m_pressed.reset();
    if (event->button() != Qt::LeftButton || !pressed || tintAt(event->position()) != pressed)
        return;
    if (m_onSelect)
        m_onSelect(*pressed);
}

void ZulTintDotPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (ZulNoteTint tint : ZulNoteTintAllCases()) {
        const bool isSelected = tint == m_selected;
        const QRectF square = dotRect(tint);
        const qreal scale = isSelected ? selectedScale : 1.0;
        const qreal side = m_dotSize * scale;
        const QRectF dot(square.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
        painter.setPen(Qt::NoPen);
        painter.setBrush(veskColorFromHex(accentHex(tint)));
        painter.drawEllipse(dot);
        // The ring lies inside the dot's edge; it scales with the dot.
        const Ring ring = isSelected ? kSelectedRing : kOtherRing;
        const qreal width = ring.width * scale;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(veskColorFromHex(0xFFFFFF, ring.opacity), width));
        painter.drawEllipse(dot.adjusted(width / 2, width / 2, -width / 2, -width / 2));
        if (hasFocus() && tint == m_keyboardTint)
            VeskFocusRing::paintCircle(painter, dot.center(), side / 2);
    }
}
