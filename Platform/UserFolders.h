#pragma once

#include <QString>

// The user's base folders as the XDG rules name them, with none of them ever
// falling back to the root of the file system: a variable that is unset,
// empty or relative gives way to its default below the home folder, and
// without HOME the home folder is the account's own, from the password
// database. A folder whose name holds bytes that are not UTF-8 keeps those
// bytes (see reachablePath).
namespace UserFolders {

// $HOME, or the home folder of the account the program runs as.
QString home();
// $XDG_DATA_HOME, or home()/.local/share.
QString dataHome();
// $XDG_CONFIG_HOME, or home()/.config.
QString configHome();
// $XDG_CACHE_HOME, or home()/.cache.
QString cacheHome();

// A path naming the folder `bytes` names. Qt keeps file names as UTF-16 and
// turns bytes that are not UTF-8 into U+FFFD, which names another folder; such
// a folder (made first, as the XDG rules ask, when `create` is set and it is
// missing) is opened once and reached through the descriptor for the rest of
// the run, as /proc/<process id>/fd/<descriptor>, which any program of the
// user (a file manager shown the folder) can follow while this one runs.
// Without /proc, or when the folder cannot be opened, the path as Qt decodes it.
QString reachablePath(const QByteArray &bytes, bool create);

} // namespace UserFolders
