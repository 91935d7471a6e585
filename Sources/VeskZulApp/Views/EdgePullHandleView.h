#pragma once

#include "Models/ZulEdgeSide.h"

#include <QAbstractButton>
#include <QColor>
#include <QPointer>
#include <QSizeF>

#include <functional>

class EdgeHandleHoverState;
class QVariantAnimation;
class ZulStudioViewModel;

// The slim pull handle at the screen edge. It hugs the edge side of its
// panel, grows and shows a chevron between two accent grips while the
// pointer is on it, and brightens while the drawer is open. A click anywhere
// in the panel runs onTap; hovering only changes the look.
class EdgePullHandleView : public QAbstractButton
{
    Q_OBJECT

public:
    // Everything the handle's look depends on, for one state.
    struct Appearance
    {
        QSizeF size;
        qreal radius = 0;
        qreal vibrancyOpacity = 0;
        qreal gradientTopOpacity = 0;    // of #24347A
        qreal gradientBottomOpacity = 0; // of #0D1433
        QColor stroke;
        bool showsGrips = false;       // chevron between two accent grips
        QString chevron;               // the symbol that points where the drawer will go
        qreal capsuleOpacity = 0;      // the single white capsule shown otherwise
        qreal shadowOpacity = 0;

        bool operator==(const Appearance &) const = default;
    };

    static constexpr int hoverAnimationMs = 220;

    EdgePullHandleView(ZulStudioViewModel *viewModel, EdgeHandleHoverState *hoverState, std::function<void()> onTap,
                       const QColor &accent, QWidget *parent = nullptr);

    static Appearance appearance(ZulEdgeSide side, bool hovering, bool open, const QColor &accent);
    // The handle's shape inside the panel: against the screen-edge side,
    // centred vertically.
    static QRectF shapeRect(const QRectF &panelRect, ZulEdgeSide side, QSizeF size);

    // The look the handle is animating towards.
    Appearance currentAppearance() const;
    ZulEdgeSide side() const;
    // 0 at rest, 1 fully hovered; follows the hover flag with easing.
    qreal hoverAmount() const { return m_hoverAmount; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void followHover();
    void refreshTexts();

    QPointer<ZulStudioViewModel> m_viewModel;
    QPointer<EdgeHandleHoverState> m_hoverState;
    std::function<void()> m_onTap;
    QColor m_accent;
    QVariantAnimation *m_hoverAnimation = nullptr;
    qreal m_hoverAmount = 0;
};
