#pragma once

#include "AudioConnection.h"
#include "AudioSignal.h"

#include <QObject>
#include <QTimer>

#include <map>
#include <memory>

class StandInLog;

// The audio Skype sends for its calls once a program asked for it with the two "alter call"
// commands: per call, the microphone (my side) to one port and the call's output (the remote
// side) to the other. A call has at most one connection per side; asking again while it is
// open changes nothing, asking after it closed opens a new one.
class AudioStreams : public QObject {
    Q_OBJECT

public:
    enum class Side { Mic, Output };

    explicit AudioStreams(StandInLog& log, QObject* parent = nullptr);
    ~AudioStreams() override;

    // Without audio the commands are only logged.
    void setEnabled(bool enabled) { m_enabled = enabled; }
    void setOddPieces(bool odd) { m_oddPieces = odd; }
    void setSignal(Side side, AudioSignal signal);

    // Streams the side of the call to the port, unless it streams already.
    void redirect(int callId, Side side, quint16 port);
    // Skype closes the call's connections (the call ended, or the script says so).
    void closeCall(int callId, const QString& why);
    int openCount() const { return int(m_connections.size()); }

private:
    using Key = std::pair<int, Side>;
    using Connections = std::map<Key, std::unique_ptr<AudioConnection>>;

    void onTick();
    // Logs that the connection ended and drops it; the next one.
    Connections::iterator forget(Connections::iterator ended);
    QString describe(const Key& key) const;

    StandInLog& m_log;
    bool m_enabled = true;
    bool m_oddPieces = false;
    AudioSignal m_mic = AudioSignal::tone(440);
    AudioSignal m_output = AudioSignal::tone(880);
    Connections m_connections;
    QTimer m_timer;
};
