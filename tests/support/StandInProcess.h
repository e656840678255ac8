#pragma once

#include <QProcess>
#include <QStringList>

// The stand-in Skype client running as a separate process on the test's session bus, driven
// live through its standard input. Killed when the object goes.
class StandInProcess {
public:
    StandInProcess(const QString& program, const QStringList& arguments = {});
    ~StandInProcess();

    // Waits until the stand-in has taken its bus name (or said it is ready without one).
    bool waitUntilReady();
    // Runs one scenario line in the stand-in.
    void send(const QString& scriptLine);
    // The log lines of one kind ("command", "reply", "notify", "event" ...), without time and kind.
    QStringList lines(const QString& kind);
    QStringList commands() { return lines(QStringLiteral("command")); }
    // Ends the stand-in the hard way.
    void kill();

private:
    void readOutput();

    QProcess m_process;
    QByteArray m_partial;
    QList<std::pair<QString, QString>> m_lines; // kind, text
};
