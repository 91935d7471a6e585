#include "ChildProcess.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <vector>

extern char** environ;

namespace {

// Keeps the byte strings alive for as long as the char* array points at them.
class CStringArray
{
public:
    explicit CStringArray(const QStringList& items)
    {
        m_storage.reserve(items.size());
        for (const QString& item : items)
            m_storage.push_back(QFile::encodeName(item));
        for (QByteArray& bytes : m_storage)
            m_pointers.push_back(bytes.data());
        m_pointers.push_back(nullptr);
    }
    char** data() { return m_pointers.data(); }

private:
    std::vector<QByteArray> m_storage;
    std::vector<char*> m_pointers;
};

int openPidfd(pid_t pid)
{
#ifdef SYS_pidfd_open
    const long fd = syscall(SYS_pidfd_open, pid, 0);
    return fd >= 0 ? int(fd) : -1;
#else
    Q_UNUSED(pid);
    return -1;
#endif
}

void setNonBlocking(int fd)
{
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0)
        fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

} // namespace

ChildProcess::~ChildProcess()
{
    // A child still running when its owner goes away is stopped and
    // collected rather than left behind as a zombie.
    if (m_pid > 0 && !m_reaped) {
        signalGroup(SIGKILL);
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_reaped = true;
    }
    closeFd(m_stdout);
    closeFd(m_stderr);
    closeFd(m_pidfd);
}

std::error_code ChildProcess::start(const QString& program, const QStringList& arguments,
                                    const std::optional<QString>& workingDirectory,
                                    const std::optional<QStringList>& environment)
{
    if (m_pid > 0)
        return std::make_error_code(std::errc::operation_in_progress);

    int outPipe[2] = {-1, -1};
    int errPipe[2] = {-1, -1};
    if (pipe2(outPipe, O_CLOEXEC) != 0)
        return {errno, std::system_category()};
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        const int error = errno;
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return {error, std::system_category()};
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    QByteArray directory;
    if (workingDirectory) {
        directory = QFile::encodeName(*workingDirectory);
        posix_spawn_file_actions_addchdir_np(&actions, directory.constData());
    }

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, and default signal handling whatever we ignore.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigset_t noneBlocked;
    sigemptyset(&noneBlocked);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &noneBlocked);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF
                                              | POSIX_SPAWN_SETSIGMASK);

    const QByteArray path = QFile::encodeName(program);
    CStringArray argv(QStringList{program} + arguments);
    std::optional<CStringArray> envp;
    if (environment)
        envp.emplace(*environment);

    pid_t pid = 0;
    const int error = posix_spawn(&pid, path.constData(), &actions, &attributes, argv.data(),
                                  envp ? envp->data() : environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (error != 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        return {error, std::system_category()};
    }

    m_stdout = outPipe[0];
    m_stderr = errPipe[0];
    setNonBlocking(m_stdout);
    setNonBlocking(m_stderr);
    m_pidfd = openPidfd(pid);
    m_pid = pid;
    return {};
}

bool ChildProcess::pump(int timeoutMs, const ChunkHandler& onChunk)
{
    if (m_pid <= 0)
        return true;
    if (m_exited || hasExited())
        return true;

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    for (;;) {
        pollfd fds[3];
        nfds_t count = 0;
        int outIndex = -1, errIndex = -1;
        if (m_stdout >= 0) {
            outIndex = int(count);
            fds[count++] = {m_stdout, POLLIN, 0};
        }
        if (m_stderr >= 0) {
            errIndex = int(count);
            fds[count++] = {m_stderr, POLLIN, 0};
        }
        if (m_pidfd >= 0)
            fds[count++] = {m_pidfd, POLLIN, 0};

        int wait = -1;
        if (timeoutMs >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            wait = int(qMax<qint64>(0, left.count()));
        }
        // Without a pidfd, and once both pipes are closed, exits are noticed
        // by looking every few milliseconds.
        if (m_pidfd < 0)
            wait = wait < 0 ? 10 : qMin(wait, 10);

        const int ready = poll(fds, count, wait);
        if (ready < 0 && errno != EINTR)
            return hasExited();

        bool progressed = false;
        if (ready > 0) {
            if (outIndex >= 0 && fds[outIndex].revents)
                progressed |= readAvailable(m_stdout, Stream::StandardOutput, onChunk);
            if (errIndex >= 0 && fds[errIndex].revents)
                progressed |= readAvailable(m_stderr, Stream::StandardError, onChunk);
        }
        if (hasExited())
            return true;
        if (progressed)
            return false;
        if (timeoutMs >= 0 && Clock::now() >= deadline)
            return false;
    }
}

void ChildProcess::drain(const ChunkHandler& onChunk)
{
    while (m_stdout >= 0 && readAvailable(m_stdout, Stream::StandardOutput, onChunk)) {
    }
    while (m_stderr >= 0 && readAvailable(m_stderr, Stream::StandardError, onChunk)) {
    }
}

void ChildProcess::signalGroup(int sig)
{
    const pid_t pid = m_pid;
    // The group id stays reserved until the leader is reaped.
    if (pid > 0 && !m_reaped)
        ::kill(-pid, sig);
}

int ChildProcess::reap()
{
    if (m_pid <= 0)
        return -1;
    int status = 0;
    pid_t result;
    do {
        result = waitpid(m_pid, &status, 0);
    } while (result < 0 && errno == EINTR);
    m_reaped = true;
    if (result < 0)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return WTERMSIG(status);
    return -1;
}

void ChildProcess::closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool ChildProcess::hasExited()
{
    if (m_exited)
        return true;
    siginfo_t info{};
    // WNOWAIT: look without collecting, so the id stays ours until reap().
    if (waitid(P_PID, id_t(m_pid.load()), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0)
        m_exited = true;
    return m_exited;
}

bool ChildProcess::readAvailable(int& fd, Stream stream, const ChunkHandler& onChunk)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            if (onChunk)
                onChunk(stream, QByteArray(buffer, qsizetype(n)));
            return true;
        }
        if (n == 0) {
            closeFd(fd);
            return false;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            closeFd(fd);
        return false;
    }
}
