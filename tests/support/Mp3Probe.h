#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// Decodes an MP3 file completely with libmpg123 so tests can check what was really written:
// rate, channels, length, the first frame's header fields, and the samples of each channel.
class Mp3Probe {
public:
    enum ChannelMode { Stereo = 0, JointStereo = 1, DualChannel = 2, Mono = 3 };

    explicit Mp3Probe(const QString& path);

    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    int sampleRate() const { return m_sampleRate; }
    int channels() const { return m_channels; }
    // Samples per channel.
    std::int64_t frames() const { return m_frames; }
    double seconds() const { return m_sampleRate ? double(m_frames) / m_sampleRate : 0.0; }

    // From the first frame header.
    int mpegVersion() const { return m_mpegVersion; } // 1, 2, or 25 for MPEG 2.5
    int bitrate() const { return m_bitrate; }         // kbit/s
    ChannelMode channelMode() const { return m_mode; }
    bool originalFlag() const { return m_original; }
    bool constantBitrate() const { return m_constantBitrate; }

    const std::vector<std::int16_t>& channel(int index) const { return m_pcm[index]; }

    // Root mean square of a channel over [first, first + count) samples (count 0: to the end).
    double rms(int channel, std::int64_t first = 0, std::int64_t count = 0) const;
    // Amplitude of a sine at frequency Hz in a channel over the same range (Goertzel).
    double toneAmplitude(int channel, double frequency, std::int64_t first = 0, std::int64_t count = 0) const;

private:
    void decode(const QString& path);

    QString m_error;
    int m_sampleRate = 0;
    int m_channels = 0;
    std::int64_t m_frames = 0;
    int m_mpegVersion = 0;
    int m_bitrate = 0;
    ChannelMode m_mode = Stereo;
    bool m_original = false;
    bool m_constantBitrate = false;
    std::vector<std::int16_t> m_pcm[2];
};
