#include "support/RecordingMessagePresenter.h"

RecordingMessagePresenter::RecordingMessagePresenter()
{
    MessageBoxService::install(this);
}

RecordingMessagePresenter::~RecordingMessagePresenter()
{
    MessageBoxService::install(nullptr);
}

MessageResult RecordingMessagePresenter::present(const MessageRequest& request)
{
    std::function<void()> whileOpen;
    {
        std::lock_guard lock(m_mutex);
        m_requests.append(request);
        whileOpen = std::exchange(m_whileOpen, nullptr);
    }
    if (whileOpen)
        whileOpen();
    std::lock_guard lock(m_mutex);
    return m_answer;
}

void RecordingMessagePresenter::doWhileOpen(std::function<void()> action)
{
    std::lock_guard lock(m_mutex);
    m_whileOpen = std::move(action);
}

void RecordingMessagePresenter::setAnswer(MessageResult answer)
{
    std::lock_guard lock(m_mutex);
    m_answer = answer;
}

QList<MessageRequest> RecordingMessagePresenter::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int RecordingMessagePresenter::count() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_requests.size());
}

void RecordingMessagePresenter::clear()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}
