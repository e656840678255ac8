#pragma once

#include "audio/CBuffer.h"
#include "audio/IWriteToFile.h"

#include <QStringList>
#include <cstdint>
#include <mutex>
#include <vector>

// Stands in for the MP3 file behind the mixing worker: keeps a copy of every block written, and
// what happened in which order ("write", "close").
class CapturingWriter : public IWriteToFile {
public:
    using Samples = std::vector<std::int16_t>;

    bool Write(const CBuffer& block) override
    {
        beforeWrite();
        std::lock_guard lock(m_mutex);
        m_blocks.emplace_back(block.samples(), block.samples() + block.sampleCount());
        m_log.append(QStringLiteral("write"));
        return true;
    }
    bool Close() override
    {
        std::lock_guard lock(m_mutex);
        m_log.append(QStringLiteral("close"));
        return true;
    }

    int count() const
    {
        std::lock_guard lock(m_mutex);
        return int(m_blocks.size());
    }
    std::vector<Samples> blocks() const
    {
        std::lock_guard lock(m_mutex);
        return m_blocks;
    }
    // Everything written, one sample after the other.
    Samples stream() const
    {
        Samples all;
        for (const Samples& block : blocks())
            all.insert(all.end(), block.begin(), block.end());
        return all;
    }
    QStringList log() const
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }

protected:
    virtual void beforeWrite() {}
    mutable std::mutex m_mutex;
    QStringList m_log;

private:
    std::vector<Samples> m_blocks;
};
