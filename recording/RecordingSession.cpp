#include "recording/RecordingSession.h"

#include "platform/Clock.h"

namespace {

bool containsId(const QStringList& ids, const QString& id)
{
    return ids.contains(id, Qt::CaseInsensitive);
}

QStringList splitIds(const QString& ids)
{
    return ids.split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace

void RecordingSession::BeginSession(const QString& name, int direction, const QString& basePath)
{
    m_startTime = Clock::instance().nowSeconds();
    m_entry.type = direction;
    m_entry.isNew = true;
    m_entry.duration = 0;
    m_entry.name = name;
    // The record keeps the start as the low 32 bits of the seconds, read as a signed number.
    m_entry.time = QString::number(static_cast<qint32>(static_cast<quint32>(m_startTime)));
    m_entry.file = basePath + QStringLiteral(".mp3");
    m_entry.note.clear();
    m_paused = false;
    m_pauseStart = 0;
    m_pausedTotal = 0;
}

void RecordingSession::AddCallId(const QString& id)
{
    if (id.isEmpty() || containsId(splitIds(m_callIds), id))
        return;
    m_callIds = m_callIds.isEmpty() ? id : m_callIds + QLatin1Char(',') + id;
}

void RecordingSession::FillEntry(RecordEntry& entry)
{
    const qint64 now = Clock::instance().nowSeconds();
    if (m_paused)
        closePause(now);
    m_entry.duration = static_cast<qint32>(now - m_pausedTotal - m_startTime);
    entry = m_entry;
}

void RecordingSession::ResetSession()
{
    m_callIds.clear();
    m_companionCalls.clear();
    m_paused = false;
    m_pauseStart = 0;
    m_pausedTotal = 0;
}

void RecordingSession::PauseSession()
{
    m_paused = true;
    m_pauseStart = Clock::instance().nowSeconds();
}

void RecordingSession::ResumeSession()
{
    if (m_paused)
        closePause(Clock::instance().nowSeconds());
}

void RecordingSession::closePause(qint64 now)
{
    m_pausedTotal += static_cast<qint32>(now - m_pauseStart);
    m_paused = false;
    m_pauseStart = 0;
}

void RecordingSession::AddCompanionCall(const QString& id)
{
    if (!id.isEmpty() && !containsId(m_companionCalls, id))
        m_companionCalls.append(id);
}

bool RecordingSession::IsRecordingCall(const QString& id) const
{
    return !id.isEmpty() && (containsId(splitIds(m_callIds), id) || containsId(m_companionCalls, id));
}
