#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// The handler may only write to a descriptor; the event loop reads the other end.
int wakeFds[2] = {-1, -1};

void onProcessSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
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
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0)
        return;
    ::fcntl(wakeFds[0], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
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
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

void TerminationSignals::onSignal()
{
    char bytes[16];
    [[maybe_unused]] const ssize_t read = ::read(wakeFds[1], bytes, sizeof bytes);
    emit terminationRequested();
}
