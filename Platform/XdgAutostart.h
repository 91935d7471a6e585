#pragma once

#include <QString>
#include <QStringList>

// Start-at-login through the freedesktop autostart folder: one desktop entry
// named after the application id in $XDG_CONFIG_HOME/autostart.
namespace XdgAutostart {

// $XDG_CONFIG_HOME/autostart (when that variable holds an absolute path),
// else ~/.config/autostart.
QString autostartDirectory();

// The entry's full path for an application id such as "com.quarnell.VeskZul".
QString entryPath(const QString& applicationId);

// True when the entry exists, is readable and says neither Hidden=true nor
// X-GNOME-Autostart-enabled=false.
bool isEnabled(const QString& applicationId);

// Writes the entry atomically, starting command[0] with the remaining
// arguments. False when the id or command is empty or the file cannot be
// written; an existing entry is then left as it was.
bool enable(const QString& applicationId, const QString& displayName, const QStringList& command);

// The command an entry should run to start `executable` (an absolute path):
// the bare program name when a search along PATH for that name finds this
// very file, as it does for an installed program, so the entry still works
// after the program is updated or reinstalled; otherwise the full path, as
// for a program run from where it was built.
QStringList launchCommand(const QString& executable);

// Removes the entry. True when no entry is left afterwards.
bool disable(const QString& applicationId);

// The value of an Exec key that runs command, quoted and escaped as desktop
// entries require (so spaces, quotes, dollars, backslashes and percent signs
// reach the program unchanged).
QString execLine(const QStringList& command);

} // namespace XdgAutostart
