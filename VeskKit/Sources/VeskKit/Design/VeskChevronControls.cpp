#include "VeskKit/Design/VeskChevronControls.h"

#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskGlassMenu.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QPointer>
#include <QTimer>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace {

void paintChevron(QWidget &widget, const QRect &area, const QString &symbol, bool enabled)
{
    if (area.isEmpty())
        return;
    // Glyph boxes are 24-unit grids with the chevron in their middle half, so
    // a box a little larger than the area's short side reads at text size.
    const qreal side = std::min<qreal>(std::min(area.width(), area.height()) * 1.6, 16.0);
    QRectF box(0, 0, side, side);
    box.moveCenter(QRectF(area).center());
    QPainter painter(&widget);
    painter.setRenderHint(QPainter::Antialiasing, true);
    VeskSymbol::paint(painter, box, symbol, enabled ? VeskGlassTokens::textSecondary() : VeskGlassTokens::textMuted(),
                      QFont::DemiBold);
}

// The corner radius the glass pages give these controls in their style sheets.
constexpr qreal kCornerRadius = 7;

void paintRing(QWidget &widget)
{
    if (!widget.hasFocus())
        return;
    QPainter painter(&widget);
    VeskFocusRing::paint(painter, QRectF(widget.rect()), kCornerRadius);
}

} // namespace

VeskComboBox::VeskComboBox(QWidget *parent) : QComboBox(parent)
{
    VeskGlassMenu::applyLook(view(), VeskProductPalette::deepIndigo);
}

void VeskComboBox::showPopup()
{
    QComboBox::showPopup();
    QPointer<QAbstractItemView> list = view();
    // After the list's own focus news, which the next turn of the loop ends.
    QTimer::singleShot(0, this, [list] {
        if (!list || !list->isVisible() || !list->currentIndex().isValid() || !QAccessible::isActive())
            return;
        QAccessibleEvent focus(list, QAccessible::Focus);
        focus.setChild(list->currentIndex().row());
        QAccessible::updateAccessibility(&focus);
    });
}

void VeskComboBox::paintEvent(QPaintEvent *event)
{
    QComboBox::paintEvent(event);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect arrow = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this);
    paintChevron(*this, arrow, QStringLiteral("chevron.down"), isEnabled());
    paintRing(*this);
}

void VeskStepper::paintEvent(QPaintEvent *event)
{
    QSpinBox::paintEvent(event);
    if (buttonSymbols() == QAbstractSpinBox::NoButtons)
        return;
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const QRect down = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxDown, this);
    paintChevron(*this, up, QStringLiteral("chevron.up"), isEnabled() && value() < maximum());
    paintChevron(*this, down, QStringLiteral("chevron.down"), isEnabled() && value() > minimum());
    paintRing(*this);
}
