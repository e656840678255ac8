#include "platform/WindowMessage.h"

#include <QCoreApplication>

WindowMessage::WindowMessage(int message, qintptr wParam, qintptr lParam)
    : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam), m_lParam(lParam)
{
}

const WindowMessage* WindowMessage::from(const QEvent* event)
{
    const auto* message = dynamic_cast<const WindowMessage*>(event);
    if (message)
        message->m_posted.load(std::memory_order_acquire);
    return message;
}

void PostWindowMessage(QObject* target, int message, qintptr wParam, qintptr lParam)
{
    if (!target)
        return;
    auto* event = new WindowMessage(message, wParam, lParam);
    event->m_posted.store(true, std::memory_order_release);
    QCoreApplication::postEvent(target, event);
}
