#pragma once

#include "history/RecordEntry.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The one recording that can run at a time: the history record being prepared, when it started,
// its pauses and the Skype calls it covers. Times come from Clock. Used on the user-interface
// thread only.
class RecordingSession {
public:
    // A new recording with the partner name, the direction (1 incoming, 2 outgoing) and the
    // path of its file without ".mp3". Starts now.
    void BeginSession(const QString& name, int direction, const QString& basePath);
    // Adds a call recorded into the file, once: ids are compared ignoring case.
    void AddCallId(const QString& id);
    // Closes a pause still open and copies the record, with its duration up to now (pauses left
    // out), into entry.
    void FillEntry(RecordEntry& entry);
    // Forgets the calls and the pauses; the record is begun anew by the next BeginSession.
    void ResetSession();

    // The pause button: a pause starts now, or the open pause ends now.
    void PauseSession();
    void ResumeSession();

    // A call that was already active beside the recorded one when the recording started by
    // hand: its audio reaches the file too, but it is not named in the record.
    void AddCompanionCall(const QString& id);
    // Whether an ended call was one of the recording's calls: a recorded call or a companion.
    bool IsRecordingCall(const QString& id) const;

    // The recorded call ids joined with ",", in the order they were added.
    QString callIds() const { return m_callIds; }
    const RecordEntry& entry() const { return m_entry; }
    bool isPaused() const { return m_paused; }
    qint32 pausedTotal() const { return m_pausedTotal; }

private:
    void closePause(qint64 now);

    RecordEntry m_entry;
    qint64 m_startTime = 0;
    bool m_paused = false;
    qint64 m_pauseStart = 0;
    qint32 m_pausedTotal = 0;
    QString m_callIds;
    QStringList m_companionCalls;
};
