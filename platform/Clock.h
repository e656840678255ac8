#pragma once

#include <QtGlobal>

// The program's source of "now", as seconds since 1970-01-01 UTC. Everything that stamps or
// measures time asks Clock::instance(), so tests can put a clock of their own in its place.
class Clock {
public:
    virtual ~Clock() = default;
    virtual qint64 nowSeconds() const = 0;

    static const Clock& instance();
    // Replaces the clock (nullptr restores the system clock). Not owned.
    static void setInstance(const Clock* clock);
};

class SystemClock : public Clock {
public:
    qint64 nowSeconds() const override;
};
