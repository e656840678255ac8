#include "StandInCalls.h"

#include "StandInLog.h"

namespace {
constexpr double routingSeconds = 0.3;

int milliseconds(double seconds)
{
    return static_cast<int>(seconds * 1000);
}

QString word(const QString& status)
{
    return status.trimmed().toUpper();
}
} // namespace

StandInCalls::StandInCalls(StandInLog& log, Notify notify, QObject* parent)
    : QObject(parent), m_log(log), m_notify(std::move(notify))
{
    m_second.setInterval(1000);
    connect(&m_second, &QTimer::timeout, this, &StandInCalls::onSecond);
    m_second.start();
}

int StandInCalls::add(const QString& partner, const QString& type, const QString& status)
{
    const int id = m_nextId++;
    StandInCall& call = m_calls[id];
    call.id = id;
    call.partner = partner;
    call.type = type;
    call.status = status;
    call.participants = {partner};
    return id;
}

int StandInCalls::startIncoming(const QString& partner, double ringSeconds, double talkSeconds)
{
    const int id = add(partner, QStringLiteral("INCOMING_P2P"), QString());
    m_log.write(QStringLiteral("event"), QStringLiteral("call %1 incoming from %2").arg(id).arg(partner));
    change(m_calls[id], QStringLiteral("RINGING"), true);
    planStatus(id, ringSeconds, QStringLiteral("INPROGRESS"));
    planEnd(id, ringSeconds, talkSeconds);
    return id;
}

int StandInCalls::startOutgoing(const QString& partner, double ringSeconds, double talkSeconds, bool announced)
{
    const int id = add(partner, QStringLiteral("OUTGOING_P2P"), QString());
    m_log.write(QStringLiteral("event"), QStringLiteral("call %1 outgoing to %2").arg(id).arg(partner));
    change(m_calls[id], QStringLiteral("ROUTING"), !announced);
    planStatus(id, routingSeconds, QStringLiteral("RINGING"));
    planStatus(id, routingSeconds + ringSeconds, QStringLiteral("INPROGRESS"));
    planEnd(id, routingSeconds + ringSeconds, talkSeconds);
    return id;
}

int StandInCalls::startRunning(const QString& partner, double talkSeconds)
{
    const int id = add(partner, QStringLiteral("INCOMING_P2P"), QStringLiteral("INPROGRESS"));
    m_log.write(QStringLiteral("event"), QStringLiteral("call %1 with %2 running").arg(id).arg(partner));
    emit statusChanged(id, QStringLiteral("INPROGRESS"));
    planEnd(id, 0, talkSeconds);
    return id;
}

void StandInCalls::planEnd(int id, double seconds, double talkSeconds)
{
    if (talkSeconds >= 0)
        planStatus(id, seconds + talkSeconds, QStringLiteral("FINISHED"));
}

void StandInCalls::planStatus(int id, double seconds, const QString& status)
{
    const int plan = m_calls[id].plan;
    QTimer::singleShot(milliseconds(seconds), this, [this, id, plan, status] {
        const auto call = m_calls.find(id);
        if (call != m_calls.end() && call->second.plan == plan)
            change(call->second, status, true);
    });
}

bool StandInCalls::setStatus(int id, const QString& status)
{
    const auto call = m_calls.find(id);
    if (call == m_calls.end() || word(status).isEmpty())
        return false;
    ++call->second.plan; // the script takes over from the plan
    change(call->second, word(status), true);
    return true;
}

void StandInCalls::change(StandInCall& call, const QString& status, bool announce)
{
    call.status = status;
    if (announce)
        m_notify(QStringLiteral("CALL %1 STATUS %2").arg(call.id).arg(status));
    emit statusChanged(call.id, status);
}

bool StandInCalls::setParticipants(int id, const QStringList& participants)
{
    const auto call = m_calls.find(id);
    if (call == m_calls.end() || participants.isEmpty())
        return false;
    call->second.participants = participants;
    m_notify(QStringLiteral("CALL %1 CONF_PARTICIPANTS_COUNT %2").arg(id).arg(participants.size()));
    return true;
}

const StandInCall* StandInCalls::find(int id) const
{
    const auto call = m_calls.find(id);
    return call == m_calls.end() ? nullptr : &call->second;
}

int StandInCalls::latestActive() const
{
    for (auto call = m_calls.rbegin(); call != m_calls.rend(); ++call) {
        if (isActive(call->second.status))
            return call->first;
    }
    return 0;
}

bool StandInCalls::isActive(const QString& status)
{
    static const QStringList active = {QStringLiteral("INPROGRESS"), QStringLiteral("ONHOLD"),
                                       QStringLiteral("LOCALHOLD"), QStringLiteral("REMOTEHOLD")};
    return active.contains(status);
}

bool StandInCalls::readSeconds(const QString& text, double& seconds)
{
    if (text == QLatin1String("-")) {
        seconds = -1;
        return true;
    }
    return readNumber(text, seconds);
}

bool StandInCalls::readNumber(const QString& text, double& value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && value >= 0;
}

QString StandInCalls::property(int id, const QString& property) const
{
    const StandInCall* call = find(id);
    if (!call)
        return {};
    QString value;
    if (property == QLatin1String("PARTNER_HANDLE") || property == QLatin1String("TARGET_IDENTITY"))
        value = call->partner;
    else if (property == QLatin1String("TYPE"))
        value = call->type;
    else if (property == QLatin1String("STATUS"))
        value = call->status;
    else if (property == QLatin1String("DURATION"))
        value = QString::number(call->duration);
    else if (property == QLatin1String("CONF_PARTICIPANTS_COUNT"))
        value = QString::number(call->participants.size());
    else
        return {};
    return QStringLiteral("CALL %1 %2 %3").arg(id).arg(property, value);
}

QString StandInCalls::participant(int id, int index) const
{
    const StandInCall* call = find(id);
    if (!call || index < 0 || index >= call->participants.size())
        return {};
    return QStringLiteral("CALL %1 CONF_PARTICIPANT %2 %3 %4 %5")
        .arg(id)
        .arg(index)
        .arg(call->participants[index], call->type, call->status);
}

void StandInCalls::onSecond()
{
    for (auto& [id, call] : m_calls) {
        if (call.status != QLatin1String("INPROGRESS"))
            continue;
        ++call.duration;
        m_notify(QStringLiteral("CALL %1 DURATION %2").arg(id).arg(call.duration));
    }
}
