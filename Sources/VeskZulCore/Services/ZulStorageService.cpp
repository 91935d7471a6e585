#include "Services/ZulStorageService.h"

#include "Models/ZulIsoDate.h"
#include "Services/ZulJsonText.h"
#include "Services/ZulNotesFileAssembler.h"
#include "SharedFile.h"
#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QRegularExpression>
#include <QSet>
#include <QCoreApplication>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#include <atomic>
#include <optional>

namespace {

const QString kNotesFileName = QStringLiteral("notes.json");
const QString kConfigFileName = QStringLiteral("config.json");
const QString kRatesFileName = QStringLiteral("rates.json");

// Which version of a file was seen: a replaced file gets a new inode, an
// edited one a new size or modification time.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;

    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const struct stat &st)
{
    return FileStamp{st.st_dev, st.st_ino, st.st_size, qint64(st.st_mtim.tv_sec),
                     qint64(st.st_mtim.tv_nsec)};
}

// Which bytes were seen, without keeping them: enough to tell a file that
// was only touched from one whose content changed.
struct Fingerprint {
    qsizetype size = -1;
    size_t hash = 0;

    bool operator==(const Fingerprint &) const = default;
};

Fingerprint fingerprintOf(const QByteArray &bytes)
{
    // A fixed seed other than zero lets Qt use its fastest hash where the
    // processor has one; the value only has to be the same within this process.
    constexpr size_t seed = size_t(0x9e3779b97f4a7c15ULL);
    return Fingerprint{bytes.size(), qHashBits(bytes.constData(), size_t(bytes.size()), seed)};
}

// Far beyond any collection typed by hand, yet a file that keeps growing or
// a huge stray file cannot take all the memory there is.
constexpr qint64 kMaxStoredFileBytes = qint64(1) << 30;

struct ReadResult {
    std::optional<QByteArray> bytes;
    FileStamp stamp;
    QString error;
    bool missing = false;
};

// A FIFO, device or socket in a file's place is never opened in a way that
// waits, and never read: it is an unreadable file like any other.
ReadResult readWholeFile(const QString &path)
{
    ReadResult result;
    SharedFile::Contents contents = SharedFile::readReporting(path, kMaxStoredFileBytes);
    if (contents.failure) {
        result.missing = contents.failure.kind == SharedFile::Failure::Kind::missing;
        result.error = path + u' ' + contents.failure.describe();
        return result;
    }
    result.stamp = stampOf(contents.info);
    result.bytes = std::move(contents.bytes);
    return result;
}

QByteArray encodeJson(const QJsonValue &value)
{
    return ZulJsonText::format(value);
}

// Editors on some systems start a UTF-8 file with a byte-order mark; we
// write none, but a file saved by hand in one of them must still load.
QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
}

ZulResult<QJsonValue> parseJson(QByteArrayView bytes)
{
    return ZulJsonText::parse(withoutByteOrderMark(bytes));
}

ZulResult<ZulConfig> decodeConfig(const QByteArray &bytes)
{
    const ZulResult<QJsonValue> json = parseJson(bytes);
    if (!json)
        return ZulResult<ZulConfig>::failure(json.error());
    return ZulConfig::fromJson(json.value());
}

ZulResult<CurrencyRateTable> decodeRates(const QByteArray &bytes)
{
    const ZulResult<QJsonValue> json = parseJson(bytes);
    if (!json)
        return ZulResult<CurrencyRateTable>::failure(json.error());
    return CurrencyRateTable::fromJson(json.value());
}

// From this size on, a notes file is read on several threads at once.
constexpr qsizetype kParallelDecodeFrom = 4 << 20;

// Where the elements of a top-level JSON array lie in the text, or nothing
// when it does not read as one at a glance. Strings are skipped with their
// escapes, so a bracket or comma inside one is no structure.
std::optional<QList<QByteArrayView>> arrayElements(QByteArrayView text)
{
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    qsizetype i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (i == text.size() || text[i] != '[')
        return std::nullopt;
    QList<QByteArrayView> elements;
    qsizetype start = ++i;
    int depth = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            for (++i; i < text.size() && text[i] != '"'; ++i) {
                if (text[i] == '\\')
                    ++i;
            }
            if (i >= text.size())
                return std::nullopt;
        } else if (c == '{' || c == '[') {
            // Deep nesting is for the whole-text parse to judge.
            if (++depth > 64)
                return std::nullopt;
        } else if (c == '}' || c == ']') {
            if (depth == 0) {
                if (c != ']')
                    return std::nullopt;
                elements.append(text.sliced(start, i - start));
                break;
            }
            --depth;
        } else if (c == ',' && depth == 0) {
            elements.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    if (i >= text.size())
        return std::nullopt;
    for (++i; i < text.size(); ++i) {
        if (!isSpace(text[i]))
            return std::nullopt;
    }
    // "[]" holds no element, not one empty one.
    if (elements.size() == 1 && elements.first().trimmed().isEmpty())
        elements.clear();
    return elements;
}

// The notes of a large file, each element parsed on its own, on as many
// threads as there are cores. A note that parses but does not decode is
// left out and counted. Nothing when an element is no JSON at all: the
// split may have misread the text, so the file is then read in one piece,
// and whatever is wrong is reported as always.
std::optional<ZulDecodedNotes> decodeNotesInParallel(QByteArrayView bytes)
{
    const std::optional<QList<QByteArrayView>> elements = arrayElements(withoutByteOrderMark(bytes));
    if (!elements)
        return std::nullopt;
    QList<ZulNote> notes(elements->size());
    std::vector<QString> problems(size_t(elements->size()));
    const qsizetype workers =
        std::clamp<qsizetype>(qsizetype(std::thread::hardware_concurrency()), 1, 8);
    std::atomic<bool> failed{false};
    const auto decodeRange = [&](qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to && !failed.load(std::memory_order_relaxed); ++k) {
            const ZulResult<QJsonValue> json = ZulJsonText::parse(elements->at(k));
            if (!json) {
                failed = true;
                return;
            }
            ZulResult<ZulNote> note = ZulNote::fromJson(json.value());
            if (note)
                notes[k] = std::move(note).value();
            else
                problems[size_t(k)] = note.error().isEmpty() ? QStringLiteral("not a note") : note.error();
        }
    };
    std::vector<std::thread> threads;
    const qsizetype share = (elements->size() + workers - 1) / workers;
    for (qsizetype w = 1; w < workers && w * share < elements->size(); ++w)
        threads.emplace_back(decodeRange, w * share, std::min(elements->size(), (w + 1) * share));
    decodeRange(0, std::min(elements->size(), share));
    for (std::thread &thread : threads)
        thread.join();
    if (failed)
        return std::nullopt;
    ZulDecodedNotes decoded;
    for (qsizetype k = 0; k < notes.size(); ++k) {
        if (problems[size_t(k)].isEmpty())
            continue;
        if (decoded.unreadableCount++ == 0)
            decoded.problem = QStringLiteral("note %1: %2").arg(k + 1).arg(problems[size_t(k)]);
    }
    if (decoded.unreadableCount > 0) {
        qsizetype k = 0;
        notes.removeIf([&](const ZulNote &) { return !problems[size_t(k++)].isEmpty(); });
    }
    decoded.notes = std::move(notes);
    return decoded;
}

bool notesAreReadable(const QByteArray &bytes)
{
    return ZulStorageService::decodeNotes(bytes).ok();
}

bool configIsReadable(const QByteArray &bytes)
{
    return decodeConfig(bytes).ok();
}

bool ratesAreReadable(const QByteArray &bytes)
{
    return decodeRates(bytes).ok();
}

// A zero, negative or broken rate would turn every amount in that currency
// into nonsense; the built-in rate is a better guess than none.
CurrencyRateTable withUsableRates(CurrencyRateTable table)
{
    const QHash<QString, double> &offline = CurrencyRateTable::offlineDefaults().ratesPerUSD;
    for (auto it = table.ratesPerUSD.begin(); it != table.ratesPerUSD.end();) {
        if (std::isfinite(it.value()) && it.value() > 0) {
            ++it;
            continue;
        }
        const auto fallback = offline.constFind(it.key());
        if (fallback != offline.cend()) {
            it.value() = *fallback;
            ++it;
        } else {
            it = table.ratesPerUSD.erase(it);
        }
    }
    return table;
}

// The newest copy kept beside `path` for `why`, by the time and attempt
// number in its name; empty when there is none.
QString newestKeptCopy(const QString &path, QLatin1StringView why)
{
    static const QRegularExpression suffix(QStringLiteral("^\\d{8}T\\d{6}Z(?:-(\\d{1,9}))?$"));
    const QFileInfo file(path);
    const QString prefix = file.fileName() + u'.' + why + u'-';
    QString newest;
    std::pair<QString, int> newestKey;
    const QStringList names = file.dir().entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
    for (const QString &name : names) {
        if (!name.startsWith(prefix))
            continue;
        const QString rest = name.sliced(prefix.size());
        const QRegularExpressionMatch match = suffix.match(rest);
        if (!match.hasMatch())
            continue;
        const std::pair<QString, int> key{rest.left(16), match.hasCaptured(1) ? match.captured(1).toInt() : 1};
        if (newest.isEmpty() || key > newestKey) {
            newest = file.dir().filePath(name);
            newestKey = key;
        }
    }
    return newest;
}

// Keeps what is at `path` beside it, under "<name>.<why>-<when>", or with
// "-2", "-3", ... added when that is taken; never replaces anything. Given
// `copyOf`, those bytes are written there and the file stays where it is;
// otherwise the file itself is moved. When the newest copy already kept for
// the same reason holds the same bytes (`content`, or `copyOf`), nothing is
// kept again and that copy is named instead: a file that stays broken
// across many starts must not fill the disk with copies of itself.
ZulResult<QString> keepBeside(const QString &path, QLatin1StringView why, const QByteArray *copyOf,
                              const QByteArray *content = nullptr)
{
    if (!content)
        content = copyOf;
    if (content) {
        const QString newest = newestKeptCopy(path, why);
        if (!newest.isEmpty() && QFileInfo(newest).size() == content->size()) {
            const std::optional<QByteArray> kept = SharedFile::read(newest, content->size());
            if (kept && *kept == *content)
                return ZulResult<QString>::success(newest);
        }
    }
    QString when = ZulIsoDate::format(QDateTime::currentDateTimeUtc());
    when.remove(u'-').remove(u':');
    const QString stem = path + u'.' + why + u'-' + when;
    for (int attempt = 1; attempt <= 1000; ++attempt) {
        const QString candidate = attempt == 1 ? stem : stem + u'-' + QString::number(attempt);
        if (QFileInfo::exists(candidate))
            continue;
        if (copyOf) {
            const SharedFile::Created copy = SharedFile::createWhole(candidate, *copyOf);
            if (!copy.opened && QFileInfo::exists(candidate))
                continue;
            if (!copy.failure.isEmpty())
                return ZulResult<QString>::failure(copy.failure);
        } else {
            // QFile::rename never replaces an existing file.
            QFile old(path);
            if (!old.rename(candidate)) {
                if (QFileInfo::exists(candidate))
                    continue;
                return ZulResult<QString>::failure(old.errorString());
            }
        }
        SharedFile::syncDirectory(QFileInfo(path).absolutePath());
        return ZulResult<QString>::success(candidate);
    }
    return ZulResult<QString>::failure(QStringLiteral("no free name was found"));
}

// The version of a file this process last loaded or saved.
struct KnownVersion {
    FileStamp stamp;
    Fingerprint fingerprint;
    // Set when this version must be moved aside, under this reason, rather
    // than replaced: an unreadable file of which no copy could be kept, or
    // one whose notes were changed while they were read.
    QLatin1StringView keepAs;
};

// Everything the process knows about one file, and the lock that lets one
// load or save of it run at a time.
struct FileRecord {
    std::mutex mutex;
    std::optional<KnownVersion> known;
    // For the notes file: the notes of the known version as read or
    // written, in a list of their own (one shared with a caller's would make
    // its next change copy every note).
    std::optional<QList<ZulNote>> knownNotes;
};

FileRecord &recordFor(const QString &path)
{
    static std::mutex registryMutex;
    // Three entries per storage folder; never freed, so a save still running
    // while the process exits finds its record.
    static auto *registry = new QHash<QString, std::shared_ptr<FileRecord>>();
    const std::lock_guard lock(registryMutex);
    std::shared_ptr<FileRecord> &record = (*registry)[QDir::cleanPath(path)];
    if (!record)
        record = std::make_shared<FileRecord>();
    return *record;
}

// Reads a file and decodes it. A file that is there but does not decode is
// left as it is, and a copy of it is kept beside it at once: the user may
// repair or replace the file while we run, and the version that failed must
// survive that. What was read is remembered, so a save knows whether the
// file in its way is still that version. `amend` may mend the decoded value
// and says why the file no longer holds what is in memory: "replaced" when
// it changed the value (the first save moves the file aside as a
// ".replaced-" copy), "unreadable" when part of the file could not be
// decoded (a copy is kept at once, as for a file that does not decode at
// all), or nothing. `remember` runs under the file's lock with what was
// decoded, if anything.
template <typename T, typename Decode, typename Amend, typename Remember>
ZulLoadReport<std::optional<T>> loadFile(const QString &path, Decode decode, Amend amend, Remember remember)
{
    ZulLoadReport<std::optional<T>> report;
    FileRecord &record = recordFor(path);
    const std::lock_guard lock(record.mutex);
    const ReadResult read = readWholeFile(path);
    if (!read.bytes) {
        if (!read.missing)
            report.problem = read.error;
        return report;
    }
    ZulResult<T> decoded = decode(*read.bytes);
    QLatin1StringView keepAs;
    QLatin1StringView copyAs;
    if (decoded) {
        report.value = std::move(decoded).value();
        const QLatin1StringView why = amend(*report.value, report.problem);
        if (why == QLatin1StringView("unreadable"))
            copyAs = why;
        else
            keepAs = why;
    } else {
        report.problem = QStringLiteral("%1 cannot be decoded: %2").arg(path, decoded.error());
        copyAs = QLatin1StringView("unreadable");
    }
    if (!copyAs.isEmpty()) {
        const ZulResult<QString> kept = keepBeside(path, copyAs, &*read.bytes);
        if (kept)
            report.keptCopyPath = kept.value();
        else
            report.problem += QStringLiteral(" (no copy of it could be kept: %1)").arg(kept.error());
        if (!kept)
            keepAs = copyAs;
    }
    record.known = KnownVersion{read.stamp, fingerprintOf(*read.bytes), keepAs};
    remember(record, report.value);
    return report;
}

// Each notes file's kept pieces, shared by every service of the process
// that saves it.
struct NotesFilePieces {
    std::mutex mutex;
    ZulNotesFileAssembler assembler;
};

std::shared_ptr<NotesFilePieces> piecesFor(const QString &path)
{
    static std::mutex registryMutex;
    // Never freed, like the file records: a save may still run at exit.
    static auto *registry = new QHash<QString, std::shared_ptr<NotesFilePieces>>();
    const std::lock_guard lock(registryMutex);
    std::shared_ptr<NotesFilePieces> &slot = (*registry)[QDir::cleanPath(path)];
    if (!slot)
        slot = std::make_shared<NotesFilePieces>();
    return slot;
}

ZulResult<QByteArray> assembleNotesFile(const QString &path, const QList<ZulNote> &notes)
{
    const std::shared_ptr<NotesFilePieces> pieces = piecesFor(path);
    const std::lock_guard lock(pieces->mutex);
    return pieces->assembler.assemble(notes);
}

// The pieces of the notes just loaded, made in the background, so that the
// first save of the run (often the one at quit, right after a key) only
// copies them. A save that comes first makes the missing ones itself; the
// lock is held only to look and to keep, never while writing.
void preparePiecesInBackground(const QString &path, const QList<ZulNote> &notes)
{
    constexpr qsizetype chunk = 512;
    const std::shared_ptr<NotesFilePieces> pieces = piecesFor(path);
    const auto prepare = [pieces, notes](qsizetype from, qsizetype to) {
        QList<const ZulNote *> wanted;
        {
            const std::lock_guard lock(pieces->mutex);
            for (qsizetype i = from; i < to; ++i)
                if (!pieces->assembler.hasPieceFor(notes.at(i)))
                    wanted.append(&notes.at(i));
        }
        QList<QByteArray> made;
        made.reserve(wanted.size());
        for (const ZulNote *note : std::as_const(wanted))
            made.append(ZulNotesFileAssembler::piece(*note));
        const std::lock_guard lock(pieces->mutex);
        for (qsizetype k = 0; k < wanted.size(); ++k)
            pieces->assembler.keepPiece(*wanted.at(k), std::move(made[k]));
    };
    // Its end waits for what it was given: a process that ends at once
    // (ZulProcessEnd) never gets there.
    static QThreadPool pool;
    static const bool sized = (pool.setMaxThreadCount(std::max(2, QThread::idealThreadCount() / 2)), true);
    Q_UNUSED(sized);
    const auto startAll = [prepare, count = notes.size()] {
        for (qsizetype from = 0; from < count; from += chunk) {
            const qsizetype to = std::min(count, from + chunk);
            pool.start([prepare, from, to] {
                // Only on a core nothing else wants: start-up must not wait for it.
                QThread::currentThread()->setPriority(QThread::IdlePriority);
                prepare(from, to);
            });
        }
    };
    // Once the event loop runs, when the application's own start is done:
    // the pieces would otherwise take memory and the allocator from it.
    QCoreApplication *application = QCoreApplication::instance();
    if (application && application->thread() == QThread::currentThread())
        QMetaObject::invokeMethod(application, startAll, Qt::QueuedConnection);
    else
        startAll();
}

// Notes merged by hand or by a sync tool may share an id; each later one
// gets a fresh id, so that every note can be edited and deleted by itself.
int giveRepeatedIdsFreshOnes(QList<ZulNote> &notes)
{
    QSet<QUuid> seen;
    seen.reserve(notes.size());
    int renumbered = 0;
    for (ZulNote &note : notes) {
        if (seen.contains(note.id)) {
            do
                note.id = QUuid::createUuid();
            while (seen.contains(note.id));
            ++renumbered;
        }
        seen.insert(note.id);
    }
    return renumbered;
}

QLatin1StringView leaveAsRead(const auto &, QString &)
{
    return {};
}

void rememberNothing(FileRecord &, const auto &) {}

// Gives repeated ids fresh ones; says why the file no longer holds the notes
// in memory, when it does not, and adds to `problem` what was left out.
QLatin1StringView mendDecodedNotes(const QString &path, ZulDecodedNotes &decoded, int &renumbered,
                                   QString &problem)
{
    renumbered = giveRepeatedIdsFreshOnes(decoded.notes);
    if (decoded.unreadableCount > 0) {
        problem = QStringLiteral("%1 note(s) of %2 cannot be decoded; the first, %3")
                      .arg(decoded.unreadableCount)
                      .arg(path, decoded.problem);
        return QLatin1StringView("unreadable");
    }
    return renumbered > 0 ? QLatin1StringView("replaced") : QLatin1StringView();
}

// The files keep whole seconds; starting from a whole second makes the
// starter notes in memory equal to the ones just written.
QDateTime nowToTheSecond()
{
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
}

QString joinLines(std::initializer_list<const char *> lines)
{
    QStringList list;
    list.reserve(qsizetype(lines.size()));
    for (const char *line : lines)
        list.append(QString::fromUtf8(line));
    return list.join(u'\n');
}

} // namespace

ZulStorageService::ZulStorageService(const std::optional<QString> &baseDirectory)
    : m_baseDirectory(baseDirectory ? *baseDirectory : defaultBaseDirectory())
{
}

QString ZulStorageService::defaultBaseDirectory()
{
    return UserFolders::dataHome() + QStringLiteral("/Quarnell/VeskZul");
}

QString ZulStorageService::notesFileURL() const
{
    return QDir(m_baseDirectory).filePath(kNotesFileName);
}

QString ZulStorageService::configFileURL() const
{
    return QDir(m_baseDirectory).filePath(kConfigFileName);
}

QString ZulStorageService::ratesFileURL() const
{
    return QDir(m_baseDirectory).filePath(kRatesFileName);
}

ZulResult<void> ZulStorageService::ensureDirectoryExists() const
{
    std::error_code code;
    std::filesystem::create_directories(QFile::encodeName(m_baseDirectory).toStdString(), code);
    if (code)
        return ZulResult<void>::failure(QStringLiteral("The folder %1 cannot be created: %2")
                                            .arg(m_baseDirectory, QString::fromStdString(code.message())));
    return ZulResult<void>::success();
}

ZulResult<ZulSavedFile> ZulStorageService::writeFile(const QString &path, const QByteArray &bytes,
                                                     Validator isReadable, const QList<ZulNote> *notes) const
{
    using Result = ZulResult<ZulSavedFile>;
    ZulSavedFile saved{path, {}};
    // Says where the file before it went even when the write then fails.
    const auto failure = [&saved](const QString &why) {
        if (saved.preservedFilePath.isEmpty())
            return Result::failure(why);
        return Result::failure(why + QStringLiteral(" (the file before it was kept as %1)")
                                         .arg(saved.preservedFilePath));
    };
    FileRecord &record = recordFor(path);
    const std::lock_guard lock(record.mutex);
    // A link (into a synced folder, say) stays: what it leads to is what is
    // checked, kept aside and replaced.
    const QString target = SharedFile::linkTarget(path);

    if (const std::optional<struct stat> st = SharedFile::status(target)) {
        if (!S_ISREG(st->st_mode))
            return failure(QStringLiteral("%1 is not a regular file; nothing was written").arg(path));
        // Only the version last loaded or saved may simply be replaced; the
        // stamp spares reading it when nothing has touched the file since.
        const std::optional<KnownVersion> &known = record.known;
        bool isKnownVersion = known && known->stamp == stampOf(*st);
        std::optional<QByteArray> current;
        if (!isKnownVersion) {
            current = readWholeFile(target).bytes;
            isKnownVersion = known && current && fingerprintOf(*current) == known->fingerprint;
        }
        if (!isKnownVersion || !known->keepAs.isEmpty()) {
            if (!current)
                current = readWholeFile(target).bytes;
            const QLatin1StringView why = isKnownVersion ? known->keepAs
                : current && isReadable(*current)      ? QLatin1StringView("replaced")
                                                       : QLatin1StringView("unreadable");
            const ZulResult<QString> kept = keepBeside(target, why, nullptr, current ? &*current : nullptr);
            if (!kept)
                return failure(QStringLiteral("%1 is not the version last read or written here and "
                                              "cannot be moved aside (%2); nothing was written")
                                   .arg(path, kept.error()));
            saved.preservedFilePath = kept.value();
            record.known.reset();
        }
    }

    const SharedFile::Replaced written = SharedFile::replaceWhole(path, bytes);
    if (!written.failure.isEmpty())
        return failure(QStringLiteral("%1 cannot be written: %2").arg(path, written.failure));
    record.known = KnownVersion{stampOf(written.info), fingerprintOf(bytes), {}};
    if (notes)
        record.knownNotes.emplace(notes->cbegin(), notes->cend());
    return Result::success(saved);
}

ZulResult<QByteArray> ZulStorageService::encodeNotes(const QList<ZulNote> &notes)
{
    return ZulNotesFileAssembler().assemble(notes);
}

ZulResult<QList<ZulNote>> ZulStorageService::decodeNotes(const QByteArray &bytes)
{
    using Result = ZulResult<QList<ZulNote>>;
    ZulResult<ZulDecodedNotes> decoded = decodeReadableNotes(bytes);
    if (!decoded)
        return Result::failure(decoded.error());
    if (decoded.value().unreadableCount > 0)
        return Result::failure(decoded.value().problem);
    return Result::success(std::move(decoded.value().notes));
}

ZulResult<ZulDecodedNotes> ZulStorageService::decodeReadableNotes(const QByteArray &bytes)
{
    using Result = ZulResult<ZulDecodedNotes>;
    if (bytes.size() >= kParallelDecodeFrom) {
        if (std::optional<ZulDecodedNotes> decoded = decodeNotesInParallel(bytes))
            return Result::success(std::move(*decoded));
    }
    const ZulResult<QJsonValue> json = parseJson(bytes);
    if (!json)
        return Result::failure(json.error());
    if (!json.value().isArray())
        return Result::failure(QStringLiteral("not a JSON array of notes"));
    const QJsonArray array = json.value().toArray();
    ZulDecodedNotes decoded;
    decoded.notes.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        ZulResult<ZulNote> note = ZulNote::fromJson(array.at(i));
        if (note) {
            decoded.notes.append(std::move(note).value());
        } else if (decoded.unreadableCount++ == 0) {
            decoded.problem = QStringLiteral("note %1: %2").arg(i + 1).arg(note.error());
        }
    }
    return Result::success(std::move(decoded));
}

QList<ZulNote> ZulStorageService::loadNotes() const
{
    return loadNotesReporting().notes;
}

ZulNotesLoadReport ZulStorageService::loadNotesReporting() const
{
    ZulNotesLoadReport report;
    const QString path = notesFileURL();

    if (!QFileInfo::exists(path)) {
        report.outcome = ZulNotesLoadOutcome::starterNotesCreated;
        report.notes = makeStarterNotes(nowToTheSecond());
        const ZulResult<void> folder = ensureDirectoryExists();
        if (!folder) {
            report.problem = folder.error();
            return report;
        }
        const ZulResult<QByteArray> bytes = assembleNotesFile(path, report.notes);
        if (!bytes) {
            report.problem = bytes.error();
            return report;
        }
        const ZulResult<ZulSavedFile> saved = writeFile(path, bytes.value(), &notesAreReadable, &report.notes);
        if (!saved)
            report.problem = saved.error();
        return report;
    }

    ZulLoadReport<std::optional<ZulDecodedNotes>> loaded = loadFile<ZulDecodedNotes>(
        path, &decodeReadableNotes,
        [&report, &path](ZulDecodedNotes &decoded, QString &problem) {
            return mendDecodedNotes(path, decoded, report.renumberedCount, problem);
        },
        [](FileRecord &record, const std::optional<ZulDecodedNotes> &decoded) {
            // Starter notes stand in for an unreadable file: nothing of it is
            // in memory for another program's version to be compared with.
            if (decoded)
                record.knownNotes.emplace(decoded->notes.cbegin(), decoded->notes.cend());
            else
                record.knownNotes.emplace();
        });
    report.problem = loaded.problem;
    report.keptCopyPath = loaded.keptCopyPath;
    if (!loaded.value) {
        report.outcome = ZulNotesLoadOutcome::unreadable;
        report.notes = makeStarterNotes(nowToTheSecond());
        return report;
    }
    report.unreadableNoteCount = loaded.value->unreadableCount;
    report.notes = std::move(loaded.value->notes);
    preparePiecesInBackground(path, report.notes);
    return report;
}

ZulResult<ZulSavedFile> ZulStorageService::saveNotes(const QList<ZulNote> &notes) const
{
    const ZulResult<void> folder = ensureDirectoryExists();
    if (!folder)
        return ZulResult<ZulSavedFile>::failure(folder.error());
    const ZulResult<QByteArray> bytes = assembleNotesFile(notesFileURL(), notes);
    if (!bytes)
        return ZulResult<ZulSavedFile>::failure(bytes.error());
    return writeFile(notesFileURL(), bytes.value(), &notesAreReadable, &notes);
}

std::optional<ZulOutsideNotes> ZulStorageService::notesChangedOutside() const
{
    const QString path = notesFileURL();
    FileRecord &record = recordFor(path);
    const std::unique_lock lock(record.mutex, std::try_to_lock);
    if (!lock.owns_lock())
        return std::nullopt;
    const std::optional<struct stat> st = SharedFile::status(path);
    if (!st || !S_ISREG(st->st_mode))
        return std::nullopt;
    if (record.known && record.known->stamp == stampOf(*st))
        return std::nullopt;
    const ReadResult read = readWholeFile(path);
    if (!read.bytes)
        return std::nullopt;
    const Fingerprint fingerprint = fingerprintOf(*read.bytes);
    if (record.known && record.known->fingerprint == fingerprint) {
        // Touched, or copied back as it was.
        record.known->stamp = read.stamp;
        return std::nullopt;
    }
    ZulResult<ZulDecodedNotes> decoded = decodeReadableNotes(*read.bytes);
    if (!decoded)
        return std::nullopt;

    ZulOutsideNotes outside;
    if (record.knownNotes)
        outside.base = *record.knownNotes;
    int renumbered = 0;
    QString problem;
    QLatin1StringView keepAs = mendDecodedNotes(path, decoded.value(), renumbered, problem);
    outside.unreadableNoteCount = decoded.value().unreadableCount;
    if (keepAs == QLatin1StringView("unreadable")) {
        const ZulResult<QString> kept = keepBeside(path, keepAs, &*read.bytes);
        if (kept) {
            outside.keptCopyPath = kept.value();
            keepAs = {};
        }
    }
    record.known = KnownVersion{read.stamp, fingerprint, keepAs};
    record.knownNotes.emplace(decoded.value().notes.cbegin(), decoded.value().notes.cend());
    outside.notes = std::move(decoded.value().notes);
    return outside;
}

ZulConfig ZulStorageService::loadConfig() const
{
    return loadConfigReporting().value;
}

ZulLoadReport<ZulConfig> ZulStorageService::loadConfigReporting() const
{
    ZulLoadReport<std::optional<ZulConfig>> loaded =
        loadFile<ZulConfig>(configFileURL(), &decodeConfig, leaveAsRead<ZulConfig>,
                            rememberNothing<std::optional<ZulConfig>>);
    return {loaded.value.value_or(ZulConfig()).normalized(), loaded.problem, loaded.keptCopyPath};
}

ZulResult<ZulSavedFile> ZulStorageService::saveConfig(const ZulConfig &config) const
{
    const ZulResult<void> folder = ensureDirectoryExists();
    if (!folder)
        return ZulResult<ZulSavedFile>::failure(folder.error());
    return writeFile(configFileURL(), encodeJson(config.toJson()), &configIsReadable);
}

CurrencyRateTable ZulStorageService::loadCachedRates() const
{
    return loadCachedRatesReporting().value;
}

ZulLoadReport<CurrencyRateTable> ZulStorageService::loadCachedRatesReporting() const
{
    ZulLoadReport<std::optional<CurrencyRateTable>> loaded =
        loadFile<CurrencyRateTable>(ratesFileURL(), &decodeRates, leaveAsRead<CurrencyRateTable>,
                                    rememberNothing<std::optional<CurrencyRateTable>>);
    return {loaded.value ? withUsableRates(*loaded.value) : CurrencyRateTable::offlineDefaults(),
            loaded.problem, loaded.keptCopyPath};
}

ZulResult<ZulSavedFile> ZulStorageService::saveCachedRates(const CurrencyRateTable &rates) const
{
    const ZulResult<void> folder = ensureDirectoryExists();
    if (!folder)
        return ZulResult<ZulSavedFile>::failure(folder.error());
    return writeFile(ratesFileURL(), encodeJson(rates.toJson()), &ratesAreReadable);
}

qint64 ZulStorageService::totalStorageBytes() const
{
    qint64 total = 0;
    for (const QString &path : {notesFileURL(), configFileURL(), ratesFileURL()}) {
        if (const std::optional<struct stat> st = SharedFile::status(path))
            total += qint64(st->st_size);
    }
    return total;
}

ZulStorageService::TidyResult ZulStorageService::tidyEphemeralNotes(const QList<ZulNote> &notes,
                                                                    qint64 maxAgeHours,
                                                                    const QDateTime &now)
{
    TidyResult result;
    if (maxAgeHours < 1) {
        result.kept = notes;
        return result;
    }
    const double limitSeconds = double(maxAgeHours) * 3600.0;
    result.kept.reserve(notes.size());
    for (const ZulNote &note : notes) {
        const double ageSeconds = double(note.updatedAt.msecsTo(now)) / 1000.0;
        const bool expired = note.isEphemeral && !note.isPinned && !note.isFloatingSticky
            && ageSeconds >= limitSeconds;
        if (expired)
            ++result.removedCount;
        else
            result.kept.append(note);
    }
    return result;
}

QList<ZulNote> ZulStorageService::makeStarterNotes(const QDateTime &now)
{
    const QString budget = joinLines({
        "# Aylık Bütçe & Hızlı Hesaplama",
        "maaş = 95000",
        "kira = 25000",
        "aidat = 3200",
        "sabit_gider = kira + aidat",
        "kalan = maaş - sabit_gider",
        "",
        "# Proje Maliyetleri & KDV",
        "Tasarım: 12000 TL",
        "Fatura: 1850 + %20 KDV",
        "İndirimli Paket: 4500 - 15%",
        "Sunucu: 45 USD to TRY",
        "toplam",
        "",
        "# Döviz, Birim & Tarih Dönüşümleri",
        "250 USD to TRY",
        "100 EUR -> TL",
        "24 px to rem",
        "12 km to mi",
        "32 c to f",
        "bugün + 14 gün",
        "",
        "# Yapılacaklar",
        "- [x] Sabit giderleri hesapla",
        "- [x] KDV tutarlarını doğrula",
        "- [ ] Sunucu faturasını öde",
        "- [ ] Aylık raporu Markdown olarak dışa aktar",
    });
    const QString scratch = joinLines({
        "# Hızlı Karalama & Toplantı Notları",
        "// Ctrl+Alt+N ile Ekran Kenarı Çekmecesini, Ctrl+Alt+Shift+N ile Yüzen Yapışkan Not açabilirsin.",
        "",
        "Kahve: 145",
        "Öğle Yemeği: 380",
        "Ulaşım: 120",
        "toplam",
        "ortalama",
        "",
        "# Sprint Hedefleri",
        "today + 2 weeks",
        "20% of 5000",
        "sqrt(144) + round(3.14159, 2)",
        "",
        "- [x] VeskZul kurulumu tamamlandı",
        "- [ ] Önemli notu masaüstüne yapışkan olarak sabitle",
    });
    const QDateTime earlier = now.addSecs(-60);
    return {
        ZulNote(QUuid::createUuid(), QString::fromUtf8("Bütçe & Hesaplama Oyun Alanı"), budget,
                ZulNoteTint::indigo, true, false, false, std::nullopt,
                {QString::fromUtf8("bütçe"), QStringLiteral("hesaplama"), QStringLiteral("rehber")},
                now, now),
        ZulNote(QUuid::createUuid(), QString::fromUtf8("Hızlı Karalama & Snippetler"), scratch,
                ZulNoteTint::cyan, false, false, false, std::nullopt,
                {QStringLiteral("karalama"), QStringLiteral("sprint")}, earlier, earlier),
    };
}
