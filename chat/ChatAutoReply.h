#pragma once

#include <QString>

#include <functional>
#include <vector>

// Answers incoming chat messages with the configured text, at most once per chat in each period
// of the user's own online status. It sees every text from Skype before the notification parser,
// picks up the chat name of a received message (Skype's CHATNAME answer), and hears the user's
// status from the parser. The switches and the text (chatreply, onlinereply, notonlinereply,
// replytxt) are read from the settings profile each time, so a change applies to the next message.
//
// Used on the user-interface thread only.
class ChatAutoReply {
public:
    // How the reply goes out (SkypeLink::SendChatMessage).
    using SendChatMessage = std::function<bool(const QString& chatName, const QString& text)>;

    struct ChatEntry {
        QString chatName; // as Skype first reported it; replies use it exactly
        bool pending;     // the chat is due one reply
    };

    explicit ChatAutoReply(SendChatMessage send);

    // Every text from Skype but the keep-alive answer.
    void OnNotification(const QString& text);
    // A received message's chat: known chats (case ignored) keep their pending flag, a new one
    // is pending when the user's status allows replies; then TryReply.
    void OnChatName(const QString& chatName);
    // Sends the reply when the feature is on, the chat is pending and the user's status allows
    // it; the chat is then answered until the status next changes.
    void TryReply(const QString& chatName);
    // The user's own status changed (UserStatusCode): a new period begins.
    void OnOwnStatus(int code);

    int ownStatusCode() const { return m_ownStatus; }
    const std::vector<ChatEntry>& entries() const { return m_entries; }

private:
    ChatEntry* find(const QString& chatName);

    SendChatMessage m_send;
    std::vector<ChatEntry> m_entries; // in order of first appearance, kept for the whole run
    int m_ownStatus = 0;
};
