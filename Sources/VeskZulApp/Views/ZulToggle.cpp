#include "Views/ZulToggle.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

ZulToggle::ZulToggle(const QString &text, const QColor &accent, QWidget *parent)
    : QAbstractButton(parent), m_accent(accent)
{
    setText(text);
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFont(veskSystemFont(13));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    // A click ticks it without taking the keyboard from where the user types.
    setFocusPolicy(Qt::TabFocus);
}

QSize ZulToggle::sizeHint() const
{
    const QFontMetricsF metrics(font());
    return {int(std::ceil(ringRoom + boxSide + spacing + metrics.horizontalAdvance(text()))) + 2,
            int(std::ceil(std::max(boxSide + 2 * ringRoom, metrics.height()))) + 2};
}

QSize ZulToggle::minimumSizeHint() const
{
    return sizeHint();
}

void ZulToggle::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF box(ringRoom, (height() - boxSide) / 2.0, boxSide, boxSide);
    if (isChecked()) {
        veskPaintGlassShape(painter, box, 4, m_accent, m_accent.lighter(115));
        VeskSymbol::paint(painter, box.adjusted(2.5, 2.5, -2.5, -2.5), QStringLiteral("checkmark"), Qt::white,
                          QFont::Bold);
    } else {
        veskPaintGlassShape(painter, box, 4, VeskGlassTokens::surface2(), VeskGlassTokens::borderStrong());
    }
    if (hasFocus())
        VeskFocusRing::paint(painter, box.adjusted(-ringRoom, -ringRoom, ringRoom, ringRoom), 4 + ringRoom);
    painter.setFont(font());
    painter.setPen(isEnabled() ? VeskGlassTokens::textPrimary() : VeskGlassTokens::textMuted());
    painter.drawText(QRectF(box.right() + spacing, 0, width() - box.right() - spacing, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}
