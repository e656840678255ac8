#pragma once

#include "history/RecordEntry.h"

#include <QString>

// What the recording control shows and asks of the main window. The main window implements it;
// the control's tests use a fake. The control keeps `durationSeconds` and `statusCode` current in
// the window's RecordingCounters, which it is given by reference; the view reads them whenever it
// redraws the time display.
class RecordingView {
public:
    enum class RecordLook { Start, Stop };  // the Stop look enables the pause button, Start disables it
    enum class PauseLook { Pause, Resume };

    // Colours of the recording-status line, as 0xRRGGBB.
    static constexpr quint32 AlertColour = 0xE20000; // RGB(226,0,0): waiting and recording
    static constexpr quint32 NormalColour = 0x000000;

    virtual ~RecordingView() = default;

    // The recording-status line (1009).
    virtual void setRecordingStatus(const QString& text, quint32 rgb) = 0;
    virtual void setRecordLook(RecordLook look) = 0;
    virtual void setPauseLook(PauseLook look) = 0;
    virtual void setRecordButtonEnabled(bool enabled) = 0;
    // Both level meters to 0, repainted.
    virtual void resetLevelMeters() = 0;
    // Redraws the time display from the control's durationSeconds and statusCode.
    virtual void refreshTimeDisplay() = 0;
    // Shows the main window normally and brings it to the foreground.
    virtual void bringToFront() = 0;
    // Shows the history window where it is, without placing it.
    virtual void showHistoryWindow() = 0;
    // Adds a finished recording to the history window's tree and recounts.
    virtual void addToHistoryWindow(const RecordEntry& entry) = 0;
};
