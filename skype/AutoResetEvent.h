#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// An event that wakes one waiter and then falls back to "not signalled" by itself.
class AutoResetEvent {
public:
    void set();
    void reset();
    // Waits until the event is signalled and consumes the signal.
    void wait();
    // Waits at most the given time; true when the signal came (and was consumed).
    bool waitFor(std::chrono::milliseconds timeout);
    bool isSet() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_signalled = false;
};
