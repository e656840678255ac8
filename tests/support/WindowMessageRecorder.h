#pragma once

#include <QList>
#include <QObject>

#include <tuple>

// Stands in for a window that receives the program's window messages and records them.
class WindowMessageRecorder : public QObject {
public:
    using Message = std::tuple<int, qintptr, qintptr>; // number, wParam, lParam

    QList<Message> messages() const { return m_messages; }
    // How many messages with that number arrived.
    int count(int message) const;
    void clear() { m_messages.clear(); }

protected:
    bool event(QEvent* e) override;

private:
    QList<Message> m_messages;
};
