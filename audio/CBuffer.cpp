#include "audio/CBuffer.h"

CBuffer::CBuffer(std::int32_t size)
    : m_storage(size > 0 ? std::make_unique<unsigned char[]>(static_cast<std::size_t>(size)) : nullptr),
      m_data(m_storage.get()), m_size(size > 0 ? size : 0), m_ownsData(1)
{
}

CBuffer::CBuffer(unsigned char* data, std::int32_t size) : m_data(data), m_size(data && size > 0 ? size : 0) {}

CBuffer::~CBuffer() = default;
