#pragma once

#include <QByteArray>
#include <QObject>

class QSocketNotifier;

// Reads lines from standard input as they arrive, without blocking the event loop.
class StdinReader : public QObject {
    Q_OBJECT

public:
    explicit StdinReader(QObject* parent = nullptr);

signals:
    void lineRead(const QString& line);
    void endOfInput();

private:
    void readAvailable();

    QSocketNotifier* m_notifier;
    QByteArray m_pending;
};
