#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class SkypeStandIn;
class StandInLog;

// Runs scenario lines one after the other against the stand-in. A line is a command word and
// its arguments; "wait" and "wait-command" pause this script (and only this one: a script read
// from a file and the commands typed on standard input run side by side). Blank lines and
// lines starting with "#" are skipped; an unknown or malformed line is logged and skipped.
class ScenarioScript : public QObject {
    Q_OBJECT

public:
    ScenarioScript(SkypeStandIn& skype, StandInLog& log, QObject* parent = nullptr);

    bool loadFile(const QString& path);
    void addLine(const QString& line);

private:
    // A command returns false when the line was not understood.
    using Command = std::function<bool(const QString& arguments)>;

    void addCommand(const QString& word, Command command);
    void addCallCommands();
    void runPending();
    void runLine(const QString& line);
    void pauseFor(double seconds);
    void pauseUntilCommand(const QString& command);
    void onCommandReceived(const QString& command);

    SkypeStandIn& m_skype;
    StandInLog& m_log;
    QHash<QString, Command> m_commands;
    QStringList m_pending;
    QTimer m_wait;
    QString m_awaitedCommand;
    bool m_paused = false;
};
