#include "ViewModels/ZulStudioViewModel.h"

#include "Services/ZulExportService.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulSaveFileChooser.h"

#include <QFileInfo>

void ZulStudioViewModel::copyNoteWithResults(const QUuid &id)
{
    const std::optional<ZulNote> found = note(id);
    if (!found)
        return;
    const NoteEvaluationSummary summary = evaluation(id);
    const QString rendered = ZulExportService::renderWithInlineResults(found->content, summary);
    copyToClipboard(rendered, text("Note with live results", "Sonuçlu not"));
    log(QStringLiteral("export"),
        QStringLiteral("Copied evaluated note to clipboard (evaluatedLines=%1)").arg(summary.lines.size()));
}

void ZulStudioViewModel::exportNoteToDisk(const QUuid &id, ZulExportFormat format)
{
    const std::optional<ZulNote> found = note(id);
    if (!found)
        return;
    const QString content = ZulExportService::exportNote(*found, evaluation(id), format, true);
    const std::optional<QString> location = m_environment.saveFileChooser->chooseSaveLocation(
        ZulExportService::proposedFileName(*found, format), format);
    if (!location || location->isEmpty())
        return;

    const QString extension = fileExtension(format);
    const ZulResult<qsizetype> written = ZulExportService::writeExport(*location, content);
    if (!written) {
        m_logger->log(VeskLogLevel::error, QStringLiteral("export"),
                      QStringLiteral("Note export failed (format=%1): %2").arg(extension, written.error()));
        showToast(text("Export failed: ", "Dışa aktarma hatası: ") + written.error(), true);
        return;
    }
    log(QStringLiteral("export"),
        QStringLiteral("Exported note to disk (format=%1, bytes=%2)").arg(extension).arg(written.value()));
    showToast(text("Exported ", "Dışa aktarıldı: ") + QFileInfo(*location).fileName(), false);
}
