#pragma once

#include "Models/CurrencyRateTable.h"
#include "Models/NoteEvaluationSummary.h"
#include "Models/ZulConfig.h"
#include "Models/ZulExportFormat.h"
#include "Models/ZulNote.h"
#include "Models/ZulNoteTint.h"
#include "Services/ZulStorageService.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "ViewModels/ZulEvaluationMap.h"
#include "ViewModels/ZulNoteField.h"
#include "ViewModels/ZulNoteFilter.h"
#include "ViewModels/ZulNotesPersistence.h"
#include "ViewModels/ZulStudioEnvironment.h"
#include "ViewModels/ZulStudioTab.h"

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QObject>
#include <QSet>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

class ComputationalNoteEngine;
class QTimer;
class VeskAppLogger;
class ZulNotesFileWatcher;
class ZulEvaluationScheduler;
class ZulNoteStore;
class ZulScreenState;
class VeskGlobalHotkeyManager;
enum class ZulCommandID;

// What the views' new-note buttons make: an empty note in the first tint,
// titled "New Note", or for a quick note an ephemeral one titled "Quick
// Scratch".
enum class ZulNewNoteKind { note, quickNote };

using ZulOptionalNoteID = std::optional<QUuid>;
using ZulOptionalText = std::optional<QString>;

// The application's one live state: the notes, their evaluations, the
// settings and rates, what the studio shows, and every command that changes
// any of it. Lives on the GUI thread; the studio window, the edge drawer,
// the floating stickies and the tray popover all read and drive the same
// instance.
class ZulStudioViewModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QList<ZulNote> notes READ notes NOTIFY notesChanged)
    Q_PROPERTY(ZulOptionalNoteID selectedNoteID READ selectedNoteID WRITE setSelectedNoteID NOTIFY selectedNoteIDChanged)
    Q_PROPERTY(ZulConfig config READ config NOTIFY configChanged)
    Q_PROPERTY(CurrencyRateTable rates READ rates NOTIFY ratesChanged)
    Q_PROPERTY(ZulStudioTab selectedTab READ selectedTab WRITE setSelectedTab NOTIFY selectedTabChanged)
    Q_PROPERTY(ZulNoteFilter activeFilter READ activeFilter WRITE setActiveFilter NOTIFY activeFilterChanged)
    Q_PROPERTY(ZulOptionalText selectedTag READ selectedTag WRITE setSelectedTag NOTIFY selectedTagChanged)
    Q_PROPERTY(QString searchText READ searchText WRITE setSearchText NOTIFY searchTextChanged)
    Q_PROPERTY(ZulEvaluationMap evaluationsByNoteID READ evaluationsByNoteID NOTIFY evaluationsByNoteIDChanged)
    Q_PROPERTY(bool isEdgeDrawerOpen READ isEdgeDrawerOpen WRITE setIsEdgeDrawerOpen NOTIFY isEdgeDrawerOpenChanged)
    Q_PROPERTY(bool isRefreshingRates READ isRefreshingRates NOTIFY isRefreshingRatesChanged)
    Q_PROPERTY(VeskLanguage language READ language WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(bool launchAtLogin READ launchAtLogin NOTIFY launchAtLoginChanged)
    Q_PROPERTY(bool isVersionLogsSheetPresented READ isVersionLogsSheetPresented WRITE setIsVersionLogsSheetPresented NOTIFY isVersionLogsSheetPresentedChanged)
    Q_PROPERTY(ZulOptionalText toastMessage READ toastMessage NOTIFY toastMessageChanged)
    Q_PROPERTY(bool toastIsError READ toastIsError NOTIFY toastIsErrorChanged)
    Q_PROPERTY(qint64 storageFootprintBytes READ storageFootprintBytes NOTIFY storageFootprintBytesChanged)
    Q_PROPERTY(QString quickScratchText READ quickScratchText WRITE setQuickScratchText NOTIFY quickScratchTextChanged)
    Q_PROPERTY(NoteEvaluationSummary quickScratchSummary READ quickScratchSummary NOTIFY quickScratchSummaryChanged)

public:
    using StudioWindowOpener = std::function<void()>;

    // Longer notes (in grapheme clusters) are evaluated off the GUI thread.
    static constexpr qsizetype longNoteThreshold = 4000;
    static constexpr int saveDebounceMs = ZulNotesPersistence::pauseMs;
    static constexpr int saveCeilingMs = ZulNotesPersistence::ceilingMs;
    static constexpr int toastLifetimeMs = 2400;
    static constexpr int bootstrapDelayMs = 250;

    // Loads everything and brings the application state up; see the .cpp.
    explicit ZulStudioViewModel(ZulStorageService storage, ZulStudioEnvironment environment = {},
                                QObject *parent = nullptr);
    // Writes a save still waiting for its pause.
    ~ZulStudioViewModel() override;

    // With an environment that starts after the first frame: the first
    // window has been drawn, so the global hotkeys are registered now and
    // the drawer's handle and the floating stickies come up, no sooner than
    // bootstrapDelayMs after start-up. Later calls do nothing.
    void firstFrameShown();

    // Published state.
    const QList<ZulNote> &notes() const;
    const std::optional<QUuid> &selectedNoteID() const { return m_selectedNoteID; }
    void setSelectedNoteID(const std::optional<QUuid> &id);
    const ZulConfig &config() const { return m_config; }
    const CurrencyRateTable &rates() const { return m_rates; }
    ZulStudioTab selectedTab() const;
    void setSelectedTab(ZulStudioTab tab);
    ZulNoteFilter activeFilter() const;
    void setActiveFilter(ZulNoteFilter filter);
    const std::optional<QString> &selectedTag() const;
    void setSelectedTag(const std::optional<QString> &tag);
    const QString &searchText() const;
    void setSearchText(const QString &text);
    const ZulEvaluationMap &evaluationsByNoteID() const;
    bool isEdgeDrawerOpen() const { return m_isEdgeDrawerOpen; }
    void setIsEdgeDrawerOpen(bool open);
    bool isRefreshingRates() const { return m_isRefreshingRates; }
    VeskLanguage language() const { return m_language; }
    void setLanguage(VeskLanguage language);
    bool launchAtLogin() const { return m_launchAtLogin; }
    bool isVersionLogsSheetPresented() const { return m_isVersionLogsSheetPresented; }
    void setIsVersionLogsSheetPresented(bool presented);
    const std::optional<QString> &toastMessage() const;
    bool toastIsError() const;
    qint64 storageFootprintBytes() const { return m_storageFootprintBytes; }
    const QString &quickScratchText() const;
    // Re-evaluates the scratch summary at once.
    void setQuickScratchText(const QString &text);
    const NoteEvaluationSummary &quickScratchSummary() const;
    // The notes and their announcements, for a view that reads only those.
    const ZulNoteStore &noteStore() const { return *m_store; }
    // The tab, the list's filter, tag and search, the toast and the
    // scratch pad, for a view that reads only those.
    const ZulScreenState &screenState() const { return *m_screen; }

    const ZulStorageService &storage() const { return m_storage; }
    VeskAppLogger &logger() const { return *m_logger; }
    // Where the drawer, the stickies and the hotkeys cannot work as on X11.
    bool isOnNativeWayland() const { return m_environment.nativeWayland; }

    // Note list: display order, filtering and tags.
    QList<ZulNote> filteredNotes() const;
    QStringList allTags() const;
    // Pinned first, then the latest updatedAt first; stable.
    static QList<ZulNote> sortedNotesList(const QList<ZulNote> &notes);

    // Whether the note passes the filter, the tag and the search, the tests
    // filteredNotes() applies to every note.
    bool isListed(const ZulNote &note) const;

    // Look-ups.
    std::optional<ZulNote> note(const QUuid &id) const;
    // The note itself, or null; valid until notes() next changes.
    const ZulNote *findNote(const QUuid &id) const;
    NoteEvaluationSummary evaluation(const QUuid &id) const;
    NoteEvaluationSummary selectedNoteEvaluation() const;
    // The evaluation as kept, for views that show a few of its lines or
    // only its counts; empty when the note has none.
    const CompactNoteEvaluation &cachedEvaluation(const QUuid &id) const;
    int activeStickyCount() const;
    QString menuBarBadgeText() const;

    // Editing.
    void updateNoteContent(const QUuid &id, const QString &content);
    void showToast(const QString &message, bool isError);
    // Writes every note now, ending a save still waiting for its pause.
    void persistNotesImmediately();

    // The engine for any evaluation; rebuilt when the day, the default
    // currency or the rates change, and stamped with the present instant.
    ComputationalNoteEngine currentEngine();

    // Note operations.
    ZulNote createNote(const QString &title, const QString &content, ZulNoteTint tint, bool ephemeral,
                       bool sticky);
    ZulNote createNote(ZulNewNoteKind kind = ZulNewNoteKind::note);
    void deleteNote(const QUuid &id);
    void duplicateNote(const QUuid &id);
    void updateNoteTitle(const QUuid &id, const QString &title);
    void updateNoteTint(const QUuid &id, ZulNoteTint tint);
    void togglePin(const QUuid &id);
    void toggleEphemeral(const QUuid &id);
    void toggleFloatingSticky(const QUuid &id);
    void closeFloatingSticky(const QUuid &id);
    void updateStickyFrame(const QUuid &id, const QRectF &frame);
    void addTag(const QString &tag, const QUuid &id);
    void removeTag(const QString &tag, const QUuid &id);
    void promoteQuickScratchToNote();
    // The sticky panels' controller, created on first need.
    ZulStickyControlling &ensureStickyController();

    // Window, drawer, sticky and global commands.
    void bindStudioWindowOpener(StudioWindowOpener opener);
    void openStudioWindowForNote(const QUuid &id);
    void toggleEdgeDrawer();
    void createAndFloatStickyNote();
    void copyNoteWithResults(const QUuid &id);
    void copyToClipboard(const QString &text, const std::optional<QString> &label);
    void exportNoteToDisk(const QUuid &id, ZulExportFormat format);
    void refreshLiveCurrencyRates();
    // The command menu's item and, for the two that are, the global
    // hotkey's action. Copy and export act on the selected note and do
    // nothing while none is selected.
    void performCommand(ZulCommandID command);

    // Settings, tidy and login item.
    void updateConfig(const std::function<void(ZulConfig &)> &mutation);
    void runAutoTidyNow();
    void toggleLaunchAtLogin(bool enabled);

    // Writes a save still waiting for its pause, synchronously, and waits for
    // background writes. Runs when the application is about to quit.
    void flushPendingSaves();

signals:
    void notesChanged();
    void selectedNoteIDChanged();
    void configChanged();
    void ratesChanged();
    void selectedTabChanged();
    void activeFilterChanged();
    void selectedTagChanged();
    void searchTextChanged();
    void evaluationsByNoteIDChanged();
    void isEdgeDrawerOpenChanged();
    void isRefreshingRatesChanged();
    void languageChanged();
    void launchAtLoginChanged();
    void isVersionLogsSheetPresentedChanged();
    void toastMessageChanged();
    void toastIsErrorChanged();
    void storageFootprintBytesChanged();
    void quickScratchTextChanged();
    void quickScratchSummaryChanged();
    // What changed, for views that show one note or one row; each comes
    // beside the whole-collection signal (notesChanged,
    // evaluationsByNoteIDChanged) of the same change.
    // One note changed in place; `fields` says what of it.
    void noteChanged(const QUuid &id, ZulNoteFields fields);
    // A note was put at the front of notes() (made, duplicated, promoted).
    void noteAdded(const QUuid &id);
    void noteRemoved(const QUuid &id);
    // notes() was replaced as a whole (a tidy): anything may have changed.
    void notesReset();
    // One note's evaluation was replaced, or dropped with its note.
    void evaluationChanged(const QUuid &id);
    // Every evaluation was replaced.
    void evaluationsReset();
    // A note was just made and selected (its sticky panel, when it floats,
    // already shows): where it is shown takes the keyboard.
    void noteCreated(const QUuid &id);

private:
    QString text(const char *en, const char *tr) const;
    QDateTime now() const;
    void log(const QString &category, const QString &message) const;
    void logUnreadableFile(const QString &category, const QString &problem, const QString &keptCopyPath) const;
    QString unreadableNotesText(int count, const QString &keptCopyPath) const;

    // Takes in what another program changed in the notes file, merged with
    // the notes here (ZulNotesMerge), each change announced per note.
    // Whether the file must be written again to hold what only we have.
    bool takeOutsideNotes();
    void notesFileMayHaveChanged();

    // Every note anew, the selected one among those evaluated at once.
    void recomputeAllEvaluations();
    void refreshQuickScratchSummary();

    // The commands that are global hotkeys, held for the whole desktop.
    void registerGlobalHotkeys();
    void startAutoTidySchedule();
    void runTimedTidy();
    void bootstrapFloatingControllers();
    void syncEdgeDrawerChrome();
    ZulEdgeDrawerControlling &ensureEdgeDrawerController();

    void setStorageFootprintBytes(qint64 bytes);
    void setIsRefreshingRates(bool refreshing);
    void setLaunchAtLogin(bool enabled);
    // Selection after notes were removed: kept when its note remains, else
    // the first remaining note in display order.
    void reselectAfterRemoval();
    std::optional<QUuid> firstInDisplayOrder() const;
    ZulNote insertNewNote(const QString &title, const QString &content, ZulNoteTint tint, bool ephemeral,
                          bool sticky);

    // Published state.
    std::optional<QUuid> m_selectedNoteID;
    ZulConfig m_config;
    CurrencyRateTable m_rates;
    bool m_isEdgeDrawerOpen = false;
    bool m_isRefreshingRates = false;
    VeskLanguage m_language;
    bool m_launchAtLogin = false;
    bool m_isVersionLogsSheetPresented = false;
    qint64 m_storageFootprintBytes = 0;
    std::shared_ptr<VeskAppLogger> m_logger;

    // Internal state.
    ZulStorageService m_storage;
    ZulStudioEnvironment m_environment;
    // The controllers below read what these hold, so they outlive them.
    // The store's saves read the language and the storage above.
    std::unique_ptr<ZulNoteStore> m_store;
    std::unique_ptr<ZulScreenState> m_screen;
    // Reads the notes, the settings and the rates.
    std::unique_ptr<ZulEvaluationScheduler> m_scheduler;
    std::unique_ptr<VeskGlobalHotkeyManager> m_hotkeyManager;
    std::unique_ptr<ZulEdgeDrawerControlling> m_edgeDrawerController;
    std::unique_ptr<ZulStickyControlling> m_stickyController;
    ZulNotesFileWatcher *m_notesFileWatcher = nullptr;
    bool m_takingOutsideNotes = false;
    QTimer *m_tidyTimer = nullptr;
    QElapsedTimer m_sinceCreated;
    bool m_startupCompleted = false;
    StudioWindowOpener m_studioWindowOpener;
    bool m_observingReopenRequests = false;
};
