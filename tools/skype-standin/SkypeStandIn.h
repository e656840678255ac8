#pragma once

#include "AudioStreams.h"
#include "StandInCalls.h"
#include "StandInChats.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <functional>

class QDBusServiceWatcher;
class StandInLog;

// What the stand-in's Skype user looks like to a program.
struct StandInUser {
    QString handle = QStringLiteral("tallowin.tester");
    QString status = QStringLiteral("ONLINE");
    QStringList friends = {QStringLiteral("alice"), QStringLiteral("bob"), QStringLiteral("carol")};
    QHash<QString, QString> fullNames = {
        {QStringLiteral("tallowin.tester"), QStringLiteral("Tallowin Tester")},
        {QStringLiteral("alice"), QStringLiteral("Alice Archer")},
        {QStringLiteral("bob"), QStringLiteral("Bob Baker")},
        {QStringLiteral("carol"), QStringLiteral("Carol Cooper")},
    };
};

// A Skype desktop client on the session bus: owns com.Skype.API, offers Invoke(command) on
// /com/Skype and sends its notifications to the programs it attached with Notify on
// /com/Skype/Client. Every command it receives is logged.
class SkypeStandIn : public QObject, protected QDBusContext {
    Q_OBJECT

public:
    enum class Access { Accept, Refuse };

    SkypeStandIn(StandInLog& log, const QDBusConnection& bus = QDBusConnection::sessionBus());

    // Offers the API object; false when the bus is not there.
    bool start();

    bool acquireName();
    void releaseName();
    void setAccess(Access access) { m_access = access; }
    // A user logs in: programs that waited for one hear that the API can be used.
    void login(const QString& handle = {});
    // The user logs out: attached programs hear it and have to ask again.
    void logout();
    void setAnswerPings(bool answer) { m_answerPings = answer; }
    void setUserStatus(const QString& status);
    // Items "handle" or "handle=Full Name".
    void setFriends(const QStringList& friends);
    void setFullName(const QString& handle, const QString& name) { m_user.fullNames.insert(handle, name); }
    void setLoggedIn(bool loggedIn) { m_loggedIn = loggedIn; }
    void setUserHandle(const QString& handle) { m_user.handle = handle; }
    // Sends the text to every attached program, without waiting for them.
    void notifyAttached(const QString& text);

    StandInCalls& calls() { return m_calls; }
    AudioStreams& audio() { return m_audio; }
    // How long a call rings and how long it is talked in, when nothing else says.
    void setCallTimes(double ringSeconds, double talkSeconds);
    double ringSeconds() const { return m_ringSeconds; }
    double talkSeconds() const { return m_talkSeconds; }
    // A contact writes to the user: the message is reported as received in the dialog with them.
    void chatFrom(const QString& handle, const QString& text);
    // Skype's main window changes its state (MINIMIZED, NORMAL, HIDDEN, MAXIMIZED).
    void setWindowState(const QString& state);

public slots:
    Q_SCRIPTABLE QString Invoke(const QString& command);

signals:
    void commandReceived(const QString& command);

private:
    using Answer = std::function<QString(const QRegularExpressionMatch&)>;
    struct Rule {
        QRegularExpression pattern;
        Answer answer;
    };

    void addRule(const QString& pattern, Answer answer);
    QString answerName(const QString& client);
    QString answerCommand(const QString& command);
    void sendNotify(const QString& client, const QString& text);
    void forgetClient(const QString& client);
    void watchClient(const QString& client);
    void addCallRules();
    void addChatRules();
    QString redirectAudio(const QRegularExpressionMatch& match, AudioStreams::Side side);

    StandInLog& m_log;
    QDBusConnection m_bus;
    QDBusServiceWatcher* m_clientWatcher;
    QList<Rule> m_rules;

    StandInUser m_user;
    Access m_access = Access::Accept;
    bool m_loggedIn = true;
    bool m_answerPings = true;
    QSet<QString> m_attached; // unique bus names of the attached programs
    QSet<QString> m_waiting;  // programs that asked while no user was logged in

    StandInCalls m_calls;
    StandInChats m_chats;
    AudioStreams m_audio;
    double m_ringSeconds = 1;
    double m_talkSeconds = 10;
};
