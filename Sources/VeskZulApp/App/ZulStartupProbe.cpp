#include "App/ZulStartupProbe.h"

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>

qint64 ZulStartupProbe::residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

namespace {

QByteArray mode()
{
    return qgetenv(ZulStartupProbe::environmentVariable);
}

} // namespace

ZulStartupProbe::ZulStartupProbe(QWidget *window, QElapsedTimer sinceStart, QObject *parent)
    : QObject(parent), m_window(window), m_sinceStart(sinceStart)
{
    if (!window)
        return;
    window->installEventFilter(this);
    if (QWindow *handle = window->windowHandle())
        handle->installEventFilter(this);
}

bool ZulStartupProbe::isRequested()
{
    return !qEnvironmentVariableIsEmpty(environmentVariable);
}

bool ZulStartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && m_exposedMs < 0 && m_window && watched == m_window->windowHandle())
        m_exposedMs = m_sinceStart.elapsed();
    if (watched == m_window && event->type() == QEvent::Paint && !m_fired) {
        m_fired = true;
        // Reported once the paint has been delivered and flushed to the screen.
        QTimer::singleShot(0, this, &ZulStartupProbe::report);
    }
    return QObject::eventFilter(watched, event);
}

void ZulStartupProbe::report()
{
    std::printf("first-paint %lld %lld %lld %lld\n", static_cast<long long>(m_sinceStart.elapsed()),
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch()),
                static_cast<long long>(residentKilobytes()), static_cast<long long>(m_exposedMs));
    std::fflush(stdout);
    const QByteArray wanted = mode();
    if (wanted == "stay")
        return;
    if (wanted == "quit-after-key") {
        typeKeyAndQuit();
        return;
    }
    QCoreApplication::quit();
}

void ZulStartupProbe::typeKeyAndQuit()
{
    QWidget *target = QApplication::focusWidget();
    if (!target && m_window) {
        const QList<QTextEdit *> texts = m_window->findChildren<QTextEdit *>();
        if (!texts.isEmpty())
            target = texts.first();
    }
    if (target) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        QCoreApplication::sendEvent(target, &release);
    }
    // The pending save is written on the way out, by whoever listens for the
    // quit before this probe does.
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        std::printf("quit %lld %lld\n", static_cast<long long>(m_quitBeganMs),
                    static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
        std::fflush(stdout);
    });
    QTimer::singleShot(0, this, [this] {
        m_quitBeganMs = QDateTime::currentMSecsSinceEpoch();
        QCoreApplication::quit();
    });
}
