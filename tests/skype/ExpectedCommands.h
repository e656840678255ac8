#pragma once

#include <QString>
#include <QStringList>

// The commands the link sends Skype, written out as Skype must receive them.
namespace ExpectedCommands {

// The program's name, given when it asks to attach on the bus.
inline const QString name = QStringLiteral("NAME Tallowin Skype Recorder");
// The queries after every first attach, in this order.
inline const QStringList firstAttach = {QStringLiteral("get currentuserhandle"), QStringLiteral("get connstatus"),
                                        QStringLiteral("get userstatus"), QStringLiteral("search friends")};

// The two audio redirections of a call in progress, to the program's usual ports by default.
inline QString captureMic(const QString& callId, int port = 38377)
{
    return QStringLiteral("alter call %1 set_capture_mic port=\"%2\"").arg(callId).arg(port);
}

inline QString output(const QString& callId, int port = 38376)
{
    return QStringLiteral("alter call %1 set_output soundcard=\"default\", port=\"%2\"").arg(callId).arg(port);
}

} // namespace ExpectedCommands
