#include "VeskKit/System/VeskSuiteWorkspace.h"

#include "VeskKit/System/VeskSingleInstance.h"

#include "DesktopEntry.h"
#include "ProcessTable.h"
#include "UserFolders.h"

#include <QDir>

namespace VeskSuiteWorkspace {

namespace {

// Only a short wait: the request is a few bytes to a local socket, and the
// caller is usually a button on the main thread.
constexpr int reopenTimeoutMs = 500;

} // namespace

QList<VeskRunningApplication> runningApplications()
{
    QList<VeskRunningApplication> applications;
    for (const RunningProcess &process : ProcessTable::userProcesses())
        applications.append({process.pid, std::nullopt, process.name});
    return applications;
}

QStringList applicationFolders()
{
    QStringList folders;
    folders << UserFolders::dataHome() + QStringLiteral("/applications");
    QString systemDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (systemDirs.isEmpty())
        systemDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString &dir : systemDirs.split(u':', Qt::SkipEmptyParts))
        if (QDir::isAbsolutePath(dir))
            folders << dir + QStringLiteral("/applications");
    return folders;
}

void activate(const QString &bundleIdentifier)
{
    VeskSingleInstance::requestReopen(bundleIdentifier, reopenTimeoutMs);
}

bool openApplication(const QUrl &location, bool activates)
{
    Q_UNUSED(activates);
    if (!location.isLocalFile())
        return false;
    return DesktopEntry::launch(location.toLocalFile());
}

} // namespace VeskSuiteWorkspace
