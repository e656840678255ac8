#include "audio/LevelMeter.h"

#include <algorithm>
#include <cstdlib>

std::optional<int> LevelMeter::onRead(const std::int16_t* samples, int count)
{
    if (m_packets < ReadsPerReading - 1) {
        ++m_packets;
        return std::nullopt;
    }
    m_packets = 0;
    int level = measure(samples, count);
    if (level < m_lastLevel)
        level = std::max(m_lastLevel - FallPerReading, 0);
    m_lastLevel = level;
    return level;
}

int LevelMeter::measure(const std::int16_t* samples, int count)
{
    int loudest = 0;
    for (int i = 0; i < count; i += 10)
        loudest = std::max(loudest, std::abs(static_cast<int>(samples[i])));
    return loudest >> 6;
}
