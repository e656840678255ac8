#pragma once

#include "audio/AudioServer.h"
#include "audio/CaptureState.h"
#include "audio/LevelMeter.h"
#include "audio/MixWorker.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QObject;

// The receiving end of a call's audio: Skype streams the microphone (my side) to one local
// port and the call's output (the remote side) to another, 16-bit mono PCM at 16000 Hz. Each
// port has a server with its own receiving thread, which cuts the stream into 320-byte blocks,
// hands them to the mixing worker while a recording runs and posts the stream's level to the
// main window. It also holds the recording state and side that the recording control sets.
//
// A process-wide object: created by instance(), ended by destroyInstance(). Everything except
// the receiving threads runs on the user-interface thread.
class AudioCapture {
    struct Token {}; // only instance() makes the object

public:
    static constexpr std::uint16_t MySidePort = 38377;
    static constexpr std::uint16_t RemoteSidePort = 38376;

    static AudioCapture& instance();
    static bool hasInstance();
    // Closes both servers (their receiving threads end and are waited for), destroys the mixing
    // worker, which closes a file still being recorded, and forgets the object.
    static void destroyInstance();

    explicit AudioCapture(Token);
    ~AudioCapture();
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Where WM_LEVEL_MY_SIDE and WM_LEVEL_REMOTE_SIDE go (wParam = level 0..512). Set before
    // the servers start.
    void setLevelTarget(QObject* target);
    // Called on a receiving thread whenever one of Skype's connections closes, on either port,
    // so that the audio can be redirected again. Set before the servers start.
    void setConnectionClosedHook(std::function<void()> hook);

    // Listens on 127.0.0.1 and starts the receiving thread. A port that cannot be listened on is
    // reported in a message box naming it; the program goes on without that server.
    bool startMySideServer(std::uint16_t port = MySidePort);
    bool startRemoteSideServer(std::uint16_t port = RemoteSidePort);

    // Opens basePath + ".mp3" and starts the mixing worker, unless a recording runs already.
    // The caller then sets the side and the state Recording.
    bool startRecording(const QString& basePath, int sampleRate, int bitrate, int mode);
    // Lets the worker write what is queued (handling events meanwhile), closes the file, and
    // sets the state Stopped.
    void stopRecording();
    void pause();  // Recording or Resumed -> Paused
    void resume(); // Paused -> Resumed

    CaptureState captureState() const { return static_cast<CaptureState>(m_state.load()); }
    void setCaptureState(CaptureState state) { m_state.store(static_cast<int>(state)); }
    // 0 both sides, 1 my side only, anything else the remote side only; also set on the worker.
    int side() const { return m_side.load(); }
    void setSide(int side);

    MixWorker& mixWorker() { return m_worker; }
    const AudioServer& mySideServer() const { return m_mySide.server; }
    const AudioServer& remoteSideServer() const { return m_remoteSide.server; }
    bool isServingMySide() const { return m_mySide.serving.load(); }
    bool isServingRemoteSide() const { return m_remoteSide.serving.load(); }

private:
    struct Stream {
        Stream(bool isMySide, int levelMessage) : mySide(isMySide), message(levelMessage) {}
        const bool mySide;
        const int message;
        AudioServer server;
        std::thread thread;
        std::atomic<bool> serving{false};
        LevelMeter meter; // belongs to the receiving thread
    };

    bool startServer(Stream& stream, std::uint16_t port);
    void receive(Stream& stream);
    void handleRead(Stream& stream, unsigned char* buffer, const AudioServer::PollResult& read);
    bool queues(const Stream& stream) const;
    void connectionClosed();
    void shutdown();

    MixWorker m_worker;
    Stream m_mySide;
    Stream m_remoteSide;
    std::atomic<int> m_state{static_cast<int>(CaptureState::Idle)};
    std::atomic<int> m_side{MixWorker::BothSides};
    std::atomic<QObject*> m_levelTarget{nullptr};
    std::mutex m_hookMutex;
    std::function<void()> m_connectionClosedHook;
};
