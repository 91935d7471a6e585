#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

// Reading and starting freedesktop desktop entries (.desktop files), the way a
// desktop's launcher does: the Exec key of the [Desktop Entry] group is
// unescaped, split into arguments with its quoting rules, and its field codes
// are filled in for a launch without files (%i, %c and %k) or dropped.
namespace DesktopEntry {

// The value of `key` in the [Desktop Entry] group, string escapes (\s \n \t
// \r \\) undone; nothing when the key is missing or the file is no regular
// file of at most 1 MiB.
std::optional<QString> value(const QString &entryPath, const QString &key);

// Every key of the [Desktop Entry] group with its unescaped value; nothing
// when the file is no regular file of at most 1 MiB.
std::optional<QHash<QString, QString>> values(const QString &entryPath);

// The program and its arguments; nothing when the entry cannot be read, has
// no Exec key, or its Exec value is malformed (an unclosed quote, a reserved
// character outside quotes, an unknown field code).
std::optional<QStringList> command(const QString &entryPath);

// Splits an Exec value that has already been string-unescaped; the same
// rules as command(), with `entryPath`, `name` and `icon` filling %k, %c, %i.
std::optional<QStringList> splitExec(const QString &exec, const QString &entryPath = {},
                                     const QString &name = {}, const QString &icon = {});

// Starts the entry's command detached from this process (a program without
// a folder is looked up along PATH). True when the program was started.
bool launch(const QString &entryPath);

} // namespace DesktopEntry
