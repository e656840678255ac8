#pragma once

#include "platform/Clock.h"

#include <atomic>

// A clock that tests set and advance by hand. Installs itself for its lifetime.
class FakeClock : public Clock {
public:
    explicit FakeClock(qint64 start = 1'000'000'000);
    ~FakeClock() override;

    qint64 nowSeconds() const override { return m_now.load(); }
    void set(qint64 seconds) { m_now.store(seconds); }
    void advance(qint64 seconds) { m_now.fetch_add(seconds); }

private:
    std::atomic<qint64> m_now;
};
