#pragma once

#include "platform/MessageBoxService.h"

#include <QList>
#include <functional>
#include <mutex>

// Records every message box the program asks for and answers with a preset button.
// Installs itself for its lifetime.
class RecordingMessagePresenter : public MessagePresenter {
public:
    RecordingMessagePresenter();
    ~RecordingMessagePresenter() override;

    MessageResult present(const MessageRequest& request) override;

    void setAnswer(MessageResult answer);
    // What the user does elsewhere while the next box is open, before answering it.
    void doWhileOpen(std::function<void()> action);
    QList<MessageRequest> requests() const;
    int count() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    QList<MessageRequest> m_requests;
    MessageResult m_answer = MessageResult::Ok;
    std::function<void()> m_whileOpen;
};
