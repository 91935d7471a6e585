// A note's text through the engine: records in line order, one per line at
// most, within the text's lines; the compact form says the same.

#include "FuzzEvaluation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = FuzzSupport::textOf(data, size);
    const ComputationalNoteEngine &engine = FuzzSupport::engine();
    const NoteEvaluationSummary summary = engine.evaluate(text);
    const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(text);
    qint64 previous = -1;
    for (const EvaluatedLine &line : summary.lines) {
        FUZZ_CHECK(line.lineIndex > previous && line.lineIndex < spans.size());
        const auto &span = spans[line.lineIndex];
        FUZZ_CHECK(line.rawLine == text.mid(span.start, span.length));
        FUZZ_CHECK((line.kind == EvaluatedLineKind::checklist) == line.isChecked.has_value());
        previous = line.lineIndex;
    }
    FUZZ_CHECK(summary.totalNumericSum.has_value() == (summary.numericCount > 0));
    FUZZ_CHECK(summary.completedTasks <= summary.totalTasks);
    FUZZ_CHECK(!FuzzSupport::firstDifference(engine.evaluateCompact(text).summary(), summary));
    return 0;
}
