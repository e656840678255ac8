#pragma once

#include "audio/BlockQueue.h"
#include "audio/CBuffer.h"
#include "audio/CMp3File.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class IWriteToFile;

// Turns the two call streams into one recording. The receiving threads push 320-byte blocks of
// my side (the microphone) and of the remote side; a worker thread, running from Start to Stop,
// pairs them in arrival order, mixes each pair to mono or puts it side by side in stereo (my
// side left, remote side right) and hands the result to the MP3 file.
class MixWorker {
public:
    enum Side { BothSides = 0, MySideOnly = 1, RemoteSideOnly = 2 };

    MixWorker();
    ~MixWorker();

    MixWorker(const MixWorker&) = delete;
    MixWorker& operator=(const MixWorker&) = delete;

    // Called by the receiving threads. A block must be 320 bytes (false otherwise); while no
    // recording runs it is dropped (true). The block's bytes are copied.
    bool PushMySide(const CBuffer& block);
    bool PushRemoteSide(const CBuffer& block);

    // Opens the MP3 file (mode 0 mono, 1 stereo, 2 joint stereo) and starts the worker thread.
    bool Start(const QString& path, int sampleRate, int bitrate, int mode);
    // Starts the worker thread on a writer that is already open (Start's second half).
    bool StartWriting(IWriteToFile* writer, bool stereo);
    // Ends the recording: lets the worker write everything queued, waiting for it while the
    // user-interface thread's events go on being handled, then closes the file.
    void Stop();
    // Closes the file and forgets it. A worker still running is first let finish.
    void Reset();
    // For the program's exit: the worker ends at its next step, leaving the queue unwritten.
    void Abort();
    // Program end: closes an open file (after the worker has finished its current write) and
    // frees the queues and pools. Nothing can be recorded afterwards.
    void Destroy();

    // Set right after Start, before the recording state says recording; not changed while a
    // recording runs. Any value other than 0 and 1 records the remote side only.
    void setSide(int side) { m_side.store(side); }
    int side() const { return m_side.load(); }

    bool isRunning() const { return m_running.load(); }
    bool isAborted() const { return m_abort.load(); }
    // A worker thread is writing or draining.
    bool isWorking() const { return !m_threadEnded.load(); }

    int queuedMySide() const;
    int queuedRemoteSide() const;
    int poolBlocksMySide() const;

private:
    bool push(BlockQueue* queue, const CBuffer& block);
    void run();
    bool step();
    bool stepBothSides();
    bool stepOneSide(BlockQueue& queue);
    void writePair(const CBuffer& mySide, const CBuffer& remoteSide);
    void writeAlone(const CBuffer& block);
    bool sleepFor(std::chrono::milliseconds duration);
    void wake();
    void waitForWorkerPumpingEvents();
    void joinWorker();

    CMp3File m_mp3;
    IWriteToFile* m_writer = nullptr;
    std::unique_ptr<BlockQueue> m_mySide;
    std::unique_ptr<BlockQueue> m_remoteSide;
    CBuffer m_mixed{2 * BlockPool::BlockBytes};

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stereo{false};
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_threadEnded{true};
    std::atomic<int> m_side{BothSides};

    std::thread m_thread;
    std::mutex m_wakeMutex;
    std::condition_variable m_wakeCondition;
};
