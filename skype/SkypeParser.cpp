#include "skype/SkypeParser.h"

#include "chat/ChatAutoReply.h"
#include "platform/WindowMessages.h"
#include "skype/SkypeLink.h"
#include "skype/SkypeText.h"
#include "skype/StatusCodes.h"

using SkypeText::isNameSized;
using SkypeText::Split;
using SkypeText::splitAtBlank;

namespace {
bool is(QStringView text, const char* word)
{
    return text == QLatin1String(word);
}
} // namespace

SkypeParser::SkypeParser(SkypeLink& link) : m_link(link) {}

void SkypeParser::Parse(const QString& text)
{
    const std::optional<SkypeText::Notification> notification = SkypeText::tokenize(text);
    if (!notification)
        return;
    const QString& keyword = notification->keyword;
    const QStringView rest = notification->rest;
    if (keyword == QLatin1String("users"))
        onUsers(rest);
    else if (keyword == QLatin1String("user"))
        onUser(rest);
    else if (keyword == QLatin1String("connstatus"))
        onOwnStatus(rest, true);
    else if (keyword == QLatin1String("userstatus"))
        onOwnStatus(rest, false);
    else if (keyword == QLatin1String("currentuserhandle"))
        onCurrentUserHandle(rest);
    else if (keyword == QLatin1String("call"))
        onCall(rest);
    else if (keyword == QLatin1String("chat"))
        onChat(rest);
    else if (keyword == QLatin1String("message") || keyword == QLatin1String("chatmessage"))
        onChatMessage(rest);
    else if (keyword == QLatin1String("windowstate"))
        onWindowState(rest);
    // "error", "skypeversion" and every other word: nothing to do.
}

// The friend list, "USERS a, b, c": taken only once the program has asked for it.
void SkypeParser::onUsers(QStringView list)
{
    if (!m_link.friendsRequested())
        return;
    static const QString separator = QStringLiteral(", ");
    QStringView remainder = list;
    for (int taken = 0; !remainder.isEmpty() && taken < MaxFriendsPerText; ++taken) {
        const qsizetype end = remainder.indexOf(separator);
        addFriend(remainder.left(end < 0 ? remainder.size() : end).trimmed());
        if (end < 0)
            break;
        remainder = remainder.mid(end + separator.size()).trimmed();
    }
}

void SkypeParser::addFriend(QStringView handle)
{
    // A piece without a handle (", , ") names nobody.
    if (handle.isEmpty() || !isNameSized(handle))
        return;
    const QString friendHandle = handle.toString();
    m_link.contactDirectory().AddContact(friendHandle);
    m_link.QueryFullName(friendHandle);
}

// "USER handle PROPERTY [value]"
void SkypeParser::onUser(QStringView rest)
{
    const std::optional<Split> user = splitAtBlank(rest);
    if (!user || !isNameSized(user->head))
        return;
    const QStringView tail = user->tail.trimmed();
    const std::optional<Split> property = splitAtBlank(tail);
    const QString name = (property ? property->head : tail).toString().toUpper();
    const QStringView value = property ? property->tail.trimmed() : QStringView();
    if (name == QLatin1String("FULLNAME"))
        onFullName(user->head, value, property.has_value());
    else if (name == QLatin1String("BUDDYSTATUS"))
        onBuddyStatus(user->head, value);
}

// Call partners' names are kept like friends' names: the link asks for them when a partner
// becomes known, and the history shows them instead of the bare handle.
void SkypeParser::onFullName(QStringView handle, QStringView value, bool hasValue)
{
    if (handle == m_link.CurrentUserHandle() || !isNameSized(value))
        return;
    const QString contact = handle.toString();
    m_link.contactDirectory().SetFullName(contact, hasValue ? value.toString() : contact);
}

void SkypeParser::onBuddyStatus(QStringView handle, QStringView value)
{
    const QString contact = handle.toString();
    switch (SkypeText::leadingNumber(value)) {
    case 1: // no longer a friend
        m_link.contactDirectory().RemoveContact(contact);
        break;
    case 2: // asked to be a friend
    case 3: // a friend
        m_link.contactDirectory().AddContact(contact);
        m_link.QueryFullName(contact);
        break;
    default:
        break;
    }
}

// "CONNSTATUS word" and "USERSTATUS word" both report the user's own status.
void SkypeParser::onOwnStatus(QStringView word, bool connectionStatus)
{
    const int code = userStatusCodeOf(word.toString().toUpper());
    if (connectionStatus && code == UserLoggedOut)
        m_link.clearApiReady();
    m_link.setOwnStatusCode(code);
    m_link.postToOwner(WM_LINK_USERSTATUS, code);
    m_link.chatAutoReply().OnOwnStatus(code);
}

void SkypeParser::onCurrentUserHandle(QStringView handle)
{
    if (!isNameSized(handle))
        return;
    m_link.setCurrentUserHandle(handle.toString());
    m_link.postToOwner(WM_LINK_USERHANDLE);
}

// "CHAT name STATUS DIALOG": the chat asked for with "chat create" is there.
void SkypeParser::onChat(QStringView rest)
{
    const std::optional<Split> chat = splitAtBlank(rest);
    if (!chat || !isNameSized(chat->head))
        return;
    if (!is(chat->tail, "STATUS DIALOG") && !is(chat->tail, "STATUS LEGACY_DIALOG"))
        return;
    m_link.setChatName(chat->head.toString());
    m_link.chatCreated().set();
}

// "CHATMESSAGE id STATUS RECEIVED": ask which chat the message belongs to; the chat auto-reply
// takes the answer.
void SkypeParser::onChatMessage(QStringView rest)
{
    const std::optional<Split> message = splitAtBlank(rest);
    if (!message)
        return;
    const QStringView id = message->head.trimmed();
    const std::optional<Split> property = splitAtBlank(message->tail.trimmed());
    if (property && is(property->head, "STATUS") && is(property->tail, "RECEIVED") && isNameSized(id))
        m_link.QueryChatName(id.toString());
}

void SkypeParser::onWindowState(QStringView word)
{
    const QString state = word.toString().toUpper();
    if (state == QLatin1String("MINIMIZED") || state == QLatin1String("HIDDEN"))
        m_link.postToOwner(WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_HIDDEN);
    else if (state == QLatin1String("NORMAL"))
        m_link.postToOwner(WM_LINK_SKYPEWINDOW, SKYPE_WINDOW_NORMAL);
}

// "CALL id PROPERTY value": a property without a value does nothing.
void SkypeParser::onCall(QStringView rest)
{
    const std::optional<Split> call = splitAtBlank(rest);
    if (!call || !isNameSized(call->head))
        return;
    const std::optional<Split> property = splitAtBlank(call->tail);
    if (!property)
        return;
    const QString callId = call->head.toString();
    const QString name = property->head.toString().toUpper();
    const QStringView value = property->tail;
    if (name == QLatin1String("STATUS"))
        onCallStatus(callId, value);
    else if (name == QLatin1String("PARTNER_HANDLE"))
        onCallPartner(callId, value);
    else if (name == QLatin1String("DTMF"))
        onCallDtmf(callId, value);
    else if (name == QLatin1String("DURATION"))
        onCallDuration(callId);
    else if (name == QLatin1String("CONF_PARTICIPANTS_COUNT"))
        onConfParticipantsCount(callId, value);
    else if (name == QLatin1String("TYPE"))
        onCallType(value);
    // CONF_PARTICIPANT and every other property: nothing to do.
}

void SkypeParser::onCallStatus(const QString& callId, QStringView value)
{
    const int code = callStatusCodeOf(value.toString().toUpper());
    switch (code) {
    case CallInProgress:
        m_link.RedirectAudio(callId);
        m_link.QueryCallType(callId);
        m_link.QueryTargetIdentity(callId);
        m_link.QueryCallPartner(callId);
        break;
    case CallRouting:
    case CallRinging:
        m_link.QueryCallType(callId);
        break;
    default:
        break;
    }
    const int slot = m_link.callTable().UpdateCallStatus(callId, code);
    m_link.postToOwner(WM_LINK_CALL, slot, LINK_CALL_STATUS_CHANGED);
}

void SkypeParser::onCallPartner(const QString& callId, QStringView value)
{
    if (!isNameSized(value))
        return;
    const QString handle = value.toString();
    m_link.callPartnerMap().RememberPartner(callId, handle);
    const int slot = m_link.callTable().SetCallPartner(callId, handle);
    m_link.contactDirectory().AddContact(handle);
    m_link.QueryFullName(handle);
    m_link.postToOwner(WM_LINK_CALL, slot, LINK_CALL_PARTNER_KNOWN);
}

// A key pressed in a call the program may not know yet (one already running when it attached).
void SkypeParser::onCallDtmf(const QString& callId, QStringView value)
{
    if (value.trimmed().size() == 1)
        m_link.callTable().FindOrAddCall(callId);
}

// Skype reports the running time of calls every second. While the table knows no call, such a
// call was already running when the program attached: asking about it fills the table in.
void SkypeParser::onCallDuration(const QString& callId)
{
    if (m_link.callTable().KnownCallCount() != 0)
        return;
    m_link.QueryCallPartner(callId);
    m_link.QueryCallType(callId);
    m_link.QueryCallStatus(callId);
    m_link.QueryConfParticipantsCount(callId);
}

void SkypeParser::onConfParticipantsCount(const QString& callId, QStringView value)
{
    if (m_link.callTable().KnownCallCount() == 0)
        return;
    if (SkypeText::leadingNumber(value.trimmed()) >= 2) {
        m_link.QueryConfParticipant(callId, 0);
        m_link.QueryConfParticipant(callId, 1);
    }
}

void SkypeParser::onCallType(QStringView value)
{
    m_link.setIncomingCall(value.compare(QLatin1String("incoming_p2p"), Qt::CaseInsensitive) == 0 ||
                           value.compare(QLatin1String("incoming_pstn"), Qt::CaseInsensitive) == 0);
}
