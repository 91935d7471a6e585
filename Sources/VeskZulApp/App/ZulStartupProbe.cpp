#include "App/ZulStartupProbe.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

ZulStartupProbe::ZulStartupProbe(QWidget *window, QElapsedTimer sinceStart, QObject *parent)
    : QObject(parent), m_window(window), m_sinceStart(sinceStart)
{
    if (window)
        window->installEventFilter(this);
}

bool ZulStartupProbe::isRequested()
{
    return !qEnvironmentVariableIsEmpty(environmentVariable);
}

bool ZulStartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Paint && !m_fired) {
        m_fired = true;
        // Reported once the paint has been delivered and flushed to the screen.
        QTimer::singleShot(0, this, [this] {
            std::printf("first-paint %lld %lld\n", static_cast<long long>(m_sinceStart.elapsed()),
                        static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
            std::fflush(stdout);
            QCoreApplication::quit();
        });
    }
    return QObject::eventFilter(watched, event);
}
