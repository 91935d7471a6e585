#pragma once

#include "VeskKit/Utilities/VeskBundle.h"

#include <QString>
#include <QStringList>

#include <optional>

// Finds a command-line tool's executable by name.
namespace VeskBinaryLocator {

// Candidates, in order: <resources>/bin/<name> and <resources>/<name> (when
// the bundle's resources are a folder on disk: compiled-in resources hold no
// executables), each extra
// folder, /opt/homebrew/bin, /usr/local/bin, /usr/bin, /bin, then every
// non-empty piece of $PATH. Returns the absolute path of the first candidate
// that is an executable regular file (directories are passed over), or
// nothing.
std::optional<QString> locate(const QString& name, const VeskBundle& bundle = VeskBundle::main(),
                              const QStringList& extraSearchDirectories = {});

// The ordered candidate paths locate() looks at, without checking any.
QStringList candidates(const QString& name, const VeskBundle& bundle = VeskBundle::main(),
                       const QStringList& extraSearchDirectories = {});

} // namespace VeskBinaryLocator
