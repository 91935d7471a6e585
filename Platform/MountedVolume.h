#pragma once

#include <QString>

#include <optional>

// Disk images the user mounts appear as folders named after their volume in
// the user's media folder. These answer whether a file system is mounted at a
// folder and how large it is.
struct VolumeSpace {
    qint64 totalBytes = 0;
    qint64 availableBytes = 0;
};

namespace MountedVolume {

// "/media/<user name>": where udisks mounts the user's volumes on Debian.
QString userMediaFolder();

// The size of the file system mounted exactly at `path`; nothing when the
// path is missing, is not a folder, or is an ordinary folder of the file
// system around it.
std::optional<VolumeSpace> spaceAt(const QString &path);

} // namespace MountedVolume
