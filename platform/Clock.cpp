#include "platform/Clock.h"

#include <atomic>
#include <ctime>

namespace {
const SystemClock systemClock;
std::atomic<const Clock*> current{&systemClock};
} // namespace

qint64 SystemClock::nowSeconds() const
{
    return static_cast<qint64>(std::time(nullptr));
}

const Clock& Clock::instance()
{
    return *current.load();
}

void Clock::setInstance(const Clock* clock)
{
    current.store(clock ? clock : &systemClock);
}
