#pragma once

#include <functional>

class QObject;

// Runs a task later on the thread of `context`, from any thread, unless `context` is gone by
// then. The hand-over is made visible to ThreadSanitizer (Qt's own event queue is guarded by
// locks it cannot see), so everything the posting thread wrote before the call is seen by the
// task without a report.
void RunOnThreadOf(QObject* context, std::function<void()> task);
