#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>

class StandInLog;

// One call as the stand-in's Skype knows it.
struct StandInCall {
    int id = 0;
    QString partner;
    QString type;             // INCOMING_P2P, OUTGOING_P2P
    QString status;           // ROUTING, RINGING, INPROGRESS, ONHOLD, FINISHED ...
    QStringList participants; // the other people in the call; the partner alone unless a conference
    int duration = 0;         // seconds in progress
    int plan = 0;             // steps planned under an older plan are dropped
};

// The calls of the stand-in's Skype, each following a plan: an incoming call rings and is
// answered, an outgoing one is routed, rings and is answered, and either ends after its talking
// time or when the script hangs it up. Every status change is notified to the attached programs;
// a call in progress reports its DURATION every second, as Skype does.
class StandInCalls : public QObject {
    Q_OBJECT

public:
    using Notify = std::function<void(const QString& text)>;

    StandInCalls(StandInLog& log, Notify notify, QObject* parent = nullptr);

    // A talking time below 0 lasts until the call is hung up. Each returns the call id.
    int startIncoming(const QString& partner, double ringSeconds, double talkSeconds);
    // `announced`: the first status (ROUTING) is told by the caller, as the answer to "call".
    int startOutgoing(const QString& partner, double ringSeconds, double talkSeconds, bool announced = false);
    // A call in progress since before the program attached: nothing is notified but its duration.
    int startRunning(const QString& partner, double talkSeconds);

    // Sets the status as Skype reports it; any status word is taken. False for an unknown call.
    bool setStatus(int id, const QString& status);
    bool setParticipants(int id, const QStringList& participants);

    const StandInCall* find(int id) const;
    // The call started last that is still in progress or held; 0 when there is none.
    int latestActive() const;
    // The answer to "get call <id> <property>" (property in upper case), or empty when unknown.
    QString property(int id, const QString& property) const;
    QString participant(int id, int index) const;

    static bool isActive(const QString& status);
    // A time in seconds, or "-" for as long as the script lets it (-1). False for anything else.
    static bool readSeconds(const QString& text, double& seconds);
    // A number not below 0 (seconds, hertz). False for anything else.
    static bool readNumber(const QString& text, double& value);

signals:
    void statusChanged(int id, const QString& status);

private:
    int add(const QString& partner, const QString& type, const QString& status);
    void planStatus(int id, double seconds, const QString& status);
    void planEnd(int id, double seconds, double talkSeconds);
    void change(StandInCall& call, const QString& status, bool announce);
    void onSecond();

    StandInLog& m_log;
    Notify m_notify;
    std::map<int, StandInCall> m_calls;
    int m_nextId = 101;
    QTimer m_second;
};
