#pragma once

#include "Models/CurrencyRateTable.h"
#include "Models/ZulConfig.h"
#include "Models/ZulNote.h"
#include "Models/ZulResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// What loading the notes file came to, so the caller can tell the user when
// their file could not be used.
enum class ZulNotesLoadOutcome {
    loaded,               // the file was read and decoded
    starterNotesCreated,  // there was no file: the starter notes were made (and written when possible)
    unreadable,           // a file exists but could not be read or decoded; it is left as it is
};

struct ZulNotesLoadReport {
    QList<ZulNote> notes;
    ZulNotesLoadOutcome outcome = ZulNotesLoadOutcome::loaded;
    // Why the file could not be used, or why the starter notes could not be written.
    QString problem;
    // Where a copy of an unreadable file, or of a file with unreadable
    // notes, was kept (see ZulStorageService::saveNotes).
    QString keptCopyPath;
    // Notes of a readable file that could not be decoded (an unknown tint, a
    // date in another form, a missing key) and were left out; the others
    // are loaded, and the file as it was is kept at keptCopyPath.
    int unreadableNoteCount = 0;
    // Notes that shared an id with an earlier note of the file and were given
    // a fresh one; the file is then moved aside, as a ".replaced-" copy, by
    // the first save.
    int renumberedCount = 0;
};

// The notes of a file, less those that could not be decoded.
struct ZulDecodedNotes {
    QList<ZulNote> notes;
    int unreadableCount = 0;
    // Why the first of them could not be decoded.
    QString problem;
};

// The notes file as another program (a sync tool, an editor) left it, and
// the notes this process last read from it or wrote to it: what both sides
// started from, so a merge can tell who changed what.
struct ZulOutsideNotes {
    QList<ZulNote> notes;
    QList<ZulNote> base;
    int unreadableNoteCount = 0;
    // Where the file as it was is kept when some of its notes were unreadable.
    QString keptCopyPath;
};

// What loading the settings or the rates came to.
template <typename T>
struct ZulLoadReport {
    // The defaults when the file is missing or could not be used.
    T value;
    // Set when a file was there but could not be read or decoded.
    QString problem;
    // Where a copy of that file was kept; empty when none could be made.
    QString keptCopyPath;
};

// What a successful save did.
struct ZulSavedFile {
    QString path;
    // Set when the file being replaced was not the version last loaded or
    // saved, or could not be read and had no copy: it was first moved aside
    // to this path (see ZulStorageService::saveNotes).
    QString preservedFilePath;
};

// Keeps the notes, the settings and the last fetched exchange rates as three
// JSON files in one folder. Loads never fail (they fall back to defaults);
// saves report what went wrong. What a service learns about a file (the
// version it last loaded or saved) is shared by every service of the
// process, so any service may be used from any thread.
class ZulStorageService {
public:
    struct TidyResult {
        QList<ZulNote> kept;
        int removedCount = 0;
    };

    // A given folder is used exactly as given; none means defaultBaseDirectory().
    // Nothing is created until something is written.
    explicit ZulStorageService(const std::optional<QString> &baseDirectory = std::nullopt);

    // $XDG_DATA_HOME (or ~/.local/share) followed by Quarnell/VeskZul.
    static QString defaultBaseDirectory();

    QString baseDirectory() const { return m_baseDirectory; }
    QString notesFileURL() const;
    QString configFileURL() const;
    QString ratesFileURL() const;

    QList<ZulNote> loadNotes() const;
    // loadNotes() with its outcome. A missing file gives the starter notes,
    // written at once; a file that cannot be read or decoded gives fresh
    // starter notes and is not touched, but a copy of it is kept at once as
    // "<name>.unreadable-YYYYMMDDTHHMMSSZ" beside it. A JSON array some of
    // whose notes do not decode gives the others, and is kept the same way. The same holds for the
    // settings and rates files, unless the newest copy kept of that file for
    // that reason holds the same bytes (the same holds for ".replaced-"
    // copies). A FIFO, device or socket in a file's place is an unreadable
    // file, never opened in a way that waits. A byte-order mark at the start
    // of any of the three files is allowed.
    ZulNotesLoadReport loadNotesReporting() const;

    // Every save replaces its file atomically (written in full, flushed, then
    // renamed over the old one), so a crash at any moment leaves either the
    // old or the new file whole. A file in the way whose bytes are not the
    // ones last loaded or saved (edited by hand, written by another program)
    // is never overwritten: it is first renamed beside it, to
    // "<name>.replaced-YYYYMMDDTHHMMSSZ", or "<name>.unreadable-..." when it
    // does not hold a readable record of its kind.
    // When "notes.json" is a symbolic link, the file it leads to is replaced
    // and the link stays.
    ZulResult<ZulSavedFile> saveNotes(const QList<ZulNote> &notes) const;

    // The notes file when another program changed it since this process
    // last read or wrote it, or nothing: when it did not, when it is gone,
    // when it holds no notes at all (the next save keeps it aside), or when
    // a write of ours is under way (its end is a change to look at again).
    // From then on the returned version is the one last read. Cheap when
    // nothing changed: one look at the file's size, time and inode.
    std::optional<ZulOutsideNotes> notesChangedOutside() const;

    // Missing, unreadable or undecodable settings give the defaults; nothing
    // is written. What is read is normalized (ZulConfig::normalized).
    ZulConfig loadConfig() const;
    ZulLoadReport<ZulConfig> loadConfigReporting() const;
    ZulResult<ZulSavedFile> saveConfig(const ZulConfig &config) const;

    // Missing, unreadable or undecodable rates give the offline table; nothing
    // is written. A rate that is not a finite number above zero is dropped,
    // falling back to the offline rate for that currency where there is one.
    CurrencyRateTable loadCachedRates() const;
    ZulLoadReport<CurrencyRateTable> loadCachedRatesReporting() const;
    ZulResult<ZulSavedFile> saveCachedRates(const CurrencyRateTable &rates) const;

    // Bytes taken by the notes, settings and rates files; missing ones count 0.
    qint64 totalStorageBytes() const;

    static QList<ZulNote> makeStarterNotes(const QDateTime &now);
    // Removes ephemeral notes that are neither pinned nor floating and were last
    // changed at least maxAgeHours before now; below 1 hour tidying is off.
    static TidyResult tidyEphemeralNotes(const QList<ZulNote> &notes, qint64 maxAgeHours,
                                         const QDateTime &now);

    // The on-disk forms, exposed for the files' readers and the tests.
    static ZulResult<QByteArray> encodeNotes(const QList<ZulNote> &notes);
    static ZulResult<QList<ZulNote>> decodeNotes(const QByteArray &bytes);
    // A JSON array of notes, leaving out those that do not decode; fails
    // only when the whole is no such array.
    static ZulResult<ZulDecodedNotes> decodeReadableNotes(const QByteArray &bytes);

private:
    using Validator = bool (*)(const QByteArray &bytes);

    ZulResult<void> ensureDirectoryExists() const;
    // `notes`, for the notes file: what was written, remembered as the
    // version both sides start from when another program changes the file.
    ZulResult<ZulSavedFile> writeFile(const QString &path, const QByteArray &bytes, Validator isReadable,
                                      const QList<ZulNote> *notes = nullptr) const;

    QString m_baseDirectory;
};
