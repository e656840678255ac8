#include "audio/BlockQueue.h"

#include <cstring>

BlockQueue::BlockQueue(int initialBlocks) : m_pool(initialBlocks) {}

void BlockQueue::append(const unsigned char* bytes)
{
    std::lock_guard lock(m_mutex);
    CBuffer* block = m_pool.get();
    std::memcpy(block->data(), bytes, BlockPool::BlockBytes);
    m_blocks.push_back(block);
}

CBuffer* BlockQueue::takeHead()
{
    std::lock_guard lock(m_mutex);
    if (m_blocks.empty())
        return nullptr;
    CBuffer* block = m_blocks.front();
    m_blocks.pop_front();
    return block;
}

void BlockQueue::putBack(CBuffer* block)
{
    std::lock_guard lock(m_mutex);
    m_pool.putBack(block);
}

void BlockQueue::clear()
{
    std::lock_guard lock(m_mutex);
    for (CBuffer* block : m_blocks)
        m_pool.putBack(block);
    m_blocks.clear();
}

bool BlockQueue::isEmpty() const
{
    std::lock_guard lock(m_mutex);
    return m_blocks.empty();
}

int BlockQueue::size() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_blocks.size());
}
