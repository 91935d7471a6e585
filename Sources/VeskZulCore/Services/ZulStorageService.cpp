#include "Services/ZulStorageService.h"

#include "Models/ZulIsoDate.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

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

QString systemError(int code)
{
    return QString::fromStdString(std::generic_category().message(code));
}

struct ReadResult {
    std::optional<QByteArray> bytes;
    FileStamp stamp;
    QString error;
};

ReadResult readWholeFile(const QString &path)
{
    ReadResult result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("%1 cannot be opened: %2").arg(path, file.errorString());
        return result;
    }
    struct stat st;
    if (::fstat(file.handle(), &st) != 0) {
        result.error = QStringLiteral("%1 cannot be examined: %2").arg(path, systemError(errno));
        return result;
    }
    if (!S_ISREG(st.st_mode)) {
        result.error = QStringLiteral("%1 is not a regular file").arg(path);
        return result;
    }
    result.stamp = stampOf(st);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return result;
    }
    result.bytes = std::move(bytes);
    return result;
}

// Pretty-printed with keys in ascending order (QJsonObject keeps them sorted).
QByteArray encodeJson(const QJsonDocument &document)
{
    return document.toJson(QJsonDocument::Indented);
}

std::optional<QJsonDocument> parseJson(const QByteArray &bytes, QString *error)
{
    QJsonParseError parseError;
    QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = QStringLiteral("not valid JSON at byte %1: %2")
                         .arg(parseError.offset)
                         .arg(parseError.errorString());
        return std::nullopt;
    }
    return document;
}

std::optional<ZulConfig> decodeConfig(const QByteArray &bytes, QString *error)
{
    const std::optional<QJsonDocument> document = parseJson(bytes, error);
    if (!document)
        return std::nullopt;
    // A bare scalar or array parses but is not a settings object.
    const QJsonValue value = document->isObject() ? QJsonValue(document->object())
                                                  : QJsonValue(document->array());
    return ZulConfig::fromJson(value, error);
}

bool notesAreReadable(const QByteArray &bytes)
{
    return ZulStorageService::decodeNotes(bytes).has_value();
}

bool configIsReadable(const QByteArray &bytes)
{
    return decodeConfig(bytes, nullptr).has_value();
}

// The name an unreadable file is kept under: what it was, that it could not
// be read, and when it was moved aside.
QString preservedNameStem(const QString &path)
{
    QString when = ZulIsoDate::format(QDateTime::currentDateTimeUtc());
    when.remove(u'-').remove(u':');
    return path + QStringLiteral(".unreadable-") + when;
}

// Without this the rename itself may not survive a power cut.
void syncDirectory(const QString &directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
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

struct ZulStorageService::SharedState {
    std::mutex mutex;
    // The last version of each file this service read and decoded or wrote
    // itself; a file that still matches needs no check before it is replaced.
    QHash<QString, FileStamp> knownReadable;
    // The version of each file a load found unreadable, so the save that
    // follows moves it aside without reading it all over again.
    QHash<QString, FileStamp> knownUnreadable;

    void remember(const QString &path, const FileStamp &stamp, bool readable)
    {
        const std::lock_guard lock(mutex);
        (readable ? knownReadable : knownUnreadable).insert(path, stamp);
        (readable ? knownUnreadable : knownReadable).remove(path);
    }
};

ZulStorageService::ZulStorageService(const std::optional<QString> &baseDirectory)
    : m_baseDirectory(baseDirectory ? *baseDirectory : defaultBaseDirectory()),
      m_state(std::make_shared<SharedState>())
{
}

QString ZulStorageService::defaultBaseDirectory()
{
    QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (dataHome.isEmpty())
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return dataHome + QStringLiteral("/Quarnell/VeskZul");
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

std::optional<QString> ZulStorageService::ensureDirectoryExists() const
{
    std::error_code code;
    std::filesystem::create_directories(QFile::encodeName(m_baseDirectory).toStdString(), code);
    if (code)
        return QStringLiteral("The folder %1 cannot be created: %2")
            .arg(m_baseDirectory, QString::fromStdString(code.message()));
    return std::nullopt;
}

ZulStorageSaveResult ZulStorageService::writeFile(const QString &path, const QByteArray &bytes,
                                                  Validator isReadable) const
{
    ZulStorageSaveResult result;
    const std::lock_guard lock(m_state->mutex);

    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            result.error = QStringLiteral("%1 is not a regular file; nothing was written").arg(path);
            return result;
        }
        const FileStamp current = stampOf(st);
        const auto seenAs = [&](const QHash<QString, FileStamp> &known) {
            const auto it = known.constFind(path);
            return it != known.cend() && *it == current;
        };
        if (!seenAs(m_state->knownReadable)) {
            bool readable = false;
            if (!seenAs(m_state->knownUnreadable)) {
                const ReadResult existing = readWholeFile(path);
                readable = existing.bytes && isReadable(*existing.bytes);
            }
            if (!readable) {
                const QString stem = preservedNameStem(path);
                for (int attempt = 1; attempt <= 1000 && result.preservedFilePath.isEmpty(); ++attempt) {
                    const QString candidate =
                        attempt == 1 ? stem : stem + u'-' + QString::number(attempt);
                    if (QFileInfo::exists(candidate))
                        continue;
                    // QFile::rename never replaces an existing file.
                    QFile old(path);
                    if (old.rename(candidate)) {
                        result.preservedFilePath = candidate;
                        m_state->knownUnreadable.remove(path);
                    } else if (!QFileInfo::exists(candidate)) {
                        result.error = QStringLiteral("%1 cannot be read and cannot be moved aside "
                                                      "(%2); nothing was written")
                                           .arg(path, old.errorString());
                        return result;
                    }
                }
                if (result.preservedFilePath.isEmpty()) {
                    result.error = QStringLiteral("%1 cannot be read and no free name was found to "
                                                  "keep it under; nothing was written")
                                       .arg(path);
                    return result;
                }
            }
        }
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return result;
    }
    if (file.write(bytes) != bytes.size()) {
        result.error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        file.cancelWriting();
        return result;
    }
    FileStamp written;
    const bool stamped = file.flush() && ::fstat(file.handle(), &st) == 0;
    if (stamped)
        written = stampOf(st);
    if (!file.commit()) {
        result.error = QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString());
        return result;
    }
    syncDirectory(m_baseDirectory);
    m_state->knownUnreadable.remove(path);
    if (stamped)
        m_state->knownReadable.insert(path, written);
    else
        m_state->knownReadable.remove(path);
    return result;
}

std::optional<QByteArray> ZulStorageService::encodeNotes(const QList<ZulNote> &notes, QString *error)
{
    QJsonArray array;
    for (const ZulNote &note : notes) {
        // A date the file's form cannot hold would make the whole file unreadable later.
        if (!ZulIsoDate::isEncodable(note.createdAt) || !ZulIsoDate::isEncodable(note.updatedAt)) {
            if (error)
                *error = QStringLiteral("note %1 has a date that cannot be written")
                             .arg(note.id.toString(QUuid::WithoutBraces));
            return std::nullopt;
        }
        array.append(note.toJson());
    }
    return encodeJson(QJsonDocument(array));
}

std::optional<QList<ZulNote>> ZulStorageService::decodeNotes(const QByteArray &bytes, QString *error)
{
    const std::optional<QJsonDocument> document = parseJson(bytes, error);
    if (!document)
        return std::nullopt;
    if (!document->isArray()) {
        if (error)
            *error = QStringLiteral("not a JSON array of notes");
        return std::nullopt;
    }
    const QJsonArray array = document->array();
    QList<ZulNote> notes;
    notes.reserve(array.size());
    QString why;
    for (qsizetype i = 0; i < array.size(); ++i) {
        std::optional<ZulNote> note = ZulNote::fromJson(array.at(i), error ? &why : nullptr);
        if (!note) {
            if (error)
                *error = QStringLiteral("note %1: %2").arg(i + 1).arg(why);
            return std::nullopt;
        }
        notes.append(std::move(*note));
    }
    return notes;
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
        if (const std::optional<QString> folderError = ensureDirectoryExists()) {
            report.problem = *folderError;
            return report;
        }
        QString encodeError;
        const std::optional<QByteArray> bytes = encodeNotes(report.notes, &encodeError);
        if (!bytes) {
            report.problem = encodeError;
            return report;
        }
        const ZulStorageSaveResult saved = writeFile(path, *bytes, &notesAreReadable);
        if (saved.error)
            report.problem = *saved.error;
        return report;
    }

    const ReadResult read = readWholeFile(path);
    QString decodeError;
    std::optional<QList<ZulNote>> notes;
    if (read.bytes)
        notes = decodeNotes(*read.bytes, &decodeError);
    if (!notes) {
        if (read.bytes)
            m_state->remember(path, read.stamp, false);
        report.outcome = ZulNotesLoadOutcome::unreadable;
        report.problem = read.bytes ? QStringLiteral("%1 cannot be decoded: %2").arg(path, decodeError)
                                    : read.error;
        report.notes = makeStarterNotes(nowToTheSecond());
        return report;
    }
    m_state->remember(path, read.stamp, true);
    report.notes = std::move(*notes);
    return report;
}

ZulStorageSaveResult ZulStorageService::saveNotes(const QList<ZulNote> &notes) const
{
    if (const std::optional<QString> folderError = ensureDirectoryExists())
        return ZulStorageSaveResult{folderError, {}};
    QString encodeError;
    const std::optional<QByteArray> bytes = encodeNotes(notes, &encodeError);
    if (!bytes)
        return ZulStorageSaveResult{encodeError, {}};
    return writeFile(notesFileURL(), *bytes, &notesAreReadable);
}

ZulConfig ZulStorageService::loadConfig() const
{
    const QString path = configFileURL();
    const ReadResult read = readWholeFile(path);
    if (!read.bytes)
        return ZulConfig();
    std::optional<ZulConfig> config = decodeConfig(*read.bytes, nullptr);
    m_state->remember(path, read.stamp, config.has_value());
    if (!config)
        return ZulConfig();
    return *config;
}

ZulStorageSaveResult ZulStorageService::saveConfig(const ZulConfig &config) const
{
    if (const std::optional<QString> folderError = ensureDirectoryExists())
        return ZulStorageSaveResult{folderError, {}};
    return writeFile(configFileURL(), encodeJson(QJsonDocument(config.toJson())), &configIsReadable);
}

qint64 ZulStorageService::totalStorageBytes() const
{
    qint64 total = 0;
    for (const QString &path : {notesFileURL(), configFileURL(), ratesFileURL()}) {
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) == 0)
            total += qint64(st.st_size);
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
        "// ⌥⌘N ile Ekran Kenarı Çekmecesini, ⇧⌥⌘N ile Yüzen Yapışkan Not açabilirsin.",
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
