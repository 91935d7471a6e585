#include "Views/ZulVibrancyView.h"

#include <QPainter>
#include <QPainterPath>
#include <qdrawutil.h>

#include <cmath>

namespace {

// Masks are drawn at twice their point size so corners stay smooth on dense
// screens and when scaled.
constexpr qreal kMaskScale = 2.0;

// One closed outline with its own radius per corner; a corner of radius 0
// stays sharp. Each curve has both control points at the corner itself.
QPainterPath cornerPath(const QRectF &r, qreal tl, qreal tr, qreal br, qreal bl)
{
    QPainterPath path;
    path.moveTo(r.left() + tl, r.top());
    path.lineTo(r.right() - tr, r.top());
    if (tr > 0)
        path.cubicTo(r.right(), r.top(), r.right(), r.top(), r.right(), r.top() + tr);
    path.lineTo(r.right(), r.bottom() - br);
    if (br > 0)
        path.cubicTo(r.right(), r.bottom(), r.right(), r.bottom(), r.right() - br, r.bottom());
    path.lineTo(r.left() + bl, r.bottom());
    if (bl > 0)
        path.cubicTo(r.left(), r.bottom(), r.left(), r.bottom(), r.left(), r.bottom() - bl);
    path.lineTo(r.left(), r.top() + tl);
    if (tl > 0)
        path.cubicTo(r.left(), r.top(), r.left(), r.top(), r.left() + tl, r.top());
    path.closeSubpath();
    return path;
}

} // namespace

ZulVibrancyView::ZulVibrancyView(ZulVisualEffectMaterial material, ZulVisualEffectBlendingMode blendingMode,
                                 ZulVisualEffectState state, ZulGlassCorners corners, QWidget *parent)
    : QWidget(parent), m_material(material), m_blendingMode(blendingMode), m_state(state)
{
    setAttribute(Qt::WA_TranslucentBackground);
    applyCorners(corners);
}

void ZulVibrancyView::updateView(ZulVisualEffectMaterial material, ZulVisualEffectBlendingMode blendingMode,
                                 ZulVisualEffectState state, ZulGlassCorners corners)
{
    bool changed = false;
    if (material != m_material) {
        m_material = material;
        changed = true;
    }
    if (blendingMode != m_blendingMode)
        m_blendingMode = blendingMode;
    if (state != m_state)
        m_state = state;
    if (!m_appliedCorners || *m_appliedCorners != corners) {
        applyCorners(corners);
        changed = true;
    }
    if (changed)
        update();
}

void ZulVibrancyView::applyCorners(const ZulGlassCorners &corners)
{
    m_mask = makeMaskImage(corners);
    m_maskPixmap = m_mask ? QPixmap::fromImage(m_mask->image) : QPixmap();
    m_appliedCorners = corners;
    ++m_maskBuildCount;
}

std::optional<ZulMaskImage> ZulVibrancyView::makeMaskImage(const ZulGlassCorners &corners)
{
    const qreal r = corners.radius;
    if (!(r > 0))
        return std::nullopt;
    const qreal left = corners.roundsLeft() ? r : 0;
    const qreal right = corners.roundsRight() ? r : 0;
    const qreal width = corners.kind == ZulGlassCorners::Kind::all ? 2 * r + 2 : r + 2;
    const qreal height = 2 * r + 2;

    QImage image(int(std::ceil(width * kMaskScale)), int(std::ceil(height * kMaskScale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(kMaskScale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(cornerPath(QRectF(0, 0, width, height), left, right, right, left), Qt::black);
    painter.end();

    const int inset = int(std::lround(r));
    return ZulMaskImage{image, QMargins(corners.roundsLeft() ? inset : 0, inset, corners.roundsRight() ? inset : 0,
                                        inset)};
}

QColor ZulVibrancyView::materialTint(ZulVisualEffectMaterial material)
{
    // Dark-look tints: the heads-up material is the deepest and clearest.
    switch (material) {
    case ZulVisualEffectMaterial::hudWindow: return QColor(20, 21, 27, 204);
    case ZulVisualEffectMaterial::popover: return QColor(36, 37, 43, 224);
    case ZulVisualEffectMaterial::menu: return QColor(38, 39, 45, 230);
    case ZulVisualEffectMaterial::sidebar: return QColor(30, 31, 37, 214);
    case ZulVisualEffectMaterial::underWindowBackground: return QColor(26, 27, 33, 235);
    }
    return QColor(20, 21, 27, 204);
}

void ZulVibrancyView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor tint = materialTint(m_material);
    if (!m_mask) {
        painter.fillRect(rect(), tint);
        return;
    }
    // Fill, then keep only what the stretched mask covers. The work happens
    // at the mask's own scale so corners are copied pixel for pixel and the
    // uniform middle bands stretch without any filtering at their seams.
    const QSize layerSize = size() * kMaskScale;
    QImage layer(layerSize, QImage::Format_ARGB32_Premultiplied);
    layer.fill(tint);
    QPixmap source = m_maskPixmap;
    source.setDevicePixelRatio(1.0);
    const QMargins pixelInsets = m_mask->capInsets * int(kMaskScale);
    QPainter masking(&layer);
    masking.setRenderHint(QPainter::SmoothPixmapTransform, false);
    masking.setCompositionMode(QPainter::CompositionMode_DestinationIn);
    qDrawBorderPixmap(&masking, QRect(QPoint(0, 0), layerSize), pixelInsets, source, source.rect(), pixelInsets);
    masking.end();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QRectF(rect()), layer);
}
