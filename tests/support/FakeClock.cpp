#include "support/FakeClock.h"

FakeClock::FakeClock(qint64 start) : m_now(start)
{
    Clock::setInstance(this);
}

FakeClock::~FakeClock()
{
    Clock::setInstance(nullptr);
}
