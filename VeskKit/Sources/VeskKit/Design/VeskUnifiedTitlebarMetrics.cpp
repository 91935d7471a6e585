#include "VeskKit/Design/VeskUnifiedTitlebarMetrics.h"

#include <cmath>

VeskUnifiedTitlebarMetrics VeskUnifiedTitlebarMetrics::fullScreen(qreal fullscreenLeading)
{
    // The controls are out of the way in full screen, so only the margin counts.
    return {fullscreenLeading, fallbackCenterY, 0, fullscreenLeading, true};
}

VeskUnifiedTitlebarMetrics VeskUnifiedTitlebarMetrics::calculate(qreal trafficLightMaxX, qreal trafficLightCenterY,
                                                                 qreal trafficLightBottomY, bool isFullScreen,
                                                                 qreal fullscreenLeading, qreal gap,
                                                                 qreal sidebarVerticalGap)
{
    if (isFullScreen)
        return fullScreen(fullscreenLeading);
    VeskUnifiedTitlebarMetrics metrics;
    metrics.leadingClearance =
        trafficLightMaxX > 0 ? std::ceil(trafficLightMaxX + gap) : fallbackLeadingClearance;
    metrics.trafficLightCenterY = trafficLightCenterY > 0 ? trafficLightCenterY : fallbackCenterY;
    metrics.trafficLightBottomY = trafficLightBottomY > 0 ? trafficLightBottomY : fallbackBottomY;
    metrics.sidebarTopClearance = std::ceil(metrics.trafficLightBottomY + sidebarVerticalGap);
    metrics.isFullScreen = false;
    return metrics;
}
