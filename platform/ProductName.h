#pragma once

#include <QString>

// The product's name as the user and Skype see it: the caption of the program's message boxes,
// the name the program gives Skype, the name of its start-with-the-session entry.
inline QString productName()
{
    return QStringLiteral("Tallowin Skype Recorder");
}
