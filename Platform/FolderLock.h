#pragma once

#include <QString>

#include <chrono>

// An exclusive claim on a folder that two processes must not write at once,
// held through an advisory lock on a file inside it. The kernel lets go of
// it when the process ends in any way (a crash, SIGKILL), so no lock is ever
// left stale; a process that is stopped or hangs keeps it.
class FolderLock
{
public:
    enum class State {
        // This object holds the folder.
        held,
        // Another process holds it, and kept it for the whole wait.
        heldElsewhere,
        // The lock file could not be made or the file system keeps no locks
        // (a read-only folder, some network mounts): nobody can tell.
        unavailable,
    };

    FolderLock() = default;
    ~FolderLock();
    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Creates the folder when it is missing and tries for up to `wait` to
    // take the lock on its file `lockFileName`.
    static FolderLock take(const QString &folder, const QString &lockFileName,
                           std::chrono::milliseconds wait);

    State state() const { return m_state; }
    // Why the lock is unavailable.
    QString problem() const { return m_problem; }

private:
    int m_fd = -1;
    State m_state = State::unavailable;
    QString m_problem;
};
