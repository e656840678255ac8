#pragma once

#include <QtGlobal>

// The two numbers behind the main window's time display: the seconds of the running recording
// and where the program stands. The main window holds them; the recording control keeps them
// up to date through a reference, and the window's time display reads them on every redraw.
struct RecordingCounters {
    enum StatusCode { WaitingForSkype = 0, Ready = 1, Recording = 2, Paused = 3 };

    quint64 durationSeconds = 0;
    qint32 statusCode = WaitingForSkype;
};
