#pragma once

#include "recording/RecordingCounters.h"

#include <QDialog>
#include <QIcon>
#include <memory>

class QLabel;
class RecordingControl;
class RecordingPanel;

// The program's main window. It runs as a modal dialog for the whole life of the process: its
// initialisation brings up every subsystem in a fixed order and its destruction takes them down
// again, also in a fixed order.
class CHelloWorldDlg : public QDialog {
    Q_OBJECT

public:
    explicit CHelloWorldDlg(QWidget* parent = nullptr);
    ~CHelloWorldDlg() override;

    // Initialises the window, then runs it until it ends (Escape, closing, the program being
    // asked to end). Returns how it ended.
    int DoModal();

    bool isInitialised() const { return m_initDone; }

    // The program is asked to end from outside (logout, kill): message boxes still open over
    // the window go first, then the window ends as if it had been closed.
    void EndOnRequest();

protected:
    bool event(QEvent* e) override;

private:
    bool OnInitDialog();
    void OnDestroy();

    void createRecordingFolder();
    void createDataFolder();
    void startAudio();
    void startLink();
    void saveSettings();
    void OnLinkRefused();
    void OnLinkUserHandle();

    QIcon m_icon;
    QLabel* m_status = nullptr;
    RecordingCounters m_counters;
    RecordingPanel* m_recordingPanel = nullptr;
    std::unique_ptr<RecordingControl> m_recording;
    bool m_initDone = false;
    bool m_destroyed = false;
    bool m_endRequested = false;
};
