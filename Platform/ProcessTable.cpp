#include "ProcessTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>
#include <unistd.h>

namespace ProcessTable {

namespace {

// The pid folders are all-digit names; everything else in /proc is not a
// process.
std::optional<qint64> pidFromName(const QString &name)
{
    if (name.isEmpty() || name.size() > 10)
        return std::nullopt;
    for (QChar c : name)
        if (c < u'0' || c > u'9')
            return std::nullopt;
    const qint64 pid = name.toLongLong();
    return pid > 0 ? std::optional<qint64>(pid) : std::nullopt;
}

QByteArray readSmall(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(limit);
}

QString programName(const QString &folder)
{
    // argv[0] runs up to the first NUL; a kernel thread has no command line.
    const QByteArray cmdline = readSmall(folder + QStringLiteral("/cmdline"), 4096);
    const qsizetype end = cmdline.indexOf('\0');
    const QString argv0 = QString::fromLocal8Bit(end < 0 ? cmdline : cmdline.left(end));
    return argv0.mid(argv0.lastIndexOf(u'/') + 1);
}

} // namespace

QList<RunningProcess> userProcesses(const QString &procRoot)
{
    QList<RunningProcess> processes;
    const QDir root(procRoot);
    const uint me = ::getuid();
    const QStringList entries = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        const std::optional<qint64> pid = pidFromName(entry);
        if (!pid)
            continue;
        const QString folder = root.filePath(entry);
        // The folder belongs to the process's real owner.
        if (QFileInfo(folder).ownerId() != me)
            continue;
        const QString name = programName(folder);
        // No command line: a kernel thread, or a process that is exiting.
        if (name.isEmpty())
            continue;
        processes.append({*pid, name});
    }
    std::sort(processes.begin(), processes.end(),
              [](const RunningProcess &a, const RunningProcess &b) { return a.pid < b.pid; });
    return processes;
}

} // namespace ProcessTable
