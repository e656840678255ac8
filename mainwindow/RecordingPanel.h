#pragma once

#include "recording/RecordingCounters.h"
#include "recording/RecordingView.h"

#include <QWidget>

class QLabel;
class QPushButton;

// The record and pause buttons (object names "1001" and "1002"), the recording status line
// ("1009") and the time display of the main window, as plain widgets.
class RecordingPanel : public QWidget, public RecordingView {
    Q_OBJECT

public:
    // counters: what the time display shows, kept current by the recording control.
    explicit RecordingPanel(const RecordingCounters& counters, QWidget* parent = nullptr);

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

signals:
    void recordClicked();
    void pauseClicked();

private:
    const RecordingCounters& m_counters;
    QLabel* m_status = nullptr;
    QLabel* m_time = nullptr;
    QPushButton* m_record = nullptr;
    QPushButton* m_pause = nullptr;
};
