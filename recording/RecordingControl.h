#pragma once

#include "recording/RecordingCounters.h"
#include "recording/RecordingSession.h"
#include "recording/RecordingView.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class WindowMessage;

// Decides when a recording starts and ends, names its file, drives the audio capture and adds
// the finished recording to the history. It belongs to the main window, which shows what it is
// told through RecordingView and holds the counters of its time display, and runs on the
// user-interface thread. Its inputs: the record and pause buttons, the Skype link's call events
// (WM_LINK_CALL) and its own WM_FINISH_RECORDING.
//
// Uses the process-wide SkypeLink, AudioCapture, CGeneralProfile and RecordStore as they stand
// when it acts; a missing link means no call, so nothing starts.
class RecordingControl : public QObject {
    Q_OBJECT

public:
    static constexpr int DurationTickMs = 1000;

    // counters: the window's durationSeconds and statusCode, kept current here. window: where
    // WM_FINISH_RECORDING is posted (it hands the message back, to handleMessage() or
    // OnFinishRecording()); without one the control posts it to itself.
    RecordingControl(RecordingView& view, RecordingCounters& counters, QObject* window = nullptr);
    ~RecordingControl() override;

    // The record button: Stop while a recording runs, otherwise Start.
    void OnRecordButton();
    // The pause button: Pause or Resume.
    void OnPauseButton();

    // Starts recording the earliest active call. False when there is none, when a recording
    // runs already, or when the file could not be created (the writer has said why).
    bool Start();
    // Shows the recording as stopped at once and posts WM_FINISH_RECORDING, which ends it.
    void Stop();
    // WM_FINISH_RECORDING: lets the audio path write what is queued, closes the file and adds the
    // record to the history.
    void OnFinishRecording();
    // The program's end, before the audio capture and the record store go: a recording still
    // running or paused, or stopped with its finish still pending, is finished as
    // OnFinishRecording does and entered in the record store, which saves it. The window is
    // not told: it is being taken down. With the mixing worker aborted (Exit) only the write in
    // progress completes; otherwise the queue is written, handling events meanwhile.
    void FinishOnExit();
    void Pause();
    void Resume();

    // WM_LINK_CALL. Only status changes (lParam 2) are taken; false for anything else, which the
    // window passes on to default processing.
    bool OnLinkCall(qintptr slot, qintptr change);

    // The duration timer's tick, every second while a recording runs and is not paused.
    void onDurationTick();

    // The two messages the control handles, routed by the window; false when the message is not
    // one of them (or a WM_LINK_CALL that is not a status change).
    bool handleMessage(const WindowMessage& message);

    // File name of a recording with this partner started at `seconds`: the partner, "_" and the
    // local time, with the characters a file name cannot hold replaced by "-". No extension.
    static QString MakeFileName(const QString& name, qint64 seconds);
    // The partner a recording is named after: "undisclosed_pstn" for any undisclosed number.
    static QString RecordingName(const QString& partner);

    // A recording runs (recording, paused or resumed) as far as the audio capture is concerned.
    bool isRecording() const;
    // Stopped on the screen, WM_FINISH_RECORDING not yet handled.
    bool isFinishPending() const { return m_finishPending; }
    bool isDurationTimerRunning() const { return m_durationTimer.isActive(); }
    const RecordingSession& session() const { return m_session; }

protected:
    bool event(QEvent* e) override;

private:
    void showRecording();
    void showPaused();
    void onCallInProgress(const QString& callId);
    void onCallEnded(const QString& callId);
    void noteCompanionCalls(const QString& recordedCall);
    RecordEntry finishRecording();

    RecordingView& m_view;
    RecordingCounters& m_counters;
    QPointer<QObject> m_window;
    RecordingSession m_session;
    QTimer m_durationTimer;
    bool m_finishPending = false;
    bool m_finishing = false;
    bool m_starting = false;
};
