#pragma once

#include "platform/MessageBoxService.h"

// Shows the program's message boxes as QMessageBox, always on the user-interface thread: a
// request from another thread waits there until the user has answered.
class WidgetMessagePresenter : public MessagePresenter {
public:
    MessageResult present(const MessageRequest& request) override;

private:
    static MessageResult showBox(const MessageRequest& request);
};
