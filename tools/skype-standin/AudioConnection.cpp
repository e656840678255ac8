#include "AudioConnection.h"

#include <QSocketNotifier>
#include <QtEndian>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// Sizes of the pieces in odd-pieces mode, in turn: none a multiple of 320 and one odd, so that
// the receiver must put the blocks and the samples together again.
constexpr int pieceSizes[] = {1, 333, 1022, 7, 641, 250, 3, 999};

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
} // namespace

AudioConnection::AudioConnection(quint16 port, AudioSignal signal, bool oddPieces, QObject* parent)
    : QObject(parent), m_port(port), m_signal(std::move(signal)), m_oddPieces(oddPieces)
{
}

AudioConnection::~AudioConnection()
{
    drop(QString());
}

bool AudioConnection::open()
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        m_error = errorText(errno);
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // On the loopback a connection is taken or refused at once.
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const int error = errno;
        drop(errorText(error));
        return false;
    }
    const int on = 1;
    ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
    // The program never sends anything: the socket becoming readable means it closed.
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &AudioConnection::onReadable);
    m_clock.start();
    return true;
}

bool AudioConnection::pump()
{
    if (!isOpen())
        return false;
    generateDue();
    return send();
}

void AudioConnection::generateDue()
{
    const qint64 dueSamples = m_clock.elapsed() * AudioSignal::SampleRate / 1000;
    constexpr int blockSamples = BlockBytes / 2;
    while (m_generatedSamples + blockSamples <= dueSamples) {
        m_generatedSamples += blockSamples;
        if (m_pending.size() >= MaxPendingBytes)
            continue; // the program is not reading: this audio is lost, as in a real call
        std::int16_t block[blockSamples];
        m_signal.fill(block, blockSamples);
        for (std::int16_t& sample : block)
            sample = qToLittleEndian(sample);
        m_pending.append(reinterpret_cast<const char*>(block), BlockBytes);
    }
}

bool AudioConnection::send()
{
    while (!m_pending.isEmpty()) {
        qsizetype bytes = m_pending.size();
        if (m_oddPieces) {
            bytes = std::min<qsizetype>(bytes, pieceSizes[m_piece]);
            m_piece = (m_piece + 1) % int(std::size(pieceSizes));
        }
        const ssize_t sent = ::send(m_fd, m_pending.constData(), std::size_t(bytes), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return true;
            drop(errorText(errno));
            return false;
        }
        m_pending.remove(0, sent);
        m_sent += sent;
        if (!m_oddPieces && sent < bytes)
            return true; // the socket is full; the rest goes with the next pump
    }
    return true;
}

bool AudioConnection::isStillOpen()
{
    if (isOpen())
        onReadable();
    return isOpen();
}

void AudioConnection::onReadable()
{
    char byte;
    const ssize_t got = ::recv(m_fd, &byte, 1, 0);
    if (got == 0)
        drop(QStringLiteral("closed by the program"));
    else if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
        drop(errorText(errno));
}

void AudioConnection::drop(const QString& reason)
{
    if (m_notifier) {
        m_notifier->setEnabled(false);
        delete m_notifier;
        m_notifier = nullptr;
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!reason.isEmpty() && m_error.isEmpty())
        m_error = reason;
}
