#pragma once

#include <QString>
#include <QtGlobal>

// One finished recording as the history keeps it. A plain value, copied freely between the
// recording control, the history store and the history window.
struct RecordEntry {
    qint32 type = 3;     // 1 incoming call, 2 outgoing call, 3 direction unknown; 0 read from an empty element
    bool isNew = true;   // true until the recording has been played to its end
    qint32 duration = 0; // whole seconds, pauses excluded
    QString name;        // partner handle(s), joined by "," for several partners
    QString time;        // start as decimal seconds since 1970 UTC; with name, the record's identity
    QString file;        // full path of the MP3 file
    QString note;        // free text; may hold CR LF line breaks

    friend bool operator==(const RecordEntry&, const RecordEntry&) = default;
};
