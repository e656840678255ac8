#pragma once

#include "recording/RecordingView.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class RecordingControl;

// The record and pause buttons (object names "1001" and "1002"), the recording status line
// ("1009") and the time display of the main window, as plain widgets.
class RecordingPanel : public QWidget, public RecordingView {
    Q_OBJECT

public:
    explicit RecordingPanel(QWidget* parent = nullptr);

    // The control the buttons drive and whose counters the time display shows.
    void setControl(RecordingControl* control);

    void setRecordingStatus(const QString& text, quint32 rgb) override;
    void setRecordLook(RecordLook look) override;
    void setPauseLook(PauseLook look) override;
    void setRecordButtonEnabled(bool enabled) override;
    void resetLevelMeters() override;
    void refreshTimeDisplay() override;
    void bringToFront() override;
    void showHistoryWindow() override;
    void addToHistoryWindow(const RecordEntry& entry) override;

    // "HH:MM:SS" of the running recording (hours modulo 24), else "Ready" once Skype is
    // reached, else "Waiting...".
    static QString timeDisplayText(quint64 durationSeconds, int statusCode);

private:
    QLabel* m_status = nullptr;
    QLabel* m_time = nullptr;
    QPushButton* m_record = nullptr;
    QPushButton* m_pause = nullptr;
    QPointer<RecordingControl> m_control;
};
