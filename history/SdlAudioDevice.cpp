#include "history/SdlAudioDevice.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_hints.h>
#include <cstring>
#include <utility>

namespace {
const char* const dummyDriver = "dummy";

// SDL's audio for the whole run: started on first use, ended at exit. Remembers whether the
// dummy driver stands in for a sound system that gave no device.
class AudioSystem {
public:
    static AudioSystem& instance()
    {
        static AudioSystem system;
        return system;
    }

    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    ~AudioSystem()
    {
        if (m_started)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    SDL_AudioDeviceID open(const SDL_AudioSpec& wanted)
    {
        if (m_fellBack && !useDriver(nullptr))
            useDriver(dummyDriver);
        SDL_AudioDeviceID id = m_ready ? openDefault(wanted) : 0;
        if (!id && !onDummy() && useDriver(dummyDriver)) {
            m_fellBack = true;
            id = openDefault(wanted);
        } else if (id && !onDummy()) {
            m_fellBack = false;
        }
        return id;
    }

private:
    AudioSystem()
    {
        // SDL's audio brings its event handling along, which would otherwise take SIGINT and
        // SIGTERM for itself and leave the program running when asked to end.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        m_started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        m_ready = m_started;
        if (!m_ready && useDriver(dummyDriver))
            m_fellBack = true;
    }

    static SDL_AudioDeviceID openDefault(const SDL_AudioSpec& wanted)
    {
        SDL_AudioSpec obtained;
        return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    }

    static bool onDummy()
    {
        const char* current = SDL_GetCurrentAudioDriver();
        return current && std::strcmp(current, dummyDriver) == 0;
    }

    // Restarts SDL's audio on the named driver (nullptr: SDL's own choice).
    bool useDriver(const char* name)
    {
        if (SDL_GetCurrentAudioDriver())
            SDL_AudioQuit();
        m_ready = SDL_AudioInit(name) == 0;
        return m_ready;
    }

    bool m_started = false;
    bool m_ready = false;
    bool m_fellBack = false;
};
} // namespace

SdlAudioDevice::~SdlAudioDevice()
{
    close();
}

SdlAudioDevice::SdlAudioDevice(SdlAudioDevice&& other) noexcept : m_id(std::exchange(other.m_id, 0)) {}

SdlAudioDevice& SdlAudioDevice::operator=(SdlAudioDevice&& other) noexcept
{
    if (this != &other) {
        close();
        m_id = std::exchange(other.m_id, 0);
    }
    return *this;
}

SdlAudioDevice SdlAudioDevice::open(const SDL_AudioSpec& wanted)
{
    return SdlAudioDevice(AudioSystem::instance().open(wanted));
}

void SdlAudioDevice::setPaused(bool paused)
{
    if (m_id)
        SDL_PauseAudioDevice(m_id, paused ? 1 : 0);
}

void SdlAudioDevice::close()
{
    // Closing waits for a running callback to return, so what the callback reads may go after.
    if (m_id)
        SDL_CloseAudioDevice(std::exchange(m_id, 0));
}

SdlAudioDevice::Lock::Lock(const SdlAudioDevice& device) : m_id(device.m_id)
{
    if (m_id)
        SDL_LockAudioDevice(m_id);
}

SdlAudioDevice::Lock::~Lock()
{
    if (m_id)
        SDL_UnlockAudioDevice(m_id);
}

QString SdlAudioDevice::driver()
{
    return QString::fromUtf8(SDL_GetCurrentAudioDriver());
}
