#include "support/Mp3Probe.h"

#include "history/Mpg123Handle.h"

#include <QFile>
#include <cmath>
#include <memory>
#include <mpg123.h>
#include <numbers>

namespace {
int versionNumber(int version)
{
    switch (version) {
    case MPG123_1_0:
        return 1;
    case MPG123_2_0:
        return 2;
    case MPG123_2_5:
        return 25;
    }
    return 0;
}
} // namespace

Mp3Probe::Mp3Probe(const QString& path)
{
    decode(path);
}

void Mp3Probe::decode(const QString& path)
{
    // 16-bit signed samples, so they compare directly with what was encoded.
    Mpg123Handle handle = newSixteenBitDecoder();
    if (!handle) {
        m_error = QStringLiteral("mpg123_new failed");
        return;
    }
    if (mpg123_open(handle.get(), QFile::encodeName(path).constData()) != MPG123_OK) {
        m_error = QStringLiteral("cannot open: ") + QString::fromUtf8(mpg123_strerror(handle.get()));
        return;
    }

    std::vector<unsigned char> buffer(1 << 16);
    bool headerRead = false;
    for (;;) {
        size_t done = 0;
        const int status = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        if (status == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(handle.get(), &rate, &channels, &encoding);
            m_sampleRate = static_cast<int>(rate);
            m_channels = channels;
        }
        if (!headerRead && m_channels > 0) {
            mpg123_frameinfo2 info{};
            if (mpg123_info2(handle.get(), &info) == MPG123_OK) {
                headerRead = true;
                m_mpegVersion = versionNumber(info.version);
                m_bitrate = info.bitrate;
                m_mode = static_cast<ChannelMode>(info.mode);
                m_original = info.flags & MPG123_ORIGINAL;
                m_constantBitrate = info.vbr == MPG123_CBR;
            }
        }
        const size_t samples = done / 2;
        const std::int16_t* pcm = reinterpret_cast<const std::int16_t*>(buffer.data());
        for (size_t i = 0; i < samples; ++i)
            m_pcm[m_channels == 2 ? i % 2 : 0].push_back(pcm[i]);
        if (status == MPG123_DONE)
            break;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT) {
            m_error = QStringLiteral("decoding failed: ") + QString::fromUtf8(mpg123_strerror(handle.get()));
            return;
        }
    }
    if (m_channels == 0)
        m_error = QStringLiteral("no MPEG audio frame found");
    m_frames = static_cast<std::int64_t>(m_pcm[0].size());
}

double Mp3Probe::rms(int channel, std::int64_t first, std::int64_t count) const
{
    const std::vector<std::int16_t>& pcm = m_pcm[channel];
    const std::int64_t end = count ? std::min<std::int64_t>(first + count, pcm.size()) : std::int64_t(pcm.size());
    if (end <= first)
        return 0.0;
    double sum = 0.0;
    for (std::int64_t i = first; i < end; ++i)
        sum += double(pcm[i]) * pcm[i];
    return std::sqrt(sum / double(end - first));
}

double Mp3Probe::toneAmplitude(int channel, double frequency, std::int64_t first, std::int64_t count) const
{
    const std::vector<std::int16_t>& pcm = m_pcm[channel];
    const std::int64_t end = count ? std::min<std::int64_t>(first + count, pcm.size()) : std::int64_t(pcm.size());
    if (end <= first || m_sampleRate == 0)
        return 0.0;
    const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * frequency / m_sampleRate);
    double previous = 0.0, beforePrevious = 0.0;
    for (std::int64_t i = first; i < end; ++i) {
        const double current = pcm[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power =
        previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return 2.0 * std::sqrt(std::max(power, 0.0)) / double(end - first);
}
