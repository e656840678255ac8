#pragma once

#include <cstdint>
#include <memory>

// A block of bytes on the audio path: either owning storage of its own (zeroed when made) or a
// view over bytes that belong to someone else, such as a receive buffer.
class CBuffer {
public:
    // Allocates size zeroed bytes and owns them.
    explicit CBuffer(std::int32_t size);
    // A view over size bytes at data; the bytes stay their owner's.
    CBuffer(unsigned char* data, std::int32_t size);
    virtual ~CBuffer();

    CBuffer(const CBuffer&) = delete;
    CBuffer& operator=(const CBuffer&) = delete;

    unsigned char* data() const { return m_data; }
    std::int32_t size() const { return m_size; }
    bool ownsData() const { return m_ownsData; }

    // The bytes as 16-bit samples; size() / 2 of them.
    std::int16_t* samples() const { return reinterpret_cast<std::int16_t*>(m_data); }
    std::int32_t sampleCount() const { return m_size / 2; }

private:
    std::unique_ptr<unsigned char[]> m_storage;
    unsigned char* m_data = nullptr;
    std::int32_t m_size = 0;
    std::uint8_t m_ownsData = 0;
};
