#pragma once

#include "audio/CBuffer.h"

#include <memory>
#include <mutex>
#include <vector>

// The 320-byte blocks of one stream, made in advance so that the receiving thread normally
// queues audio without allocating. The pool owns every block it ever made; when all are in use
// it makes another, without limit, so no audio is ever turned away.
class BlockPool {
public:
    static constexpr int BlockBytes = 320;
    static constexpr int InitialBlocks = 1024;

    explicit BlockPool(int initialBlocks = InitialBlocks);

    BlockPool(const BlockPool&) = delete;
    BlockPool& operator=(const BlockPool&) = delete;

    // A free block, or a new zeroed one when none is free.
    CBuffer* get();
    // Zeroes the block and makes it free again.
    void putBack(CBuffer* block);

    int blockCount() const;

private:
    CBuffer* make();

    mutable std::mutex m_mutex;
    std::vector<CBuffer*> m_free;
    std::vector<std::unique_ptr<CBuffer>> m_owned;
};
