#pragma once

#include <QMetaType>
#include <QtGlobal>

// Where a window's controls (close, minimise, zoom) sit, so that content drawn
// under the title bar can leave room for them. Horizontal lengths run from the
// window's leading edge, vertical ones down from its top edge, in
// device-independent pixels.
struct VeskUnifiedTitlebarMetrics {
    // Room content must leave free so it starts right of the controls.
    qreal leadingClearance = fallbackLeadingClearance;
    qreal trafficLightCenterY = 26;
    // The lowest bottom edge of the controls.
    qreal trafficLightBottomY = 33;
    // Top padding a sidebar running from the top needs to start below them.
    qreal sidebarTopClearance = 37;
    bool isFullScreen = false;

    static constexpr qreal standardHeight = 52;
    static constexpr qreal fallbackLeadingClearance = 93;
    static constexpr qreal fullscreenLeadingMargin = 16;
    static constexpr qreal trafficLightGap = 14;
    static constexpr qreal sidebarTrafficLightVerticalGap = 14;

    // What measuring yields for missing values.
    static constexpr qreal fallbackCenterY = 26;
    static constexpr qreal fallbackBottomY = 23;

    // Exact comparison of all five fields.
    bool operator==(const VeskUnifiedTitlebarMetrics &) const = default;

    // The rule measuring applies, on numbers the caller supplies: missing
    // (non-positive) values fall back, clearances round up to whole pixels,
    // and in full screen only the full-screen margin counts.
    static VeskUnifiedTitlebarMetrics calculate(qreal trafficLightMaxX, qreal trafficLightCenterY,
                                                qreal trafficLightBottomY, bool isFullScreen,
                                                qreal fullscreenLeading, qreal gap, qreal sidebarVerticalGap);
    static VeskUnifiedTitlebarMetrics fullScreen(qreal fullscreenLeading);
};

Q_DECLARE_METATYPE(VeskUnifiedTitlebarMetrics)
