#pragma once

#include "audio/CBuffer.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Test signals of the audio path: 16000 Hz 16-bit mono, as Skype sends them.
namespace AudioTestSignals {

constexpr int InputRate = 16000;
constexpr int BlockSamples = 160;
constexpr int BlockBytes = 320;

inline std::vector<std::int16_t> tone(double frequency, int samples, double amplitude = 12000.0, int offset = 0)
{
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(samples));
    for (int i = 0; i < samples; ++i)
        pcm[std::size_t(i)] = static_cast<std::int16_t>(
            std::lround(amplitude * std::sin(2.0 * std::numbers::pi * frequency * (i + offset) / InputRate)));
    return pcm;
}

// Left and right interleaved, left first.
inline std::vector<std::int16_t> interleave(const std::vector<std::int16_t>& left,
                                            const std::vector<std::int16_t>& right)
{
    std::vector<std::int16_t> pcm(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        pcm[2 * i] = left[i];
        pcm[2 * i + 1] = right[i];
    }
    return pcm;
}

// A block whose every sample is value.
inline std::vector<std::int16_t> constantBlock(int value)
{
    return std::vector<std::int16_t>(BlockSamples, static_cast<std::int16_t>(value));
}

// A view of samples [first, first + count) as a CBuffer.
inline CBuffer view(std::vector<std::int16_t>& pcm, std::size_t first = 0, std::size_t count = 0)
{
    if (count == 0)
        count = pcm.size() - first;
    return CBuffer(reinterpret_cast<unsigned char*>(pcm.data() + first), static_cast<std::int32_t>(count * 2));
}

} // namespace AudioTestSignals
