#include "AudioSignal.h"

#include <QProcess>
#include <QtEndian>

#include <cmath>
#include <numbers>

namespace {
struct Wave {
    int rate = 0;
    std::vector<std::int16_t> samples;
};

// The samples of the 16-bit mono WAV espeak-ng writes to its standard output. It cannot seek
// there, so the sizes in its headers are placeholders: the data runs to the end.
std::optional<Wave> readWave(const QByteArray& wav)
{
    if (wav.size() < 12 || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wave wave;
    qsizetype at = 12;
    while (at + 8 <= wav.size()) {
        const QByteArray id = wav.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        at += 8;
        if (id == "fmt " && at + 16 <= wav.size()) {
            const auto channels = qFromLittleEndian<quint16>(wav.constData() + at + 2);
            const auto bits = qFromLittleEndian<quint16>(wav.constData() + at + 14);
            if (channels != 1 || bits != 16)
                return std::nullopt;
            wave.rate = static_cast<int>(qFromLittleEndian<quint32>(wav.constData() + at + 4));
        } else if (id == "data") {
            const qsizetype bytes = std::min<qsizetype>(size, wav.size() - at) / 2 * 2;
            for (qsizetype i = 0; i < bytes; i += 2)
                wave.samples.push_back(qFromLittleEndian<qint16>(wav.constData() + at + i));
            break;
        }
        at += size;
    }
    if (wave.rate <= 0 || wave.samples.empty())
        return std::nullopt;
    return wave;
}

// Linear interpolation is plenty for speech that only has to be recognisable.
std::vector<std::int16_t> resample(const Wave& wave, int rate)
{
    const double step = double(wave.rate) / rate;
    const auto count = static_cast<std::size_t>(double(wave.samples.size()) / step);
    std::vector<std::int16_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double source = double(i) * step;
        const auto first = static_cast<std::size_t>(source);
        const std::size_t second = std::min(first + 1, wave.samples.size() - 1);
        const double fraction = source - double(first);
        out[i] = static_cast<std::int16_t>(
            std::lround(wave.samples[first] * (1.0 - fraction) + wave.samples[second] * fraction));
    }
    return out;
}
} // namespace

AudioSignal AudioSignal::tone(double frequency, double amplitude)
{
    AudioSignal signal;
    signal.m_frequency = frequency;
    signal.m_amplitude = amplitude;
    return signal;
}

std::optional<AudioSignal> AudioSignal::speech(const QString& text)
{
    QProcess espeak;
    espeak.start(QStringLiteral("espeak-ng"), {QStringLiteral("--stdout"), text});
    if (!espeak.waitForFinished(10000) || espeak.exitStatus() != QProcess::NormalExit || espeak.exitCode() != 0)
        return std::nullopt;
    const std::optional<Wave> wave = readWave(espeak.readAllStandardOutput());
    if (!wave)
        return std::nullopt;
    AudioSignal signal;
    signal.m_loop = resample(*wave, SampleRate);
    // A short pause between the repetitions.
    signal.m_loop.resize(signal.m_loop.size() + SampleRate / 2, 0);
    return signal;
}

void AudioSignal::fill(std::int16_t* out, int count)
{
    for (int i = 0; i < count; ++i, ++m_position) {
        if (!m_loop.empty()) {
            out[i] = m_loop[static_cast<std::size_t>(m_position % std::int64_t(m_loop.size()))];
        } else {
            const double phase = 2.0 * std::numbers::pi * m_frequency * double(m_position % SampleRate) / SampleRate;
            out[i] = static_cast<std::int16_t>(std::lround(m_amplitude * std::sin(phase)));
        }
    }
}
