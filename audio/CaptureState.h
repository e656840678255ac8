#pragma once

// The recording state kept by AudioCapture and set by the recording control. A recording runs
// while the state is Recording, Paused or Resumed.
enum class CaptureState : int {
    Recording = 256,
    Paused = 257,
    Resumed = 258, // recording again after a pause
    Stopped = 259,
    Idle = 260, // no recording since the program started
};

inline bool isRecordingState(CaptureState state)
{
    return state == CaptureState::Recording || state == CaptureState::Paused || state == CaptureState::Resumed;
}
