#pragma once

// Builds a studio view model whose drawer and stickies are the real panel
// controllers, on a screen layout the test chooses (a 1440 × 900 screen by
// default), so frames can be checked against known numbers.

#include "StudioTestSupport.h"
#include "Views/EdgeDrawerController.h"
#include "Views/FloatingStickyNoteController.h"
#include "Views/ZulScreenLayout.h"

#include <QRect>

namespace paneltest {

inline ZulScreenLayout screen1440()
{
    return ZulScreenLayout{{{QRectF(0, 0, 1440, 900), QRectF(0, 0, 1440, 900)}}, 0, 900};
}

struct Panels
{
    ZulScreenLayout layout = screen1440();
    std::optional<QPointF> pointer = QPointF(700, 450);
    EdgeDrawerController *drawer = nullptr;
    FloatingStickyNoteController *stickies = nullptr;
};

// The studio's environment with both controllers real.
inline ZulStudioEnvironment realPanelEnvironment(studiotest::Studio &studio, const std::shared_ptr<Panels> &panels)
{
    ZulStudioEnvironment environment = studio.environment();
    environment.makeEdgeDrawerController = [panels](ZulStudioViewModel &viewModel) {
        auto controller = std::make_unique<EdgeDrawerController>(viewModel);
        controller->screenLayoutProvider = [panels] { return panels->layout; };
        controller->pointerLocationProvider = [panels] { return panels->pointer; };
        panels->drawer = controller.get();
        return std::unique_ptr<ZulEdgeDrawerControlling>(std::move(controller));
    };
    environment.makeStickyController = [panels](ZulStudioViewModel &viewModel) {
        auto controller = std::make_unique<FloatingStickyNoteController>(viewModel);
        controller->screenLayoutProvider = [panels] { return panels->layout; };
        panels->stickies = controller.get();
        return std::unique_ptr<ZulStickyControlling>(std::move(controller));
    };
    return environment;
}

inline ZulStudioViewModel &startWithRealPanels(studiotest::Studio &studio, const std::shared_ptr<Panels> &panels)
{
    studio.viewModel = std::make_unique<ZulStudioViewModel>(studio.storage, realPanelEnvironment(studio, panels));
    return *studio.viewModel;
}

// Qt's rectangle for a frame given in the bottom-left form on the layout.
inline QRect qtFrame(const QRectF &bottomLeft, const ZulScreenLayout &layout = screen1440())
{
    return ZulScreenCoordinates::toTopLeft(bottomLeft, layout.flipAxis).toRect();
}

} // namespace paneltest
