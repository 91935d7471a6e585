#pragma once

#include <QJsonValue>
#include <QString>

#include <array>
#include <optional>

// Every command one suite application can ask of another. The raw value is
// the case name: the carrying product's short word followed by the action
// ("mirrelSmartOffload"). The kit only carries commands; what a sibling does
// with one is its own business.
enum class VeskSuiteCommandKind {
    mirrelSmartOffload, mirrelThawAll, mirrelOpenDiskLab, mirrelFreezeIdleApps,
    mirrelCancelOffload, mirrelCreateRamDisk, mirrelEjectRamDisks, mirrelOpenPoolSettings,
    halvotKillAllFrozen, halvotTargetWindow, halvotToggleQuickHud, halvotOpenAnalytics,
    halvotKillProcess, halvotForceQuitApp, halvotFreezeProcess, halvotResumeProcess,
    halvotOpenPortMonitor, halvotApplyFocusProfile, trenikToggleHud, trenikOpenThermals,
    trenikOpenOverview, trenikResetPeaks, trenikOpenDiskHealth, trenikExportReport,
    dovricStartFocus, dovricPauseFocus, dovricResumeFocus, dovricStopFocus, dovricSkipBreak,
    dovricToggleShield, dovricSetIntention, dovricToggleAmbient, dovricDockInsideSelbar,
    dovricUndockPanel, selbarOpenToday, selbarAddQuickTask, selbarCompleteTask,
    selbarStartNextBestTask, selbarOpenMiniPanel, selbarOpenStudio, selbarPlanDay,
    selbarSyncCalendar, quenbyPlayPause, quenbyNextTrack, quenbyPreviousTrack, quenbyVolumeUp,
    quenbyVolumeDown, quenbyToggleShuffle, quenbyShowNowPlaying, pastinMuteAll,
    pastinUnmuteAll, pastinToggleAppMute, pastinSetMasterVolume, pastinSwitchOutputDevice,
    pastinOpenMixer, atlasOpenMainWindow, atlasToggleQuickPanel, atlasRefreshNow,
    beaconOpenMainWindow, beaconToggleQuickPanel, beaconRefreshNow, canvasOpenMainWindow,
    canvasToggleQuickPanel, canvasRefreshNow, dockOpenMainWindow, dockToggleQuickPanel,
    dockRefreshNow, echoOpenMainWindow, echoToggleQuickPanel, echoRefreshNow,
    fluxOpenMainWindow, fluxToggleQuickPanel, fluxRefreshNow, gridOpenMainWindow,
    gridToggleQuickPanel, gridRefreshNow, harborOpenMainWindow, harborToggleQuickPanel,
    harborRefreshNow, irisOpenMainWindow, irisToggleQuickPanel, irisRefreshNow,
    joltOpenMainWindow, joltToggleQuickPanel, joltRefreshNow, kiteOpenMainWindow,
    kiteToggleQuickPanel, kiteRefreshNow, lumenOpenMainWindow, lumenToggleQuickPanel,
    lumenRefreshNow, mosaicOpenMainWindow, mosaicToggleQuickPanel, mosaicRefreshNow,
    nimbusOpenMainWindow, nimbusToggleQuickPanel, nimbusRefreshNow, orbitOpenMainWindow,
    orbitToggleQuickPanel, orbitRefreshNow, pulseOpenMainWindow, pulseToggleQuickPanel,
    pulseRefreshNow, quillOpenMainWindow, quillToggleQuickPanel, quillRefreshNow,
    relayOpenMainWindow, relayToggleQuickPanel, relayRefreshNow, sparkOpenMainWindow,
    sparkToggleQuickPanel, tideOpenMainWindow, tideToggleQuickPanel, umbraOpenMainWindow,
    umbraToggleQuickPanel, vaultOpenMainWindow, vaultToggleQuickPanel, wispOpenMainWindow,
    wispToggleQuickPanel, yarnOpenMainWindow, yarnToggleQuickPanel, zephyrOpenMainWindow,
    zephyrToggleQuickPanel, anvilOpenMainWindow, anvilToggleQuickPanel, bloomOpenMainWindow,
    bloomToggleQuickPanel, cipherOpenMainWindow, cipherToggleQuickPanel, driftOpenMainWindow,
    driftToggleQuickPanel, emberOpenMainWindow, emberToggleQuickPanel, fableOpenMainWindow,
    fableToggleQuickPanel, glyphOpenMainWindow, glyphToggleQuickPanel, havenOpenMainWindow,
    havenToggleQuickPanel,
};

inline constexpr int kVeskSuiteCommandKindCount = 139;

// Declaration order.
inline constexpr std::array<VeskSuiteCommandKind, kVeskSuiteCommandKindCount> kVeskSuiteCommandKindAllCases = [] {
    std::array<VeskSuiteCommandKind, kVeskSuiteCommandKindCount> cases{};
    for (int i = 0; i < kVeskSuiteCommandKindCount; ++i)
    cases[i] = VeskSuiteCommandKind(i);
    return cases;
}();

QString rawValue(VeskSuiteCommandKind kind);
// Exact, case-sensitive.
std::optional<VeskSuiteCommandKind> VeskSuiteCommandKindFromRaw(const QString &raw);

QJsonValue toJson(VeskSuiteCommandKind kind);
std::optional<VeskSuiteCommandKind> VeskSuiteCommandKindFromJson(const QJsonValue &value);

size_t qHash(VeskSuiteCommandKind kind, size_t seed = 0) noexcept;
