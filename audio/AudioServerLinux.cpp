#include "audio/AudioServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ListenBacklog = 64;

bool isTransient(int error)
{
    return error == EAGAIN || error == EWOULDBLOCK || error == EINTR;
}

// accept(2)'s errors for a connection that failed before it was taken, or for network trouble
// that passes: the listener itself is fine.
bool isPassingAcceptError(int error)
{
    switch (error) {
    case ENETDOWN:
    case EPROTO:
    case ENOPROTOOPT:
    case EHOSTDOWN:
    case ENONET:
    case EHOSTUNREACH:
    case EOPNOTSUPP:
    case ENETUNREACH:
    case ECONNABORTED:
        return true;
    default:
        return false;
    }
}

bool isShortage(int error)
{
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

UniqueFd openSpare()
{
    return UniqueFd(open("/dev/null", O_RDONLY | O_CLOEXEC));
}

// Resets a connection we will not serve, so the peer sees it refused rather than just ended.
void refuse(int fd)
{
    const linger reset{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(fd);
}

int pendingError(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) < 0)
        return errno;
    return error ? error : EIO;
}

} // namespace

AudioServer::AudioServer() : m_wakeUp(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)), m_spare(openSpare()) {}

AudioServer::~AudioServer()
{
    std::lock_guard lock(m_mutex);
    removeAll();
}

int AudioServer::createListener(std::uint16_t port)
{
    std::lock_guard lock(m_mutex);
    if (!m_entries.empty())
        return EISCONN;
    if (!m_wakeUp.isValid())
        return EMFILE;
    UniqueFd listener(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.isValid())
        return errno;
    // Lets the program listen again at once after a restart while old connections linger in
    // TIME_WAIT; a port another program listens on still cannot be taken.
    const int on = 1;
    setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);

    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0)
        return errno;
    if (listen(listener.get(), ListenBacklog) < 0)
        return errno;
    socklen_t length = sizeof address;
    if (getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &length) == 0)
        m_port.store(ntohs(address.sin_port));

    m_entries.push_back(Entry{std::move(listener)});
    m_lastServed = 0;
    updateState();
    return 0;
}

AudioServer::PollResult AudioServer::pollStep(unsigned char* buffer)
{
    waitAtGate();
    std::lock_guard lock(m_mutex);
    PollResult result;
    if (m_entries.empty()) {
        result.error = ENOTCONN;
        return result;
    }

    std::array<pollfd, MaxEntries + 1> slots{};
    const unsigned count = static_cast<unsigned>(m_entries.size()) + 1;
    slots[0] = {m_wakeUp.get(), POLLIN, 0};
    for (unsigned i = 1; i < count; ++i)
        slots[i] = {m_entries[i - 1].socket.get(), POLLIN, 0};

    int ready;
    do {
        ready = poll(slots.data(), count, -1);
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) {
        result.error = errno;
        return result;
    }

    // Take the first ready slot after the one served last time, so busy connections take turns.
    unsigned chosen = 0;
    for (unsigned i = 1; i <= count; ++i) {
        const unsigned slot = (m_lastServed + i) % count;
        if (slots[slot].revents) {
            chosen = slot;
            break;
        }
    }
    m_lastServed = chosen;

    if (chosen == 0)
        drainWakeUp();
    else if (chosen == 1)
        serveListener(slots[chosen].revents, result);
    else
        serveConnection(chosen - 1, buffer, result);
    return result;
}

void AudioServer::serveListener(short revents, PollResult& result)
{
    const int listener = m_entries[0].socket.get();
    if (revents & (POLLERR | POLLNVAL)) {
        result.error = pendingError(listener);
        return;
    }
    result.events = AcceptEvent;
    const int fd = accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
        result.error = acceptFailed(listener, errno);
        return;
    }
    if (m_entries.size() >= static_cast<std::size_t>(MaxEntries)) {
        refuse(fd);
        result.error = ECONNREFUSED;
        return;
    }
    m_entries.push_back(Entry{UniqueFd(fd)});
    updateState();
}

// Only an error of the listener itself ends the server; a failed connection or a passing
// shortage must not stop the recording of every later call.
int AudioServer::acceptFailed(int listener, int error)
{
    if (isTransient(error) || isPassingAcceptError(error))
        return 0;
    if (!isShortage(error))
        return error;
    return refusePending(listener) ? ECONNREFUSED : 0;
}

// Out of descriptors, the connection waiting on the listener cannot be taken and would wake
// poll again at once, for as long as the shortage lasts. The spare makes room to take it and
// refuse it. (Short of memory, the accept may fail all the same; the next step tries again.)
bool AudioServer::refusePending(int listener)
{
    m_spare.reset();
    const int fd = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        refuse(fd);
    m_spare = openSpare();
    return fd >= 0;
}

void AudioServer::serveConnection(std::size_t index, unsigned char* buffer, PollResult& result)
{
    Entry& entry = m_entries[index];
    const int carried = entry.leftoverBytes;
    std::memcpy(buffer, entry.leftover.data(), static_cast<std::size_t>(carried));
    const ssize_t received = recv(entry.socket.get(), buffer + carried, MaxReceive, MSG_DONTWAIT);
    if (received > 0) {
        const int total = carried + static_cast<int>(received);
        result.events = ReadEvent;
        result.bytes = total;
        result.blockBytes = total - total % BlockBytes;
        entry.leftoverBytes = total - result.blockBytes;
        std::memcpy(entry.leftover.data(), buffer + result.blockBytes, static_cast<std::size_t>(entry.leftoverBytes));
        return;
    }
    if (received < 0 && isTransient(errno))
        return;
    // The peer closed the connection or it failed; an incomplete block it left is dropped.
    result.events = CloseEvent;
    result.error = received < 0 ? errno : 0;
    removeEntry(index);
}

int AudioServer::closeAll()
{
    if (m_state.load() == NoSockets)
        return ENOTCONN;
    setGate(false);
    const std::uint64_t one = 1;
    if (write(m_wakeUp.get(), &one, sizeof one) < 0) {
        // The counter is already set: the receiving thread is being woken anyway.
    }
    std::lock_guard lock(m_mutex);
    setGate(true);
    removeAll();
    drainWakeUp();
    return 0;
}

void AudioServer::waitAtGate()
{
    std::unique_lock lock(m_gateMutex);
    m_gateCondition.wait(lock, [this] { return m_gateOpen; });
}

void AudioServer::setGate(bool open)
{
    {
        std::lock_guard lock(m_gateMutex);
        m_gateOpen = open;
    }
    if (open)
        m_gateCondition.notify_all();
}

void AudioServer::removeEntry(std::size_t index)
{
    shutdown(m_entries[index].socket.get(), SHUT_RDWR);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    updateState();
}

void AudioServer::removeAll()
{
    while (!m_entries.empty())
        removeEntry(m_entries.size() - 1);
}

void AudioServer::updateState()
{
    const int entries = static_cast<int>(m_entries.size());
    m_connections.store(entries > 1 ? entries - 1 : 0);
    m_state.store(entries == 0 ? NoSockets : entries == 1 ? Listening : Connected);
}

void AudioServer::drainWakeUp()
{
    std::uint64_t count = 0;
    if (read(m_wakeUp.get(), &count, sizeof count) < 0) {
        // Nothing was pending.
    }
}
