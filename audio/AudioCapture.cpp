#include "audio/AudioCapture.h"

#include "platform/MessageBoxService.h"
#include "platform/ProductName.h"
#include "platform/WindowMessage.h"
#include "platform/WindowMessages.h"

#include <cerrno>

namespace {

std::unique_ptr<AudioCapture>& theInstance()
{
    static std::unique_ptr<AudioCapture> instance;
    return instance;
}

void reportListenFailure(std::uint16_t port)
{
    MessageRequest request;
    request.caption = productName();
    request.text = QStringLiteral("Create socket failed! Please make sure your firewall/anti-virus software does NOT "
                                  "block the port '%1'!")
                       .arg(port);
    request.icon = MessageIcon::Information;
    MessageBoxService::show(request);
}

// Errors after which the receiving thread keeps serving: a connection went away or was refused.
bool keepsServing(int error)
{
    return error == 0 || error == ECONNABORTED || error == ECONNRESET || error == ECONNREFUSED;
}

} // namespace

AudioCapture& AudioCapture::instance()
{
    std::unique_ptr<AudioCapture>& instance = theInstance();
    if (!instance)
        instance = std::make_unique<AudioCapture>(Token{});
    return *instance;
}

bool AudioCapture::hasInstance()
{
    return theInstance() != nullptr;
}

void AudioCapture::destroyInstance()
{
    theInstance().reset();
}

AudioCapture::AudioCapture(Token) : m_mySide(true, WM_LEVEL_MY_SIDE), m_remoteSide(false, WM_LEVEL_REMOTE_SIDE) {}

AudioCapture::~AudioCapture()
{
    shutdown();
}

void AudioCapture::shutdown()
{
    m_mySide.server.closeAll();
    m_remoteSide.server.closeAll();
    // Closing wakes the receiving threads, which then end at once.
    for (Stream* stream : {&m_mySide, &m_remoteSide}) {
        if (stream->thread.joinable())
            stream->thread.join();
        stream->serving.store(false);
    }
    m_worker.Destroy();
}

void AudioCapture::setLevelTarget(QObject* target)
{
    m_levelTarget.store(target);
}

void AudioCapture::setConnectionClosedHook(std::function<void()> hook)
{
    std::lock_guard lock(m_hookMutex);
    m_connectionClosedHook = std::move(hook);
}

bool AudioCapture::startMySideServer(std::uint16_t port)
{
    return startServer(m_mySide, port);
}

bool AudioCapture::startRemoteSideServer(std::uint16_t port)
{
    return startServer(m_remoteSide, port);
}

bool AudioCapture::startServer(Stream& stream, std::uint16_t port)
{
    if (stream.serving.load())
        return false;
    if (stream.server.createListener(port) != 0) {
        reportListenFailure(port);
        stream.server.closeAll();
        return false;
    }
    stream.thread = std::thread(&AudioCapture::receive, this, std::ref(stream));
    stream.serving.store(true);
    return true;
}

bool AudioCapture::startRecording(const QString& basePath, int sampleRate, int bitrate, int mode)
{
    if (isRecordingState(captureState()))
        return false;
    return m_worker.Start(basePath + QStringLiteral(".mp3"), sampleRate, bitrate, mode);
}

void AudioCapture::stopRecording()
{
    m_worker.Stop();
    setCaptureState(CaptureState::Stopped);
}

void AudioCapture::pause()
{
    const CaptureState state = captureState();
    if (state == CaptureState::Recording || state == CaptureState::Resumed)
        setCaptureState(CaptureState::Paused);
}

void AudioCapture::resume()
{
    if (captureState() == CaptureState::Paused)
        setCaptureState(CaptureState::Resumed);
}

void AudioCapture::setSide(int side)
{
    m_side.store(side);
    m_worker.setSide(side);
}

void AudioCapture::receive(Stream& stream)
{
    alignas(std::int16_t) unsigned char buffer[AudioServer::BufferSize];
    for (;;) {
        const AudioServer::PollResult result = stream.server.pollStep(buffer);
        if (result.events & AudioServer::CloseEvent)
            connectionClosed();
        if (result.events & AudioServer::ReadEvent)
            handleRead(stream, buffer, result);
        if (keepsServing(result.error))
            continue;
        if (result.error != ENOTCONN)
            stream.server.closeAll();
        return;
    }
}

void AudioCapture::handleRead(Stream& stream, unsigned char* buffer, const AudioServer::PollResult& read)
{
    if (queues(stream)) {
        for (int offset = 0; offset < read.blockBytes; offset += AudioServer::BlockBytes) {
            const CBuffer block(buffer + offset, AudioServer::BlockBytes);
            if (stream.mySide)
                m_worker.PushMySide(block);
            else
                m_worker.PushRemoteSide(block);
        }
    }
    // The meter reads the samples as they stand in the stream, including those carried over.
    const std::int16_t* samples = reinterpret_cast<const std::int16_t*>(buffer);
    if (const std::optional<int> level = stream.meter.onRead(samples, read.bytes / 2))
        PostWindowMessage(m_levelTarget.load(), stream.message, *level);
}

bool AudioCapture::queues(const Stream& stream) const
{
    const CaptureState state = captureState();
    if (state != CaptureState::Recording && state != CaptureState::Resumed)
        return false;
    const int side = m_side.load();
    // The worker takes any side other than both or mine as the remote side; so do the servers.
    return stream.mySide ? side == MixWorker::BothSides || side == MixWorker::MySideOnly
                         : side != MixWorker::MySideOnly;
}

void AudioCapture::connectionClosed()
{
    std::function<void()> hook;
    {
        std::lock_guard lock(m_hookMutex);
        hook = m_connectionClosedHook;
    }
    if (hook)
        hook();
}
