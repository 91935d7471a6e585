#pragma once

#include <QString>
#include <QVariant>

#include <optional>

// The application's user defaults: an INI file per application,
// $XDG_CONFIG_HOME/Quarnell/<application name>.ini. Every call reads or writes
// the file afresh, so another process's change is seen at the next read.
// It is the file QSettings itself picks for organization "Quarnell" in INI
// form, so code reaching the defaults through QSettings shares it.
namespace VeskUserDefaults {

QString filePath();

// The string stored under `key`; nullopt when the key is missing or holds
// something other than a single string.
std::optional<QString> string(const QString &key);

// False when the file could not be written.
bool setString(const QString &key, const QString &value);

// Any value QSettings keeps (bytes, a rectangle); invalid when missing.
QVariant value(const QString &key);
bool setValue(const QString &key, const QVariant &value);

} // namespace VeskUserDefaults
