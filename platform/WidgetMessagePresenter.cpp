#include "platform/WidgetMessagePresenter.h"

#include "platform/RunOnThread.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <future>
#include <memory>

namespace {
QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// A box closed without a button (Escape, the window's close button) gives its negative answer.
MessageResult answerFor(MessageButtons buttons, int button)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return button == QMessageBox::Ok ? MessageResult::Ok : MessageResult::Cancel;
    case MessageButtons::YesNo:
        return button == QMessageBox::Yes ? MessageResult::Yes : MessageResult::No;
    case MessageButtons::Ok:
        break;
    }
    return MessageResult::Ok;
}
} // namespace

MessageResult WidgetMessagePresenter::present(const MessageRequest& request)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!qobject_cast<QApplication*>(app))
        return answerFor(request.buttons, QMessageBox::Cancel); // no windows: as if closed at once
    if (QThread::currentThread() == app->thread())
        return showBox(request);
    // The caller waits while the box is shown on the user-interface thread. A box that is never
    // shown (the program ended first) counts as closed.
    auto answer = std::make_shared<std::promise<MessageResult>>();
    std::future<MessageResult> result = answer->get_future();
    RunOnThreadOf(app, [answer, request] { answer->set_value(showBox(request)); });
    try {
        return result.get();
    } catch (const std::future_error&) {
        return answerFor(request.buttons, QMessageBox::Cancel);
    }
}

MessageResult WidgetMessagePresenter::showBox(const MessageRequest& request)
{
    QMessageBox box(boxIcon(request.icon), request.caption, request.text, boxButtons(request.buttons),
                    qobject_cast<QWidget*>(request.owner));
    return answerFor(request.buttons, box.exec());
}
