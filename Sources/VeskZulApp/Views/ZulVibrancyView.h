#pragma once

#include "Views/ZulGlassCorners.h"

#include <QImage>
#include <QMargins>
#include <QPixmap>
#include <QWidget>

#include <optional>

// The backdrop materials the panels ask for. Raw values are the platform's
// own numbering of these materials.
enum class ZulVisualEffectMaterial {
    menu = 5,
    popover = 6,
    sidebar = 7,
    hudWindow = 13,
    underWindowBackground = 21,
};

enum class ZulVisualEffectBlendingMode {
    behindWindow,
    withinWindow,
};

enum class ZulVisualEffectState {
    followsWindowActiveState,
    active,
    inactive,
};

// The stretchable mask of a backdrop: corners keep their size, the 2-point
// band between the cap insets stretches to any size.
struct ZulMaskImage {
    QImage image; // device pixel ratio 2; deviceIndependentSize() is in points
    QMargins capInsets;
};

// A dark translucent backdrop for panel content, always in the dark look,
// masked to rounded corners on all sides or on one side only. Qt cannot blur
// what lies behind a window, so the material is drawn as its dark tint over
// whatever the window shows through; blending mode and state are kept for
// the callers and change nothing in that drawing.
class ZulVibrancyView : public QWidget {
    Q_OBJECT
public:
    ZulVibrancyView(ZulVisualEffectMaterial material, ZulVisualEffectBlendingMode blendingMode,
                    ZulVisualEffectState state, ZulGlassCorners corners, QWidget *parent = nullptr);

    // Writes each value only when it differs; rebuilds the mask only when the
    // corners differ from those the current mask was made for.
    void updateView(ZulVisualEffectMaterial material, ZulVisualEffectBlendingMode blendingMode,
                    ZulVisualEffectState state, ZulGlassCorners corners);

    ZulVisualEffectMaterial material() const { return m_material; }
    ZulVisualEffectBlendingMode blendingMode() const { return m_blendingMode; }
    ZulVisualEffectState state() const { return m_state; }
    std::optional<ZulGlassCorners> appliedCorners() const { return m_appliedCorners; }
    const std::optional<ZulMaskImage> &maskImage() const { return m_mask; }
    int maskBuildCount() const { return m_maskBuildCount; }

    // No image for a radius of 0 or less: the view stays square.
    static std::optional<ZulMaskImage> makeMaskImage(const ZulGlassCorners &corners);
    static QColor materialTint(ZulVisualEffectMaterial material);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applyCorners(const ZulGlassCorners &corners);

    ZulVisualEffectMaterial m_material;
    ZulVisualEffectBlendingMode m_blendingMode;
    ZulVisualEffectState m_state;
    std::optional<ZulGlassCorners> m_appliedCorners;
    std::optional<ZulMaskImage> m_mask;
    QPixmap m_maskPixmap;
    int m_maskBuildCount = 0;
};
