#include "skype/SkypeCommands.h"

namespace SkypeCommands {

QString fullNameQuery(const QString& handle)
{
    return QStringLiteral("get user ") + handle + QStringLiteral(" fullname");
}

QString callQuery(const QString& callId, const QString& property)
{
    return QStringLiteral("get call ") + callId + QLatin1Char(' ') + property;
}

QString callPartnerQuery(const QString& callId)
{
    return callQuery(callId, QStringLiteral("partner_handle"));
}

QString callTypeQuery(const QString& callId)
{
    return callQuery(callId, QStringLiteral("type"));
}

QString callStatusQuery(const QString& callId)
{
    return callQuery(callId, QStringLiteral("status"));
}

QString confParticipantsCountQuery(const QString& callId)
{
    return callQuery(callId, QStringLiteral("conf_participants_count"));
}

QString confParticipantQuery(const QString& callId, int n)
{
    return callQuery(callId, QStringLiteral("conf_participant ") + QString::number(n));
}

QString targetIdentityQuery(const QString& callId)
{
    return callQuery(callId, QStringLiteral("target_identity"));
}

QString chatNameQuery(const QString& messageId)
{
    return QStringLiteral("get chatmessage ") + messageId + QStringLiteral(" chatname");
}

QString captureMicRedirect(const QString& callId, int port)
{
    return QStringLiteral("alter call ") + callId + QStringLiteral(" set_capture_mic port=\"") + QString::number(port) +
           QLatin1Char('"');
}

QString outputRedirect(const QString& callId, int port)
{
    return QStringLiteral("alter call ") + callId + QStringLiteral(" set_output soundcard=\"default\", port=\"") +
           QString::number(port) + QLatin1Char('"');
}

QString chatMessage(const QString& chatName, const QString& text)
{
    return QStringLiteral("chatmessage  ") + chatName + QLatin1Char(' ') + text;
}

QString placeCall(const QString& handles)
{
    return QStringLiteral("call ") + handles;
}

QString createChat(const QString& handles)
{
    return QStringLiteral("chat create ") + handles;
}

QString openChat(const QString& chatName)
{
    return QStringLiteral("open chat ") + chatName;
}

} // namespace SkypeCommands
