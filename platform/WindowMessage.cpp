#include "platform/WindowMessage.h"

#include <QCoreApplication>

WindowMessage::WindowMessage(int message, qintptr wParam, qintptr lParam)
    : QEvent(static_cast<QEvent::Type>(message)), m_wParam(wParam), m_lParam(lParam)
{
}

const WindowMessage* WindowMessage::from(const QEvent* event)
{
    return dynamic_cast<const WindowMessage*>(event);
}

void PostWindowMessage(QObject* target, int message, qintptr wParam, qintptr lParam)
{
    if (target)
        QCoreApplication::postEvent(target, new WindowMessage(message, wParam, lParam));
}
