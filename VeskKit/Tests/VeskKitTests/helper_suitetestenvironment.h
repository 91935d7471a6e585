#pragma once

// Shared pieces of the suite-integration tests: a private D-Bus session bus,
// a sibling "installed" as a desktop entry, and a process that runs under a
// sibling's name.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <memory>

// A dbus-daemon of the test's own; the user's session bus is never touched.
// Start it before anything opens the session bus: Qt connects once per
// process, to the address in DBUS_SESSION_BUS_ADDRESS at that moment.
class PrivateSessionBus
{
public:
    ~PrivateSessionBus()
    {
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            m_daemon.waitForFinished(3000);
        }
    }

    bool start()
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            return false;
        m_daemon.setProgram(program);
        m_daemon.setArguments({QStringLiteral("--session"), QStringLiteral("--print-address=1"),
                               QStringLiteral("--nofork")});
        m_daemon.setProcessChannelMode(QProcess::SeparateChannels);
        m_daemon.start();
        if (!m_daemon.waitForStarted(5000))
            return false;
        QByteArray line;
        while (!line.contains('\n') && m_daemon.waitForReadyRead(5000))
            line += m_daemon.readAllStandardOutput();
        m_address = QString::fromUtf8(line).trimmed();
        if (m_address.isEmpty())
            return false;
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toUtf8());
        return true;
    }

    QString address() const { return m_address; }

private:
    QProcess m_daemon;
    QString m_address;
};

// Points the XDG folders at a temporary home so that desktop entries, the
// suite folders and caches of a test stay inside it.
inline void useTemporaryXdgFolders(const QTemporaryDir &home)
{
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + QStringLiteral("/runtime")).toUtf8());
    qputenv("XDG_DATA_DIRS", (home.path() + QStringLiteral("/system")).toUtf8());
    for (const char *folder : {"data", "cache", "config", "runtime", "system"})
        QDir(home.path()).mkpath(QString::fromLatin1(folder));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// Writes a desktop entry for a bundle identifier into an applications
// folder; its command is `exec`.
inline QString installDesktopEntry(const QString &applicationsFolder, const QString &bundleIdentifier,
                                   const QString &exec)
{
    QDir().mkpath(applicationsFolder);
    const QString path = applicationsFolder + u'/' + bundleIdentifier + QStringLiteral(".desktop");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return {};
    file.write("[Desktop Entry]\nType=Application\nName=Sibling\nExec=" + exec.toUtf8() + "\n");
    return path;
}

// A long sleep started under the program name `name`, so the process table
// lists it as that application. Stops it when destroyed.
class NamedProcess
{
public:
    ~NamedProcess() { stop(); }

    bool start(const QTemporaryDir &folder, const QString &name)
    {
        const QString sleep = QStandardPaths::findExecutable(QStringLiteral("sleep"));
        if (sleep.isEmpty())
            return false;
        const QString copy = folder.filePath(QStringLiteral("bin/") + name);
        QDir().mkpath(QFileInfo(copy).path());
        QFile::remove(copy);
        if (!QFile::copy(sleep, copy))
            return false;
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        m_process.start(copy, {QStringLiteral("300")});
        return m_process.waitForStarted(5000);
    }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

// The id of a process that has exited and been collected.
inline qint64 exitedProcessId()
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("true")), {});
    if (!process.waitForStarted(5000))
        return -1;
    const qint64 pid = process.processId();
    process.waitForFinished(5000);
    return pid;
}
