#include "Views/EdgePullHandleView.h"

#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskColorOpacity.h"
#include "VeskKit/Design/VeskEasing.h"
#include "VeskKit/Design/VeskSymbol.h"
#include "VeskKit/Localization/VeskText.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/EdgeDrawerGeometry.h"
#include "Views/EdgeHandleHoverState.h"
#include "Views/ZulVibrancyView.h"

#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

namespace {

constexpr quint32 kGradientTop = 0x24347A;
constexpr quint32 kGradientBottom = 0x0D1433;
constexpr qreal kStrokeWidth = 0.5;
constexpr QSizeF kGripSize{2.2, 16};
constexpr QSizeF kCapsuleSize{2, 24};
constexpr qreal kContentSpacing = 5;
constexpr qreal kChevronPixelSize = 8.5;
constexpr qreal kShadowRadius = 5;

qreal lerp(qreal a, qreal b, qreal t)
{
    return a + (b - a) * t;
}

QColor mix(const QColor &from, const QColor &to, qreal t)
{
    return QColor::fromRgbF(float(lerp(from.redF(), to.redF(), t)), float(lerp(from.greenF(), to.greenF(), t)),
                            float(lerp(from.blueF(), to.blueF(), t)), float(lerp(from.alphaF(), to.alphaF(), t)));
}

// Rounded only on the side facing the screen's interior; square on the edge.
QPainterPath handlePath(const QRectF &r, qreal radius, ZulEdgeSide side)
{
    const bool roundLeft = side == ZulEdgeSide::right;
    const qreal tl = roundLeft ? radius : 0;
    const qreal bl = roundLeft ? radius : 0;
    const qreal tr = roundLeft ? 0 : radius;
    const qreal br = roundLeft ? 0 : radius;
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    if (tr > 0)
        path.quadTo(r.topRight(), QPointF(r.right(), r.top() + tr));
    path.lineTo(r.right(), r.bottom() - br);
    if (br > 0)
        path.quadTo(r.bottomRight(), QPointF(r.right() - br, r.bottom()));
    path.lineTo(r.left() + bl, r.bottom());
    if (bl > 0)
        path.quadTo(r.bottomLeft(), QPointF(r.left(), r.bottom() - bl));
    path.lineTo(r.left(), r.top() + tl);
    if (tl > 0)
        path.quadTo(r.topLeft(), QPointF(r.left() + tl, r.top()));
    path.closeSubpath();
    return path;
}

void fillCapsule(QPainter &painter, const QRectF &rect, const QColor &colour)
{
    const qreal radius = std::min(rect.width(), rect.height()) / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(rect, radius, radius);
}

} // namespace

EdgePullHandleView::EdgePullHandleView(ZulStudioViewModel *viewModel, EdgeHandleHoverState *hoverState,
                                       std::function<void()> onTap, const QColor &accent, QWidget *parent)
    : QAbstractButton(parent), m_viewModel(viewModel), m_hoverState(hoverState), m_onTap(std::move(onTap)),
      m_accent(accent)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TranslucentBackground);
    m_hoverAnimation = new QVariantAnimation(this);
    m_hoverAnimation->setDuration(hoverAnimationMs);
    m_hoverAnimation->setEasingCurve(QEasingCurve::OutBack);
    connect(m_hoverAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_hoverAmount = value.toReal();
        update();
    });
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_onTap)
            m_onTap();
    });
    if (m_hoverState) {
        connect(m_hoverState, &EdgeHandleHoverState::isHoveringChanged, this, &EdgePullHandleView::followHover);
        m_hoverAmount = m_hoverState->isHovering() ? 1 : 0;
    }
    if (m_viewModel) {
        connect(m_viewModel, &ZulStudioViewModel::configChanged, this, qOverload<>(&QWidget::update));
        connect(m_viewModel, &ZulStudioViewModel::isEdgeDrawerOpenChanged, this, qOverload<>(&QWidget::update));
        connect(m_viewModel, &ZulStudioViewModel::languageChanged, this, &EdgePullHandleView::refreshTexts);
    }
    refreshTexts();
}

EdgePullHandleView::Appearance EdgePullHandleView::appearance(ZulEdgeSide side, bool hovering, bool open,
                                                              const QColor &accent)
{
    const bool right = side == ZulEdgeSide::right;
    const bool emphasised = hovering || open;
    Appearance a;
    a.size = hovering ? QSizeF(15, 104) : QSizeF(10, 84);
    a.radius = hovering ? 7.5 : 5.5;
    a.vibrancyOpacity = emphasised ? 0.96 : 0.62;
    a.gradientTopOpacity = hovering ? 0.5 : 0.16;
    a.gradientBottomOpacity = hovering ? 0.62 : 0.24;
    if (hovering)
        a.stroke = veskColorFaded(accent, 0.82);
    else
        a.stroke = veskColorFaded(Qt::white, open ? 0.22 : 0.14);
    a.showsGrips = hovering;
    // Closed, it points into the screen; open, back towards the edge.
    const bool pointsLeft = open ? !right : right;
    a.chevron = pointsLeft ? QStringLiteral("chevron.left") : QStringLiteral("chevron.right");
    a.capsuleOpacity = hovering ? 0 : (open ? 0.42 : 0.26);
    a.shadowOpacity = hovering ? 0.42 : 0;
    return a;
}

QRectF EdgePullHandleView::shapeRect(const QRectF &panelRect, ZulEdgeSide side, QSizeF size)
{
    const qreal x = side == ZulEdgeSide::right ? panelRect.right() - size.width() : panelRect.left();
    const qreal y = panelRect.center().y() - size.height() / 2;
    return QRectF(QPointF(x, y), size);
}

ZulEdgeSide EdgePullHandleView::side() const
{
    return m_viewModel ? m_viewModel->config().edgeSide : ZulEdgeSide::right;
}

EdgePullHandleView::Appearance EdgePullHandleView::currentAppearance() const
{
    const bool hovering = m_hoverState && m_hoverState->isHovering();
    const bool open = m_viewModel && m_viewModel->isEdgeDrawerOpen();
    return appearance(side(), hovering, open, m_accent);
}

QSize EdgePullHandleView::sizeHint() const
{
    return EdgeDrawerGeometry::handleSize.toSize();
}

void EdgePullHandleView::followHover()
{
    const qreal target = m_hoverState && m_hoverState->isHovering() ? 1 : 0;
    m_hoverAnimation->stop();
    m_hoverAnimation->setStartValue(m_hoverAmount);
    m_hoverAnimation->setEndValue(target);
    m_hoverAnimation->start();
}

void EdgePullHandleView::refreshTexts()
{
    const VeskLanguage language = m_viewModel ? m_viewModel->language() : VeskLanguage::current();
    setToolTip(veskText(QStringLiteral("Toggle VeskZul Edge Drawer (%1)"),
                        QStringLiteral("VeskZul Kenar Çekmecesini Aç/Kapat (%1)"), language)
                   .arg(ZulCommand::of(ZulCommandID::toggleEdgeDrawer).keysText()));
    // The name of the handle's window.
    setWindowTitle(veskText(QStringLiteral("VeskZul Edge Drawer"), QStringLiteral("VeskZul Kenar Çekmecesi"), language));
}

void EdgePullHandleView::paintEvent(QPaintEvent *)
{
    const ZulEdgeSide edge = side();
    const bool open = m_viewModel && m_viewModel->isEdgeDrawerOpen();
    const Appearance rest = appearance(edge, false, open, m_accent);
    const Appearance lit = appearance(edge, true, open, m_accent);
    const qreal t = m_hoverAmount;
    const bool right = edge == ZulEdgeSide::right;

    const QSizeF size(lerp(rest.size.width(), lit.size.width(), t), lerp(rest.size.height(), lit.size.height(), t));
    const qreal radius = std::max(0.0, lerp(rest.radius, lit.radius, t));
    const QRectF shape = shapeRect(QRectF(rect()), edge, size);
    const QPainterPath path = handlePath(shape, radius, edge);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    // A soft accent glow falling towards the screen's interior.
    const qreal shadow = std::clamp(lerp(rest.shadowOpacity, lit.shadowOpacity, t), 0.0, 1.0);
    if (shadow > 0) {
        painter.save();
        painter.translate(right ? -1 : 1, 0);
        for (int ring = int(kShadowRadius); ring >= 1; --ring) {
            QPen pen(veskColorFaded(m_accent, shadow / (kShadowRadius + 1)), ring * 2);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
        painter.restore();
    }

    painter.save();
    painter.setClipPath(path);
    const qreal vibrancy = lerp(rest.vibrancyOpacity, lit.vibrancyOpacity, t);
    painter.fillRect(shape, veskColorFaded(ZulVibrancyView::materialTint(ZulVisualEffectMaterial::hudWindow), vibrancy));
    QLinearGradient wash(shape.topLeft(), shape.bottomLeft());
    wash.setColorAt(0, veskColorFromHex(kGradientTop, lerp(rest.gradientTopOpacity, lit.gradientTopOpacity, t)));
    wash.setColorAt(1, veskColorFromHex(kGradientBottom,
                                        lerp(rest.gradientBottomOpacity, lit.gradientBottomOpacity, t)));
    painter.fillRect(shape, wash);

    // Inner stroke: half its width inside the shape, the other half clipped.
    painter.setPen(QPen(mix(rest.stroke, lit.stroke, t), kStrokeWidth * 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);

    const QPointF centre = shape.center();
    const qreal restWeight = 1 - std::clamp(t, 0.0, 1.0);
    if (restWeight > 0) {
        const QRectF capsule(centre - QPointF(kCapsuleSize.width() / 2, kCapsuleSize.height() / 2), kCapsuleSize);
        fillCapsule(painter, capsule, veskColorFaded(Qt::white, rest.capsuleOpacity * restWeight));
    }
    const qreal litWeight = std::clamp(t, 0.0, 1.0);
    if (litWeight > 0) {
        const qreal chevronSide = VeskSymbol::boxSide(kChevronPixelSize);
        const qreal column = kGripSize.height() * 2 + chevronSide + kContentSpacing * 2;
        qreal y = centre.y() - column / 2;
        const QColor grip = veskColorFaded(m_accent, 0.9 * litWeight);
        fillCapsule(painter, QRectF(centre.x() - kGripSize.width() / 2, y, kGripSize.width(), kGripSize.height()),
                    grip);
        y += kGripSize.height() + kContentSpacing;
        VeskSymbol::paint(painter, QRectF(centre.x() - chevronSide / 2, y, chevronSide, chevronSide), lit.chevron,
                          veskColorFaded(Qt::white, 0.95 * litWeight), QFont::Bold);
        y += chevronSide + kContentSpacing;
        fillCapsule(painter, QRectF(centre.x() - kGripSize.width() / 2, y, kGripSize.width(), kGripSize.height()),
                    grip);
    }
    painter.restore();
}
