#pragma once

#include "AudioSignal.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QSocketNotifier;

// One of the two audio connections Skype opens for a call: a TCP client to the program's port
// on 127.0.0.1 that sends the signal as 16-bit little-endian mono PCM at 16000 Hz, at the pace
// of real time. The samples go out in whole 320-byte blocks, or, to try the program's
// reassembly, in pieces of odd sizes.
class AudioConnection : public QObject {
    Q_OBJECT

public:
    static constexpr int BlockBytes = 320;
    // Audio the program does not take in time is dropped beyond this much (one second).
    static constexpr int MaxPendingBytes = 32000;

    AudioConnection(quint16 port, AudioSignal signal, bool oddPieces, QObject* parent = nullptr);
    ~AudioConnection() override;

    // Connects; false (with the reason in error()) when the program does not listen.
    bool open();
    // Sends what is due by now. False once the connection is gone.
    bool pump();
    bool isOpen() const { return m_fd >= 0; }
    // Whether the program still holds the connection. Notices a close the program made before
    // the socket notifier reports it, e.g. when its new "alter call" arrives first.
    bool isStillOpen();
    // Why the connection ended, when the program ended it.
    QString error() const { return m_error; }
    quint16 port() const { return m_port; }
    qint64 bytesSent() const { return m_sent; }

private:
    void generateDue();
    bool send();
    void onReadable();
    void drop(const QString& reason);

    quint16 m_port;
    AudioSignal m_signal;
    bool m_oddPieces;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QElapsedTimer m_clock;
    qint64 m_generatedSamples = 0;
    qint64 m_sent = 0;
    QByteArray m_pending;
    int m_piece = 0;
    QString m_error;
};
