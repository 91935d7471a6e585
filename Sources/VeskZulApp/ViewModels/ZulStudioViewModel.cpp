#include "ViewModels/ZulStudioViewModel.h"

#include "Engine/ZulSystemTimeZone.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "VeskKit/System/VeskHotkeyDescriptor.h"
#include "VeskKit/System/VeskLaunchAtLogin.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "ViewModels/ZulNullStudioServices.h"
#include "ViewModels/ZulStickyControlling.h"
#include "ViewModels/ZulStudioWindowActivation.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimeZone>
#include <QTimer>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <utility>

namespace {

// The sample the tray popover's scratch pad starts with.
const char kQuickScratchSample[] = "1850 + %20 KDV\n250 USD to TRY";

// The N key with Command+Option, and with Command+Shift+Option.
constexpr quint32 kHotkeyKeyCodeN = 45;
constexpr quint32 kToggleDrawerModifiers = 0x900;
constexpr quint32 kFloatStickyModifiers = 0xB00;

// Whole-collection evaluations spread over threads from this many notes on.
constexpr qsizetype kParallelEvaluationThreshold = 32;

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
    if (!environment.steadyClock)
        environment.steadyClock = [] { return std::chrono::steady_clock::now(); };
}

} // namespace

ZulStudioViewModel::ZulStudioViewModel(ZulStorageService storage, ZulStudioEnvironment environment,
                                       QObject *parent)
    : QObject(parent),
      m_language(VeskLanguage::current()),
      m_launchAtLogin(VeskLaunchAtLogin::isEnabled()),
      m_logger(VeskAppLogger::shared(QStringLiteral("VeskZul"))),
      m_quickScratchText(QString::fromUtf8(kQuickScratchSample)),
      m_quickScratchSummary(NoteEvaluationSummary::empty()),
      m_storage(std::move(storage)),
      m_environment(std::move(environment))
{
    fillMissingServices(m_environment);
    m_hotkeyManager = m_environment.makeHotkeyManager();

    const ZulStorageService storageForWriter = m_storage;
    ZulOrderedNotesWriter::WriteFunction write = m_environment.notesWriter;
    if (!write) {
        write = [storageForWriter](const QList<ZulNote> &notes) { return storageForWriter.saveNotes(notes); };
    }
    m_notesWriter = new ZulOrderedNotesWriter(
        std::move(write), [storageForWriter] { return storageForWriter.totalStorageBytes(); }, this);
    connect(m_notesWriter, &ZulOrderedNotesWriter::written, this, &ZulStudioViewModel::handleWriteOutcome);

    m_saveTimer = new QTimer(this);
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setTimerType(Qt::PreciseTimer);
    m_saveTimer->setInterval(saveDebounceMs);
    connect(m_saveTimer, &QTimer::timeout, this, &ZulStudioViewModel::writePendingSaveInBackground);

    m_toastTimer = new QTimer(this);
    m_toastTimer->setSingleShot(true);
    m_toastTimer->setTimerType(Qt::PreciseTimer);
    m_toastTimer->setInterval(toastLifetimeMs);
    connect(m_toastTimer, &QTimer::timeout, this, [this] { setToastMessage(std::nullopt); });

    // The settings come first: tidying needs their age limit.
    const ZulLoadReport<ZulConfig> loadedConfig = m_storage.loadConfigReporting();
    m_config = loadedConfig.value;
    const ZulLoadReport<CurrencyRateTable> loadedRates = m_storage.loadCachedRatesReporting();
    m_rates = loadedRates.value;
    const ZulNotesLoadReport loaded = m_storage.loadNotesReporting();

    const ZulStorageService::TidyResult tidied =
        ZulStorageService::tidyEphemeralNotes(loaded.notes, m_config.autoTidyEphemeralHours, now());
    // An emptied collection comes back with the starter notes at the next launch.
    m_notes = tidied.kept.isEmpty() ? ZulStorageService::makeStarterNotes(now()) : tidied.kept;
    if (tidied.removedCount > 0)
        handleWriteOutcome(m_notesWriter->writeNow(m_notes));

    m_storageFootprintBytes = m_storage.totalStorageBytes();
    const QList<ZulNote> ordered = sortedNotesList(m_notes);
    if (!ordered.isEmpty())
        m_selectedNoteID = ordered.first().id;

    recomputeAllEvaluations();
    m_quickScratchSummary = currentEngine().evaluate(m_quickScratchText);

    if (m_hotkeyManager) {
        const QPointer<ZulStudioViewModel> weakSelf(this);
        m_hotkeyManager->registerHotkey(VeskHotkeyDescriptor{kHotkeyKeyCodeN, kToggleDrawerModifiers}, [weakSelf] {
            if (weakSelf)
                weakSelf->toggleEdgeDrawer();
        });
        m_hotkeyManager->registerHotkey(VeskHotkeyDescriptor{kHotkeyKeyCodeN, kFloatStickyModifiers}, [weakSelf] {
            if (weakSelf)
                weakSelf->createAndFloatStickyNote();
        });
    }

    startAutoTidySchedule();
    scheduleMidnightRefresh();

    log(QStringLiteral("lifecycle"),
        QStringLiteral("VeskZul initialized (%1 note(s), tidied=%2, currency=%3)")
            .arg(m_notes.size())
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
    if (loaded.outcome == ZulNotesLoadOutcome::starterNotesCreated && !loaded.problem.isEmpty())
        unreadable << noteSaveFailure(loaded.problem);
    if (loaded.renumberedCount > 0) {
        m_logger->log(VeskLogLevel::warn, QStringLiteral("notes"),
                      QStringLiteral("%1 note(s) of the notes file had the id of an earlier note and were given a "
                                     "new one; the file as it was is kept beside it at the next save")
                          .arg(loaded.renumberedCount));
    }
    if (!unreadable.isEmpty())
        showToast(unreadable.join(u' '), true);

    QTimer::singleShot(bootstrapDelayMs, this, [this] { bootstrapFloatingControllers(); });

    // Nothing typed may be lost at quit: a save still in its pause is written then.
    if (QCoreApplication *application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, this, &ZulStudioViewModel::flushPendingSaves);
    }
}

ZulStudioViewModel::~ZulStudioViewModel()
{
    flushPendingSaves();
    cancelAllDebouncedEvaluations();
    m_evaluationPool.waitForDone();
}

// MARK: - Published state

void ZulStudioViewModel::setSelectedNoteID(const std::optional<QUuid> &id)
{
    if (m_selectedNoteID == id)
        return;
    m_selectedNoteID = id;
    emit selectedNoteIDChanged();
}

void ZulStudioViewModel::setSelectedTab(ZulStudioTab tab)
{
    if (m_selectedTab == tab)
        return;
    m_selectedTab = tab;
    emit selectedTabChanged();
}

void ZulStudioViewModel::setActiveFilter(ZulNoteFilter filter)
{
    if (m_activeFilter == filter)
        return;
    m_activeFilter = filter;
    emit activeFilterChanged();
}

void ZulStudioViewModel::setSelectedTag(const std::optional<QString> &tag)
{
    if (m_selectedTag == tag)
        return;
    m_selectedTag = tag;
    emit selectedTagChanged();
}

void ZulStudioViewModel::setSearchText(const QString &text)
{
    if (m_searchText == text)
        return;
    m_searchText = text;
    emit searchTextChanged();
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

void ZulStudioViewModel::setQuickScratchText(const QString &text)
{
    m_quickScratchText = text;
    emit quickScratchTextChanged();
    refreshQuickScratchSummary();
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

void ZulStudioViewModel::setToastMessage(const std::optional<QString> &message)
{
    if (m_toastMessage == message)
        return;
    m_toastMessage = message;
    emit toastMessageChanged();
}

void ZulStudioViewModel::setToastIsError(bool isError)
{
    if (m_toastIsError == isError)
        return;
    m_toastIsError = isError;
    emit toastIsErrorChanged();
}

void ZulStudioViewModel::setQuickScratchSummary(const NoteEvaluationSummary &summary)
{
    m_quickScratchSummary = summary;
    emit quickScratchSummaryChanged();
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

int ZulStudioViewModel::indexOfNote(const QUuid &id) const
{
    for (int index = 0; index < m_notes.size(); ++index) {
        if (m_notes.at(index).id == id)
            return index;
    }
    return -1;
}

void ZulStudioViewModel::publishNotes(QList<ZulNote> notes)
{
    m_notes = std::move(notes);
    emit notesChanged();
}

void ZulStudioViewModel::notesMutated()
{
    emit notesChanged();
}

void ZulStudioViewModel::setEvaluation(const QUuid &id, const NoteEvaluationSummary &summary)
{
    m_evaluationsByNoteID.insert(id, summary);
    emit evaluationsByNoteIDChanged();
}

void ZulStudioViewModel::removeEvaluations(const QList<QUuid> &ids)
{
    bool removed = false;
    for (const QUuid &id : ids)
        removed = m_evaluationsByNoteID.remove(id) || removed;
    if (removed)
        emit evaluationsByNoteIDChanged();
}

void ZulStudioViewModel::reselectAfterRemoval()
{
    if (!m_selectedNoteID || indexOfNote(*m_selectedNoteID) >= 0)
        return;
    const QList<ZulNote> ordered = sortedNotesList(m_notes);
    setSelectedNoteID(ordered.isEmpty() ? std::nullopt : std::optional<QUuid>(ordered.first().id));
}

// MARK: - Engine cache and evaluation

ComputationalNoteEngine ZulStudioViewModel::currentEngine()
{
    const QDateTime instant = now();
    const QDate day = instant.toLocalTime().date();
    const DayKey dayKey{day.year(), day.month(), day.day()};
    const QString currency = m_config.defaultCurrency.toUpper();
    const bool cacheHolds = m_cachedEngine && m_cachedEngineDayKey == dayKey && m_cachedEngineCurrency == currency
        && m_cachedEngineRates == m_rates;
    if (!cacheHolds) {
        const ZulSystemTimeZone calendar = ZulSystemTimeZone::current();
        if (!calendar.unknownName.isEmpty() && !m_reportedUnknownTimeZone) {
            m_reportedUnknownTimeZone = true;
            m_logger->log(VeskLogLevel::warn, QStringLiteral("lifecycle"),
                          QStringLiteral("The system time zone \"%1\" is unknown; dates are counted in UTC")
                              .arg(QString::fromUtf8(calendar.unknownName)));
        }
        m_cachedEngine.emplace(m_rates, currency, instant, calendar.zone);
        m_cachedEngineDayKey = dayKey;
        m_cachedEngineCurrency = currency;
        m_cachedEngineRates = m_rates;
        return *m_cachedEngine;
    }
    // "now" and "today" mean the moment of evaluation, not the moment the
    // engine was built; the engine shares its tables, so this costs nothing.
    return ComputationalNoteEngine(m_cachedEngine->rates(), m_cachedEngine->defaultCurrency(), instant,
                                   m_cachedEngine->calendar());
}

void ZulStudioViewModel::clearEngineCache()
{
    m_cachedEngine.reset();
    m_cachedEngineDayKey.reset();
}

void ZulStudioViewModel::recomputeAllEvaluations()
{
    cancelAllDebouncedEvaluations();
    const ComputationalNoteEngine engine = currentEngine();
    ZulEvaluationMap evaluations;
    evaluations.reserve(m_notes.size());
    if (m_notes.size() >= kParallelEvaluationThreshold) {
        const QList<NoteEvaluationSummary> summaries = QtConcurrent::blockingMapped<QList<NoteEvaluationSummary>>(
            &m_evaluationPool, m_notes, [engine](const ZulNote &note) { return engine.evaluate(note.content); });
        for (qsizetype index = 0; index < m_notes.size(); ++index)
            evaluations.insert(m_notes.at(index).id, summaries.at(index));
    } else {
        for (const ZulNote &note : std::as_const(m_notes))
            evaluations.insert(note.id, engine.evaluate(note.content));
    }
    m_evaluationsByNoteID = std::move(evaluations);
    emit evaluationsByNoteIDChanged();
}

void ZulStudioViewModel::refreshQuickScratchSummary()
{
    setQuickScratchSummary(currentEngine().evaluate(m_quickScratchText));
}

void ZulStudioViewModel::scheduleMidnightRefresh()
{
    if (!m_midnightTimer) {
        m_midnightTimer = new QTimer(this);
        m_midnightTimer->setSingleShot(true);
        connect(m_midnightTimer, &QTimer::timeout, this, [this] {
            // A timer may fire a little early; the day key then still holds
            // and the next round catches midnight.
            recomputeAllEvaluations();
            refreshQuickScratchSummary();
            scheduleMidnightRefresh();
        });
    }
    const QDateTime local = now().toLocalTime();
    const QDateTime nextMidnight(local.date().addDays(1), QTime(0, 0), Qt::LocalTime);
    // At least a second, so a clock that jumps about cannot make it spin.
    const qint64 wait = std::clamp<qint64>(local.msecsTo(nextMidnight), 1000, qint64(24) * 3600 * 1000 + 3600 * 1000);
    m_midnightTimer->start(int(wait));
}

// MARK: - Start-up

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
    const QList<ZulNote> snapshot = m_notes;
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

std::optional<ZulNote> ZulStudioViewModel::note(const QUuid &id) const
{
    const int index = indexOfNote(id);
    if (index < 0)
        return std::nullopt;
    return m_notes.at(index);
}

NoteEvaluationSummary ZulStudioViewModel::evaluation(const QUuid &id) const
{
    const auto found = m_evaluationsByNoteID.constFind(id);
    return found == m_evaluationsByNoteID.cend() ? NoteEvaluationSummary::empty() : *found;
}

NoteEvaluationSummary ZulStudioViewModel::selectedNoteEvaluation() const
{
    if (!m_selectedNoteID)
        return NoteEvaluationSummary::empty();
    return evaluation(*m_selectedNoteID);
}

int ZulStudioViewModel::activeStickyCount() const
{
    return int(std::count_if(m_notes.cbegin(), m_notes.cend(),
                             [](const ZulNote &note) { return note.isFloatingSticky; }));
}
