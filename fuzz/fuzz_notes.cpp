// A notes file through loading and saving: whatever the file holds, loading
// gives notes (the file's, or the starter notes), and what is saved of them
// loads again as the same notes.

#include "FuzzSupport.h"
#include "Services/ZulStorageService.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const FuzzSupport::ScratchFolder read, written;
    const ZulStorageService reader(read.emptied());
    FuzzSupport::writeFile(reader.notesFileURL(), FuzzSupport::bytesOf(data, size));
    const ZulNotesLoadReport report = reader.loadNotesReporting();
    for (const ZulNote &note : report.notes) {
        FUZZ_CHECK(!note.displayTitle().isEmpty());
        note.previewSnippet();
    }
    const ZulStorageService writer(written.path());
    FUZZ_CHECK(writer.saveNotes(report.notes));
    FUZZ_CHECK(writer.loadNotes() == report.notes);
    // A file the reader could use is the notes it gave, byte for byte read
    // again: every note that decodes, the others counted and left out.
    if (report.outcome == ZulNotesLoadOutcome::loaded) {
        const ZulResult<ZulDecodedNotes> decoded =
            ZulStorageService::decodeReadableNotes(FuzzSupport::bytesOf(data, size));
        FUZZ_CHECK(decoded && decoded.value().notes.size() == report.notes.size() &&
                   decoded.value().unreadableCount == report.unreadableNoteCount);
    }
    return 0;
}
