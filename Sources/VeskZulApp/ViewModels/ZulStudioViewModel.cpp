#include "ViewModels/ZulStudioViewModel.h"

#include "Models/ZulNoteOrder.h"

#include "Engine/ZulSystemTimeZone.h"
#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "VeskKit/System/VeskLaunchAtLogin.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "ViewModels/ZulNotesFileWatcher.h"
#include "ViewModels/ZulNullStudioServices.h"
#include "ViewModels/ZulStickyControlling.h"
#include "ViewModels/ZulStudioWindowActivation.h"

#include <QPointer>
#include <QTimeZone>
#include <QTimer>
#include <QSet>
#include <QtConcurrent/QtConcurrentMap>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// The sample the tray popover's scratch pad starts with.
const char kQuickScratchSample[] = "1850 + %20 KDV\n250 USD to TRY";

// Whole-collection evaluations spread over threads from this many notes on.
constexpr qsizetype kParallelEvaluationThreshold = 32;
// A whole-collection evaluation evaluates this many notes of the top of the
// list before it returns, and the rest off the main thread.
constexpr qsizetype kEvaluatedFirst = 64;
// A note this long is evaluated off the main thread.
constexpr qsizetype kEvaluatedAsideFrom = 64 * 1024;

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
      m_quickScratchText(QString::fromUtf8(kQuickScratchSample)),
      m_quickScratchSummary(NoteEvaluationSummary::empty()),
      m_storage(std::move(storage)),
      m_environment(std::move(environment))
{
    m_sinceCreated.start();
    fillMissingServices(m_environment);
    m_hotkeyManager = m_environment.makeHotkeyManager();

    m_persistence = std::make_unique<ZulNotesPersistence>(m_notes, m_language, m_storage, m_environment.notesWriter,
                                                          m_environment.steadyClock, m_logger);
    connect(m_persistence.get(), &ZulNotesPersistence::footprintMeasured, this,
            &ZulStudioViewModel::setStorageFootprintBytes);
    connect(m_persistence.get(), &ZulNotesPersistence::toastDue, this, &ZulStudioViewModel::showToast);

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
    const ZulNotesLoadReport loaded =
        m_environment.loadNotes ? m_environment.loadNotes() : m_storage.loadNotesReporting();

    const ZulStorageService::TidyResult tidied =
        ZulStorageService::tidyEphemeralNotes(loaded.notes, m_config.autoTidyEphemeralHours, now());
    // An emptied collection comes back with the starter notes at the next launch.
    m_notes = tidied.kept.isEmpty() ? ZulStorageService::makeStarterNotes(now()) : tidied.kept;
    // Another program (a sync tool, an editor) may change the file while we
    // run: what it wrote is taken in before each save, and when it is seen.
    m_persistence->setBeforeWrite([this] { takeOutsideNotes(); });
    m_notesFileWatcher = new ZulNotesFileWatcher(m_storage.notesFileURL(), this);
    connect(m_notesFileWatcher, &ZulNotesFileWatcher::mayHaveChanged, this,
            &ZulStudioViewModel::notesFileMayHaveChanged);
    if (tidied.removedCount > 0)
        m_persistence->requestSave(ZulSaveUrgency::now);

    m_storageFootprintBytes = m_storage.totalStorageBytes();
    m_selectedNoteID = firstInDisplayOrder();

    recomputeAllEvaluations();
    m_quickScratchSummary = currentEngine().evaluate(m_quickScratchText);

    if (!m_environment.startsAfterFirstFrame)
        registerGlobalHotkeys();
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
    if (loaded.unreadableNoteCount > 0) {
        m_logger->log(VeskLogLevel::error, QStringLiteral("notes"),
                      QStringLiteral("Notes that could not be read were left out; the file as it was is %1: %2")
                          .arg(loaded.keptCopyPath.isEmpty() ? QStringLiteral("left untouched")
                                                             : QStringLiteral("kept as ") + loaded.keptCopyPath,
                               loaded.problem));
        unreadable << unreadableNotesText(loaded.unreadableNoteCount, loaded.keptCopyPath);
    }
    if (loaded.outcome == ZulNotesLoadOutcome::starterNotesCreated && !loaded.problem.isEmpty())
        unreadable << m_persistence->noteFailure(loaded.problem);
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
    registerGlobalHotkeys();
    const qint64 remaining = std::max<qint64>(0, bootstrapDelayMs - m_sinceCreated.elapsed());
    QTimer::singleShot(int(remaining), this, [this] { bootstrapFloatingControllers(); });
}

ZulStudioViewModel::~ZulStudioViewModel()
{
    flushPendingSaves();
    cancelAllDebouncedEvaluations();
    // What is left of an evaluation running aside is not begun.
    ++*m_evaluationGeneration;
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
    if (m_indexByIDStale) {
        m_indexByID.clear();
        m_indexByID.reserve(m_notes.size());
        for (int index = 0; index < m_notes.size(); ++index)
            m_indexByID.insert(m_notes.at(index).id, index);
        m_indexByIDStale = false;
    }
    return m_indexByID.value(id, -1);
}

const ZulNote *ZulStudioViewModel::findNote(const QUuid &id) const
{
    const int index = indexOfNote(id);
    return index < 0 ? nullptr : &m_notes.at(index);
}

void ZulStudioViewModel::publishNotes(QList<ZulNote> notes)
{
    m_notes = std::move(notes);
    m_indexByIDStale = true;
    emit notesReset();
    emit notesChanged();
}

void ZulStudioViewModel::noteMutated(int index, ZulNoteFields fields)
{
    emit noteChanged(m_notes.at(index).id, fields);
    emit notesChanged();
}

void ZulStudioViewModel::notePrepended(const ZulNote &note)
{
    m_notes.prepend(note);
    m_indexByIDStale = true;
    emit noteAdded(note.id);
    emit notesChanged();
}

void ZulStudioViewModel::noteErased(const QUuid &id)
{
    const int index = indexOfNote(id);
    if (index < 0)
        return;
    m_notes.removeAt(index);
    m_indexByIDStale = true;
    emit noteRemoved(id);
    emit notesChanged();
}

void ZulStudioViewModel::setEvaluation(const QUuid &id, const CompactNoteEvaluation &evaluation)
{
    m_evaluationsByNoteID.insert(id, evaluation);
    emit evaluationChanged(id);
    emit evaluationsByNoteIDChanged();
}

void ZulStudioViewModel::removeEvaluations(const QList<QUuid> &ids)
{
    QList<QUuid> removed;
    for (const QUuid &id : ids) {
        if (m_evaluationsByNoteID.remove(id))
            removed.append(id);
    }
    for (const QUuid &id : std::as_const(removed))
        emit evaluationChanged(id);
    if (!removed.isEmpty())
        emit evaluationsByNoteIDChanged();
}

void ZulStudioViewModel::reselectAfterRemoval()
{
    if (!m_selectedNoteID || indexOfNote(*m_selectedNoteID) >= 0)
        return;
    setSelectedNoteID(firstInDisplayOrder());
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
    const quint64 generation = ++*m_evaluationGeneration;

    // The notes on screen when the studio opens (the top of the list, the
    // selected note, the floating ones) are evaluated at once; in a large
    // collection the others are evaluated off the main thread and come
    // together when all are done, and a long note always does: the window
    // does not wait for notes nobody sees yet.
    QList<int> now;
    QList<int> aside;
    if (m_notes.size() <= kEvaluatedFirst) {
        for (int index = 0; index < m_notes.size(); ++index)
            (m_notes.at(index).content.size() > kEvaluatedAsideFrom ? aside : now).append(index);
    } else {
        QList<int> order(m_notes.size());
        std::iota(order.begin(), order.end(), 0);
        std::partial_sort(order.begin(), order.begin() + kEvaluatedFirst, order.end(), [this](int a, int b) {
            const ZulNoteOrder::Key first = ZulNoteOrder::keyOf(m_notes.at(a));
            const ZulNoteOrder::Key second = ZulNoteOrder::keyOf(m_notes.at(b));
            return ZulNoteOrder::comesBefore(first, second) || (!ZulNoteOrder::comesBefore(second, first) && a < b);
        });
        QSet<int> first(order.cbegin(), order.cbegin() + kEvaluatedFirst);
        for (int index = 0; index < m_notes.size(); ++index) {
            const ZulNote &note = m_notes.at(index);
            const bool shown = first.contains(index) || note.isFloatingSticky || note.id == m_selectedNoteID;
            (shown && note.content.size() <= kEvaluatedAsideFrom ? now : aside).append(index);
        }
    }

    // Notes evaluated aside keep their earlier result meanwhile; notes
    // that are gone lose theirs.
    ZulEvaluationMap evaluations;
    evaluations.reserve(m_notes.size());
    for (const int index : std::as_const(aside)) {
        const auto kept = m_evaluationsByNoteID.constFind(m_notes.at(index).id);
        if (kept != m_evaluationsByNoteID.cend())
            evaluations.insert(kept.key(), *kept);
    }
    if (now.size() >= kParallelEvaluationThreshold) {
        const QList<CompactNoteEvaluation> results = QtConcurrent::blockingMapped<QList<CompactNoteEvaluation>>(
            &m_evaluationPool, now, [this, engine](int index) { return engine.evaluateCompact(m_notes.at(index).content); });
        for (qsizetype k = 0; k < now.size(); ++k)
            evaluations.insert(m_notes.at(now[k]).id, results.at(k));
    } else {
        for (const int index : std::as_const(now))
            evaluations.insert(m_notes.at(index).id, engine.evaluateCompact(m_notes.at(index).content));
    }
    m_evaluationsByNoteID = std::move(evaluations);
    emit evaluationsReset();
    emit evaluationsByNoteIDChanged();
    if (aside.isEmpty())
        return;

    QList<std::pair<QUuid, QString>> texts;
    texts.reserve(aside.size());
    for (const int index : std::as_const(aside))
        texts.append({m_notes.at(index).id, m_notes.at(index).content});
    const std::shared_ptr<std::atomic<quint64>> current = m_evaluationGeneration;
    QtConcurrent::mapped(&m_evaluationPool, texts,
                         [engine, current, generation](const std::pair<QUuid, QString> &text) {
                             // A later whole evaluation supersedes this one:
                             // what is left of it is never evaluated.
                             if (current->load() != generation)
                                 return CompactNoteEvaluation();
                             return engine.evaluateCompact(text.second);
                         })
        .then(this, [this, generation, texts](QFuture<CompactNoteEvaluation> done) {
            // A pool that finished before this continuation was attached runs
            // it at once, inside this function; the results always come
            // through the event loop instead, after what the caller does next.
            QMetaObject::invokeMethod(
                this,
                [this, generation, texts, results = done.results()] {
                    if (m_evaluationGeneration->load() != generation)
                        return;
                    for (qsizetype k = 0; k < texts.size() && k < results.size(); ++k) {
                        const ZulNote *note = findNote(texts[k].first);
                        // An edit since then brought its own evaluation.
                        if (note && note->content == texts[k].second)
                            m_evaluationsByNoteID.insert(texts[k].first, results[k]);
                    }
                    emit evaluationsReset();
                    emit evaluationsByNoteIDChanged();
                },
                Qt::QueuedConnection);
        });
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
    return found == m_evaluationsByNoteID.cend() ? NoteEvaluationSummary::empty() : found->summary();
}

const CompactNoteEvaluation &ZulStudioViewModel::cachedEvaluation(const QUuid &id) const
{
    static const CompactNoteEvaluation none;
    const auto found = m_evaluationsByNoteID.constFind(id);
    return found == m_evaluationsByNoteID.cend() ? none : *found;
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
