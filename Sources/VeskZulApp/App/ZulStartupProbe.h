#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

// A start-up timer for measuring. Once the watched window has painted for
// the first time it prints one line to standard output, "first-paint <ms
// since start> <ms since the epoch> <resident KiB> <ms since start when the
// window was first exposed>", so a harness that noted the time it launched
// the process can work out the whole cold start, and what it does next
// depends on the environment variable's value:
// - "stay": nothing more; the harness ends the process itself;
// - "quit-after-key": types one key into the window's focused text and
//   quits, printing "quit <ms since the epoch when quitting began> <the same
//   once the notes were saved>" on the way out;
// - anything else: quits at once.
class ZulStartupProbe : public QObject {
    Q_OBJECT
public:
    // The environment variable that turns the probe on.
    static constexpr const char *environmentVariable = "VESKZUL_STARTUP_PROBE";

    ZulStartupProbe(QWidget *window, QElapsedTimer sinceStart, QObject *parent = nullptr);

    static bool isRequested();
    // This process's resident memory, in KiB.
    static qint64 residentKilobytes();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void report();
    void typeKeyAndQuit();

    QPointer<QWidget> m_window;
    QElapsedTimer m_sinceStart;
    qint64 m_exposedMs = -1;
    qint64 m_quitBeganMs = 0;
    bool m_fired = false;
};
