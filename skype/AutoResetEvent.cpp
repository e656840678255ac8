#include "skype/AutoResetEvent.h"

void AutoResetEvent::set()
{
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_changed.notify_one();
}

void AutoResetEvent::reset()
{
    std::lock_guard lock(m_mutex);
    m_signalled = false;
}

void AutoResetEvent::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_signalled; });
    m_signalled = false;
}

bool AutoResetEvent::waitFor(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, timeout, [this] { return m_signalled; }))
        return false;
    m_signalled = false;
    return true;
}

bool AutoResetEvent::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_signalled;
}
