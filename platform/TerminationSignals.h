#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests to end the program that arrive as process signals (SIGTERM, SIGINT) into a
// Qt signal on the user-interface thread, so the program ends the way closing its window does.
// One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    void install();
    void uninstall();
    void onSignal();

    QSocketNotifier* m_notifier = nullptr;
};
