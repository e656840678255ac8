#pragma once

#include "chat/ChatAutoReply.h"
#include "skype/AutoResetEvent.h"
#include "skype/CallPartnerMap.h"
#include "skype/CallTable.h"
#include "skype/CommandQueue.h"
#include "skype/ContactDirectory.h"
#include "skype/SkypeTransport.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class SkypeParser;

// The program's connection to the Skype client: attaches through a SkypeTransport, delivers the
// queued commands from its own sender thread, keeps the attachment alive with "ping" and hands
// every text Skype sends to handleIncomingText() on the user-interface thread.
//
// One link per process: LinkInstance() makes it, StartLink() attaches it to its owner (the main
// window, which receives the link's window messages), ShutdownLink() ends and destroys it. The
// link owns what it learns from Skype: the call table, the call partners, the contact directory
// and the chat auto-reply, made with it and destroyed with it.
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

    // Call ids kept for re-issuing the audio redirection; a call beyond them is still
    // redirected, just not again after a lost connection.
    static constexpr int MaxRedirectedCalls = 64;

    // OpenChatWith waits this many passes, each waiting this long for the chat before it handles
    // the waiting events; once the chat is open it handles events a little longer.
    static constexpr int OpenChatPasses = 3000;
    static constexpr std::chrono::milliseconds OpenChatPassWait{3};
    static constexpr std::chrono::milliseconds OpenChatSettle{200};
    static constexpr std::chrono::milliseconds OpenChatSettlePause{5};

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
    // thread, exactly as received, and goes to the chat auto-reply and then to the parser.
    void handleIncomingText(const QString& text);

    CallTable& callTable() { return m_callTable; }
    CallPartnerMap& callPartnerMap() { return m_callPartners; }
    ContactDirectory& contactDirectory() { return m_contacts; }
    ChatAutoReply& chatAutoReply() { return m_chatAutoReply; }

    // Asks Skype to copy the call's microphone and output to the two audio ports, and lists
    // the call for ReissueAudioRedirect.
    bool RedirectAudio(const QString& callId);
    // An audio connection closed: while a call is in progress, asks Skype again for the audio
    // of every listed call so that it connects anew. Called on the audio receiving threads;
    // does nothing when there is no link.
    static void ReissueAudioRedirect();
    // The listed call ids, each followed by one blank.
    QString RedirectedCalls() const;
    // The two ports named in the audio redirection (the tests run the program on other ports).
    void setAudioPorts(int mySidePort, int remoteSidePort);

    // A call ended and none is active any more: frees the call table, forgets the redirected
    // calls and clears the incoming flag.
    void ResetCallState();

    // Calls the handles (a comma-separated list). Whether the command was queued.
    bool PlaceCall(const QString& handles);
    // Sends the text to the chat, cut between two characters where the whole command would not
    // fit in MaxCommandBytes.
    bool SendChatMessage(const QString& chatName, const QString& text);
    // Opens a chat window with the handles: asks Skype to create the chat and, once Skype
    // names it, to open it. Handles the user-interface thread's events while it waits (about
    // 9 s at most). False when another one is waiting, when Skype never named the chat, or when
    // the wait was ended by EndWaits().
    bool OpenChatWith(const QString& handles);
    // The program is ending: a waiting OpenChatWith returns at once and no new one starts.
    // Also done when the application announces that it is about to quit.
    void EndWaits();

    // The queries whose answers the parser takes in.
    void QueryFullName(const QString& handle);
    void QueryCallPartner(const QString& callId);
    void QueryCallType(const QString& callId);
    void QueryCallStatus(const QString& callId);
    void QueryConfParticipantsCount(const QString& callId);
    void QueryConfParticipant(const QString& callId, int n);
    void QueryTargetIdentity(const QString& callId);
    void QueryChatName(const QString& messageId);

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

    void reissueAudioRedirect();
    bool waitForChatName(const QPointer<SkypeLink>& self);
    void pumpEvents(const QPointer<SkypeLink>& self, std::chrono::milliseconds duration);

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

    CallTable m_callTable;
    CallPartnerMap m_callPartners;
    ContactDirectory m_contacts;
    ChatAutoReply m_chatAutoReply;
    std::unique_ptr<SkypeParser> m_parser;

    // Read by the audio receiving threads through ReissueAudioRedirect. The ports are where Skype
    // is asked to send a call's audio: the microphone (my side) and the call's output (the
    // remote side); the audio servers' own ports unless the program moved them.
    mutable std::mutex m_redirectMutex;
    QStringList m_redirectedCalls;
    std::atomic<int> m_mySidePort;
    std::atomic<int> m_remoteSidePort;

    bool m_openChatRunning = false;
    std::atomic<bool> m_ending{false};
};
