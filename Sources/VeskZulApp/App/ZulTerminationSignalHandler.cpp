#include "App/ZulTerminationSignalHandler.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

// A closed terminal or an ending session hangs up (SIGHUP); Ctrl+\ quits
// (SIGQUIT). Each of them would otherwise end the process before the edit
// still in its save pause reaches the disk.
constexpr int kHandledSignals[] = {SIGTERM, SIGINT, SIGHUP, SIGQUIT};

// Written only while no handler can run (installing, restoring).
int gWriteEnd = -1;
int gReadEnd = -1;
std::atomic<bool> gInstalled{false};
struct sigaction gPrevious[std::size(kHandledSignals)];

extern "C" void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // write() is async-signal-safe; a full pipe already holds a request.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = savedErrno;
}

} // namespace

ZulTerminationSignalHandler::ZulTerminationSignalHandler(QObject *parent)
    : ZulTerminationSignalHandler([](int) { QCoreApplication::quit(); }, parent)
{
}

ZulTerminationSignalHandler::ZulTerminationSignalHandler(QuitAction action, QObject *parent)
    : QObject(parent), m_action(std::move(action))
{
    install();
}

ZulTerminationSignalHandler::~ZulTerminationSignalHandler()
{
    if (!m_installed)
        return;
    for (std::size_t index = 0; index < std::size(kHandledSignals); ++index)
        ::sigaction(kHandledSignals[index], &gPrevious[index], nullptr);
    delete m_notifier;
    ::close(gReadEnd);
    ::close(gWriteEnd);
    gReadEnd = gWriteEnd = -1;
    gInstalled.store(false);
}

void ZulTerminationSignalHandler::install()
{
    bool expected = false;
    if (!gInstalled.compare_exchange_strong(expected, true))
        return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        gInstalled.store(false);
        return;
    }
    gReadEnd = fds[0];
    gWriteEnd = fds[1];

    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t index = 0; index < std::size(kHandledSignals); ++index) {
        // A process started under nohup was asked to outlive its terminal.
        struct sigaction current {};
        if (kHandledSignals[index] == SIGHUP && ::sigaction(SIGHUP, nullptr, &current) == 0
            && current.sa_handler == SIG_IGN) {
            gPrevious[index] = current;
            continue;
        }
        if (::sigaction(kHandledSignals[index], &action, &gPrevious[index]) != 0) {
            for (std::size_t undo = 0; undo < index; ++undo)
                ::sigaction(kHandledSignals[undo], &gPrevious[undo], nullptr);
            ::close(gReadEnd);
            ::close(gWriteEnd);
            gReadEnd = gWriteEnd = -1;
            gInstalled.store(false);
            return;
        }
    }
    m_notifier = new QSocketNotifier(gReadEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ZulTerminationSignalHandler::readSignals);
    m_installed = true;
}

void ZulTerminationSignalHandler::readSignals()
{
    unsigned char byte = 0;
    int last = 0;
    while (::read(gReadEnd, &byte, 1) == 1)
        last = byte;
    if (last == 0)
        return;
    emit terminationRequested(last);
    if (m_action)
        m_action(last);
}
