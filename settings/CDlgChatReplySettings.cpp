#include "settings/CDlgChatReplySettings.h"

#include "settings/CGeneralProfile.h"
#include "settings/LimitedTextEdit.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

CDlgChatReplySettings::CDlgChatReplySettings(CGeneralProfile& profile, QWidget* parent)
    : COptionsPage(profile, QStringLiteral("Chat"), parent)
{
    auto* layout = new QVBoxLayout(this);
    QCheckBox* enable =
        addCheckBox(layout, ChatReply, QStringLiteral("Enable automatically chat reply"), m_profile.chatreply);

    // The two status boxes belong to the one above, so they stand indented under it.
    auto* statuses = new QVBoxLayout;
    statuses->setContentsMargins(24, 0, 0, 0);
    m_online = addCheckBox(statuses, OnlineReply, QStringLiteral("Reply chat at online status"), m_profile.onlinereply);
    m_notOnline = addCheckBox(statuses, NotOnlineReply, QStringLiteral("Reply chat at Away, NA, DND status"),
                              m_profile.notonlinereply);
    layout->addLayout(statuses);
    layout->addSpacing(8);

    createReplyText(layout);
    enableReplyControls(m_profile.chatreply);
    connect(enable, &QCheckBox::toggled, this, &CDlgChatReplySettings::enableReplyControls);
}

void CDlgChatReplySettings::createReplyText(QBoxLayout* layout)
{
    auto* label = new QLabel(QStringLiteral("Chat Reply Message"), this);
    layout->addWidget(label);

    m_text = new LimitedTextEdit(this);
    m_text->setObjectName(controlName(ReplyText));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text->setTabChangesFocus(true);
    // A stored text that is already longer is shown whole; the limit holds what the user enters.
    m_text->setPlainText(m_profile.replytxt);
    m_text->setMaxLength(replyTextLimit);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] { m_profile.replytxt = m_text->toPlainText(); });
    layout->addWidget(m_text, 1);
}

void CDlgChatReplySettings::enableReplyControls(bool enable)
{
    m_online->setEnabled(enable);
    m_notOnline->setEnabled(enable);
    m_text->setEnabled(enable);
}
