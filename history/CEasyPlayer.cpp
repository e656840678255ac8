#include "history/CEasyPlayer.h"

#include "history/Mpg123Handle.h"
#include "history/SdlAudioDevice.h"

#include <QFile>
#include <atomic>
#include <cstring>

namespace {
constexpr int bytesPerSample = 2;
constexpr Uint16 deviceBufferFrames = 1024;

// A decoder open on the file with 16-bit output at the file's own rate and channels, or
// null when the file is not MP3 audio.
Mpg123Handle openDecoder(const QString& path, long& rate, int& channels)
{
    Mpg123Handle decoder = newSixteenBitDecoder();
    if (!decoder)
        return {};
    if (mpg123_open(decoder.get(), QFile::encodeName(path).constData()) != MPG123_OK)
        return {};
    int encoding = 0;
    if (mpg123_getformat(decoder.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0 ||
        (channels != 1 && channels != 2))
        return {};
    if (mpg123_scan(decoder.get()) != MPG123_OK || mpg123_seek(decoder.get(), 0, SEEK_SET) < 0)
        return {};
    return decoder;
}
} // namespace

struct CEasyPlayer::Playback {
    Mpg123Handle decoder;
    long rate = 0;
    int channels = 0;
    qint64 lengthFrames = 0;
    // Frames from the start of the file: handed to the device, and played, that is handed
    // over before the latest callback (SDL asks for a buffer once the one before has gone out).
    std::atomic<qint64> handed{0};
    std::atomic<qint64> played{0};
    std::atomic<bool> ended{false};    // the decoder has given its last frame
    std::atomic<bool> finished{false}; // and that frame has gone out too
    std::atomic<int> volume{MaxVolume};
    // Declared last so that it closes first: the callback reads everything above.
    SdlAudioDevice device;

    qint64 framesToMs(qint64 frames) const { return rate > 0 ? frames * 1000 / rate : 0; }

    static void SDLCALL fill(void* userdata, Uint8* stream, int length)
    {
        static_cast<Playback*>(userdata)->decodeInto(stream, static_cast<size_t>(length));
    }

    // Runs on SDL's audio thread with the device locked.
    void decodeInto(Uint8* stream, size_t length)
    {
        played.store(handed.load());
        if (ended.load())
            finished.store(true);
        size_t done = 0;
        while (done < length && !ended.load()) {
            size_t got = 0;
            const int result = mpg123_read(decoder.get(), stream + done, length - done, &got);
            done += got;
            if (result == MPG123_DONE || (result != MPG123_OK && result != MPG123_NEW_FORMAT))
                ended.store(true);
            else if (got == 0 && result == MPG123_OK)
                break;
        }
        std::memset(stream + done, 0, length - done);
        applyVolume(stream, done);
        handed.fetch_add(static_cast<qint64>(done / (bytesPerSample * channels)));
    }

    void applyVolume(Uint8* stream, size_t bytes) const
    {
        const int level = volume.load();
        if (level >= MaxVolume)
            return;
        for (size_t i = 0; i + 1 < bytes; i += bytesPerSample) {
            Sint16 sample;
            std::memcpy(&sample, stream + i, sizeof sample);
            sample = static_cast<Sint16>(sample * level / MaxVolume);
            std::memcpy(stream + i, &sample, sizeof sample);
        }
    }
};

CEasyPlayer::CEasyPlayer() = default;

CEasyPlayer::~CEasyPlayer() = default;

void CEasyPlayer::SetMediaPath(const QString& path)
{
    m_path = path;
}

bool CEasyPlayer::CreatePlaybackWindow()
{
    close();
    if (m_path.isEmpty())
        return false;
    auto playback = std::make_unique<Playback>();
    playback->decoder = openDecoder(m_path, playback->rate, playback->channels);
    if (!playback->decoder)
        return false;
    playback->lengthFrames = qMax<qint64>(0, mpg123_length(playback->decoder.get()));
    playback->volume.store(m_volume);

    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(playback->rate);
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(playback->channels);
    wanted.samples = deviceBufferFrames;
    wanted.callback = &Playback::fill;
    wanted.userdata = playback.get();
    playback->device = SdlAudioDevice::open(wanted);
    if (!playback->device.isOpen())
        return false;
    m_playback = std::move(playback);
    return true;
}

void CEasyPlayer::close()
{
    m_playback.reset();
    m_playing = false;
}

void CEasyPlayer::play()
{
    if (!m_playback)
        return;
    m_playback->device.setPaused(false);
    m_playing = true;
}

void CEasyPlayer::pause()
{
    if (m_playback)
        m_playback->device.setPaused(true);
    m_playing = false;
}

void CEasyPlayer::stop()
{
    pause();
}

void CEasyPlayer::seek(qint64 milliseconds)
{
    if (!m_playback)
        return;
    Playback& p = *m_playback;
    const qint64 target = qBound<qint64>(0, milliseconds * p.rate / 1000, p.lengthFrames);
    SdlAudioDevice::Lock lock(p.device);
    const off_t reached = mpg123_seek(p.decoder.get(), static_cast<off_t>(target), SEEK_SET);
    const qint64 at = reached >= 0 ? qint64(reached) : target;
    p.handed.store(at);
    p.played.store(at);
    p.ended.store(false);
    p.finished.store(false);
}

qint64 CEasyPlayer::length() const
{
    return m_playback ? m_playback->framesToMs(m_playback->lengthFrames) : 0;
}

qint64 CEasyPlayer::position() const
{
    if (!m_playback)
        return 0;
    const Playback& p = *m_playback;
    if (p.finished.load())
        return length();
    return qMin(p.framesToMs(p.played.load()), length());
}

void CEasyPlayer::setVolume(int volume)
{
    m_volume = qBound(0, volume, MaxVolume);
    if (m_playback)
        m_playback->volume.store(m_volume);
}
