#include "SystemLog.h"

#include <atomic>
#include <syslog.h>

namespace {

std::atomic<SystemLog::Sink> g_sink{nullptr};

int priorityOf(SystemLog::Type type)
{
    switch (type) {
    case SystemLog::Type::Debug: return LOG_DEBUG;
    case SystemLog::Type::Info: return LOG_INFO;
    case SystemLog::Type::Error: return LOG_ERR;
    }
    return LOG_INFO;
}

} // namespace

namespace SystemLog {

bool isEnabled(Type type)
{
    if (g_sink.load(std::memory_order_acquire))
        return true;
    // A zero argument reads the mask without changing it.
    return (setlogmask(0) & LOG_MASK(priorityOf(type))) != 0;
}

void write(const Record& record)
{
    if (Sink sink = g_sink.load(std::memory_order_acquire)) {
        sink(record);
        return;
    }
    const QByteArray line = ('[' + record.subsystem + ':' + record.category + "] " + record.text).toUtf8();
    // Never pass our text as the format: it may hold '%'.
    syslog(LOG_USER | priorityOf(record.type), "%s", line.constData());
}

Sink setSink(Sink sink)
{
    return g_sink.exchange(sink, std::memory_order_acq_rel);
}

} // namespace SystemLog
