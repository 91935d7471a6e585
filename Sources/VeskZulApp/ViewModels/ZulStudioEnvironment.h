#pragma once

#include "Models/ZulNote.h"
#include "Models/ZulResult.h"
#include "Services/ZulStorageService.h"

#include <QDateTime>
#include <QList>

#include <chrono>
#include <functional>
#include <memory>

class VeskGlobalHotkeyManager;
class ZulClipboard;
class ZulEdgeDrawerControlling;
class ZulLiveRatesFetching;
class ZulSaveFileChooser;
class ZulStickyControlling;
class ZulStudioViewModel;
class ZulStudioWindowActivation;

// Everything the view model reaches outside itself, handed in by whoever
// builds it: the application passes the desktop's services, tests pass
// fakes. Every member left empty gets a stand-in that does nothing (see
// ZulStudioViewModel's constructor), so a headless view model never touches
// the desktop.
struct ZulStudioEnvironment
{
    using EdgeDrawerFactory = std::function<std::unique_ptr<ZulEdgeDrawerControlling>(ZulStudioViewModel &)>;
    using StickyFactory = std::function<std::unique_ptr<ZulStickyControlling>(ZulStudioViewModel &)>;
    using HotkeyManagerFactory = std::function<std::unique_ptr<VeskGlobalHotkeyManager>()>;
    using NotesWriter = std::function<ZulResult<ZulSavedFile>(const QList<ZulNote> &)>;
    using NotesLoader = std::function<ZulNotesLoadReport()>;
    using Clock = std::function<QDateTime()>;
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

    // Called once, on first need; the controller lives as long as the view model.
    EdgeDrawerFactory makeEdgeDrawerController;
    StickyFactory makeStickyController;
    std::shared_ptr<ZulClipboard> clipboard;
    std::shared_ptr<ZulSaveFileChooser> saveFileChooser;
    std::shared_ptr<ZulStudioWindowActivation> windowActivation;
    std::shared_ptr<ZulLiveRatesFetching> liveRatesFetcher;
    // Empty: a manager on the desktop's own key grabber.
    HotkeyManagerFactory makeHotkeyManager;
    // Empty: the storage's saveNotes. Called on the writer's thread for
    // background saves, so it must be safe to call from any thread.
    NotesWriter notesWriter;
    // Empty: the storage's loadNotesReporting, when start-up needs the
    // notes. The application hands in a load it began before it had a window.
    NotesLoader loadNotes;
    // The current instant (UTC). Empty: the system clock.
    Clock clock;
    // A clock that never jumps, for how long edits wait to be saved. Empty:
    // the system's steady clock.
    SteadyClock steadyClock;
    std::chrono::milliseconds autoTidyInterval{std::chrono::seconds(1800)};
    // Native Wayland: windows cannot be placed or kept above, their
    // positions are never known, and keys reach only the focused window.
    bool nativeWayland = false;
    // The first window before everything it does not show: the global
    // hotkeys, the drawer's handle, the floating stickies and the notes not
    // on screen at first (evaluated aside) wait for the view model's
    // firstFrameShown().
    bool startsAfterFirstFrame = false;

    // The desktop's clipboard, save dialog, live-rate service and reopen
    // notification; the drawer and stickies still do nothing.
    static ZulStudioEnvironment desktop();
};
