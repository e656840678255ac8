#pragma once

#include <QString>
#include <QStringView>

class SkypeLink;

// Understands the texts Skype sends (answers to the program's queries and Skype's own
// notifications alike): keeps the link's state, the call table, the contact directory and the
// call partners up to date, queues the follow-up queries and posts the link's events to the
// owner window. Texts it does not understand change nothing.
//
// Runs on the user-interface thread, for every text after the chat auto-reply has seen it.
class SkypeParser {
public:
    // At most this many friends are taken from one friend list.
    static constexpr int MaxFriendsPerText = 5000;

    explicit SkypeParser(SkypeLink& link);

    void Parse(const QString& text);

private:
    void onUsers(QStringView list);
    void onUser(QStringView rest);
    void onFullName(QStringView handle, QStringView value, bool hasValue);
    void onBuddyStatus(QStringView handle, QStringView value);
    void onOwnStatus(QStringView word, bool connectionStatus);
    void onCurrentUserHandle(QStringView handle);
    void onChat(QStringView rest);
    void onChatMessage(QStringView rest);
    void onWindowState(QStringView word);

    void onCall(QStringView rest);
    void onCallStatus(const QString& callId, QStringView value);
    void onCallPartner(const QString& callId, QStringView value);
    void onCallDtmf(const QString& callId, QStringView value);
    void onCallDuration(const QString& callId);
    void onConfParticipantsCount(const QString& callId, QStringView value);
    void onCallType(QStringView value);

    void addFriend(QStringView handle);

    SkypeLink& m_link;
};
