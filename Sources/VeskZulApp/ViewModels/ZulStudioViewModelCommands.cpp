#include "ViewModels/ZulStudioViewModel.h"

#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulClipboard.h"
#include "ViewModels/ZulCommand.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "ViewModels/ZulEvaluationScheduler.h"
#include "ViewModels/ZulLiveRatesFetching.h"
#include "ViewModels/ZulStickyControlling.h"
#include "ViewModels/ZulStudioWindowActivation.h"

#include <QPointer>

void ZulStudioViewModel::bindStudioWindowOpener(StudioWindowOpener opener)
{
    m_studioWindowOpener = std::move(opener);
    if (m_observingReopenRequests)
        return;
    m_observingReopenRequests = true;
    m_environment.windowActivation->observeReopenStudioWindow(this, [this] {
        if (m_studioWindowOpener)
            m_studioWindowOpener();
    });
}

void ZulStudioViewModel::openStudioWindowForNote(const QUuid &id)
{
    setSelectedNoteID(id);
    setSelectedTab(ZulStudioTab::workspace);
    if (m_studioWindowOpener) {
        m_studioWindowOpener();
        return;
    }
    m_environment.windowActivation->postReopenStudioWindow();
    m_environment.windowActivation->activateIgnoringOtherApps();
    m_environment.windowActivation->bringStudioWindowToFront();
}

void ZulStudioViewModel::toggleEdgeDrawer()
{
    ZulEdgeDrawerControlling &drawer = ensureEdgeDrawerController();
    if (!m_config.edgeDrawerEnabled)
        updateConfig([](ZulConfig &config) { config.edgeDrawerEnabled = true; });
    if (drawer.isDrawerOpen())
        drawer.closeDrawer();
    else
        drawer.openDrawer();
    setIsEdgeDrawerOpen(drawer.isDrawerOpen());
}

void ZulStudioViewModel::syncEdgeDrawerChrome()
{
    if (m_config.edgeDrawerEnabled) {
        ensureEdgeDrawerController().syncEdgePlacement(m_config.edgeSide);
        return;
    }
    if (m_edgeDrawerController)
        m_edgeDrawerController->hideAll();
    setIsEdgeDrawerOpen(false);
}

void ZulStudioViewModel::createAndFloatStickyNote()
{
    const auto &tints = ZulNoteTintAllCases();
    const ZulNoteTint tint = tints.at(std::size_t(notes().size()) % tints.size());
    const ZulNote created = createNote(text("Sticky Note", "Yapışkan Not"), QString(), tint, false, true);
    showToast(text("Floating sticky created: ", "Yüzen yapışkan oluşturuldu: ") + created.displayTitle(), false);
}

void ZulStudioViewModel::copyToClipboard(const QString &copied, const std::optional<QString> &label)
{
    m_environment.clipboard->setText(copied);
    showToast(text("Copied: ", "Kopyalandı: ") + label.value_or(copied), false);
}

void ZulStudioViewModel::refreshLiveCurrencyRates()
{
    if (m_isRefreshingRates)
        return;
    setIsRefreshingRates(true);
    log(QStringLiteral("rates"), QStringLiteral("Refreshing live ECB/Frankfurter FX rates"));
    m_environment.liveRatesFetcher->fetchLiveRates(this, [this](std::optional<CurrencyRateTable> table) {
        setIsRefreshingRates(false);
        if (!table) {
            m_logger->log(VeskLogLevel::warn, QStringLiteral("rates"),
                          QStringLiteral("Live FX rate refresh unavailable; continuing with built-in/cached rates"));
            showToast(text("Offline mode — using built-in FX rates.",
                           "Çevrimdışı mod — yerleşik döviz kurları kullanılıyor."),
                      true);
            return;
        }
        m_rates = *table;
        emit ratesChanged();
        const ZulResult<ZulSavedFile> saved = m_storage.saveCachedRates(m_rates);
        if (!saved.ok()) {
            m_logger->log(VeskLogLevel::warn, QStringLiteral("rates"),
                          QStringLiteral("Saving fetched rates failed: ") + saved.error());
        }
        setStorageFootprintBytes(m_storage.totalStorageBytes());
        m_scheduler->clearEngineCache();
        recomputeAllEvaluations();
        refreshQuickScratchSummary();
        log(QStringLiteral("rates"),
            QStringLiteral("Updated live FX rates (%1 currencies)").arg(m_rates.ratesPerUSD.size()));
        showToast(text("Live ECB/Frankfurter FX rates updated.", "Canlı ECB/Frankfurter döviz kurları güncellendi."),
                  false);
    });
}

void ZulStudioViewModel::performCommand(ZulCommandID command)
{
    switch (command) {
    case ZulCommandID::newNote:
        createNote();
        break;
    case ZulCommandID::toggleEdgeDrawer:
        toggleEdgeDrawer();
        break;
    case ZulCommandID::newFloatingSticky:
        createAndFloatStickyNote();
        break;
    case ZulCommandID::copyActiveNote:
        if (m_selectedNoteID)
            copyNoteWithResults(*m_selectedNoteID);
        break;
    case ZulCommandID::exportActiveNote:
        if (m_selectedNoteID)
            exportNoteToDisk(*m_selectedNoteID, ZulExportFormat::markdownWithResults);
        break;
    case ZulCommandID::refreshLiveCurrencyRates:
        refreshLiveCurrencyRates();
        break;
    }
}

QString ZulStudioViewModel::menuBarBadgeText() const
{
    const std::optional<double> total =
        m_selectedNoteID ? cachedEvaluation(*m_selectedNoteID).totalNumericSum : std::nullopt;
    if (total)
        return ZulNumberFormatter::format(*total, 0);
    return QString::number(notes().size());
}
