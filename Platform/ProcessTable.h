#pragma once

#include <QList>
#include <QString>

// The processes of the current user as /proc lists them: the stand-in for a
// desktop's list of running applications. Each process is named by the file
// name of the program it was started as (argv[0] without its folder). Kernel
// threads (no command line) and processes of other users are left out.
struct RunningProcess {
    qint64 pid = 0;
    QString name;

    bool operator==(const RunningProcess &) const = default;
};

namespace ProcessTable {

// Sorted by process id. procRoot is the folder /proc is read from, so tests
// can hand in a folder of their own; an unreadable root gives an empty list.
QList<RunningProcess> userProcesses(const QString &procRoot = QStringLiteral("/proc"));

} // namespace ProcessTable
