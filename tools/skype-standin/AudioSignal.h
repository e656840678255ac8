#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What the stand-in plays into one side of a call: 16-bit mono samples at 16000 Hz, either a
// steady tone or a recording played in a loop.
class AudioSignal {
public:
    static constexpr int SampleRate = 16000;

    static AudioSignal tone(double frequency, double amplitude = 8000.0);
    // The text spoken by espeak-ng, when it is installed and works.
    static std::optional<AudioSignal> speech(const QString& text);

    // The next `count` samples.
    void fill(std::int16_t* out, int count);

private:
    double m_frequency = 0;
    double m_amplitude = 0;
    std::vector<std::int16_t> m_loop; // empty for a tone
    std::int64_t m_position = 0;
};
