#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT, SIGHUP and SIGQUIT into an orderly quit of the Qt
// event loop, so that everything hooked to QCoreApplication::aboutToQuit
// (the pending notes save above all) runs before the process ends. A
// hang-up ignored when the process started (nohup) stays ignored. The
// signal handler only writes the signal number to a pipe; the GUI thread
// reads it and quits.
// One instance at a time; the previous dispositions come back when it goes.
class ZulTerminationSignalHandler : public QObject
{
    Q_OBJECT
public:
    using QuitAction = std::function<void(int signalNumber)>;

    // The default action is QCoreApplication::quit().
    explicit ZulTerminationSignalHandler(QObject *parent = nullptr);
    ZulTerminationSignalHandler(QuitAction action, QObject *parent);
    ~ZulTerminationSignalHandler() override;

    // False when the pipe or the handlers could not be set up (or another
    // instance is installed); the process then keeps the default behaviour.
    bool isInstalled() const { return m_installed; }

signals:
    void terminationRequested(int signalNumber);

private:
    void install();
    void readSignals();

    QuitAction m_action;
    QSocketNotifier *m_notifier = nullptr;
    bool m_installed = false;
};
