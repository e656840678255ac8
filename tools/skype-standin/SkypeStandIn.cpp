#include "SkypeStandIn.h"

#include "StandInLog.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>

namespace {
const QString apiName = QStringLiteral("com.Skype.API");
const QString apiPath = QStringLiteral("/com/Skype");
const QString clientPath = QStringLiteral("/com/Skype/Client");
const QString clientInterface = QStringLiteral("com.Skype.API.Client");
const QString invalidCall = QStringLiteral("ERROR 11 Invalid call id");
const QString invalidChat = QStringLiteral("ERROR 105 Invalid chat name");
const QString invalidMessage = QStringLiteral("ERROR 14 Invalid message id");
} // namespace

SkypeStandIn::SkypeStandIn(StandInLog& log, const QDBusConnection& bus)
    : m_log(log), m_bus(bus),
      m_clientWatcher(new QDBusServiceWatcher(QString(), m_bus, QDBusServiceWatcher::WatchForUnregistration, this)),
      m_calls(log, [this](const QString& text) { notifyAttached(text); }), m_audio(log)
{
    // Skype closes the audio connections of a call that has ended.
    connect(&m_calls, &StandInCalls::statusChanged, this, [this](int id, const QString& status) {
        if (!StandInCalls::isActive(status))
            m_audio.closeCall(id, QStringLiteral("call ") + status.toLower());
    });

    connect(m_clientWatcher, &QDBusServiceWatcher::serviceUnregistered, this, &SkypeStandIn::forgetClient);

    // The commands the stand-in understands, with the answers a Skype client gives.
    addRule(QStringLiteral("ping"), [this](const auto&) { return m_answerPings ? QStringLiteral("PONG") : QString(); });
    addRule(QStringLiteral("get currentuserhandle"),
            [this](const auto&) { return QStringLiteral("CURRENTUSERHANDLE ") + m_user.handle; });
    addRule(QStringLiteral("get connstatus"), [](const auto&) { return QStringLiteral("CONNSTATUS ONLINE"); });
    addRule(QStringLiteral("get userstatus"),
            [this](const auto&) { return QStringLiteral("USERSTATUS ") + m_user.status; });
    addRule(QStringLiteral("search friends"),
            [this](const auto&) { return QStringLiteral("USERS ") + m_user.friends.join(QStringLiteral(", ")); });
    addRule(QStringLiteral("get user (\\S+) fullname"), [this](const QRegularExpressionMatch& m) {
        const QString handle = m.captured(1);
        const QString name = m_user.fullNames.value(handle);
        return QStringLiteral("USER ") + handle + QStringLiteral(" FULLNAME") +
               (name.isEmpty() ? QString() : " " + name);
    });
    addCallRules();
    addChatRules();
}

void SkypeStandIn::addCallRules()
{
    addRule(
        QStringLiteral("get call (\\d+) (partner_handle|target_identity|type|status|duration|conf_participants_count)"),
        [this](const QRegularExpressionMatch& m) {
            const QString answer = m_calls.property(m.captured(1).toInt(), m.captured(2).toUpper());
            return answer.isEmpty() ? invalidCall : answer;
        });
    addRule(QStringLiteral("get call (\\d+) conf_participant (\\d+)"), [this](const QRegularExpressionMatch& m) {
        const QString answer = m_calls.participant(m.captured(1).toInt(), m.captured(2).toInt());
        return answer.isEmpty() ? invalidCall : answer;
    });
    addRule(QStringLiteral("alter call (\\d+) set_capture_mic port=\"(\\d+)\""),
            [this](const QRegularExpressionMatch& m) { return redirectAudio(m, AudioStreams::Side::Mic); });
    addRule(QStringLiteral("alter call (\\d+) set_output soundcard=\"default\", port=\"(\\d+)\""),
            [this](const QRegularExpressionMatch& m) { return redirectAudio(m, AudioStreams::Side::Output); });
    addRule(QStringLiteral("call (\\S.*)"), [this](const QRegularExpressionMatch& m) {
        const QString partner = m.captured(1).section(QLatin1Char(','), 0, 0).trimmed();
        const int id = m_calls.startOutgoing(partner, m_ringSeconds, m_talkSeconds, true);
        return QStringLiteral("CALL %1 STATUS ROUTING").arg(id);
    });
}

// The audio goes to the port named in the command, for a call in progress only.
QString SkypeStandIn::redirectAudio(const QRegularExpressionMatch& match, AudioStreams::Side side)
{
    const int id = match.captured(1).toInt();
    const StandInCall* call = m_calls.find(id);
    if (!call)
        return invalidCall;
    const uint port = match.captured(2).toUInt();
    if (port == 0 || port > 65535)
        return QStringLiteral("ERROR 570 Invalid port");
    if (StandInCalls::isActive(call->status))
        m_audio.redirect(id, side, static_cast<quint16>(port));
    else
        m_log.write(QStringLiteral("event"), QStringLiteral("call %1 is not in progress: no audio").arg(id));
    return QStringLiteral("ALTER CALL %1 %2")
        .arg(id)
        .arg(side == AudioStreams::Side::Mic ? QStringLiteral("SET_CAPTURE_MIC") : QStringLiteral("SET_OUTPUT"));
}

void SkypeStandIn::addChatRules()
{
    addRule(QStringLiteral("chat create (\\S.*)"), [this](const QRegularExpressionMatch& m) {
        QStringList handles;
        for (const QString& handle : m.captured(1).split(QLatin1Char(','), Qt::SkipEmptyParts))
            handles.append(handle.trimmed());
        const QString chat = m_chats.dialogWith(handles.join(QStringLiteral(", ")), m_user.handle);
        return QStringLiteral("CHAT ") + chat + QStringLiteral(" STATUS DIALOG");
    });
    addRule(QStringLiteral("open chat (\\S+)"), [this](const QRegularExpressionMatch& m) {
        const QString chat = m.captured(1);
        if (!m_chats.exists(chat))
            return invalidChat;
        m_log.write(QStringLiteral("event"), QStringLiteral("chat window of ") + chat + QStringLiteral(" opened"));
        return QStringLiteral("OPEN CHAT ") + chat;
    });
    addRule(QStringLiteral("chatmessage +(\\S+) ([\\s\\S]*)"), [this](const QRegularExpressionMatch& m) {
        const QString chat = m.captured(1);
        if (!m_chats.exists(chat))
            return invalidChat;
        const int id = m_chats.addMessage(chat, m_user.handle, m.captured(2));
        m_log.write(QStringLiteral("event"),
                    QStringLiteral("chat message to ") + chat + QStringLiteral(": ") + m.captured(2));
        return QStringLiteral("CHATMESSAGE %1 STATUS SENDING").arg(id);
    });
    addRule(QStringLiteral("get chatmessage (\\d+) (chatname|body|from_handle)"),
            [this](const QRegularExpressionMatch& m) {
                const StandInChats::Message* message = m_chats.message(m.captured(1).toInt());
                if (!message)
                    return invalidMessage;
                const QString property = m.captured(2).toUpper();
                const QString value = property == QLatin1String("CHATNAME") ? message->chat
                                      : property == QLatin1String("BODY")   ? message->body
                                                                            : message->from;
                return QStringLiteral("CHATMESSAGE ") + m.captured(1) + QLatin1Char(' ') + property + QLatin1Char(' ') +
                       value;
            });
}

void SkypeStandIn::setFriends(const QStringList& friends)
{
    m_user.friends.clear();
    for (const QString& item : friends) {
        const QString handle = item.section(QLatin1Char('='), 0, 0).trimmed();
        if (handle.isEmpty())
            continue;
        m_user.friends.append(handle);
        if (item.contains(QLatin1Char('=')))
            m_user.fullNames.insert(handle, item.section(QLatin1Char('='), 1).trimmed());
    }
}

void SkypeStandIn::setCallTimes(double ringSeconds, double talkSeconds)
{
    m_ringSeconds = ringSeconds;
    m_talkSeconds = talkSeconds;
}

void SkypeStandIn::chatFrom(const QString& handle, const QString& text)
{
    const QString chat = m_chats.dialogWith(handle, m_user.handle);
    const int id = m_chats.addMessage(chat, handle, text);
    m_log.write(QStringLiteral("event"), QStringLiteral("chat message %1 from %2 in %3").arg(id).arg(handle, chat));
    notifyAttached(QStringLiteral("CHATMESSAGE %1 STATUS RECEIVED").arg(id));
}

void SkypeStandIn::setWindowState(const QString& state)
{
    notifyAttached(QStringLiteral("WINDOWSTATE ") + state.toUpper());
}

void SkypeStandIn::addRule(const QString& pattern, Answer answer)
{
    m_rules.append({QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$"),
                                       QRegularExpression::CaseInsensitiveOption),
                    std::move(answer)});
}

bool SkypeStandIn::start()
{
    if (!m_bus.isConnected()) {
        m_log.write(QStringLiteral("error"), QStringLiteral("no session bus"));
        return false;
    }
    return m_bus.registerObject(apiPath, apiName, this, QDBusConnection::ExportScriptableSlots);
}

bool SkypeStandIn::acquireName()
{
    const auto reply = m_bus.interface()->registerService(apiName, QDBusConnectionInterface::DontQueueService,
                                                          QDBusConnectionInterface::DontAllowReplacement);
    const bool owned = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    m_log.write(QStringLiteral("event"),
                owned ? QStringLiteral("took ") + apiName : QStringLiteral("could not take ") + apiName);
    return owned;
}

void SkypeStandIn::releaseName()
{
    m_bus.interface()->unregisterService(apiName);
    m_attached.clear();
    m_waiting.clear();
    m_log.write(QStringLiteral("event"), QStringLiteral("released ") + apiName);
}

void SkypeStandIn::login(const QString& handle)
{
    if (!handle.isEmpty())
        m_user.handle = handle;
    m_loggedIn = true;
    m_log.write(QStringLiteral("event"), QStringLiteral("user ") + m_user.handle + QStringLiteral(" logged in"));
    const QSet<QString> waiting = std::exchange(m_waiting, {});
    for (const QString& client : waiting)
        sendNotify(client, QStringLiteral("CONNSTATUS ONLINE"));
}

void SkypeStandIn::logout()
{
    m_loggedIn = false;
    m_log.write(QStringLiteral("event"), QStringLiteral("user ") + m_user.handle + QStringLiteral(" logged out"));
    notifyAttached(QStringLiteral("CONNSTATUS LOGGEDOUT"));
    m_waiting.unite(m_attached);
    m_attached.clear();
}

void SkypeStandIn::setUserStatus(const QString& status)
{
    m_user.status = status.toUpper();
    notifyAttached(QStringLiteral("USERSTATUS ") + m_user.status);
}

void SkypeStandIn::notifyAttached(const QString& text)
{
    if (m_attached.isEmpty())
        m_log.write(QStringLiteral("event"), QStringLiteral("no program attached for: ") + text);
    for (const QString& client : std::as_const(m_attached))
        sendNotify(client, text);
}

void SkypeStandIn::sendNotify(const QString& client, const QString& text)
{
    QDBusMessage notify = QDBusMessage::createMethodCall(client, clientPath, clientInterface, QStringLiteral("Notify"));
    notify << text;
    m_bus.send(notify); // never waits for the program
    m_log.write(QStringLiteral("notify"), text);
}

QString SkypeStandIn::Invoke(const QString& command)
{
    const QString client = calledFromDBus() ? message().service() : QString();
    m_log.write(QStringLiteral("command"), command);
    emit commandReceived(command);

    QString reply;
    if (command.startsWith(QLatin1String("NAME "), Qt::CaseInsensitive))
        reply = answerName(client);
    else if (!m_attached.contains(client))
        reply = QStringLiteral("ERROR 68");
    else
        reply = answerCommand(command.trimmed());
    m_log.write(QStringLiteral("reply"), reply.isEmpty() ? QStringLiteral("(nothing)") : reply);
    return reply;
}

QString SkypeStandIn::answerName(const QString& client)
{
    watchClient(client);
    if (!m_loggedIn) {
        m_waiting.insert(client);
        return QStringLiteral("CONNSTATUS OFFLINE");
    }
    if (m_access == Access::Refuse) {
        m_attached.remove(client);
        return QStringLiteral("ERROR 68");
    }
    m_attached.insert(client);
    m_waiting.remove(client);
    return QStringLiteral("OK");
}

QString SkypeStandIn::answerCommand(const QString& command)
{
    for (const Rule& rule : std::as_const(m_rules)) {
        const QRegularExpressionMatch match = rule.pattern.match(command);
        if (match.hasMatch())
            return rule.answer(match);
    }
    return QStringLiteral("ERROR 2 Unknown command");
}

void SkypeStandIn::watchClient(const QString& client)
{
    if (!client.isEmpty() && !m_clientWatcher->watchedServices().contains(client))
        m_clientWatcher->addWatchedService(client);
}

void SkypeStandIn::forgetClient(const QString& client)
{
    m_clientWatcher->removeWatchedService(client);
    if (m_attached.remove(client) | m_waiting.remove(client))
        m_log.write(QStringLiteral("event"), QStringLiteral("program ") + client + QStringLiteral(" left"));
}
