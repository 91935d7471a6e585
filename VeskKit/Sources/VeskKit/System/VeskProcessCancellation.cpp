#include "VeskKit/System/VeskProcessCancellation.h"

bool VeskProcessCancellation::isCancelled() const
{
    std::lock_guard guard(m_lock);
    return m_cancelled;
}

quint64 VeskProcessCancellation::attach(Terminator terminate)
{
    std::lock_guard guard(m_lock);
    const quint64 token = m_nextToken++;
    if (m_cancelled && terminate)
        terminate();
    m_processes.emplace(token, std::move(terminate));
    return token;
}

void VeskProcessCancellation::detach(quint64 token)
{
    std::lock_guard guard(m_lock);
    m_processes.erase(token);
}

void VeskProcessCancellation::cancel()
{
    std::lock_guard guard(m_lock);
    m_cancelled = true;
    for (const auto& [token, terminate] : m_processes) {
        if (terminate)
            terminate();
    }
}
