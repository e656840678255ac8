#include "ScenarioScript.h"

#include "SkypeStandIn.h"
#include "StandInLog.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

ScenarioScript::ScenarioScript(SkypeStandIn& skype, StandInLog& log, QObject* parent)
    : QObject(parent), m_skype(skype), m_log(log)
{
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, [this] {
        m_paused = false;
        runPending();
    });
    connect(&m_skype, &SkypeStandIn::commandReceived, this, &ScenarioScript::onCommandReceived);

    addCommand(QStringLiteral("access"), [this](const QString& a) {
        if (a != QLatin1String("accept") && a != QLatin1String("refuse"))
            return false;
        m_skype.setAccess(a == QLatin1String("accept") ? SkypeStandIn::Access::Accept : SkypeStandIn::Access::Refuse);
        return true;
    });
    addCommand(QStringLiteral("login"), [this](const QString& a) {
        m_skype.login(a);
        return true;
    });
    addCommand(QStringLiteral("logout"), [this](const QString&) {
        m_skype.logout();
        return true;
    });
    addCommand(QStringLiteral("pongs"), [this](const QString& a) {
        if (a != QLatin1String("on") && a != QLatin1String("off"))
            return false;
        m_skype.setAnswerPings(a == QLatin1String("on"));
        return true;
    });
    addCommand(QStringLiteral("release"), [this](const QString&) {
        m_skype.releaseName();
        return true;
    });
    addCommand(QStringLiteral("acquire"), [this](const QString&) {
        m_skype.acquireName();
        return true;
    });
    addCommand(QStringLiteral("notify"), [this](const QString& a) {
        if (a.isEmpty())
            return false;
        m_skype.notifyAttached(a);
        return true;
    });
    addCommand(QStringLiteral("status"), [this](const QString& a) {
        if (a.isEmpty())
            return false;
        m_skype.setUserStatus(a);
        return true;
    });
    addCommand(QStringLiteral("friends"), [this](const QString& a) {
        m_skype.setFriends(a.split(QLatin1Char(','), Qt::SkipEmptyParts));
        return true;
    });
    addCommand(QStringLiteral("fullname"), [this](const QString& a) {
        const qsizetype blank = a.indexOf(QLatin1Char(' '));
        if (blank <= 0)
            return false;
        m_skype.setFullName(a.left(blank), a.mid(blank + 1).trimmed());
        return true;
    });
    addCallCommands();
    addCommand(QStringLiteral("chat-from"), [this](const QString& a) {
        const qsizetype blank = a.indexOf(QLatin1Char(' '));
        if (blank <= 0)
            return false;
        m_skype.chatFrom(a.left(blank), a.mid(blank + 1).trimmed());
        return true;
    });
    addCommand(QStringLiteral("window"), [this](const QString& a) {
        static const QStringList states = {QStringLiteral("minimized"), QStringLiteral("normal"),
                                           QStringLiteral("hidden"), QStringLiteral("maximized")};
        if (!states.contains(a.toLower()))
            return false;
        m_skype.setWindowState(a);
        return true;
    });
    addCommand(QStringLiteral("wait"), [this](const QString& a) {
        double seconds = 0;
        if (!StandInCalls::readNumber(a, seconds))
            return false;
        pauseFor(seconds);
        return true;
    });
    addCommand(QStringLiteral("wait-command"), [this](const QString& a) {
        if (a.isEmpty())
            return false;
        pauseUntilCommand(a);
        return true;
    });
    addCommand(QStringLiteral("say"), [this](const QString& a) {
        m_log.write(QStringLiteral("say"), a);
        return true;
    });
    addCommand(QStringLiteral("quit"), [this](const QString& a) {
        m_log.write(QStringLiteral("event"), QStringLiteral("quitting"));
        QCoreApplication::exit(a.toInt());
        return true;
    });
}

namespace {
// "HANDLE [RING [TALK]]" (or "HANDLE [TALK]" for a call that does not ring), the times
// defaulting to the stand-in's.
bool readCall(const QString& arguments, bool rings, QString& handle, double& ring, double& talk)
{
    const QStringList words = arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty() || words.size() > (rings ? 3 : 2))
        return false;
    handle = words[0];
    if (rings && words.size() > 1 && !StandInCalls::readNumber(words[1], ring))
        return false;
    const qsizetype talkAt = rings ? 2 : 1;
    return words.size() <= talkAt || StandInCalls::readSeconds(words[talkAt], talk);
}
} // namespace

void ScenarioScript::addCallCommands()
{
    enum class Start { Incoming, Outgoing, Running };
    const std::pair<QString, Start> starts[] = {{QStringLiteral("incoming-call"), Start::Incoming},
                                                {QStringLiteral("outgoing-call"), Start::Outgoing},
                                                {QStringLiteral("running-call"), Start::Running}};
    for (const auto& [word, start] : starts) {
        addCommand(word, [this, start = start](const QString& a) {
            QString handle;
            double ring = m_skype.ringSeconds(), talk = m_skype.talkSeconds();
            if (!readCall(a, start != Start::Running, handle, ring, talk))
                return false;
            StandInCalls& calls = m_skype.calls();
            if (start == Start::Incoming)
                calls.startIncoming(handle, ring, talk);
            else if (start == Start::Outgoing)
                calls.startOutgoing(handle, ring, talk);
            else
                calls.startRunning(handle, talk);
            return true;
        });
    }
    addCommand(QStringLiteral("hangup"), [this](const QString& a) {
        const int id = a.isEmpty() ? m_skype.calls().latestActive() : a.toInt();
        return m_skype.calls().setStatus(id, QStringLiteral("FINISHED"));
    });
    addCommand(QStringLiteral("call-status"), [this](const QString& a) {
        const QStringList words = a.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        return words.size() == 2 && m_skype.calls().setStatus(words[0].toInt(), words[1]);
    });
    addCommand(QStringLiteral("conference"), [this](const QString& a) {
        const qsizetype blank = a.indexOf(QLatin1Char(' '));
        if (blank <= 0)
            return false;
        QStringList people;
        for (const QString& handle : a.mid(blank + 1).split(QLatin1Char(','), Qt::SkipEmptyParts))
            people.append(handle.trimmed());
        return m_skype.calls().setParticipants(a.left(blank).toInt(), people);
    });
    addCommand(QStringLiteral("audio-drop"), [this](const QString& a) {
        const int id = a.isEmpty() ? m_skype.calls().latestActive() : a.toInt();
        if (!m_skype.calls().find(id))
            return false;
        m_skype.audio().closeCall(id, QStringLiteral("dropped by the script"));
        return true;
    });
}

void ScenarioScript::addCommand(const QString& word, Command command)
{
    m_commands.insert(word, std::move(command));
}

bool ScenarioScript::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    while (!in.atEnd())
        m_pending.append(in.readLine());
    QMetaObject::invokeMethod(this, &ScenarioScript::runPending, Qt::QueuedConnection);
    return true;
}

void ScenarioScript::addLine(const QString& line)
{
    m_pending.append(line);
    runPending();
}

void ScenarioScript::runPending()
{
    while (!m_paused && !m_pending.isEmpty())
        runLine(m_pending.takeFirst().trimmed());
}

void ScenarioScript::runLine(const QString& line)
{
    if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
        return;
    m_log.write(QStringLiteral("script"), line);
    const qsizetype blank = line.indexOf(QLatin1Char(' '));
    const QString word = line.left(blank).toLower();
    const QString arguments = blank < 0 ? QString() : line.mid(blank + 1).trimmed();
    const auto command = m_commands.constFind(word);
    if (command == m_commands.constEnd() || !(*command)(arguments))
        m_log.write(QStringLiteral("error"), QStringLiteral("script line not understood: ") + line);
}

void ScenarioScript::pauseFor(double seconds)
{
    m_paused = true;
    m_wait.start(static_cast<int>(seconds * 1000));
}

void ScenarioScript::pauseUntilCommand(const QString& command)
{
    m_paused = true;
    m_awaitedCommand = command;
}

void ScenarioScript::onCommandReceived(const QString& command)
{
    if (m_awaitedCommand.isEmpty() || command.trimmed().compare(m_awaitedCommand, Qt::CaseInsensitive) != 0)
        return;
    m_awaitedCommand.clear();
    m_paused = false;
    // Carry on after the stand-in has answered the command.
    QMetaObject::invokeMethod(this, &ScenarioScript::runPending, Qt::QueuedConnection);
}
