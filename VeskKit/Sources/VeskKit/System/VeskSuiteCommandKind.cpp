#include "VeskKit/System/VeskSuiteCommandKind.h"

#include <QHash>

namespace {

const std::array<QString, kVeskSuiteCommandKindCount> &rawValues()
{
    static const std::array<QString, kVeskSuiteCommandKindCount> table = [] {
        static const char *const names[] = {
        "mirrelSmartOffload",
        "mirrelThawAll",
        "mirrelOpenDiskLab",
        "mirrelFreezeIdleApps",
        "mirrelCancelOffload",
        "mirrelCreateRamDisk",
        "mirrelEjectRamDisks",
        "mirrelOpenPoolSettings",
        "halvotKillAllFrozen",
        "halvotTargetWindow",
        "halvotToggleQuickHud",
        "halvotOpenAnalytics",
        "halvotKillProcess",
        "halvotForceQuitApp",
        "halvotFreezeProcess",
        "halvotResumeProcess",
        "halvotOpenPortMonitor",
        "halvotApplyFocusProfile",
        "trenikToggleHud",
        "trenikOpenThermals",
        "trenikOpenOverview",
        "trenikResetPeaks",
        "trenikOpenDiskHealth",
        "trenikExportReport",
        "dovricStartFocus",
        "dovricPauseFocus",
        "dovricResumeFocus",
        "dovricStopFocus",
        "dovricSkipBreak",
        "dovricToggleShield",
        "dovricSetIntention",
        "dovricToggleAmbient",
        "dovricDockInsideSelbar",
        "dovricUndockPanel",
        "selbarOpenToday",
        "selbarAddQuickTask",
        "selbarCompleteTask",
        "selbarStartNextBestTask",
        "selbarOpenMiniPanel",
        "selbarOpenStudio",
        "selbarPlanDay",
        "selbarSyncCalendar",
        "quenbyPlayPause",
        "quenbyNextTrack",
        "quenbyPreviousTrack",
        "quenbyVolumeUp",
        "quenbyVolumeDown",
        "quenbyToggleShuffle",
        "quenbyShowNowPlaying",
        "pastinMuteAll",
        "pastinUnmuteAll",
        "pastinToggleAppMute",
        "pastinSetMasterVolume",
        "pastinSwitchOutputDevice",
        "pastinOpenMixer",
        "atlasOpenMainWindow",
        "atlasToggleQuickPanel",
        "atlasRefreshNow",
        "beaconOpenMainWindow",
        "beaconToggleQuickPanel",
        "beaconRefreshNow",
        "canvasOpenMainWindow",
        "canvasToggleQuickPanel",
        "canvasRefreshNow",
        "dockOpenMainWindow",
        "dockToggleQuickPanel",
        "dockRefreshNow",
        "echoOpenMainWindow",
        "echoToggleQuickPanel",
        "echoRefreshNow",
        "fluxOpenMainWindow",
        "fluxToggleQuickPanel",
        "fluxRefreshNow",
        "gridOpenMainWindow",
        "gridToggleQuickPanel",
        "gridRefreshNow",
        "harborOpenMainWindow",
        "harborToggleQuickPanel",
        "harborRefreshNow",
        "irisOpenMainWindow",
        "irisToggleQuickPanel",
        "irisRefreshNow",
        "joltOpenMainWindow",
        "joltToggleQuickPanel",
        "joltRefreshNow",
        "kiteOpenMainWindow",
        "kiteToggleQuickPanel",
        "kiteRefreshNow",
        "lumenOpenMainWindow",
        "lumenToggleQuickPanel",
        "lumenRefreshNow",
        "mosaicOpenMainWindow",
        "mosaicToggleQuickPanel",
        "mosaicRefreshNow",
        "nimbusOpenMainWindow",
        "nimbusToggleQuickPanel",
        "nimbusRefreshNow",
        "orbitOpenMainWindow",
        "orbitToggleQuickPanel",
        "orbitRefreshNow",
        "pulseOpenMainWindow",
        "pulseToggleQuickPanel",
        "pulseRefreshNow",
        "quillOpenMainWindow",
        "quillToggleQuickPanel",
        "quillRefreshNow",
        "relayOpenMainWindow",
        "relayToggleQuickPanel",
        "relayRefreshNow",
        "sparkOpenMainWindow",
        "sparkToggleQuickPanel",
        "tideOpenMainWindow",
        "tideToggleQuickPanel",
        "umbraOpenMainWindow",
        "umbraToggleQuickPanel",
        "vaultOpenMainWindow",
        "vaultToggleQuickPanel",
        "wispOpenMainWindow",
        "wispToggleQuickPanel",
        "yarnOpenMainWindow",
        "yarnToggleQuickPanel",
        "zephyrOpenMainWindow",
        "zephyrToggleQuickPanel",
        "anvilOpenMainWindow",
        "anvilToggleQuickPanel",
        "bloomOpenMainWindow",
        "bloomToggleQuickPanel",
        "cipherOpenMainWindow",
        "cipherToggleQuickPanel",
        "driftOpenMainWindow",
        "driftToggleQuickPanel",
        "emberOpenMainWindow",
        "emberToggleQuickPanel",
        "fableOpenMainWindow",
        "fableToggleQuickPanel",
        "glyphOpenMainWindow",
        "glyphToggleQuickPanel",
        "havenOpenMainWindow",
        "havenToggleQuickPanel",
        };
        static_assert(std::size(names) == kVeskSuiteCommandKindCount);
        std::array<QString, kVeskSuiteCommandKindCount> raw;
        for (int i = 0; i < kVeskSuiteCommandKindCount; ++i)
            raw[i] = QString::fromLatin1(names[i]);
        return raw;
    }();
    return table;
}

const QHash<QString, VeskSuiteCommandKind> &byRawValue()
{
    static const QHash<QString, VeskSuiteCommandKind> table = [] {
        QHash<QString, VeskSuiteCommandKind> map;
        for (VeskSuiteCommandKind kind : kVeskSuiteCommandKindAllCases)
            map.insert(rawValue(kind), kind);
        return map;
    }();
    return table;
}

} // namespace

QString rawValue(VeskSuiteCommandKind kind)
{
    const int index = int(kind);
    if (index < 0 || index >= kVeskSuiteCommandKindCount)
        return {};
    return rawValues()[index];
}

std::optional<VeskSuiteCommandKind> VeskSuiteCommandKindFromRaw(const QString &raw)
{
    const auto it = byRawValue().constFind(raw);
    if (it == byRawValue().cend())
        return std::nullopt;
    return it.value();
}

QJsonValue toJson(VeskSuiteCommandKind kind)
{
    return rawValue(kind);
}

std::optional<VeskSuiteCommandKind> VeskSuiteCommandKindFromJson(const QJsonValue &value)
{
    if (!value.isString())
        return std::nullopt;
    return VeskSuiteCommandKindFromRaw(value.toString());
}

size_t qHash(VeskSuiteCommandKind kind, size_t seed) noexcept
{
    return qHash(rawValue(kind), seed);
}
