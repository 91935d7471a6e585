#include "ViewModels/ZulStudioViewModel.h"

#include "Services/ZulExportService.h"
#include "VeskKit/Utilities/VeskAppLogger.h"
#include "ViewModels/ZulSaveFileChooser.h"
#include "SharedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBoundaryFinder>

namespace {

// What most Linux file systems allow for one name, in bytes.
constexpr qsizetype kMaxFileNameBytes = 255;

// `stem` + "." + `extension`, the stem cut so that the whole name fits one
// file name: a title is shown whole however long, but a save panel offered
// a longer name could only fail. The cut falls between two user-perceived
// characters, so no letter loses its accent and no emoji half of itself.
QString fileNameWithin(const QString &stem, const QString &extension)
{
    const QString suffix = QLatin1Char('.') + extension;
    const qsizetype room = kMaxFileNameBytes - QFile::encodeName(suffix).size();
    if (QFile::encodeName(stem).size() <= room)
        return stem + suffix;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, stem);
    qsizetype cut = 0;
    qsizetype bytes = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        bytes += QFile::encodeName(stem.mid(cut, next - cut)).size();
        if (bytes > room)
            break;
        cut = next;
    }
    return stem.left(cut) + suffix;
}

} // namespace

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
    proposedName = fileNameWithin(proposedName, extension);

    const std::optional<QString> location = m_environment.saveFileChooser->chooseSaveLocation(proposedName, format);
    if (!location || location->isEmpty())
        return;

    const QByteArray bytes = content.toUtf8();
    const QString failure = SharedFile::replaceWhole(*location, bytes).failure;
    if (!failure.isEmpty()) {
        m_logger->log(VeskLogLevel::error, QStringLiteral("export"),
                      QStringLiteral("Note export failed (format=%1): %2").arg(extension, failure));
        showToast(text("Export failed: ", "Dışa aktarma hatası: ") + failure, true);
        return;
    }
    log(QStringLiteral("export"),
        QStringLiteral("Exported note to disk (format=%1, bytes=%2)").arg(extension).arg(bytes.size()));
    showToast(text("Exported ", "Dışa aktarıldı: ") + QFileInfo(*location).fileName(), false);
}
