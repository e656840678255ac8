#pragma once

#include <QString>

// The texts of the commands the program sends to Skype, exactly as Skype expects them: lower
// case, the pieces joined without extra blanks. Only built here; they travel through
// SkypeLink::PushCommand.
namespace SkypeCommands {

QString fullNameQuery(const QString& handle);
QString callQuery(const QString& callId, const QString& property);
QString callPartnerQuery(const QString& callId);
QString callTypeQuery(const QString& callId);
QString callStatusQuery(const QString& callId);
QString confParticipantsCountQuery(const QString& callId);
QString confParticipantQuery(const QString& callId, int n);
QString targetIdentityQuery(const QString& callId);
QString chatNameQuery(const QString& messageId);

// Points Skype's copy of the microphone (my side) at a local port.
QString captureMicRedirect(const QString& callId, int port);
// Points Skype's copy of the call's output (the remote side) at a local port.
QString outputRedirect(const QString& callId, int port);

QString chatMessage(const QString& chatName, const QString& text);
QString placeCall(const QString& handles);
QString createChat(const QString& handles);
QString openChat(const QString& chatName);

} // namespace SkypeCommands
