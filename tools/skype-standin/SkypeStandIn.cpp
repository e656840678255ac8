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
} // namespace

SkypeStandIn::SkypeStandIn(StandInLog& log, const QDBusConnection& bus)
    : m_log(log), m_bus(bus),
      m_clientWatcher(new QDBusServiceWatcher(QString(), m_bus, QDBusServiceWatcher::WatchForUnregistration, this))
{
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
