#pragma once

#include <QString>

#include <deque>
#include <mutex>

// The texts waiting to be delivered to Skype, first in first out. Texts are accepted only while
// the queue is open; the lock is never held while a text is being delivered.
class CommandQueue {
public:
    // Appends the text when the queue is open and the text is not empty.
    bool push(const QString& text);
    // Removes the first text into `text`; false when the queue is closed or empty.
    bool take(QString& text);
    void open();
    void close();
    void clear();
    bool isOpen() const;
    int size() const;

private:
    mutable std::mutex m_mutex;
    std::deque<QString> m_texts;
    bool m_open = false;
};
