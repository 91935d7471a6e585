#include "ViewModels/ZulStudioViewModel.h"

#include "VeskKit/Localization/VeskCharacters.h"
#include "ViewModels/ZulEvaluationScheduler.h"
#include "ViewModels/ZulNoteStore.h"

#include <QTimer>

#include <utility>

void ZulStudioViewModel::updateNoteContent(const QUuid &id, const QString &content)
{
    m_store->changeNote(
        id, ZulNoteField::content | ZulNoteField::updatedAt, ZulSaveUrgency::afterPause,
        [&content](ZulNote &note) {
            if (note.content == content)
                return false;
            note.content = content;
            return true;
        },
        [this, &id, &content] {
            // A long note is evaluated once the typing pauses.
            if (VeskCharacters::prefixLength(content, longNoteThreshold) < content.size()) {
                m_scheduler->scheduleDebouncedEvaluation(id, content);
            } else {
                m_scheduler->cancelDebouncedEvaluation(id);
                m_scheduler->setEvaluation(id, currentEngine().evaluateCompact(content));
            }
        });
}

// MARK: - Saving

void ZulStudioViewModel::persistNotesImmediately()
{
    m_store->requestSave(ZulSaveUrgency::now);
}

void ZulStudioViewModel::flushPendingSaves()
{
    m_store->persistence().flush();
}

// MARK: - Toasts

