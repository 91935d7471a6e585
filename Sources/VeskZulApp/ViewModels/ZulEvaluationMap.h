#pragma once

#include "Models/CompactNoteEvaluation.h"

#include <QHash>
#include <QUuid>

// Each note's evaluation, in the compact form that refers to the note's own
// text: the view model's evaluation(id) gives it as a NoteEvaluationSummary.
using ZulEvaluationMap = QHash<QUuid, CompactNoteEvaluation>;
