#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <system_error>

// One child process started with posix_spawn: arguments go to the program as
// a list (no shell), standard input reads /dev/null, standard output and
// error come back through pipes. The child leads a process group of its own,
// so signalling it also reaches whatever it started.
class ChildProcess
{
public:
    enum class Stream { StandardOutput, StandardError };
    using ChunkHandler = std::function<void(Stream, const QByteArray&)>;

    ChildProcess() = default;
    ~ChildProcess();

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts program (a path; no search along PATH). environment holds
    // "NAME=value" items and replaces the inherited environment when given.
    // Returns the error the system reported when the program did not start.
    std::error_code start(const QString& program, const QStringList& arguments,
                          const std::optional<QString>& workingDirectory,
                          const std::optional<QStringList>& environment);

    // Waits up to timeoutMs (negative: no limit) for output or the child's
    // exit, handing every chunk read to onChunk. Returns true once the child
    // has exited; it stays unreaped (its id cannot be reused) until reap().
    bool pump(int timeoutMs, const ChunkHandler& onChunk);

    // Reads what is left in both pipes without waiting for writers that
    // outlive the child, handing each chunk to onChunk in stream order.
    void drain(const ChunkHandler& onChunk);

    // Sends sig to the child's process group until the child is reaped.
    // May be called from another thread while pump() runs; callers keep it
    // from racing reap(), after which the id may belong to someone else.
    void signalGroup(int sig);

    // Collects the exited child: its exit status, or the number of the signal
    // that ended it. Only valid after pump() returned true.
    int reap();

    bool isStarted() const { return m_pid > 0; }

private:
    void closeFd(int& fd);
    bool hasExited();
    bool readAvailable(int& fd, Stream stream, const ChunkHandler& onChunk);

    std::atomic<int> m_pid{0};
    std::atomic<bool> m_reaped{false};
    int m_stdout = -1;
    int m_stderr = -1;
    int m_pidfd = -1;
    bool m_exited = false;
};
