#pragma once

#include "Models/CurrencyRateTable.h"
#include "Models/ZulConfig.h"
#include "Models/ZulNote.h"
#include "Models/ZulResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>
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
};

// What a successful save did.
struct ZulSavedFile {
    QString path;
    // Set when the file being replaced could not be read or decoded: it was
    // first moved aside to this path (see ZulStorageService::saveNotes).
    QString preservedFilePath;
};

// Keeps the notes, the settings and the last fetched exchange rates as three
// JSON files in one folder. Loads never fail (they fall back to defaults);
// saves report what went wrong. Copies share what they learned about the
// files, so any copy may be used from any thread.
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
    // starter notes and is not touched.
    ZulNotesLoadReport loadNotesReporting() const;

    // Every save replaces its file atomically (written in full, flushed, then
    // renamed over the old one), so a crash at any moment leaves either the
    // old or the new file whole. A file in the way that does not hold a
    // readable record of its kind is never overwritten: it is first renamed
    // to "<name>.unreadable-YYYYMMDDTHHMMSSZ" beside it.
    ZulResult<ZulSavedFile> saveNotes(const QList<ZulNote> &notes) const;

    // Missing, unreadable or undecodable settings give the defaults; nothing is written.
    ZulConfig loadConfig() const;
    ZulResult<ZulSavedFile> saveConfig(const ZulConfig &config) const;

    // Missing, unreadable or undecodable rates give the offline table; nothing
    // is written. A rate that is not a finite number above zero is dropped,
    // falling back to the offline rate for that currency where there is one.
    CurrencyRateTable loadCachedRates() const;
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
    struct SharedState;
    using Validator = bool (*)(const QByteArray &bytes);

    ZulResult<void> ensureDirectoryExists() const;
    ZulResult<ZulSavedFile> writeFile(const QString &path, const QByteArray &bytes,
                                   Validator isReadable) const;

    QString m_baseDirectory;
    std::shared_ptr<SharedState> m_state;
};
