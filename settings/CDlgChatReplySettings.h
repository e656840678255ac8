#pragma once

#include "settings/COptionsPage.h"

class QCheckBox;
class LimitedTextEdit;

// The "Chat Reply" page: whether and when incoming chats are answered, and with what text.
class CDlgChatReplySettings : public COptionsPage {
    Q_OBJECT

public:
    enum ControlId {
        ChatReply = 1058,      // chatreply
        OnlineReply = 1063,    // onlinereply
        NotOnlineReply = 1064, // notonlinereply
        ReplyText = 1065,      // replytxt
    };
    static constexpr int replyTextLimit = 512;

    explicit CDlgChatReplySettings(CGeneralProfile& profile, QWidget* parent = nullptr);

private:
    void enableReplyControls(bool enable);
    void createReplyText(QBoxLayout* layout);

    QCheckBox* m_online = nullptr;
    QCheckBox* m_notOnline = nullptr;
    LimitedTextEdit* m_text = nullptr;
};
