#include "Views/ZulMinimalIconButton.h"

#include "VeskKit/Design/VeskEasing.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace {

QColor mix(const QColor &from, const QColor &to, qreal t)
{
    auto lerp = [t](qreal a, qreal b) { return a + (b - a) * t; };
    return QColor::fromRgbF(float(lerp(from.redF(), to.redF())), float(lerp(from.greenF(), to.greenF())),
                            float(lerp(from.blueF(), to.blueF())), float(lerp(from.alphaF(), to.alphaF())));
}

} // namespace

ZulMinimalIconButton::ZulMinimalIconButton(const QString &systemName, qreal iconSize, QFont::Weight weight,
                                           qreal diameter, const QColor &tint, std::function<void()> action,
                                           QWidget *parent)
    : QAbstractButton(parent), m_systemName(systemName), m_iconSize(iconSize), m_weight(weight),
      m_diameter(diameter), m_tint(tint), m_action(std::move(action))
{
    VeskSymbol::prepare(systemName, weight);
    // Tab reaches it; a click leaves the keyboard where it was.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::ArrowCursor);
    m_hoverAnimation = new QVariantAnimation(this);
    m_hoverAnimation->setDuration(hoverAnimationMs);
    m_hoverAnimation->setEasingCurve(veskEaseOutCurve());
    connect(m_hoverAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_hoverAmount = value.toReal();
        update();
    });
    connect(&m_hover, &ZulIconHoverState::isHoveredChanged, this, &ZulMinimalIconButton::animateHover);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_action)
            m_action();
    });
}

ZulMinimalIconButton::~ZulMinimalIconButton() = default;

void ZulMinimalIconButton::setSystemName(const QString &name)
{
    if (name == m_systemName)
        return;
    m_systemName = name;
    update();
}

void ZulMinimalIconButton::setTint(const QColor &tint)
{
    if (tint == m_tint)
        return;
    m_tint = tint;
    update();
}

QColor ZulMinimalIconButton::discColor() const
{
    QColor disc(255, 255, 255);
    disc.setAlphaF(float(restingDiscOpacity + (hoveredDiscOpacity - restingDiscOpacity) * m_hoverAmount));
    return disc;
}

QColor ZulMinimalIconButton::symbolColor() const
{
    return mix(m_tint, QColor(255, 255, 255), m_hoverAmount);
}

QSize ZulMinimalIconButton::sizeHint() const
{
    const int side = int(std::ceil(m_diameter));
    return {side, side};
}

QSize ZulMinimalIconButton::minimumSizeHint() const
{
    return sizeHint();
}

void ZulMinimalIconButton::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    m_hover.setIsHovered(true);
}

void ZulMinimalIconButton::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    m_hover.setIsHovered(false);
}

void ZulMinimalIconButton::animateHover(bool hovered)
{
    m_hoverAnimation->stop();
    m_hoverAnimation->setStartValue(m_hoverAmount);
    m_hoverAnimation->setEndValue(hovered ? 1.0 : 0.0);
    m_hoverAnimation->start();
}

void ZulMinimalIconButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF frame = QRectF(QPointF(0, 0), QSizeF(m_diameter, m_diameter))
                             .translated(QRectF(rect()).center() - QPointF(m_diameter / 2, m_diameter / 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(discColor());
    painter.drawEllipse(frame);
    if (hasFocus())
        VeskFocusRing::paint(painter, frame, m_diameter / 2);
    const qreal side = VeskSymbol::boxSide(m_iconSize);
    const QRectF box(frame.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
    VeskSymbol::paint(painter, box, m_systemName, symbolColor(), m_weight);
}
