#pragma once

#include "VeskKit/Utilities/VeskResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>
#include <system_error>
#include <type_traits>
#include <utility>

// Remembers files and folders the user chose, so they can be reopened later,
// as one map of path -> bookmark bytes under a single key of the user
// defaults (an INI file read through QSettings). Linux keeps no sandbox
// grants, so a bookmark holds the item's path, checked for existence when it
// is resolved, and scoped access never needs starting.
class VeskSecurityBookmarkStore
{
public:
    // defaultsFile is the INI file that holds the map; empty means the
    // application's own user defaults. Several stores may share one file
    // under different keys.
    explicit VeskSecurityBookmarkStore(QString storageKey, QString defaultsFile = {});

    VeskSecurityBookmarkStore(const VeskSecurityBookmarkStore&) = delete;
    VeskSecurityBookmarkStore& operator=(const VeskSecurityBookmarkStore&) = delete;

    const QString& storageKey() const { return m_storageKey; }
    const QString& defaultsFile() const { return m_defaultsFile; }

    // Stores the item's bookmark under its standardized path, replacing an
    // earlier one. Fails, storing nothing, when the item does not exist, when
    // the value under the key is not a bookmark map (it is kept, not
    // overwritten), or when the defaults cannot be written.
    VeskResult<void, std::error_code> saveBookmark(const QString& path);

    // The paths of every bookmark that still resolves, in ascending order.
    // Bookmarks that no longer resolve are skipped and stay stored.
    QStringList resolveAllBookmarks() const;

    // Removes the entry stored under exactly this path (callers pass the
    // standardized path saveBookmark used). A key holding no bookmark map is
    // left alone.
    void removeBookmark(const QString& path);

    // Runs body while the item's scoped access is held and returns its
    // result; access is stopped again on return and when body throws.
    template <typename Body>
    decltype(auto) withScopedAccess(const QString& path, Body&& body) const
    {
        const bool started = startAccessingSecurityScopedResource(path);
        struct Stop
        {
            const QString& path;
            bool started;
            ~Stop()
            {
                if (started)
                    stopAccessingSecurityScopedResource(path);
            }
        } stop{path, started};
        return std::forward<Body>(body)();
    }

    // The path with "." and ".." resolved and made absolute; the map's key.
    static QString standardizedPath(const QString& path);

    // There is no sandbox scope to enter: access "starts" for any existing
    // item, and stopping releases nothing.
    static bool startAccessingSecurityScopedResource(const QString& path);
    static void stopAccessingSecurityScopedResource(const QString& path);

    // Bookmark bytes for an existing item, and back to its path.
    static std::error_code makeBookmarkData(const QString& path, QByteArray& data);
    static std::optional<QString> resolveBookmarkData(const QByteArray& data);

private:
    QString m_storageKey;
    QString m_defaultsFile;
    mutable std::mutex m_lock;
};

// Errors of the bookmark store itself (the system's own errors are passed
// through unchanged).
enum class VeskBookmarkStoreError {
    storedValueUnreadable = 1,
    defaultsNotWritable,
};
const std::error_category& veskBookmarkStoreCategory();
std::error_code make_error_code(VeskBookmarkStoreError error);

template <>
struct std::is_error_code_enum<VeskBookmarkStoreError> : std::true_type
{
};
