#include "platform/RunOnThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <atomic>

namespace {
const QEvent::Type taskEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

class TaskEvent : public QEvent {
public:
    TaskEvent(QObject* context, std::function<void()> task)
        : QEvent(taskEventType), m_context(context), m_task(std::move(task))
    {
        m_posted.store(true, std::memory_order_release);
    }

    void run()
    {
        m_posted.load(std::memory_order_acquire);
        if (m_context)
            m_task();
    }

private:
    QPointer<QObject> m_context;
    std::function<void()> m_task;
    std::atomic<bool> m_posted{false};
};

// Receives one task on the context's thread, runs it and goes.
class TaskRunner : public QObject {
protected:
    bool event(QEvent* e) override
    {
        if (e->type() != taskEventType)
            return QObject::event(e);
        static_cast<TaskEvent*>(e)->run();
        deleteLater();
        return true;
    }
};
} // namespace

void RunOnThreadOf(QObject* context, std::function<void()> task)
{
    if (!context)
        return;
    auto* runner = new TaskRunner;
    runner->moveToThread(context->thread());
    QCoreApplication::postEvent(runner, new TaskEvent(context, std::move(task)));
}
