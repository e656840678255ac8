#include "chat/ChatAutoReply.h"

#include "settings/CGeneralProfile.h"
#include "skype/SkypeText.h"
#include "skype/StatusCodes.h"

namespace {
// ONLINE, SKYPEME, AWAY, NA and DND: statuses in which a chat may be answered.
bool allowsReplies(int code)
{
    return code >= UserOnline && code <= UserDoNotDisturb;
}

// Whether the settings allow a reply while the user has this status.
bool repliesIn(int code, const CGeneralProfile& settings)
{
    switch (code) {
    case UserOnline:
    case UserSkypeMe:
        return settings.onlinereply;
    case UserAway:
    case UserNotAvailable:
    case UserDoNotDisturb:
        return settings.notonlinereply;
    default:
        return false;
    }
}
} // namespace

ChatAutoReply::ChatAutoReply(SendChatMessage send) : m_send(std::move(send)) {}

// Only Skype's "CHATMESSAGE id CHATNAME name" answer matters here (also as "MESSAGE ...").
void ChatAutoReply::OnNotification(const QString& text)
{
    const std::optional<SkypeText::Notification> notification = SkypeText::tokenize(text);
    if (!notification)
        return;
    if (notification->keyword != QLatin1String("message") && notification->keyword != QLatin1String("chatmessage"))
        return;
    const std::optional<SkypeText::Split> message = SkypeText::splitAtBlank(notification->rest);
    if (!message)
        return;
    const std::optional<SkypeText::Split> property = SkypeText::splitAtBlank(message->tail.trimmed());
    if (!property || property->head != QLatin1String("CHATNAME"))
        return;
    const QStringView chatName = property->tail.trimmed();
    if (SkypeText::isNameSized(chatName))
        OnChatName(chatName.toString());
}

void ChatAutoReply::OnChatName(const QString& chatName)
{
    if (const ChatEntry* entry = find(chatName)) {
        TryReply(entry->chatName);
        return;
    }
    m_entries.push_back({chatName, allowsReplies(m_ownStatus)});
    TryReply(chatName);
}

void ChatAutoReply::TryReply(const QString& chatName)
{
    const CGeneralProfile& settings = CGeneralProfile::Instance();
    if (!settings.chatreply)
        return;
    ChatEntry* entry = find(chatName);
    if (!entry || !entry->pending || !repliesIn(m_ownStatus, settings))
        return;
    m_send(chatName, settings.replytxt);
    entry->pending = false;
}

void ChatAutoReply::OnOwnStatus(int code)
{
    m_ownStatus = code;
    for (ChatEntry& entry : m_entries)
        entry.pending = allowsReplies(code);
}

ChatAutoReply::ChatEntry* ChatAutoReply::find(const QString& chatName)
{
    for (ChatEntry& entry : m_entries) {
        if (entry.chatName.compare(chatName, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}
