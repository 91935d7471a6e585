#include "ProcessLiveness.h"

#include <cerrno>
#include <csignal>
#include <limits>
#include <sys/types.h>

namespace ProcessLiveness {

bool isAlive(qint64 pid)
{
    // kill(0) and kill(-n) address process groups, so only positive ids that
    // fit pid_t name a single process.
    if (pid <= 0 || pid > std::numeric_limits<pid_t>::max())
        return false;
    if (::kill(static_cast<pid_t>(pid), 0) == 0)
        return true;
    return errno == EPERM;
}

} // namespace ProcessLiveness
