#pragma once

#include <QString>
#include <SDL2/SDL_audio.h>

// Sole owner of an SDL audio output device. Opening takes the default output of the desktop's
// sound system; when none can be opened the program falls back to SDL's silent "dummy" driver,
// which still consumes the sound in real time, so playback advances and ends as usual. Each
// later opening tries the real output again. SDL's audio is started once, on first use.
// User-interface thread only; the device's callback runs on SDL's audio thread.
class SdlAudioDevice {
public:
    SdlAudioDevice() = default;
    ~SdlAudioDevice();
    SdlAudioDevice(SdlAudioDevice&& other) noexcept;
    SdlAudioDevice& operator=(SdlAudioDevice&& other) noexcept;
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    // Opens a device, paused, for the wanted format (SDL converts when the output differs).
    // Opening switches SDL's driver when needed, so no other device may be open at that moment.
    static SdlAudioDevice open(const SDL_AudioSpec& wanted);

    bool isOpen() const { return m_id != 0; }
    void setPaused(bool paused);

    // Keeps the device's callback from running while held.
    class Lock {
    public:
        explicit Lock(const SdlAudioDevice& device);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        SDL_AudioDeviceID m_id;
    };

    // The audio driver in use, empty before the first opening or when SDL's audio is unusable.
    static QString driver();

private:
    explicit SdlAudioDevice(SDL_AudioDeviceID id) : m_id(id) {}
    void close();

    SDL_AudioDeviceID m_id = 0;
};
