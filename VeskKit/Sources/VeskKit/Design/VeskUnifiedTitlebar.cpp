#include "VeskKit/Design/VeskUnifiedTitlebar.h"

#include "VeskKit/Design/VeskWindowControls.h"
#include "VeskKit/Design/VeskWindowToolbar.h"

#include <QWidget>

#include <algorithm>

void veskConfigureUnifiedTitlebar(QWidget *window, VeskUnifiedTitlebarMode mode)
{
    if (!window)
        return;
    if (!window->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        const bool wasVisible = window->isVisible();
        window->setWindowFlag(Qt::FramelessWindowHint, true);
        if (wasVisible)
            window->show();
    }

    VeskWindowControls *controls = VeskWindowControls::of(window);
    if (!controls)
        controls = new VeskWindowControls(window);

    VeskWindowToolbar *toolbar = VeskWindowToolbar::of(window);
    const bool ownToolbar = toolbar && toolbar->identifier() == veskUnifiedTitlebarToolbarIdentifier;
    switch (mode) {
    case VeskUnifiedTitlebarMode::fullHeightSidebar:
        if (ownToolbar)
            VeskWindowToolbar::install(window, nullptr);
        break;
    case VeskUnifiedTitlebarMode::unifiedHeader:
        if (ownToolbar) {
            toolbar->setStyle(VeskWindowToolbar::Style::unified);
        } else {
            auto *created = new VeskWindowToolbar(veskUnifiedTitlebarToolbarIdentifier);
            created->setAllowsUserCustomization(false);
            created->setAutosavesConfiguration(false);
            created->setShowsIconsOnly(true);
            VeskWindowToolbar::install(window, created);
            created->setStyle(VeskWindowToolbar::Style::unified);
        }
        break;
    }
    controls->placeInRow(VeskWindowToolbar::titlebarRowHeight(window),
                         VeskWindowToolbar::controlsLeadingInset(window));
}

VeskUnifiedTitlebarMetrics veskMeasureTitlebarMetrics(const QWidget *window, qreal fullscreenLeading, qreal gap)
{
    if (!window)
        return VeskUnifiedTitlebarMetrics();
    if (window->isFullScreen())
        return VeskUnifiedTitlebarMetrics::fullScreen(fullscreenLeading);

    qreal maxX = 0;
    qreal bottom = 0;
    qreal centre = 0;
    if (const VeskWindowControls *controls = VeskWindowControls::of(window)) {
        for (VeskWindowButton kind : {VeskWindowButton::close, VeskWindowButton::miniaturize, VeskWindowButton::zoom}) {
            const QAbstractButton *button = controls->button(kind);
            if (!button || !button->parentWidget() || !button->isVisibleTo(window))
                continue;
            const QRectF frame(button->mapTo(window, QPointF(0, 0)), QSizeF(button->size()));
            if (!(frame.width() > 0 && frame.height() > 0))
                continue;
            maxX = std::max(maxX, frame.right());
            bottom = std::max(bottom, frame.bottom());
            // The last counted button's centre wins; they share one row.
            centre = frame.center().y();
        }
    }
    return VeskUnifiedTitlebarMetrics::calculate(maxX, centre, bottom, false, fullscreenLeading, gap,
                                                 VeskUnifiedTitlebarMetrics::sidebarTrafficLightVerticalGap);
}
