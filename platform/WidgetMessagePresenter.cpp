#include "platform/WidgetMessagePresenter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

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
    MessageResult result = MessageResult::Cancel;
    QMetaObject::invokeMethod(
        app, [&] { result = showBox(request); }, Qt::BlockingQueuedConnection);
    return result;
}

MessageResult WidgetMessagePresenter::showBox(const MessageRequest& request)
{
    QMessageBox box(boxIcon(request.icon), request.caption, request.text, boxButtons(request.buttons),
                    qobject_cast<QWidget*>(request.owner));
    return answerFor(request.buttons, box.exec());
}
