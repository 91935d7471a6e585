#include "ViewModels/ZulStudioViewModel.h"

#include "VeskKit/Localization/VeskText.h"
#include "VeskKit/System/VeskLaunchAtLogin.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulEvaluationScheduler.h"
#include "ViewModels/ZulNoteStore.h"

#include <QSet>

void ZulStudioViewModel::updateConfig(const std::function<void(ZulConfig &)> &mutation)
{
    const QString previousCurrency = m_config.defaultCurrency;
    const bool previousDrawerEnabled = m_config.edgeDrawerEnabled;
    const ZulEdgeSide previousSide = m_config.edgeSide;

    ZulConfig changed = m_config;
    mutation(changed);
    m_config = changed.normalized();
    emit configChanged();

    const ZulResult<ZulSavedFile> saved = m_storage.saveConfig(m_config);
    if (!saved.ok()) {
        // The new settings stay in effect for this run.
        m_logger->log(VeskLogLevel::warn, QStringLiteral("lifecycle"),
                      QStringLiteral("Saving settings failed: ") + saved.error());
    }
    setStorageFootprintBytes(m_storage.totalStorageBytes());

    if (m_config.defaultCurrency != previousCurrency) {
        m_scheduler->clearEngineCache();
        recomputeAllEvaluations();
        refreshQuickScratchSummary();
    }
    if (m_config.edgeDrawerEnabled != previousDrawerEnabled || m_config.edgeSide != previousSide)
        syncEdgeDrawerChrome();
}

void ZulStudioViewModel::runAutoTidyNow()
{
    const ZulStorageService::TidyResult tidied =
        ZulStorageService::tidyEphemeralNotes(notes(), m_config.autoTidyEphemeralHours, now());
    if (tidied.removedCount == 0) {
        showToast(text("No expired ephemeral notes to tidy.", "Temizlenecek süresi dolmuş geçici not yok."), false);
        return;
    }
    m_store->replaceNotes(tidied.kept);
    reselectAfterRemoval();
    recomputeAllEvaluations();
    persistNotesImmediately();
    log(QStringLiteral("notes"), QStringLiteral("Tidied %1 expired ephemeral note(s)").arg(tidied.removedCount));
    const QString count = QString::number(tidied.removedCount);
    showToast(veskText(QStringLiteral("Tidied ") + count + QStringLiteral(" expired ephemeral note(s)."),
                       count + QStringLiteral(" süresi dolan geçici not temizlendi."), m_language),
              false);
}

void ZulStudioViewModel::runTimedTidy()
{
    const ZulStorageService::TidyResult tidied =
        ZulStorageService::tidyEphemeralNotes(notes(), m_config.autoTidyEphemeralHours, now());
    if (tidied.removedCount == 0)
        return;
    QSet<QUuid> keptIDs;
    for (const ZulNote &note : tidied.kept)
        keptIDs.insert(note.id);
    QList<QUuid> removedIDs;
    for (const ZulNote &note : std::as_const(notes())) {
        if (!keptIDs.contains(note.id))
            removedIDs.append(note.id);
    }
    for (const QUuid &id : std::as_const(removedIDs))
        m_scheduler->cancelDebouncedEvaluation(id);
    m_store->replaceNotes(tidied.kept);
    // Like tidy-now, a removed note leaves neither a result nor the selection behind.
    m_scheduler->removeEvaluations(removedIDs);
    reselectAfterRemoval();
    persistNotesImmediately();
}

void ZulStudioViewModel::toggleLaunchAtLogin(bool enabled)
{
    const bool changed = VeskLaunchAtLogin::setEnabled(enabled);
    setLaunchAtLogin(VeskLaunchAtLogin::isEnabled());
    if (!changed) {
        showToast(text("Could not update Login Item state.", "Açılış öğesi güncellenemedi."), true);
        return;
    }
    if (enabled)
        showToast(text("VeskZul will start at login.", "VeskZul açılışta otomatik başlatılacak."), false);
    else
        showToast(text("Launch at login disabled.", "Açılışta başlatma kapatıldı."), false);
}
