#include "VeskKit/System/VeskSecurityBookmarkStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QVariantMap>

#include <algorithm>
#include <optional>

namespace {

const QByteArray bookmarkMagic = QByteArrayLiteral("vesk-path-bookmark:1\n");

enum class MapState { absent, readable, unreadable };

struct StoredMap
{
    MapState state = MapState::absent;
    QVariantMap entries;
};

StoredMap readMap(const QSettings& settings, const QString& key)
{
    StoredMap map;
    if (!settings.contains(key))
        return map;
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QVariantMap) {
        map.state = MapState::unreadable;
        return map;
    }
    const QVariantMap entries = value.toMap();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (it.value().typeId() != QMetaType::QByteArray) {
            map.state = MapState::unreadable;
            return map;
        }
    }
    map.state = MapState::readable;
    map.entries = entries;
    return map;
}

QString defaultDefaultsFile()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                     QCoreApplication::applicationName())
        .fileName();
}

class BookmarkStoreCategory : public std::error_category
{
public:
    const char* name() const noexcept override { return "vesk.bookmarks"; }
    std::string message(int code) const override
    {
        switch (VeskBookmarkStoreError(code)) {
        case VeskBookmarkStoreError::storedValueUnreadable:
            return "the value stored under the bookmark key is not a bookmark map";
        case VeskBookmarkStoreError::defaultsNotWritable:
            return "the user defaults could not be written";
        }
        return "unknown bookmark store error";
    }
};

} // namespace

const std::error_category& veskBookmarkStoreCategory()
{
    static const BookmarkStoreCategory category;
    return category;
}

std::error_code make_error_code(VeskBookmarkStoreError error)
{
    return {int(error), veskBookmarkStoreCategory()};
}

VeskSecurityBookmarkStore::VeskSecurityBookmarkStore(QString storageKey, QString defaultsFile)
    : m_storageKey(std::move(storageKey))
    , m_defaultsFile(defaultsFile.isEmpty() ? defaultDefaultsFile() : std::move(defaultsFile))
{
}

VeskResult<void, std::error_code> VeskSecurityBookmarkStore::saveBookmark(const QString& path)
{
    using Result = VeskResult<void, std::error_code>;
    QByteArray data;
    if (const std::error_code error = makeBookmarkData(path, data))
        return Result::failure(error);

    std::lock_guard guard(m_lock);
    QSettings settings(m_defaultsFile, QSettings::IniFormat);
    StoredMap map = readMap(settings, m_storageKey);
    // Something we cannot read is kept as it is rather than replaced.
    if (map.state == MapState::unreadable)
        return Result::failure(VeskBookmarkStoreError::storedValueUnreadable);
    map.entries.insert(standardizedPath(path), data);
    settings.setValue(m_storageKey, map.entries);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return Result::failure(VeskBookmarkStoreError::defaultsNotWritable);
    return Result::success();
}

QStringList VeskSecurityBookmarkStore::resolveAllBookmarks() const
{
    QVariantMap entries;
    {
        std::lock_guard guard(m_lock);
        const QSettings settings(m_defaultsFile, QSettings::IniFormat);
        entries = readMap(settings, m_storageKey).entries;
    }

    QStringList resolved;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        if (const auto path = resolveBookmarkData(it.value().toByteArray()))
            resolved.append(*path);
    }
    std::stable_sort(resolved.begin(), resolved.end());
    return resolved;
}

void VeskSecurityBookmarkStore::removeBookmark(const QString& path)
{
    std::lock_guard guard(m_lock);
    QSettings settings(m_defaultsFile, QSettings::IniFormat);
    StoredMap map = readMap(settings, m_storageKey);
    if (map.state == MapState::unreadable)
        return;
    map.entries.remove(path);
    settings.setValue(m_storageKey, map.entries);
    settings.sync();
}

QString VeskSecurityBookmarkStore::standardizedPath(const QString& path)
{
    if (path.isEmpty())
        return {};
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool VeskSecurityBookmarkStore::startAccessingSecurityScopedResource(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

void VeskSecurityBookmarkStore::stopAccessingSecurityScopedResource(const QString& path)
{
    Q_UNUSED(path);
}

std::error_code VeskSecurityBookmarkStore::makeBookmarkData(const QString& path, QByteArray& data)
{
    if (path.isEmpty())
        return std::make_error_code(std::errc::invalid_argument);
    const QString standardized = standardizedPath(path);
    if (!QFileInfo::exists(standardized))
        return std::make_error_code(std::errc::no_such_file_or_directory);
    data = bookmarkMagic + standardized.toUtf8();
    return {};
}

std::optional<QString> VeskSecurityBookmarkStore::resolveBookmarkData(const QByteArray& data)
{
    if (!data.startsWith(bookmarkMagic))
        return std::nullopt;
    const QString path = QString::fromUtf8(data.mid(bookmarkMagic.size()));
    if (path.isEmpty() || !QDir::isAbsolutePath(path) || !QFileInfo::exists(path))
        return std::nullopt;
    return path;
}
