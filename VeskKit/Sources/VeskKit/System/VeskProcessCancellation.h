#pragma once

#include <QtGlobal>

#include <functional>
#include <map>
#include <mutex>

// Shared between the threads running tools and any thread that may stop
// them. Once cancelled it stays cancelled, and every later run with it is
// refused before it starts.
class VeskProcessCancellation
{
public:
    // How a runner stops the tool it attached; called under the lock.
    using Terminator = std::function<void()>;

    VeskProcessCancellation() = default;
    VeskProcessCancellation(const VeskProcessCancellation&) = delete;
    VeskProcessCancellation& operator=(const VeskProcessCancellation&) = delete;

    bool isCancelled() const;

    // Remembers a running tool and returns the token to detach it with; when
    // already cancelled, stops the tool at once.
    quint64 attach(Terminator terminate);
    // Forgets a tool that is about to be collected and must not be signalled
    // any more.
    void detach(quint64 token);

    // Marks the cancellation and stops every attached tool, from any thread.
    void cancel();

private:
    mutable std::mutex m_lock;
    bool m_cancelled = false;
    quint64 m_nextToken = 1;
    std::map<quint64, Terminator> m_processes;
};
