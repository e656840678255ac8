#include "AudioStreams.h"

#include "StandInLog.h"

namespace {
constexpr int tickMs = 10;
} // namespace

AudioStreams::AudioStreams(StandInLog& log, QObject* parent) : QObject(parent), m_log(log)
{
    m_timer.setInterval(tickMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AudioStreams::onTick);
}

AudioStreams::~AudioStreams() = default;

void AudioStreams::setSignal(Side side, AudioSignal signal)
{
    (side == Side::Mic ? m_mic : m_output) = std::move(signal);
}

void AudioStreams::redirect(int callId, Side side, quint16 port)
{
    const Key key{callId, side};
    if (!m_enabled) {
        m_log.write(QStringLiteral("event"), describe(key) + QStringLiteral(": audio is off"));
        return;
    }
    // A connection the program closed stays listed until the next tick; asking again in between
    // must connect anew.
    const auto existing = m_connections.find(key);
    if (existing != m_connections.end()) {
        if (existing->second->isStillOpen()) {
            m_log.write(QStringLiteral("event"), describe(key) + QStringLiteral(" streams already"));
            return;
        }
        forget(existing);
    }
    auto connection = std::make_unique<AudioConnection>(port, side == Side::Mic ? m_mic : m_output, m_oddPieces);
    if (!connection->open()) {
        m_log.write(QStringLiteral("event"), describe(key) + QStringLiteral(" cannot connect to port ") +
                                                 QString::number(port) + QStringLiteral(": ") + connection->error());
        return;
    }
    m_log.write(QStringLiteral("event"), describe(key) + QStringLiteral(" connected to port ") + QString::number(port));
    m_connections.emplace(key, std::move(connection));
    if (!m_timer.isActive())
        m_timer.start();
}

void AudioStreams::closeCall(int callId, const QString& why)
{
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        if (it->first.first != callId) {
            ++it;
            continue;
        }
        m_log.write(QStringLiteral("event"), describe(it->first) + QStringLiteral(" closed (") + why +
                                                 QStringLiteral(", ") + QString::number(it->second->bytesSent()) +
                                                 QStringLiteral(" bytes sent)"));
        it = m_connections.erase(it);
    }
    if (m_connections.empty())
        m_timer.stop();
}

void AudioStreams::onTick()
{
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        if (it->second->pump()) {
            ++it;
            continue;
        }
        it = forget(it);
    }
    if (m_connections.empty())
        m_timer.stop();
}

AudioStreams::Connections::iterator AudioStreams::forget(Connections::iterator ended)
{
    m_log.write(QStringLiteral("event"), describe(ended->first) + QStringLiteral(" ended: ") + ended->second->error());
    return m_connections.erase(ended);
}

QString AudioStreams::describe(const Key& key) const
{
    return QStringLiteral("audio ") + (key.second == Side::Mic ? QStringLiteral("mic") : QStringLiteral("output")) +
           QStringLiteral(" of call ") + QString::number(key.first);
}
