#pragma once

#include <QEvent>
#include <QtGlobal>

class QObject;

// A private window message carried as a Qt event: the event type is the message number, the
// two parameters keep their usual names. Posting is thread-safe.
class WindowMessage : public QEvent {
public:
    WindowMessage(int message, qintptr wParam = 0, qintptr lParam = 0);

    int message() const { return static_cast<int>(type()); }
    qintptr wParam() const { return m_wParam; }
    qintptr lParam() const { return m_lParam; }

    // The message carried by an event, or nullptr when the event is not a WindowMessage.
    static const WindowMessage* from(const QEvent* event);

private:
    qintptr m_wParam;
    qintptr m_lParam;
};

// Queues a message for the target's thread; the target takes it in event().
void PostWindowMessage(QObject* target, int message, qintptr wParam = 0, qintptr lParam = 0);
