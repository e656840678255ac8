#include "mainwindow/RecordingPanel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

RecordingPanel::RecordingPanel(const RecordingCounters& counters, QWidget* parent)
    : QWidget(parent), m_counters(counters)
{
    m_record = new QPushButton(this);
    m_record->setObjectName(QStringLiteral("1001"));
    m_pause = new QPushButton(this);
    m_pause->setObjectName(QStringLiteral("1002"));
    m_time = new QLabel(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("1009"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_record);
    layout->addWidget(m_pause);
    layout->addWidget(m_time);
    layout->addWidget(m_status);

    setRecordingStatus(QStringLiteral("Waiting to access Skype ..."), AlertColour);
    setRecordLook(RecordLook::Start);
    setPauseLook(PauseLook::Pause);
    setRecordButtonEnabled(false);
    refreshTimeDisplay();
    connect(m_record, &QPushButton::clicked, this, &RecordingPanel::recordClicked);
    connect(m_pause, &QPushButton::clicked, this, &RecordingPanel::pauseClicked);
}

void RecordingPanel::setRecordingStatus(const QString& text, quint32 rgb)
{
    m_status->setText(text);
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText, QColor::fromRgb(rgb));
    m_status->setPalette(palette);
}

void RecordingPanel::setRecordLook(RecordLook look)
{
    const bool start = look == RecordLook::Start;
    m_record->setText(start ? QStringLiteral("Start") : QStringLiteral("Stop"));
    m_record->setToolTip(start ? QStringLiteral("Start Recording") : QStringLiteral("Stop Recording"));
    m_pause->setEnabled(!start);
}

void RecordingPanel::setPauseLook(PauseLook look)
{
    const bool pause = look == PauseLook::Pause;
    m_pause->setText(pause ? QStringLiteral("Pause") : QStringLiteral("Resume"));
    m_pause->setToolTip(pause ? QStringLiteral("Pause Recording") : QStringLiteral("Resume Recording"));
}

void RecordingPanel::setRecordButtonEnabled(bool enabled)
{
    m_record->setEnabled(enabled);
}

// This window has no level meters.
void RecordingPanel::resetLevelMeters() {}

void RecordingPanel::refreshTimeDisplay()
{
    m_time->setText(timeDisplayText(m_counters.durationSeconds, m_counters.statusCode));
}

void RecordingPanel::bringToFront()
{
    window()->showNormal();
    window()->raise();
    window()->activateWindow();
}

// This window has no history window yet; the records are in the store all the same.
void RecordingPanel::showHistoryWindow() {}

void RecordingPanel::addToHistoryWindow(const RecordEntry&) {}

QString RecordingPanel::timeDisplayText(quint64 durationSeconds, int statusCode)
{
    if (durationSeconds != 0) {
        const quint64 hours = durationSeconds / 3600 % 24;
        const quint64 minutes = durationSeconds / 60 % 60;
        const quint64 seconds = durationSeconds % 60;
        return QStringLiteral("%1:%2:%3")
            .arg(hours, 2, 10, QLatin1Char('0'))
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(seconds, 2, 10, QLatin1Char('0'));
    }
    return statusCode != RecordingCounters::WaitingForSkype ? QStringLiteral("Ready") : QStringLiteral("Waiting...");
}
