#include "ViewModels/ZulStudioViewModel.h"

#include "Models/ZulNoteOrder.h"

#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "VeskKit/System/VeskLaunchAtLogin.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "ViewModels/ZulEvaluationScheduler.h"
#include "ViewModels/ZulNoteStore.h"
#include "ViewModels/ZulNotesFileWatcher.h"
#include "ViewModels/ZulNullStudioServices.h"
#include "ViewModels/ZulScreenState.h"
#include "ViewModels/ZulStickyControlling.h"
#include "ViewModels/ZulStudioWindowActivation.h"

#include <QPointer>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

void fillMissingServices(ZulStudioEnvironment &environment)
{
    if (!environment.makeEdgeDrawerController) {
        environment.makeEdgeDrawerController = [](ZulStudioViewModel &) {
            return std::make_unique<ZulNullEdgeDrawerController>();
        };
    }
    if (!environment.makeStickyController) {
        environment.makeStickyController = [](ZulStudioViewModel &) {
            return std::make_unique<ZulNullStickyController>();
        };
    }
    if (!environment.clipboard)
        environment.clipboard = std::make_shared<ZulNullClipboard>();
    if (!environment.saveFileChooser)
        environment.saveFileChooser = std::make_shared<ZulNullSaveFileChooser>();
    if (!environment.windowActivation)
        environment.windowActivation = std::make_shared<ZulInProcessWindowActivation>();
    if (!environment.liveRatesFetcher)
        environment.liveRatesFetcher = std::make_shared<ZulOfflineRatesFetcher>();
    if (!environment.makeHotkeyManager)
        environment.makeHotkeyManager = [] { return std::make_unique<VeskGlobalHotkeyManager>(); };
    if (!environment.clock)
        environment.clock = [] { return QDateTime::currentDateTimeUtc(); };
}

} // namespace

ZulStudioViewModel::ZulStudioViewModel(ZulStorageService storage, ZulStudioEnvironment environment,
                                       QObject *parent)
    : QObject(parent),
      m_language(VeskLanguage::current()),
      m_launchAtLogin(VeskLaunchAtLogin::isEnabled()),
      m_logger(VeskAppLogger::shared(QStringLiteral("VeskZul"))),
      m_storage(std::move(storage)),
      m_environment(std::move(environment))
{
    m_sinceCreated.start();
    fillMissingServices(m_environment);
    m_hotkeyManager = m_environment.makeHotkeyManager();

    m_store = std::make_unique<ZulNoteStore>(m_language, m_storage, m_environment.notesWriter,
                                             m_environment.steadyClock, [this] { return now(); }, m_logger);
    connect(&m_store->persistence(), &ZulNotesPersistence::footprintMeasured, this,
            &ZulStudioViewModel::setStorageFootprintBytes);
    connect(&m_store->persistence(), &ZulNotesPersistence::toastDue, this, &ZulStudioViewModel::showToast);
    connect(m_store.get(), &ZulNoteStore::notesChanged, this, &ZulStudioViewModel::notesChanged);
    connect(m_store.get(), &ZulNoteStore::noteChanged, this, &ZulStudioViewModel::noteChanged);
    connect(m_store.get(), &ZulNoteStore::noteAdded, this, &ZulStudioViewModel::noteAdded);
    connect(m_store.get(), &ZulNoteStore::noteRemoved, this, &ZulStudioViewModel::noteRemoved);
    connect(m_store.get(), &ZulNoteStore::notesReset, this, &ZulStudioViewModel::notesReset);

    m_scheduler = std::make_unique<ZulEvaluationScheduler>(
        m_store->notes(), [this](const QUuid &id) { return m_store->findNote(id); }, m_config, m_rates,
        [this] { return now(); }, m_logger);
    connect(m_scheduler.get(), &ZulEvaluationScheduler::evaluationChanged, this,
            &ZulStudioViewModel::evaluationChanged);
    connect(m_scheduler.get(), &ZulEvaluationScheduler::evaluationsReset, this,
            &ZulStudioViewModel::evaluationsReset);
    connect(m_scheduler.get(), &ZulEvaluationScheduler::evaluationsByNoteIDChanged, this,
            &ZulStudioViewModel::evaluationsByNoteIDChanged);
    connect(m_scheduler.get(), &ZulEvaluationScheduler::dayChanged, this, [this] {
        recomputeAllEvaluations();
        refreshQuickScratchSummary();
    });

    m_screen = std::make_unique<ZulScreenState>(toastLifetimeMs);
    connect(m_screen.get(), &ZulScreenState::selectedTabChanged, this, &ZulStudioViewModel::selectedTabChanged);
    connect(m_screen.get(), &ZulScreenState::activeFilterChanged, this, &ZulStudioViewModel::activeFilterChanged);
    connect(m_screen.get(), &ZulScreenState::selectedTagChanged, this, &ZulStudioViewModel::selectedTagChanged);
    connect(m_screen.get(), &ZulScreenState::searchTextChanged, this, &ZulStudioViewModel::searchTextChanged);
    connect(m_screen.get(), &ZulScreenState::toastMessageChanged, this, &ZulStudioViewModel::toastMessageChanged);
    connect(m_screen.get(), &ZulScreenState::toastIsErrorChanged, this, &ZulStudioViewModel::toastIsErrorChanged);
    connect(m_screen.get(), &ZulScreenState::quickScratchTextChanged, this,
            &ZulStudioViewModel::quickScratchTextChanged);
    connect(m_screen.get(), &ZulScreenState::quickScratchSummaryChanged, this,
            &ZulStudioViewModel::quickScratchSummaryChanged);

    // The settings come first: tidying needs their age limit.
    const ZulLoadReport<ZulConfig> loadedConfig = m_storage.loadConfigReporting();
    m_config = loadedConfig.value;
    const ZulLoadReport<CurrencyRateTable> loadedRates = m_storage.loadCachedRatesReporting();
    m_rates = loadedRates.value;
    const ZulNotesLoadReport loaded =
        m_environment.loadNotes ? m_environment.loadNotes() : m_storage.loadNotesReporting();

    const ZulStorageService::TidyResult tidied =
        ZulStorageService::tidyEphemeralNotes(loaded.notes, m_config.autoTidyEphemeralHours, now());
    // An emptied collection comes back with the starter notes at the next launch.
    m_store->replaceNotes(tidied.kept.isEmpty() ? ZulStorageService::makeStarterNotes(now()) : tidied.kept);
    // Another program (a sync tool, an editor) may change the file while we
    // run: what it wrote is taken in before each save, and when it is seen.
    m_store->persistence().setBeforeWrite([this] { takeOutsideNotes(); });
    m_notesFileWatcher = new ZulNotesFileWatcher(m_storage.notesFileURL(), this);
    connect(m_notesFileWatcher, &ZulNotesFileWatcher::mayHaveChanged, this,
            &ZulStudioViewModel::notesFileMayHaveChanged);
    if (tidied.removedCount > 0)
        m_store->requestSave(ZulSaveUrgency::now);

    m_storageFootprintBytes = m_storage.totalStorageBytes();
    m_selectedNoteID = firstInDisplayOrder();

    // Evaluating the notes off screen on every core while the first frame
    // is made only slows that frame down; they start once it is out.
    if (m_environment.startsAfterFirstFrame)
        m_scheduler->holdAsideEvaluations();
    recomputeAllEvaluations();
    refreshQuickScratchSummary();

    if (!m_environment.startsAfterFirstFrame)
        registerGlobalHotkeys();
    startAutoTidySchedule();
    m_scheduler->scheduleMidnightRefresh();

    log(QStringLiteral("lifecycle"),
        QStringLiteral("VeskZul initialized (%1 note(s), tidied=%2, currency=%3)")
            .arg(notes().size())
            .arg(tidied.removedCount)
            .arg(m_config.defaultCurrency));

    // One toast says everything that could not be read; the user may go
    // and repair a file, so each names the copy kept of it.
    QStringList unreadable;
    if (!loadedConfig.problem.isEmpty()) {
        logUnreadableFile(QStringLiteral("lifecycle"), loadedConfig.problem, loadedConfig.keptCopyPath);
        unreadable << (loadedConfig.keptCopyPath.isEmpty()
                           ? text("Your settings file could not be read; default settings are used.",
                                  "Ayarlar dosyanız okunamadı; varsayılan ayarlar kullanılıyor.")
                           : text("Your settings file could not be read. A copy was kept as %1; default "
                                  "settings are used.",
                                  "Ayarlar dosyanız okunamadı. Bir kopyası %1 olarak saklandı; varsayılan "
                                  "ayarlar kullanılıyor.")
                                 .arg(loadedConfig.keptCopyPath));
    }
    if (!loadedRates.problem.isEmpty())
        logUnreadableFile(QStringLiteral("rates"), loadedRates.problem, loadedRates.keptCopyPath);
    if (loaded.outcome == ZulNotesLoadOutcome::unreadable) {
        logUnreadableFile(QStringLiteral("notes"), loaded.problem, loaded.keptCopyPath);
        unreadable << (loaded.keptCopyPath.isEmpty()
                           ? text("Your notes file could not be read. It was kept as it is; starter notes are "
                                  "shown.",
                                  "Not dosyanız okunamadı. Dosya olduğu gibi saklandı; başlangıç notları "
                                  "gösteriliyor.")
                           : text("Your notes file could not be read. A copy was kept as %1; starter notes "
                                  "are shown.",
                                  "Not dosyanız okunamadı. Bir kopyası %1 olarak saklandı; başlangıç notları "
                                  "gösteriliyor.")
                                 .arg(loaded.keptCopyPath));
    }
    if (loaded.unreadableNoteCount > 0) {
        m_logger->log(VeskLogLevel::error, QStringLiteral("notes"),
                      QStringLiteral("Notes that could not be read were left out; the file as it was is %1: %2")
                          .arg(loaded.keptCopyPath.isEmpty() ? QStringLiteral("left untouched")
                                                             : QStringLiteral("kept as ") + loaded.keptCopyPath,
                               loaded.problem));
        unreadable << unreadableNotesText(loaded.unreadableNoteCount, loaded.keptCopyPath);
    }
    if (loaded.outcome == ZulNotesLoadOutcome::starterNotesCreated && !loaded.problem.isEmpty())
        unreadable << m_store->persistence().noteFailure(loaded.problem);
    if (loaded.renumberedCount > 0) {
        m_logger->log(VeskLogLevel::warn, QStringLiteral("notes"),
                      QStringLiteral("%1 note(s) of the notes file had the id of an earlier note and were given a "
                                     "new one; the file as it was is kept beside it at the next save")
                          .arg(loaded.renumberedCount));
    }
    if (!unreadable.isEmpty())
        showToast(unreadable.join(u' '), true);

    if (!m_environment.startsAfterFirstFrame) {
        m_startupCompleted = true;
        QTimer::singleShot(bootstrapDelayMs, this, [this] { bootstrapFloatingControllers(); });
    }
}

void ZulStudioViewModel::firstFrameShown()
{
    if (m_startupCompleted)
        return;
    m_startupCompleted = true;
    m_scheduler->releaseAsideEvaluations();
    registerGlobalHotkeys();
    const qint64 remaining = std::max<qint64>(0, bootstrapDelayMs - m_sinceCreated.elapsed());
    QTimer::singleShot(int(remaining), this, [this] { bootstrapFloatingControllers(); });
}

ZulStudioViewModel::~ZulStudioViewModel()
{
    flushPendingSaves();
    m_scheduler->shutDown();
}

// MARK: - Published state

void ZulStudioViewModel::setSelectedNoteID(const std::optional<QUuid> &id)
{
    if (m_selectedNoteID == id)
        return;
    m_selectedNoteID = id;
    emit selectedNoteIDChanged();
}

ZulStudioTab ZulStudioViewModel::selectedTab() const
{
    return m_screen->selectedTab();
}

void ZulStudioViewModel::setSelectedTab(ZulStudioTab tab)
{
    m_screen->setSelectedTab(tab);
}

ZulNoteFilter ZulStudioViewModel::activeFilter() const
{
    return m_screen->activeFilter();
}

void ZulStudioViewModel::setActiveFilter(ZulNoteFilter filter)
{
    m_screen->setActiveFilter(filter);
}

const std::optional<QString> &ZulStudioViewModel::selectedTag() const
{
    return m_screen->selectedTag();
}

void ZulStudioViewModel::setSelectedTag(const std::optional<QString> &tag)
{
    m_screen->setSelectedTag(tag);
}

const QString &ZulStudioViewModel::searchText() const
{
    return m_screen->searchText();
}

void ZulStudioViewModel::setSearchText(const QString &text)
{
    m_screen->setSearchText(text);
}

const std::optional<QString> &ZulStudioViewModel::toastMessage() const
{
    return m_screen->toastMessage();
}

bool ZulStudioViewModel::toastIsError() const
{
    return m_screen->toastIsError();
}

void ZulStudioViewModel::showToast(const QString &message, bool isError)
{
    m_screen->showToast(message, isError);
}

const QString &ZulStudioViewModel::quickScratchText() const
{
    return m_screen->quickScratchText();
}

void ZulStudioViewModel::setQuickScratchText(const QString &text)
{
    m_screen->setQuickScratchText(text);
    refreshQuickScratchSummary();
}

const NoteEvaluationSummary &ZulStudioViewModel::quickScratchSummary() const
{
    return m_screen->quickScratchSummary();
}

void ZulStudioViewModel::setIsEdgeDrawerOpen(bool open)
{
    if (m_isEdgeDrawerOpen == open)
        return;
    m_isEdgeDrawerOpen = open;
    emit isEdgeDrawerOpenChanged();
}

void ZulStudioViewModel::setLanguage(VeskLanguage language)
{
    if (m_language == language)
        return;
    m_language = language;
    emit languageChanged();
}

void ZulStudioViewModel::setIsVersionLogsSheetPresented(bool presented)
{
    if (m_isVersionLogsSheetPresented == presented)
        return;
    m_isVersionLogsSheetPresented = presented;
    emit isVersionLogsSheetPresentedChanged();
}

void ZulStudioViewModel::setStorageFootprintBytes(qint64 bytes)
{
    if (m_storageFootprintBytes == bytes)
        return;
    m_storageFootprintBytes = bytes;
    emit storageFootprintBytesChanged();
}

void ZulStudioViewModel::setIsRefreshingRates(bool refreshing)
{
    if (m_isRefreshingRates == refreshing)
        return;
    m_isRefreshingRates = refreshing;
    emit isRefreshingRatesChanged();
}

void ZulStudioViewModel::setLaunchAtLogin(bool enabled)
{
    if (m_launchAtLogin == enabled)
        return;
    m_launchAtLogin = enabled;
    emit launchAtLoginChanged();
}

// MARK: - Small helpers

QString ZulStudioViewModel::text(const char *en, const char *tr) const
{
    return veskText(QString::fromUtf8(en), QString::fromUtf8(tr), m_language);
}

QDateTime ZulStudioViewModel::now() const
{
    return m_environment.clock().toUTC();
}

void ZulStudioViewModel::logUnreadableFile(const QString &category, const QString &problem,
                                           const QString &keptCopyPath) const
{
    m_logger->log(VeskLogLevel::error, category,
                  keptCopyPath.isEmpty() ? QStringLiteral("File could not be read and was left untouched: ") + problem
                                         : QStringLiteral("File could not be read; a copy was kept as %1: %2")
                                               .arg(keptCopyPath, problem));
}

void ZulStudioViewModel::log(const QString &category, const QString &message) const
{
    m_logger->log(VeskLogLevel::info, category, message);
}

void ZulStudioViewModel::reselectAfterRemoval()
{
    if (!m_selectedNoteID || m_store->indexOfNote(*m_selectedNoteID) >= 0)
        return;
    setSelectedNoteID(firstInDisplayOrder());
}

// MARK: - Evaluation

ComputationalNoteEngine ZulStudioViewModel::currentEngine()
{
    return m_scheduler->currentEngine();
}

void ZulStudioViewModel::recomputeAllEvaluations()
{
    m_scheduler->recomputeAllEvaluations(m_selectedNoteID);
}

void ZulStudioViewModel::refreshQuickScratchSummary()
{
    m_screen->setQuickScratchSummary(currentEngine().evaluate(m_screen->quickScratchText()));
}

// MARK: - Start-up

void ZulStudioViewModel::registerGlobalHotkeys()
{
    if (!m_hotkeyManager)
        return;
    const QPointer<ZulStudioViewModel> weakSelf(this);
    for (const ZulCommand &command : ZulCommand::all()) {
        const std::optional<VeskHotkeyDescriptor> hotkey = command.hotkey();
        if (!hotkey)
            continue;
        // A chord another program holds is simply not ours; the command
        // menu's keys still work inside the application.
        m_hotkeyManager->registerHotkey(*hotkey, [weakSelf, id = command.id] {
            if (weakSelf)
                weakSelf->performCommand(id);
        });
    }
}

void ZulStudioViewModel::startAutoTidySchedule()
{
    if (!m_tidyTimer) {
        m_tidyTimer = new QTimer(this);
        connect(m_tidyTimer, &QTimer::timeout, this, &ZulStudioViewModel::runTimedTidy);
    }
    m_tidyTimer->start(int(m_environment.autoTidyInterval.count()));
}

void ZulStudioViewModel::bootstrapFloatingControllers()
{
    syncEdgeDrawerChrome();
    const QList<ZulNote> snapshot = notes();
    for (const ZulNote &note : snapshot) {
        if (note.isFloatingSticky)
            ensureStickyController().showSticky(note.id);
    }
}

ZulEdgeDrawerControlling &ZulStudioViewModel::ensureEdgeDrawerController()
{
    if (!m_edgeDrawerController)
        m_edgeDrawerController = m_environment.makeEdgeDrawerController(*this);
    return *m_edgeDrawerController;
}

ZulStickyControlling &ZulStudioViewModel::ensureStickyController()
{
    if (!m_stickyController)
        m_stickyController = m_environment.makeStickyController(*this);
    return *m_stickyController;
}

// MARK: - Look-ups

const QList<ZulNote> &ZulStudioViewModel::notes() const
{
    return m_store->notes();
}

const ZulNote *ZulStudioViewModel::findNote(const QUuid &id) const
{
    return m_store->findNote(id);
}

std::optional<ZulNote> ZulStudioViewModel::note(const QUuid &id) const
{
    const ZulNote *found = m_store->findNote(id);
    if (!found)
        return std::nullopt;
    return *found;
}

const ZulEvaluationMap &ZulStudioViewModel::evaluationsByNoteID() const
{
    return m_scheduler->evaluations();
}

NoteEvaluationSummary ZulStudioViewModel::evaluation(const QUuid &id) const
{
    const ZulEvaluationMap &evaluations = m_scheduler->evaluations();
    const auto found = evaluations.constFind(id);
    return found == evaluations.cend() ? NoteEvaluationSummary::empty() : found->summary();
}

const CompactNoteEvaluation &ZulStudioViewModel::cachedEvaluation(const QUuid &id) const
{
    return m_scheduler->cachedEvaluation(id);
}

NoteEvaluationSummary ZulStudioViewModel::selectedNoteEvaluation() const
{
    if (!m_selectedNoteID)
        return NoteEvaluationSummary::empty();
    return evaluation(*m_selectedNoteID);
}

int ZulStudioViewModel::activeStickyCount() const
{
    const QList<ZulNote> &all = notes();
    return int(std::count_if(all.cbegin(), all.cend(),
                             [](const ZulNote &note) { return note.isFloatingSticky; }));
}
