#pragma once

#include <cstdint>
#include <optional>

// The level shown by one of the main window's meters, 0 to 512, measured on every sixth read
// of its stream. A meter rises at once and falls by at most 4 per reading.
class LevelMeter {
public:
    static constexpr int ReadsPerReading = 6;
    static constexpr int FallPerReading = 4;

    // Counts one read of samples; on every sixth read returns the level to show.
    std::optional<int> onRead(const std::int16_t* samples, int count);
    int lastLevel() const { return m_lastLevel; }

    // The loudest of every tenth sample, starting with the first, scaled to 0..512.
    static int measure(const std::int16_t* samples, int count);

private:
    int m_packets = 0;
    int m_lastLevel = 0;
};
