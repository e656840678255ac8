#include "audio/MixWorker.h"

#include "audio/IWriteToFile.h"

#include <QCoreApplication>
#include <algorithm>

using namespace std::chrono_literals;

namespace {
constexpr int BlockSamples = BlockPool::BlockBytes / 2;
// The worker looks for new blocks at this pace rather than being signalled per block, so one
// wake-up writes everything that has gathered.
constexpr auto IdleSleep = 300ms;
constexpr auto ShortSleep = 15ms;
// How often Stop looks at the worker between rounds of event handling.
constexpr auto StopPollInterval = 5ms;
} // namespace

MixWorker::MixWorker() : m_mySide(std::make_unique<BlockQueue>()), m_remoteSide(std::make_unique<BlockQueue>()) {}

MixWorker::~MixWorker()
{
    Destroy();
}

bool MixWorker::PushMySide(const CBuffer& block)
{
    return push(m_mySide.get(), block);
}

bool MixWorker::PushRemoteSide(const CBuffer& block)
{
    return push(m_remoteSide.get(), block);
}

bool MixWorker::push(BlockQueue* queue, const CBuffer& block)
{
    if (block.size() != BlockPool::BlockBytes)
        return false;
    if (!m_running.load() || !queue)
        return true;
    queue->append(block.data());
    return true;
}

bool MixWorker::Start(const QString& path, int sampleRate, int bitrate, int mode)
{
    if (path.isEmpty() || isWorking() || !m_mySide)
        return false;
    if (!m_mp3.Open(path, sampleRate, bitrate, mode))
        return false;
    return StartWriting(&m_mp3, mode == 1 || mode == 2);
}

bool MixWorker::StartWriting(IWriteToFile* writer, bool stereo)
{
    if (!writer || isWorking() || !m_mySide)
        return false;
    joinWorker();
    // Blocks still queued belong to an earlier recording: left by Abort, by a one-side
    // recording's other side, or pushed just as that recording ended. Left in place they would
    // open this file and pair the two sides a block apart for its whole length.
    m_mySide->clear();
    m_remoteSide->clear();
    m_writer = writer;
    m_stereo.store(stereo);
    m_running.store(true);
    m_threadEnded.store(false);
    m_thread = std::thread(&MixWorker::run, this);
    return true;
}

void MixWorker::Stop()
{
    if (!m_running.exchange(false))
        return;
    wake();
    waitForWorkerPumpingEvents();
    joinWorker();
    Reset();
}

void MixWorker::waitForWorkerPumpingEvents()
{
    while (isWorking()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        std::unique_lock lock(m_wakeMutex);
        m_wakeCondition.wait_for(lock, StopPollInterval, [this] { return !isWorking(); });
    }
}

void MixWorker::Reset()
{
    m_running.store(false);
    wake();
    // The file must never be closed under a write in progress: let the worker finish first.
    joinWorker();
    if (m_writer) {
        m_writer->Close();
        m_writer = nullptr;
    }
    m_abort.store(false);
}

void MixWorker::Abort()
{
    m_abort.store(true);
    wake();
}

void MixWorker::Destroy()
{
    Reset();
    m_mySide.reset();
    m_remoteSide.reset();
}

int MixWorker::queuedMySide() const
{
    return m_mySide ? m_mySide->size() : 0;
}

int MixWorker::queuedRemoteSide() const
{
    return m_remoteSide ? m_remoteSide->size() : 0;
}

int MixWorker::poolBlocksMySide() const
{
    return m_mySide ? m_mySide->pool().blockCount() : 0;
}

void MixWorker::run()
{
    while (step()) {
    }
    {
        std::lock_guard lock(m_wakeMutex);
        m_threadEnded.store(true);
    }
    m_wakeCondition.notify_all();
}

bool MixWorker::step()
{
    if (m_abort.load())
        return false;
    if (!m_running.load() && m_mySide->isEmpty() && m_remoteSide->isEmpty())
        return false;
    switch (m_side.load()) {
    case BothSides:
        return stepBothSides();
    case MySideOnly:
        return stepOneSide(*m_mySide);
    default:
        return stepOneSide(*m_remoteSide);
    }
}

bool MixWorker::stepBothSides()
{
    // While recording, a pair is written only once both streams have delivered; a stream that
    // lags simply makes the other one wait in its queue.
    if (m_running.load() && (m_mySide->isEmpty() || m_remoteSide->isEmpty())) {
        if (!sleepFor(IdleSleep))
            return false;
        if (m_mySide->isEmpty())
            sleepFor(ShortSleep);
        if (m_remoteSide->isEmpty())
            sleepFor(ShortSleep);
        return true;
    }
    CBuffer* mySide = m_mySide->takeHead();
    CBuffer* remoteSide = m_remoteSide->takeHead();
    if (mySide && remoteSide)
        writePair(*mySide, *remoteSide);
    else if (mySide || remoteSide)
        writeAlone(mySide ? *mySide : *remoteSide);
    if (mySide)
        m_mySide->putBack(mySide);
    if (remoteSide)
        m_remoteSide->putBack(remoteSide);
    return true;
}

bool MixWorker::stepOneSide(BlockQueue& queue)
{
    CBuffer* block = queue.takeHead();
    if (!block) {
        // Once the recording has stopped, this side's queue being empty is the end, whatever
        // the other queue may hold.
        if (!m_running.load())
            return false;
        if (!sleepFor(IdleSleep))
            return false;
        if (queue.isEmpty())
            sleepFor(ShortSleep);
        return true;
    }
    writeAlone(*block);
    queue.putBack(block);
    return true;
}

void MixWorker::writePair(const CBuffer& mySide, const CBuffer& remoteSide)
{
    const std::int16_t* m = mySide.samples();
    const std::int16_t* r = remoteSide.samples();
    std::int16_t* out = m_mixed.samples();
    if (m_stereo.load()) {
        for (int i = 0; i < BlockSamples; ++i) {
            out[2 * i] = m[i];
            out[2 * i + 1] = r[i];
        }
        m_writer->Write(m_mixed);
        return;
    }
    for (int i = 0; i < BlockSamples; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(m[i] + r[i], -32768, 32767));
    m_writer->Write(CBuffer(m_mixed.data(), BlockPool::BlockBytes));
}

void MixWorker::writeAlone(const CBuffer& block)
{
    if (!m_stereo.load()) {
        m_writer->Write(block);
        return;
    }
    // A lone block always goes to the right channel, whichever stream it came from.
    const std::int16_t* b = block.samples();
    std::int16_t* out = m_mixed.samples();
    for (int i = 0; i < BlockSamples; ++i) {
        out[2 * i] = 0;
        out[2 * i + 1] = b[i];
    }
    m_writer->Write(m_mixed);
}

bool MixWorker::sleepFor(std::chrono::milliseconds duration)
{
    std::unique_lock lock(m_wakeMutex);
    m_wakeCondition.wait_for(lock, duration, [this] { return m_abort.load() || !m_running.load(); });
    return !m_abort.load();
}

void MixWorker::wake()
{
    {
        std::lock_guard lock(m_wakeMutex);
    }
    m_wakeCondition.notify_all();
}

void MixWorker::joinWorker()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}
