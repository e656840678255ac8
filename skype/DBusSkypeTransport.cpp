#include "skype/DBusSkypeTransport.h"

#include "platform/ProductName.h"
#include "platform/RunOnThread.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QStringList>

namespace {
const QString skypeService = QStringLiteral("com.Skype.API");
const QString skypePath = QStringLiteral("/com/Skype");
const QString skypeInterface = QStringLiteral("com.Skype.API");
const QString clientPath = QStringLiteral("/com/Skype/Client");
const QString clientInterface = QStringLiteral("com.Skype.API.Client");
const QString nameCommand = QStringLiteral("NAME ") + productName();

// Skype may hold the NAME answer back until its user has allowed the program.
constexpr int nameTimeoutMs = 10 * 60 * 1000;

enum class Connection { Unknown, LoggedOut, LoggedIn };

// What a "CONNSTATUS word" text says about the client's user.
Connection connectionIn(const QString& text)
{
    const QStringList words = text.simplified().split(QLatin1Char(' '));
    if (words.size() != 2 || words[0].compare(QLatin1String("CONNSTATUS"), Qt::CaseInsensitive) != 0)
        return Connection::Unknown;
    const QString state = words[1].toUpper();
    if (state == QLatin1String("OFFLINE") || state == QLatin1String("LOGGEDOUT"))
        return Connection::LoggedOut;
    return Connection::LoggedIn;
}

QDBusMessage invokeCall(const QString& destination, const QString& command)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(destination, skypePath, skypeInterface, QStringLiteral("Invoke"));
    call << command;
    call.setAutoStartService(false);
    return call;
}
} // namespace

DBusSkypeTransport::DBusSkypeTransport(const QDBusConnection& bus) : m_bus(bus) {}

DBusSkypeTransport::~DBusSkypeTransport()
{
    close();
}

bool DBusSkypeTransport::open(Listener* listener)
{
    if (!m_bus.isConnected())
        return false;
    if (!m_bus.registerObject(clientPath, clientInterface, this, QDBusConnection::ExportScriptableSlots))
        return false;
    m_ownerWatcher = new QDBusServiceWatcher(skypeService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_ownerWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &DBusSkypeTransport::onOwnerChanged);
    m_listener = listener;
    return true;
}

void DBusSkypeTransport::close()
{
    if (!m_listener)
        return;
    m_listener = nullptr;
    m_bus.unregisterObject(clientPath);
    delete m_ownerWatcher;
    m_ownerWatcher = nullptr;
    setSkypeWindow({});
    m_loggedOutSkype.clear();
}

void DBusSkypeTransport::discover()
{
    if (!m_listener)
        return;
    auto* call =
        new QDBusPendingCallWatcher(m_bus.asyncCall(invokeCall(skypeService, nameCommand), nameTimeoutMs), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, &DBusSkypeTransport::onNameAnswer);
}

void DBusSkypeTransport::onNameAnswer(QDBusPendingCallWatcher* call)
{
    call->deleteLater();
    // No Skype on the bus, or it did not answer: nothing happens until it announces itself.
    if (!m_listener || call->isError())
        return;
    const QDBusMessage reply = call->reply();
    const QString skype = reply.service();
    const QString answer = reply.arguments().value(0).toString().trimmed();
    if (answer == QLatin1String("OK")) {
        setSkypeWindow(skype);
        m_loggedOutSkype.clear();
        m_listener->onAttachStatus(SKYPE_ATTACH_SUCCESS);
    } else if (answer == QLatin1String("ERROR 68")) {
        m_listener->onAttachStatus(SKYPE_ATTACH_REFUSED);
    } else {
        m_loggedOutSkype = skype;
        const bool noUser = connectionIn(answer) == Connection::LoggedOut;
        m_listener->onAttachStatus(noUser ? SKYPE_ATTACH_NOT_AVAILABLE : SKYPE_ATTACH_PENDING_AUTHORIZATION);
    }
}

void DBusSkypeTransport::onOwnerChanged(const QString&, const QString& oldOwner, const QString& newOwner)
{
    if (!m_listener)
        return;
    if (oldOwner == m_loggedOutSkype)
        m_loggedOutSkype.clear();
    if (!oldOwner.isEmpty() && oldOwner == skypeWindow()) {
        setSkypeWindow({});
        m_listener->onApiWindowGone();
    }
    if (m_listener && !newOwner.isEmpty())
        m_listener->onAttachStatus(SKYPE_ATTACH_API_AVAILABLE);
}

void DBusSkypeTransport::Notify(const QString& text)
{
    receive(message().service(), text);
}

bool DBusSkypeTransport::deliver(const QByteArray& utf8)
{
    const QString skype = skypeWindow();
    if (skype.isEmpty())
        return false;
    const QDBusMessage reply = m_bus.call(invokeCall(skype, QString::fromUtf8(utf8)), QDBus::Block, InvokeTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage)
        return false;
    // On this API the answer to a command comes back as the call's reply; it is handled like
    // any notification, on the user-interface thread.
    const QString answer = reply.arguments().value(0).toString();
    RunOnThreadOf(this, [this, skype, answer] { receive(skype, answer); });
    return true;
}

void DBusSkypeTransport::receive(const QString& sender, const QString& text)
{
    if (!m_listener || sender.isEmpty())
        return;
    const Connection connection = connectionIn(text);
    if (sender == skypeWindow()) {
        m_listener->onText(text);
        if (connection == Connection::LoggedOut)
            m_loggedOutSkype = sender;
    }
    if (m_listener && sender == m_loggedOutSkype && connection == Connection::LoggedIn) {
        m_loggedOutSkype.clear();
        m_listener->onAttachStatus(SKYPE_ATTACH_API_AVAILABLE);
    }
}

QString DBusSkypeTransport::skypeWindow() const
{
    std::lock_guard lock(m_windowMutex);
    return m_skypeWindow;
}

void DBusSkypeTransport::setSkypeWindow(const QString& uniqueName)
{
    std::lock_guard lock(m_windowMutex);
    m_skypeWindow = uniqueName;
}
