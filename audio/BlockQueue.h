#pragma once

#include "audio/BlockPool.h"

#include <deque>
#include <mutex>

// The FIFO of one stream's blocks waiting for the mixing worker, with the pool its blocks come
// from and go back to. Lock order: the queue's lock, then the pool's.
class BlockQueue {
public:
    explicit BlockQueue(int initialBlocks = BlockPool::InitialBlocks);

    BlockQueue(const BlockQueue&) = delete;
    BlockQueue& operator=(const BlockQueue&) = delete;

    // Copies one block's bytes (BlockPool::BlockBytes of them) into a pool block at the tail.
    void append(const unsigned char* bytes);
    // The head block, now held by the caller until putBack; nullptr when the queue is empty.
    CBuffer* takeHead();
    void putBack(CBuffer* block);
    // Empties the queue, its blocks going back to the pool.
    void clear();

    bool isEmpty() const;
    int size() const;
    const BlockPool& pool() const { return m_pool; }

private:
    mutable std::mutex m_mutex;
    std::deque<CBuffer*> m_blocks;
    BlockPool m_pool;
};
