#include "platform/MessageBoxService.h"

#include <atomic>

namespace {
std::atomic<MessagePresenter*> presenter{nullptr};

MessageResult negativeAnswer(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return MessageResult::Cancel;
    case MessageButtons::YesNo:
        return MessageResult::No;
    case MessageButtons::Ok:
        break;
    }
    return MessageResult::Ok;
}
} // namespace

MessageResult MessageBoxService::show(const MessageRequest& request)
{
    MessagePresenter* p = presenter.load();
    return p ? p->present(request) : negativeAnswer(request.buttons);
}

void MessageBoxService::install(MessagePresenter* p)
{
    presenter.store(p);
}
