#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The chats of the stand-in's Skype and the messages in them. A chat with one other person is a
// dialog named the way Skype names them: "#" + the other's handle + "/$" + the user's handle +
// ";" + a hex number.
class StandInChats {
public:
    struct Message {
        QString chat;
        QString from;
        QString body;
    };

    // The dialog with the handle, made when there is none yet.
    QString dialogWith(const QString& handle, const QString& user);
    // Records a message; returns its id.
    int addMessage(const QString& chat, const QString& from, const QString& body);
    const Message* message(int id) const;
    bool exists(const QString& chat) const { return m_members.contains(chat); }

private:
    QHash<QString, QStringList> m_members; // chat name -> the other people in it
    QHash<int, Message> m_messages;
    int m_nextChat = 0x2a01;
    int m_nextMessage = 1001;
};
