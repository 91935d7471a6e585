#pragma once

#include "FolderLock.h"
#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>

#include <optional>

// One running copy writes the data folder at a time. A second launch
// normally hands over to the running copy; when that copy does not answer
// (stopped, hung), both would otherwise save over each other. The lock is
// taken before anything in the folder is read or written, and held until
// the process ends.
namespace ZulDataFolderClaim {

// The lock file's name inside the data folder.
inline constexpr const char *lockFileName = "veskzul.lock";

// The held lock (or one that cannot be had where the file system keeps
// none: the run then goes on unguarded). Nothing when another process holds
// the folder: the user has been told on standard error and in a dialog, and
// the caller must end without touching the folder. No dialog where nothing
// is on a screen (offscreen, minimal): nobody could close it.
std::optional<FolderLock> take(const QString &folder, VeskLanguage language);

// What the user is told when the folder is taken.
QString refusalText(const QString &folder, VeskLanguage language);

} // namespace ZulDataFolderClaim
