#include "audio/BlockPool.h"

#include <cstring>

BlockPool::BlockPool(int initialBlocks)
{
    m_owned.reserve(static_cast<std::size_t>(initialBlocks));
    m_free.reserve(static_cast<std::size_t>(initialBlocks));
    for (int i = 0; i < initialBlocks; ++i)
        m_free.push_back(make());
}

CBuffer* BlockPool::make()
{
    m_owned.push_back(std::make_unique<CBuffer>(BlockBytes));
    return m_owned.back().get();
}

CBuffer* BlockPool::get()
{
    std::lock_guard lock(m_mutex);
    if (m_free.empty())
        return make();
    CBuffer* block = m_free.back();
    m_free.pop_back();
    return block;
}

void BlockPool::putBack(CBuffer* block)
{
    std::memset(block->data(), 0, BlockBytes);
    std::lock_guard lock(m_mutex);
    m_free.push_back(block);
}

int BlockPool::blockCount() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_owned.size());
}
