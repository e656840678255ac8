#include "support/WindowMessageRecorder.h"

#include "platform/WindowMessage.h"

int WindowMessageRecorder::count(int message) const
{
    int n = 0;
    for (const Message& m : m_messages)
        n += std::get<0>(m) == message ? 1 : 0;
    return n;
}

bool WindowMessageRecorder::event(QEvent* e)
{
    if (const WindowMessage* m = WindowMessage::from(e)) {
        m_messages.append({m->message(), m->wParam(), m->lParam()});
        return true;
    }
    return QObject::event(e);
}
