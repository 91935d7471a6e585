#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

// One entry of the desktop's list of running applications, as the suite
// catalog matches it: by bundle identifier, else by its name.
struct VeskRunningApplication {
    qint64 processIdentifier = 0;
    std::optional<QString> bundleIdentifier;
    std::optional<QString> localizedName;

    bool operator==(const VeskRunningApplication &) const = default;
};

// What the suite needs of the desktop: which applications run, where an
// installed one is, and how to start or raise one.
//
// On Linux the running applications are the user's processes, named by the
// program they were started as; a process carries no bundle identifier. An
// installed application is its desktop entry "<bundle identifier>.desktop" in
// the applications folder of $XDG_DATA_HOME, else of a folder of
// $XDG_DATA_DIRS. A running suite application is raised the way a second
// launch raises it: a reopen request handed to its single-instance socket,
// which is named after its bundle identifier.
namespace VeskSuiteWorkspace {

QList<VeskRunningApplication> runningApplications();

// The folders that hold desktop entries, the user's own first.
QStringList applicationFolders();

// Asks the running application with that bundle identifier to show itself.
// Nothing is reported: an application that does not listen stays as it is.
void activate(const QString &bundleIdentifier);

// Starts the application of a desktop entry, detached. `activates` is the
// caller's wish; whether a new window takes the focus is the window
// manager's decision. False when the entry has no command, its program is
// not found or would not start.
bool openApplication(const QUrl &location, bool activates);

} // namespace VeskSuiteWorkspace
