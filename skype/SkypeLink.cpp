#include "skype/SkypeLink.h"

#include "audio/AudioCapture.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"
#include "skype/DBusSkypeTransport.h"
#include "skype/SkypeCommands.h"
#include "skype/SkypeParser.h"
#include "skype/SkypeText.h"

#include <QCoreApplication>

#include <algorithm>

namespace {
std::mutex instanceMutex;
std::unique_ptr<SkypeLink> instance;

const QString firstAttachQueries[3] = {
    QStringLiteral("get currentuserhandle"),
    QStringLiteral("get connstatus"),
    QStringLiteral("get userstatus"),
};

// The longest start of the text whose UTF-8 form takes at most maxBytes, ending between two
// characters: never inside a UTF-8 sequence, so never between the two halves of a surrogate pair.
QString leftUtf8(const QString& text, qsizetype maxBytes)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= maxBytes)
        return text;
    qsizetype cut = std::max<qsizetype>(maxBytes, 0);
    while (cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80)
        --cut;
    return QString::fromUtf8(utf8.left(cut));
}
} // namespace

SkypeLink& SkypeLink::LinkInstance()
{
    std::lock_guard lock(instanceMutex);
    if (!instance)
        instance.reset(new SkypeLink);
    return *instance;
}

bool SkypeLink::HasInstance()
{
    std::lock_guard lock(instanceMutex);
    return instance != nullptr;
}

bool SkypeLink::StartLink(QObject* owner, std::unique_ptr<SkypeTransport> transport)
{
    return LinkInstance().start(owner, std::move(transport));
}

// The audio threads reach the link only through ReissueAudioRedirect, under the instance lock:
// once ShutdownLink has taken the link away they find none.
void SkypeLink::ShutdownLink()
{
    std::unique_ptr<SkypeLink> link;
    {
        std::lock_guard lock(instanceMutex);
        link = std::move(instance);
    }
    if (link)
        link->shutdown();
}

SkypeLink::SkypeLink()
    : m_callTable([this](const QString& command) { return PushCommand(command); }),
      m_chatAutoReply([this](const QString& chat, const QString& text) { return SendChatMessage(chat, text); }),
      m_parser(std::make_unique<SkypeParser>(*this)), m_mySidePort(AudioCapture::MySidePort),
      m_remoteSidePort(AudioCapture::RemoteSidePort)
{
    m_pingTimer.setInterval(KeepAlivePeriodMs);
    connect(&m_pingTimer, &QTimer::timeout, this, &SkypeLink::onKeepAliveTick);
    if (QCoreApplication* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, &SkypeLink::EndWaits);
}

SkypeLink::~SkypeLink()
{
    shutdown();
}

bool SkypeLink::start(QObject* owner, std::unique_ptr<SkypeTransport> transport)
{
    if (m_windowCreated)
        return true;
    m_transport = transport ? std::move(transport) : std::make_unique<DBusSkypeTransport>();
    if (!m_transport->open(this)) {
        m_transport.reset();
        return false;
    }
    m_windowCreated = true;
    m_owner = owner;
    m_sender = std::thread(&SkypeLink::runSender, this);
    m_rediscovering = false;
    discover();
    return true;
}

void SkypeLink::shutdown()
{
    stopSender();
    ClearQueue();
    if (m_windowCreated) {
        m_transport->close();
        m_windowCreated = false;
        // A sender thread still waiting for the first attach wakes up and sees the stop flag.
        m_attached.set();
        m_sender.join();
    }
    m_pingTimer.stop();
}

bool SkypeLink::PushCommand(const QString& text)
{
    return m_queue.push(text);
}

void SkypeLink::OpenQueue()
{
    m_queue.open();
}

void SkypeLink::CloseQueue()
{
    m_queue.close();
}

void SkypeLink::ClearQueue()
{
    m_queue.clear();
}

void SkypeLink::postToOwner(int message, qintptr wParam, qintptr lParam) const
{
    PostWindowMessage(m_owner.data(), message, wParam, lParam);
}

void SkypeLink::discover()
{
    if (m_windowCreated)
        m_transport->discover();
}

void SkypeLink::onAttachStatus(int status)
{
    switch (status) {
    case SKYPE_ATTACH_SUCCESS:
        // During re-discovery Skype merely confirms the attachment; the first-attach queries
        // are only repeated when the link had lost Skype.
        if (!m_rediscovering)
            runFirstAttachQueries();
        m_rediscovering = false;
        m_alive = true;
        m_pingTimer.start();
        break;
    case SKYPE_ATTACH_REFUSED:
        m_attached.reset();
        CloseQueue();
        m_apiReady.store(false);
        // The link now waits for Skype to come back on its own. Keeping the re-discovery going
        // would only ask Skype again and again and show the refusal each time; and a later
        // attach must run the first-attach queries, which reopen the queue.
        m_rediscovering = false;
        m_missCount = 0;
        m_pingTimer.stop();
        postToOwner(WM_LINK_REFUSED);
        break;
    case SKYPE_ATTACH_API_AVAILABLE:
        if (!m_apiReady.load()) {
            m_rediscovering = false;
            discover();
        }
        break;
    default:
        break;
    }
}

void SkypeLink::onApiWindowGone()
{
    loseSkype();
}

void SkypeLink::runFirstAttachQueries()
{
    m_missCount = 0;
    m_attached.set();
    OpenQueue();
    m_apiReady.store(true);
    for (const QString& query : firstAttachQueries)
        PushCommand(query);
    m_friendsRequested = true;
    PushCommand(QStringLiteral("search friends"));
}

void SkypeLink::loseSkype()
{
    m_missCount = 0;
    m_pingTimer.stop();
    m_attached.reset();
    CloseQueue();
    m_apiReady.store(false);
    m_rediscovering = false;
}

void SkypeLink::onKeepAliveTick()
{
    if (!m_pingTimer.isActive())
        return;
    if (m_alive) {
        m_alive = false;
        PushCommand(QStringLiteral("ping"));
        m_missCount = 0;
    } else if (m_missCount < 3) {
        m_rediscovering = true;
        discover();
        ++m_missCount;
    } else {
        // Skype stays silent: wait until it announces that its API is available again.
        loseSkype();
    }
}

void SkypeLink::onText(const QString& text)
{
    if (text.toLower() == QLatin1String("pong")) {
        m_alive = true;
        return;
    }
    if (!text.isEmpty())
        handleIncomingText(text);
}

void SkypeLink::handleIncomingText(const QString& text)
{
    emit textReceived(text);
    const QStringView wireText = SkypeText::untilZero(text);
    if (wireText.size() > SkypeText::MaxTextLength)
        return;
    const QString notification = wireText.toString();
    m_chatAutoReply.OnNotification(notification);
    m_parser->Parse(notification);
}

bool SkypeLink::RedirectAudio(const QString& callId)
{
    PushCommand(SkypeCommands::captureMicRedirect(callId, m_mySidePort.load()));
    PushCommand(SkypeCommands::outputRedirect(callId, m_remoteSidePort.load()));
    std::lock_guard lock(m_redirectMutex);
    // Whole ids are compared: call 12 is not listed because call 112 is.
    if (!callId.isEmpty() && !m_redirectedCalls.contains(callId) && m_redirectedCalls.size() < MaxRedirectedCalls)
        m_redirectedCalls.append(QString(callId.constData(), callId.size()));
    return true;
}

void SkypeLink::ReissueAudioRedirect()
{
    std::lock_guard lock(instanceMutex);
    if (instance)
        instance->reissueAudioRedirect();
}

void SkypeLink::reissueAudioRedirect()
{
    if (!m_callTable.AnyCallInProgress())
        return;
    // Copies of their own: this runs on an audio receiving thread.
    QStringList ids;
    {
        std::lock_guard lock(m_redirectMutex);
        for (const QString& id : std::as_const(m_redirectedCalls))
            ids.append(QString(id.constData(), id.size()));
    }
    for (const QString& id : std::as_const(ids))
        RedirectAudio(id);
}

QString SkypeLink::RedirectedCalls() const
{
    std::lock_guard lock(m_redirectMutex);
    QString list;
    for (const QString& id : m_redirectedCalls)
        list += id + QLatin1Char(' ');
    return list;
}

void SkypeLink::setAudioPorts(int mySidePort, int remoteSidePort)
{
    m_mySidePort.store(mySidePort);
    m_remoteSidePort.store(remoteSidePort);
}

void SkypeLink::ResetCallState()
{
    m_callTable.ClearCalls();
    {
        std::lock_guard lock(m_redirectMutex);
        m_redirectedCalls.clear();
    }
    m_incomingCall = false;
}

bool SkypeLink::PlaceCall(const QString& handles)
{
    return PushCommand(SkypeCommands::placeCall(handles));
}

// Skype refuses a command too long for MaxCommandBytes, and the replies the user may write can
// be longer than that once in UTF-8: a long message goes out cut short rather than not at all.
bool SkypeLink::SendChatMessage(const QString& chatName, const QString& text)
{
    const QString command = SkypeCommands::chatMessage(chatName, QString());
    const qsizetype room = MaxCommandBytes - 1 - command.toUtf8().size();
    PushCommand(command + leftUtf8(text, room));
    return true;
}

// The events handled while waiting may end the program, start another OpenChatWith or even
// destroy the link: `self` tells whether the link is still there before anything of it is used.
bool SkypeLink::OpenChatWith(const QString& handles)
{
    if (m_openChatRunning || m_ending.load())
        return false;
    m_openChatRunning = true;
    const QPointer<SkypeLink> self(this);
    PushCommand(SkypeCommands::createChat(handles));
    m_chatCreated.reset();
    const bool named = waitForChatName(self);
    if (!self)
        return false;
    if (named) {
        m_chatCreated.reset();
        PushCommand(SkypeCommands::openChat(m_chatName));
        // Lets Skype's answers arrive while the chat window opens.
        pumpEvents(self, OpenChatSettle);
        if (!self)
            return true;
    }
    m_openChatRunning = false;
    return named;
}

bool SkypeLink::waitForChatName(const QPointer<SkypeLink>& self)
{
    for (int pass = 0; pass < OpenChatPasses; ++pass) {
        if (m_chatCreated.waitFor(OpenChatPassWait))
            return true;
        if (m_ending.load())
            return false;
        QCoreApplication::processEvents();
        if (!self)
            return false;
    }
    return false;
}

void SkypeLink::pumpEvents(const QPointer<SkypeLink>& self, std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents();
        if (!self || m_ending.load())
            return;
        std::this_thread::sleep_for(OpenChatSettlePause);
    }
}

// A quit request during the chat wait must not keep the program for seconds: the wait ends at
// once instead of running on until Skype answers or the passes are used up.
void SkypeLink::EndWaits()
{
    m_ending.store(true);
}

void SkypeLink::QueryFullName(const QString& handle)
{
    const QString trimmed = handle.trimmed();
    if (!trimmed.isEmpty())
        PushCommand(SkypeCommands::fullNameQuery(trimmed));
}

void SkypeLink::QueryCallPartner(const QString& callId)
{
    PushCommand(SkypeCommands::callPartnerQuery(callId));
}

void SkypeLink::QueryCallType(const QString& callId)
{
    PushCommand(SkypeCommands::callTypeQuery(callId));
}

void SkypeLink::QueryCallStatus(const QString& callId)
{
    PushCommand(SkypeCommands::callStatusQuery(callId));
}

void SkypeLink::QueryConfParticipantsCount(const QString& callId)
{
    PushCommand(SkypeCommands::confParticipantsCountQuery(callId));
}

void SkypeLink::QueryConfParticipant(const QString& callId, int n)
{
    PushCommand(SkypeCommands::confParticipantQuery(callId, n));
}

void SkypeLink::QueryTargetIdentity(const QString& callId)
{
    PushCommand(SkypeCommands::targetIdentityQuery(callId));
}

void SkypeLink::QueryChatName(const QString& messageId)
{
    PushCommand(SkypeCommands::chatNameQuery(messageId));
}

QByteArray SkypeLink::wireForm(const QString& text)
{
    const QByteArray utf8 = SkypeText::untilZero(text).toUtf8();
    if (utf8.size() + 1 > MaxCommandBytes)
        return {};
    return utf8;
}

void SkypeLink::runSender()
{
    m_attached.wait();
    while (!m_stop.load()) {
        QString text;
        if (!m_queue.take(text)) {
            pauseSender(IdlePoll);
            continue;
        }
        deliverWithRetries(text);
        pauseSender(SendSpacing);
    }
}

// Each text gets its own retries: Skype failing to take one command says nothing about the
// next, and a budget shared by the whole run would be spent after a few hiccups.
void SkypeLink::deliverWithRetries(const QString& text)
{
    const QByteArray utf8 = wireForm(text);
    if (utf8.isEmpty())
        return; // can never be sent; retrying would not change that
    for (int retries = 0; !deliver(utf8); ++retries) {
        if (m_stop.load() || retries == MaxRetries)
            return;
        pauseSender(RetryPause);
    }
}

bool SkypeLink::deliver(const QByteArray& utf8)
{
    return m_apiReady.load() && m_transport->deliver(utf8);
}

void SkypeLink::pauseSender(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_pauseMutex);
    m_pauseWake.wait_for(lock, duration, [this] { return m_stop.load(); });
}

void SkypeLink::stopSender()
{
    {
        std::lock_guard lock(m_pauseMutex);
        m_stop.store(true);
    }
    m_pauseWake.notify_all();
}
