#pragma once

#include "audio/BlockPool.h"
#include "audio/UniqueFd.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

// One listening TCP endpoint on the loopback address with the connections it accepted. Its
// receiving thread calls pollStep in a loop; each step serves one event, taking the ready
// sockets in turn so that no connection starves the others.
//
// The stream of each connection is cut into 320-byte blocks: bytes that do not yet make a whole
// block are kept with the connection and put in front of its next read, so that nothing is
// lost and no sample is shifted however TCP splits the stream.
class AudioServer {
public:
    // The blocks the mixing worker queues.
    static constexpr int BlockBytes = BlockPool::BlockBytes;
    static constexpr int MaxEntries = 63; // the listener and up to 62 connections
    static constexpr int MaxReceive = 1022;
    // A read is delivered behind the bytes left over from the connection's previous read.
    static constexpr int BufferSize = BlockBytes + MaxReceive + 2;

    enum State { NoSockets = 0, Listening = 2, Connected = 3 };
    enum Event { AcceptEvent = 1, ReadEvent = 2, CloseEvent = 4 };

    struct PollResult {
        int error = 0;      // 0 or an errno value
        int events = 0;     // Event bits of the served socket
        int bytes = 0;      // bytes in the buffer: the carried-over bytes and this read's
        int blockBytes = 0; // the leading whole blocks of those; the rest waits for the next read
    };

    AudioServer();
    ~AudioServer();

    AudioServer(const AudioServer&) = delete;
    AudioServer& operator=(const AudioServer&) = delete;

    // Listens on 127.0.0.1:port (port 0: any free port, see port()). 0 or an errno value.
    int createListener(std::uint16_t port);
    // Serves one event; buffer must hold BufferSize bytes. ENOTCONN once no socket is left.
    PollResult pollStep(unsigned char* buffer);
    // Closes every socket, waking the receiving thread out of its wait. ENOTCONN when there was
    // nothing to close.
    int closeAll();

    int state() const { return m_state.load(); }
    int connectionCount() const { return m_connections.load(); }
    std::uint16_t port() const { return m_port.load(); }

private:
    struct Entry {
        UniqueFd socket;
        std::array<unsigned char, BlockBytes> leftover{};
        int leftoverBytes = 0;
    };

    void waitAtGate();
    void setGate(bool open);
    void serveListener(short revents, PollResult& result);
    int acceptFailed(int listener, int error);
    bool refusePending(int listener);
    void serveConnection(std::size_t index, unsigned char* buffer, PollResult& result);
    void removeEntry(std::size_t index);
    void removeAll();
    void updateState();
    void drainWakeUp();

    std::mutex m_mutex; // held by the receiving thread for a whole step, its wait included
    std::vector<Entry> m_entries;
    unsigned m_lastServed = 0;
    UniqueFd m_wakeUp;
    // Held in reserve: out of descriptors, it is let go for a moment to take the waiting
    // connection and refuse it.
    UniqueFd m_spare;

    // Close-all shuts the gate so that the receiving thread, once woken, cannot take the mutex
    // again before close-all has had it.
    std::mutex m_gateMutex;
    std::condition_variable m_gateCondition;
    bool m_gateOpen = true;

    std::atomic<int> m_state{NoSockets};
    std::atomic<int> m_connections{0};
    std::atomic<std::uint16_t> m_port{0};
};
