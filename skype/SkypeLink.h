#pragma once

#include "skype/AutoResetEvent.h"
#include "skype/CommandQueue.h"
#include "skype/SkypeTransport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// The program's connection to the Skype client: attaches through a SkypeTransport, delivers the
// queued commands from its own sender thread, keeps the attachment alive with "ping" and hands
// every text Skype sends to handleIncomingText() on the user-interface thread.
//
// One link per process: LinkInstance() makes it, StartLink() attaches it to its owner (the main
// window, which receives the link's window messages), ShutdownLink() ends and destroys it.
class SkypeLink : public QObject, private SkypeTransport::Listener {
    Q_OBJECT

public:
    static constexpr int KeepAlivePeriodMs = 30000;
    // A command's UTF-8 form, its terminating zero included, must fit in this many bytes.
    static constexpr int MaxCommandBytes = 1024;
    // Further attempts for a text Skype did not take, each after RetryPause.
    static constexpr int MaxRetries = 5;
    static constexpr std::chrono::milliseconds RetryPause{50};
    static constexpr std::chrono::milliseconds SendSpacing{10};
    static constexpr std::chrono::milliseconds IdlePoll{500};

    // The process-wide link, made on first use (on the user-interface thread: its keep-alive
    // timer and its handling of Skype's texts live there). Making it does not talk to Skype.
    static SkypeLink& LinkInstance();
    // True while a link exists (between LinkInstance() and ShutdownLink()).
    static bool HasInstance();
    // Creates the link's API window through the transport (the session-bus transport when none
    // is given), starts the sender thread and asks Skype to attach. True when the API window
    // exists afterwards; a second call after a success does nothing and returns true.
    static bool StartLink(QObject* owner, std::unique_ptr<SkypeTransport> transport = {});
    // Ends the sender thread, closes the transport and destroys the link.
    static void ShutdownLink();

    ~SkypeLink() override;

    // Queues a command for Skype; false (and dropped) while the queue is closed or the text is empty.
    bool PushCommand(const QString& text);
    void OpenQueue();
    void CloseQueue();
    void ClearQueue();

    // Called by the keep-alive timer every 30 s.
    void onKeepAliveTick();

    // Every text from Skype except the keep-alive answer arrives here, on the user-interface
    // thread, exactly as received.
    void handleIncomingText(const QString& text);

    // The form in which a command travels: UTF-8, cut at its first zero character. Empty when
    // the command cannot be sent, including when it would not fit in MaxCommandBytes with its
    // terminator (a command is never sent cut short).
    static QByteArray wireForm(const QString& text);

    bool isApiReady() const { return m_apiReady.load(); }
    // Skype reported that its user logged out: deliveries fail until the next first attach.
    void clearApiReady() { m_apiReady.store(false); }
    bool isQueueOpen() const { return m_queue.isOpen(); }
    bool isKeepAliveRunning() const { return m_pingTimer.isActive(); }
    // Skype answered (pong or attach) since the last keep-alive tick.
    bool isAlive() const { return m_alive; }
    int missCount() const { return m_missCount; }
    bool friendsRequested() const { return m_friendsRequested; }

    QObject* owner() const { return m_owner.data(); }
    void postToOwner(int message, qintptr wParam = 0, qintptr lParam = 0) const;

    int ownStatusCode() const { return m_ownStatusCode; }
    void setOwnStatusCode(int code) { m_ownStatusCode = code; }
    QString CurrentUserHandle() const { return m_currentUserHandle; }
    void setCurrentUserHandle(const QString& handle) { m_currentUserHandle = handle; }
    QString chatName() const { return m_chatName; }
    void setChatName(const QString& name) { m_chatName = name; }
    // Signalled when Skype reports the chat dialog asked for with "chat create".
    AutoResetEvent& chatCreated() { return m_chatCreated; }
    bool IsIncomingCall() const { return m_incomingCall; }
    void setIncomingCall(bool incoming) { m_incomingCall = incoming; }

signals:
    // Emitted by handleIncomingText() for each text it is given.
    void textReceived(const QString& text);

private:
    SkypeLink();

    bool start(QObject* owner, std::unique_ptr<SkypeTransport> transport);
    void shutdown();

    void onAttachStatus(int status) override;
    void onText(const QString& text) override;
    void onApiWindowGone() override;

    void discover();
    void runFirstAttachQueries();
    void loseSkype();

    void runSender();
    void deliverWithRetries(const QString& text);
    bool deliver(const QByteArray& utf8);
    // Sleeps on the sender thread; returns early when the link is stopping.
    void pauseSender(std::chrono::milliseconds duration);
    void stopSender();

    std::unique_ptr<SkypeTransport> m_transport;
    bool m_windowCreated = false;
    QPointer<QObject> m_owner;

    CommandQueue m_queue;
    std::thread m_sender;
    std::atomic<bool> m_stop{false};
    std::mutex m_pauseMutex;
    std::condition_variable m_pauseWake;
    // Signalled by the first attach; the sender thread waits for it before it starts delivering.
    AutoResetEvent m_attached;

    std::atomic<bool> m_apiReady{false};
    bool m_rediscovering = false;
    bool m_alive = false;
    int m_missCount = 0;
    QTimer m_pingTimer;

    int m_ownStatusCode = 0;
    QString m_currentUserHandle;
    bool m_friendsRequested = false;
    QString m_chatName;
    AutoResetEvent m_chatCreated;
    bool m_incomingCall = true;
};
