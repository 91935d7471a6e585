#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

class QWidget;

// A start-up timer for measuring: once the watched window has painted for
// the first time, prints one line to standard output and quits the
// application. The line is "first-paint <ms since start> <ms since the
// epoch>", so a harness that noted the time it launched the process can work
// out the whole cold start.
class ZulStartupProbe : public QObject {
    Q_OBJECT
public:
    // The environment variable that turns the probe on.
    static constexpr const char *environmentVariable = "VESKZUL_STARTUP_PROBE";

    ZulStartupProbe(QWidget *window, QElapsedTimer sinceStart, QObject *parent = nullptr);

    static bool isRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    QElapsedTimer m_sinceStart;
    bool m_fired = false;
};
