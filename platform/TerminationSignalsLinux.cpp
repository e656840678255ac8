#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler may only write to a descriptor; the event loop reads the other end. The handler
// runs on whichever thread the signal lands on, so its end is atomic.
std::atomic<int> signalEnd{-1};
int loopEnd = -1;

// A full socket (several signals unread) makes the write fail: the code the signal interrupted
// must still find its own errno.
void onProcessSignal(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalEnd.load(), &byte, 1);
    errno = savedErrno;
}

void setHandler(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}
} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    install();
}

TerminationSignals::~TerminationSignals()
{
    uninstall();
}

void TerminationSignals::install()
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return;
    ::fcntl(ends[0], F_SETFL, O_NONBLOCK);
    signalEnd.store(ends[0]);
    loopEnd = ends[1];
    m_notifier = new QSocketNotifier(loopEnd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::onSignal);
    setHandler(SIGTERM, onProcessSignal);
    setHandler(SIGINT, onProcessSignal);
}

void TerminationSignals::uninstall()
{
    if (!m_notifier)
        return;
    setHandler(SIGTERM, SIG_DFL);
    setHandler(SIGINT, SIG_DFL);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(signalEnd.exchange(-1));
    ::close(loopEnd);
    loopEnd = -1;
}

void TerminationSignals::onSignal()
{
    char bytes[16];
    [[maybe_unused]] const ssize_t read = ::read(loopEnd, bytes, sizeof bytes);
    emit terminationRequested();
}
