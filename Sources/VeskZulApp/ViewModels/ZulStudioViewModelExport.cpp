#include "ViewModels/ZulStudioViewModel.h"

#include "Services/ZulExportService.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulSaveFileChooser.h"

#include <QFileInfo>
#include <QSaveFile>

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
    const QString extension = fileExtension(format);
    QString proposedName = found->displayTitle();
    proposedName.replace(QLatin1Char('/'), QLatin1Char('-'));
    proposedName.replace(QLatin1Char(':'), QLatin1Char('-'));
    proposedName += QLatin1Char('.') + extension;

    const std::optional<QString> location = m_environment.saveFileChooser->chooseSaveLocation(proposedName, format);
    if (!location || location->isEmpty())
        return;

    const QByteArray bytes = content.toUtf8();
    QSaveFile file(*location);
    QString failure;
    if (!file.open(QIODevice::WriteOnly))
        failure = file.errorString();
    else if (file.write(bytes) != bytes.size())
        failure = file.errorString();
    if (failure.isEmpty() && !file.commit())
        failure = file.errorString();
    if (!failure.isEmpty()) {
        file.cancelWriting();
        m_logger->log(VeskLogLevel::error, QStringLiteral("export"),
                      QStringLiteral("Note export failed (format=%1): %2").arg(extension, failure));
        showToast(text("Export failed: ", "Dışa aktarma hatası: ") + failure, true);
        return;
    }
    log(QStringLiteral("export"),
        QStringLiteral("Exported note to disk (format=%1, bytes=%2)").arg(extension).arg(bytes.size()));
    showToast(text("Exported ", "Dışa aktarıldı: ") + QFileInfo(*location).fileName(), false);
}
