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
    // Where a copy of an unreadable file was kept (see ZulStorageService::saveNotes).
    QString keptCopyPath;
    // Notes that shared an id with an earlier note of the file and were given
    // a fresh one; the file is then moved aside, as a ".replaced-" copy, by
    // the first save.
    int renumberedCount = 0;
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
    // "<name>.unreadable-YYYYMMDDTHHMMSSZ" beside it. The same holds for the
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
    ZulResult<ZulSavedFile> saveNotes(const QList<ZulNote> &notes) const;

    // Missing, unreadable or undecodable settings give the defaults; nothing
    // is written. A font size outside the settings' range is taken as the
    // nearest one in it, a negative tidy age as 0 (off).
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

private:
    using Validator = bool (*)(const QByteArray &bytes);

    ZulResult<void> ensureDirectoryExists() const;
    ZulResult<ZulSavedFile> writeFile(const QString &path, const QByteArray &bytes,
                                   Validator isReadable) const;

    QString m_baseDirectory;
};
