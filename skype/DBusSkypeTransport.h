#pragma once

#include "skype/SkypeTransport.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>

#include <mutex>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

// The Skype desktop API on the session bus. Skype owns the name com.Skype.API and offers
// Invoke(command) -> reply on /com/Skype; the program offers Notify(text) on /com/Skype/Client.
//
// Attaching: discover() sends "NAME Tallowin Skype Recorder" without waiting. "OK" attaches the
// program, and the unique bus name that answered becomes Skype's API window: only its texts
// are taken. "ERROR 68" is a refusal; any other answer means "wait". Skype (re)appearing on the
// bus, or a client without a logged-in user reporting that one logged in, announces that the
// API is available.
class DBusSkypeTransport : public QObject, public SkypeTransport, protected QDBusContext {
    Q_OBJECT

public:
    static constexpr int InvokeTimeoutMs = 5000;

    explicit DBusSkypeTransport(const QDBusConnection& bus = QDBusConnection::sessionBus());
    ~DBusSkypeTransport() override;

    bool open(Listener* listener) override;
    void close() override;
    void discover() override;
    bool deliver(const QByteArray& utf8) override;

public slots:
    // Called by Skype over the bus.
    Q_SCRIPTABLE void Notify(const QString& text);

private:
    void onNameAnswer(QDBusPendingCallWatcher* call);
    void onOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void receive(const QString& sender, const QString& text);
    QString skypeWindow() const;
    void setSkypeWindow(const QString& uniqueName);

    QDBusConnection m_bus;
    Listener* m_listener = nullptr;
    QDBusServiceWatcher* m_ownerWatcher = nullptr;
    // Skype's API window: the unique bus name that accepted the program. Read by the sender thread.
    mutable std::mutex m_windowMutex;
    QString m_skypeWindow;
    // A client that has no user logged in; its report of a login announces the API.
    QString m_loggedOutSkype;
};
