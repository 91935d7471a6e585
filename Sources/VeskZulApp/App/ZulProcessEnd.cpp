#include "App/ZulProcessEnd.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace ZulProcessEnd {

void atApplicationEnd(QCoreApplication &application, const int &status)
{
    // Connected first, so it runs before any wait Qt attaches to the same
    // moment.
    QObject::connect(&application, &QObject::destroyed, [&status] {
        std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
        // The leak check would run at exit, which is skipped.
        __lsan_do_leak_check();
#endif
        std::_Exit(status);
    });
}

} // namespace ZulProcessEnd
