#pragma once

#include <QEvent>
#include <QtGlobal>
#include <atomic>

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
    // Receivers take every message through here before reading it.
    static const WindowMessage* from(const QEvent* event);

private:
    friend void PostWindowMessage(QObject*, int, qintptr, qintptr);

    qintptr m_wParam;
    qintptr m_lParam;
    // Released by the posting thread and acquired by from(): Qt's event queue hands the message
    // over under its own lock, which ThreadSanitizer cannot see; this makes the hand-over visible.
    std::atomic<bool> m_posted{false};
};

// Queues a message for the target's thread; the target takes it in event().
void PostWindowMessage(QObject* target, int message, qintptr wParam = 0, qintptr lParam = 0);
