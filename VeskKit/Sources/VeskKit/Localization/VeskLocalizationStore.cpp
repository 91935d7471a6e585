#include "VeskKit/Localization/VeskLocalizationStore.h"

#include "LzfseDecoder.h"
#include "SharedFile.h"
#include "UserFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Catalogs are small; anything bigger is not one, and reading it whole would
// only cost memory. A compressed catalog may not unpack to more either: it is
// read on the way to the first window.
constexpr qint64 kMaxCatalogFileSize = 16 * 1024 * 1024;

std::optional<QByteArray> decompressed(const QByteArray &bytes)
{
    return LzfseDecoder::decode(bytes, kMaxCatalogFileSize);
}

// A FIFO or device under a catalog's name is skipped, never waited for.
std::optional<QByteArray> readWholeFile(const QString &path, QString *detail = nullptr)
{
    if (path.startsWith(u':')) {
        // Compiled into the program: nothing else can stand in its place.
        QFile resource(path);
        if (!resource.open(QIODevice::ReadOnly)) {
            if (detail)
                *detail = resource.errorString();
            return std::nullopt;
        }
        if (resource.size() > kMaxCatalogFileSize) {
            if (detail)
                *detail = QStringLiteral("larger than %1 bytes").arg(kMaxCatalogFileSize);
            return std::nullopt;
        }
        return resource.readAll();
    }
    SharedFile::Contents contents = SharedFile::readReporting(path, kMaxCatalogFileSize);
    if (contents.failure && detail)
        *detail = contents.failure.describe();
    return std::move(contents.bytes);
}

bool isCompressed(const QString &path)
{
    return QFileInfo(path).suffix().compare(QLatin1StringView("lzfse"), Qt::CaseInsensitive) == 0;
}

QString canonicalDirectory(const QString &directory)
{
    return QDir::cleanPath(QDir(directory).absolutePath());
}

// The kit's own folder in a source checkout, found from this file's path at
// build time; it matters only when running from that checkout.
QString developmentDirectory()
{
    QDir dir = QFileInfo(QStringLiteral(__FILE__)).absoluteDir();  // .../Localization
    for (int up = 0; up < 3; ++up)
        dir.cdUp();  // VeskKit, Sources, then the kit's root
    return dir.filePath(QStringLiteral("Resources/Localizations"));
}

struct CatalogSources {
    QHash<QString, QString> strings;
    QMap<QString, QString> templates;
};

// Merges one file into `into`; false when the file is not a usable catalog.
bool mergeCatalogFile(const QString &path, CatalogSources &into)
{
    auto bytes = readWholeFile(path);
    if (!bytes)
        return false;
    if (isCompressed(path)) {
        bytes = decompressed(*bytes);
        if (!bytes)
            return false;
    }
    const auto object = VeskLocalizationPack::parseObject(*bytes);
    if (!object)
        return false;
    const auto mergeNonEmpty = [](const QMap<QString, QString> &from, auto &to) {
        for (auto it = from.cbegin(); it != from.cend(); ++it)
            if (!it.value().isEmpty())
                to.insert(it.key(), it.value());
    };
    if (const auto pack = VeskLocalizationPack::fromJson(*object);
        pack && (!pack->strings.isEmpty() || !pack->templates.isEmpty())) {
        mergeNonEmpty(pack->strings, into.strings);
        mergeNonEmpty(pack->templates, into.templates);
        return true;
    }
    if (const auto flat = VeskLocalizationPack::flatStringsFromJson(*object)) {
        mergeNonEmpty(*flat, into.strings);
        return true;
    }
    return false;
}

} // namespace

VeskLocalizationStore &VeskLocalizationStore::shared()
{
    static VeskLocalizationStore store;
    return store;
}

VeskLocalizationStore::VeskLocalizationStore(const QStringList &searchDirectories)
    : m_extraSearchDirectories(searchDirectories)
{
}

QString VeskLocalizationStore::resolve(const std::optional<QString> &key, const QString &en,
                                       const QString &tr, VeskLanguage language) const
{
    if (m_hasCustomOverrides.load(std::memory_order_acquire)) {
        QMutexLocker locker(&m_lock);
        if (key) {
            const auto it = m_customOverrides.constFind(*key);
            if (it != m_customOverrides.cend() && !it->isEmpty())
                return *it;
        }
        const auto it = m_customOverrides.constFind(en);
        if (it != m_customOverrides.cend() && !it->isEmpty())
            return *it;
    }
    if (language == VeskLanguage::en)
        return en;
    if (language == VeskLanguage::tr)
        return tr.isEmpty() ? en : tr;
    if (auto text = catalog(language.rawValue())->lookup(key, en))
        return *text;
    if (const auto parent = language.fallbackParent())
        if (auto text = catalog(parent->rawValue())->lookup(key, en))
            return *text;
    return en;
}

QString VeskLocalizationStore::string(const QString &key, const QString &en, const QString &tr,
                                      VeskLanguage language) const
{
    return resolve(key, en, tr, language);
}

void VeskLocalizationStore::preloadIfNeeded(VeskLanguage language) const
{
    if (language == VeskLanguage::en || language == VeskLanguage::tr)
        return;
    catalog(language.rawValue());
}

std::optional<VeskLocalizationPackError> VeskLocalizationStore::loadJSONPack(const QString &filePath)
{
    QString detail;
    auto bytes = readWholeFile(filePath, &detail);
    if (!bytes)
        return VeskLocalizationPackError{VeskLocalizationPackError::Kind::unreadable, detail};
    if (isCompressed(filePath)) {
        bytes = decompressed(*bytes);
        if (!bytes)
            return VeskLocalizationPackError{VeskLocalizationPackError::Kind::notDecompressible,
                                             QStringLiteral("not a valid LZFSE stream")};
    }
    const auto object = VeskLocalizationPack::parseObject(*bytes, &detail);
    if (!object)
        return VeskLocalizationPackError{VeskLocalizationPackError::Kind::notDecodable, detail};
    QMap<QString, QString> strings;
    if (const auto flat = VeskLocalizationPack::flatStringsFromJson(*object)) {
        strings = *flat;
    } else if (const auto pack = VeskLocalizationPack::fromJson(*object)) {
        strings = pack->strings;
    } else {
        return VeskLocalizationPackError{
            VeskLocalizationPackError::Kind::notDecodable,
            QStringLiteral("neither a flat catalog nor a language pack")};
    }

    QHash<QString, QString> overrides;
    overrides.reserve(strings.size());
    for (auto it = strings.cbegin(); it != strings.cend(); ++it)
        overrides.insert(it.key(), it.value());
    QMutexLocker locker(&m_lock);
    m_customOverrides = std::move(overrides);
    m_hasCustomOverrides.store(!m_customOverrides.isEmpty(), std::memory_order_release);
    return std::nullopt;
}

void VeskLocalizationStore::clearCustomPack()
{
    QMutexLocker locker(&m_lock);
    m_customOverrides.clear();
    m_hasCustomOverrides.store(false, std::memory_order_release);
}

void VeskLocalizationStore::reloadCatalogs()
{
    QMutexLocker locker(&m_lock);
    m_loadedCatalogs.clear();
    ++m_cacheGeneration;
}

void VeskLocalizationStore::registerSearchDirectory(const QString &directory)
{
    const QString location = canonicalDirectory(directory);
    QMutexLocker locker(&m_lock);
    bool known = false;
    for (const QString &existing : std::as_const(m_extraSearchDirectories))
        known = known || canonicalDirectory(existing) == location;
    if (!known)
        m_extraSearchDirectories.prepend(location);
    m_loadedCatalogs.clear();
    ++m_cacheGeneration;
}

QString VeskLocalizationStore::sharedSuiteLocalizationsDirectory()
{
    return UserFolders::dataHome() + QStringLiteral("/Quarnell/Localizations");
}

QString VeskLocalizationStore::customLanguagePacksDirectory()
{
    return sharedSuiteLocalizationsDirectory() + QStringLiteral("/Custom");
}

QString VeskLocalizationStore::applicationResourcesDirectory()
{
    return QStringLiteral(":/Localizations");
}

std::shared_ptr<const LoadedLanguageCatalog> VeskLocalizationStore::catalog(const QString &code) const
{
    QStringList extraDirectories;
    quint64 generation = 0;
    {
        QMutexLocker locker(&m_lock);
        const auto it = m_loadedCatalogs.constFind(code);
        if (it != m_loadedCatalogs.cend())
            return *it;
        extraDirectories = m_extraSearchDirectories;
        generation = m_cacheGeneration;
    }
    auto loaded = loadCatalogFromDisk(code, extraDirectories);
    QMutexLocker locker(&m_lock);
    if (generation == m_cacheGeneration)
        m_loadedCatalogs.insert(code, loaded);
    return loaded;
}

std::shared_ptr<const LoadedLanguageCatalog>
VeskLocalizationStore::loadCatalogFromDisk(const QString &code, const QStringList &extraDirectories)
{
    const QStringList directories = QStringList(extraDirectories)
                                    << customLanguagePacksDirectory()
                                    << applicationResourcesDirectory()
                                    << sharedSuiteLocalizationsDirectory()
                                    << developmentDirectory();
    const QStringList names = {code + QStringLiteral(".json.lzfse"), code + QStringLiteral(".json")};

    // Lowest precedence first, so that what an earlier directory says replaces it.
    CatalogSources sources;
    for (auto dir = directories.crbegin(); dir != directories.crend(); ++dir) {
        for (const QString &name : names)
            if (mergeCatalogFile(*dir + QLatin1Char('/') + name, sources))
                break;
    }
    if (sources.strings.isEmpty() && sources.templates.isEmpty())
        return LoadedLanguageCatalog::empty();
    return std::make_shared<const LoadedLanguageCatalog>(
        LoadedLanguageCatalog::compile(sources.strings, sources.templates));
}
