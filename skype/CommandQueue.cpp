#include "skype/CommandQueue.h"

bool CommandQueue::push(const QString& text)
{
    std::lock_guard lock(m_mutex);
    if (!m_open || text.isEmpty())
        return false;
    m_texts.push_back(text);
    return true;
}

bool CommandQueue::take(QString& text)
{
    std::lock_guard lock(m_mutex);
    if (!m_open || m_texts.empty())
        return false;
    text = std::move(m_texts.front());
    m_texts.pop_front();
    return true;
}

void CommandQueue::open()
{
    std::lock_guard lock(m_mutex);
    m_open = true;
}

void CommandQueue::close()
{
    std::lock_guard lock(m_mutex);
    m_open = false;
}

void CommandQueue::clear()
{
    std::lock_guard lock(m_mutex);
    m_texts.clear();
}

bool CommandQueue::isOpen() const
{
    std::lock_guard lock(m_mutex);
    return m_open;
}

int CommandQueue::size() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_texts.size());
}
