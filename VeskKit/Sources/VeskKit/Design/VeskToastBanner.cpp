#include "VeskKit/Design/VeskToastBanner.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QPainter>

#include <algorithm>
#include <cmath>

// The shadow and the fade in one effect: Qt paints no graphics effect inside
// the source of another, so a fading parent would blank the banner out.
class VeskToastBanner::FadingShadow : public QGraphicsDropShadowEffect {
public:
    using QGraphicsDropShadowEffect::QGraphicsDropShadowEffect;

    qreal opacity = 1;

protected:
    void draw(QPainter *painter) override
    {
        if (opacity <= 0)
            return;
        painter->save();
        painter->setOpacity(painter->opacity() * opacity);
        QGraphicsDropShadowEffect::draw(painter);
        painter->restore();
    }
};

VeskToastBanner::VeskToastBanner(const QString &message, bool isError, QWidget *parent)
    : QWidget(parent), m_message(message), m_isError(isError)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TranslucentBackground);
    m_shadow = new FadingShadow(this);
    m_shadow->setBlurRadius(shadowBlurRadius);
    m_shadow->setOffset(0, shadowOffsetY);
    m_shadow->setColor(veskColorFromHex(0x000000, shadowOpacity));
    setGraphicsEffect(m_shadow);
    VeskAccessibleControl::setRole(this, QAccessible::Notification);
    setAccessibleName(message);
}

qreal VeskToastBanner::opacity() const
{
    return m_shadow->opacity;
}

void VeskToastBanner::setOpacity(qreal opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (opacity == m_shadow->opacity)
        return;
    m_shadow->opacity = opacity;
    m_shadow->update();
}

void VeskToastBanner::setMessage(const QString &message)
{
    if (message == m_message)
        return;
    m_message = message;
    setAccessibleName(message);
    updateGeometry();
    adjustSize();
    update();
    // A newer message in a banner already up is news of its own.
    if (isVisible())
        VeskAccessibleControl::announce(this);
}

void VeskToastBanner::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Qt tells the bridge it shows right after this.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void VeskToastBanner::setIsError(bool isError)
{
    if (isError == m_isError)
        return;
    m_isError = isError;
    update();
}

QString VeskToastBanner::symbolName() const
{
    return m_isError ? QStringLiteral("exclamationmark.triangle.fill") : QStringLiteral("checkmark.circle.fill");
}

QColor VeskToastBanner::symbolColor() const
{
    return m_isError ? VeskGlassTokens::warning() : VeskGlassTokens::success();
}

QFont VeskToastBanner::messageFont() const
{
    return veskTextStyleFont(VeskTextStyle::callout, QFont::Medium);
}

qreal VeskToastBanner::symbolSide() const
{
    return VeskSymbol::boxSide(veskTextStylePixelSize(VeskTextStyle::callout));
}

QSize VeskToastBanner::sizeHint() const
{
    const QFontMetricsF metrics(messageFont());
    const qreal width = symbolSide() + itemSpacing + metrics.horizontalAdvance(m_message);
    const qreal height = std::max(symbolSide(), metrics.height());
    return {int(std::ceil(width + 2 * horizontalPadding)), int(std::ceil(height + 2 * verticalPadding))};
}

QSize VeskToastBanner::minimumSizeHint() const
{
    return sizeHint();
}

void VeskToastBanner::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF bounds(rect());
    veskPaintGlassShape(painter, bounds, bounds.height() / 2, veskColorFromHex(0x000000, fillOpacity),
                        VeskGlassTokens::borderSubtle());

    const QRectF content = bounds.adjusted(horizontalPadding, verticalPadding, -horizontalPadding, -verticalPadding);
    const qreal side = symbolSide();
    VeskSymbol::paint(painter, QRectF(content.left(), content.center().y() - side / 2, side, side), symbolName(),
                      symbolColor(), QFont::Medium);

    const QRectF textArea(content.left() + side + itemSpacing, content.top(),
                          std::max(0.0, content.right() - (content.left() + side + itemSpacing)), content.height());
    const QFont font = messageFont();
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetricsF(font).elidedText(m_message, Qt::ElideRight, textArea.width()));
}
