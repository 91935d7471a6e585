// A long note edited a few times, each version evaluated from the last one's
// evaluation as the editor does: every record and count equals a full
// evaluation's of the same text, field by field.

#include "FuzzEvaluation.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// Long enough for the engine to keep points to resume from, and not so long
// that a run does little else.
constexpr qsizetype kMinimumLines = 2048;
constexpr qsizetype kMaximumCharacters = 200000;

void checkSame(const CompactNoteEvaluation &incremental, const CompactNoteEvaluation &full)
{
    const std::optional<qsizetype> differs = FuzzSupport::firstDifference(incremental.summary(), full.summary());
    if (differs) {
        std::fprintf(stderr, "incremental and full evaluation part at record %lld of %lld\n",
                     static_cast<long long>(*differs), static_cast<long long>(full.lineCount()));
        if (*differs >= 0 && *differs < std::min(incremental.lineCount(), full.lineCount()))
            std::fprintf(stderr, "  incremental: %s\n  full:        %s\n",
                         incremental.line(*differs).toJson().value().constData(),
                         full.line(*differs).toJson().value().constData());
    }
    FUZZ_CHECK(!differs);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    struct Edit {
        double at;
        int removed;
        QString inserted;
    };
    QList<Edit> edits(input.ConsumeIntegralInRange(1, 3));
    for (Edit &edit : edits) {
        edit.at = input.ConsumeProbability<double>();
        edit.removed = input.ConsumeIntegralInRange(0, 40);
        edit.inserted = QString::fromStdString(input.ConsumeRandomLengthString(24));
    }
    const qsizetype lineCount = kMinimumLines + input.ConsumeIntegralInRange(0, 1024);
    const QStringList material = QString::fromStdString(input.ConsumeRemainingBytesAsString()).split(u'\n');

    QString text;
    for (qsizetype line = 0; line < lineCount && text.size() < kMaximumCharacters; ++line)
        text += material[line % material.size()] + u'\n';

    const ComputationalNoteEngine &engine = FuzzSupport::engine();
    CompactNoteEvaluation previous = engine.evaluateCompact(text);
    for (const Edit &edit : std::as_const(edits)) {
        const qsizetype at = std::min(text.size(), qsizetype(edit.at * double(text.size())));
        text.replace(at, std::min<qsizetype>(edit.removed, text.size() - at), edit.inserted);
        CompactNoteEvaluation next = engine.evaluateCompact(text, &previous);
        checkSame(next, engine.evaluateCompact(text));
        previous = std::move(next);
    }
    return 0;
}
