#include "tlmio/3dm_chunk_buffer.h"

#include <zlib.h>

#include <cassert>
#include <cstring>
#include <limits>
#include <new>

#include "tlmio/3dm_archive_format.h"

namespace tlmio {

uint32_t Crc32(const void* data, std::size_t size, uint32_t crc)
{
    // zlib counts in uInt, which is 32 bits everywhere.
    const Bytef* bytes = static_cast<const Bytef*>(data);
    uLong value = crc;
    while (size > 0) {
        const uInt piece = size > (1u << 30) ? (1u << 30) : static_cast<uInt>(size);
        value = crc32(value, bytes, piece);
        bytes += piece;
        size -= piece;
    }
    return static_cast<uint32_t>(value);
}

void ChunkBuffer::Clear()
{
    m_size = 0;
    m_open.clear();
}

void ChunkBuffer::Reserve(std::size_t bytes)
{
    if (bytes > m_capacity)
        Reallocate(bytes);
}

void ChunkBuffer::Reallocate(std::size_t capacity)
{
    // Not zero-filled: every byte handed out is written before it is read.
    std::unique_ptr<uint8_t[]> block(new uint8_t[capacity]);
    if (m_size)
        std::memcpy(block.get(), m_data.get(), m_size);
    m_data = std::move(block);
    m_capacity = capacity;
}

uint8_t* ChunkBuffer::Extend(std::size_t count)
{
    if (count > m_capacity - m_size) {
        const std::size_t kMax = std::numeric_limits<std::size_t>::max();
        if (count > kMax - m_size)
            throw std::bad_alloc();
        const std::size_t needed = m_size + count;
        std::size_t grown = m_capacity > kMax / 2 ? kMax : m_capacity * 2;
        Reallocate(grown > needed ? grown : (needed < 4096 ? 4096 : needed));
    }
    uint8_t* room = m_data.get() + m_size;
    m_size += count;
    return room;
}

void ChunkBuffer::Truncate(std::size_t size)
{
    assert(size <= m_size);
    m_size = size;
}

void ChunkBuffer::Bytes(const void* data, std::size_t count)
{
    if (count)
        std::memcpy(Extend(count), data, count);
}

void ChunkBuffer::Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    const uint8_t rgba[4] = {r, g, b, a};
    Bytes(rgba, sizeof rgba);
}

namespace {

// Decodes one UTF-8 sequence at `s`; a malformed one yields its first byte as a code point.
uint32_t NextCodePoint(const unsigned char*& s)
{
    const unsigned char lead = s[0];
    int extra = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        code = lead & 0x07u;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((s[i] & 0xC0) != 0x80) {  // also stops at the terminator
            extra = 0;
            break;
        }
        code = (code << 6) | (s[i] & 0x3Fu);
    }
    const bool overlong = (extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (extra == 0 || overlong || surrogate || code > 0x10FFFF) {
        ++s;
        return lead;
    }
    s += extra + 1;
    return code;
}

}  // namespace

void ChunkBuffer::WideString(const char* text)
{
    std::vector<uint16_t> units;
    for (const unsigned char* s = reinterpret_cast<const unsigned char*>(text ? text : ""); *s;) {
        const uint32_t code = NextCodePoint(s);
        if (code >= 0x10000) {
            units.push_back(static_cast<uint16_t>(0xD800 + ((code - 0x10000) >> 10)));
            units.push_back(static_cast<uint16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<uint16_t>(code));
        }
    }
    if (units.empty()) {
        U32(0);
        return;
    }
    units.push_back(0);
    U32(static_cast<uint32_t>(units.size()));
    Bytes(units.data(), units.size() * sizeof(uint16_t));
}

void ChunkBuffer::ChunkValue(int64_t value)
{
    if (m_eightByteValues)
        U64(static_cast<uint64_t>(value));
    else
        U32(static_cast<uint32_t>(value));
}

void ChunkBuffer::FoldPendingCrc()
{
    if (m_open.empty())
        return;
    OpenChunk& parent = m_open.back();
    if (parent.hasCrc)
        parent.crc = Crc32(m_data.get() + parent.crcFrom, m_size - parent.crcFrom, parent.crc);
    parent.crcFrom = m_size;
}

void ChunkBuffer::BeginChunk(uint32_t code)
{
    assert((code & typecode::kShortBit) == 0 && code != 0);
    FoldPendingCrc();
    OpenChunk chunk;
    chunk.headerOffset = m_size;
    chunk.hasCrc = (code & typecode::kCrcBit) != 0;
    chunk.crc = 0;
    U32(code);
    ChunkValue(0);  // the length, once known
    chunk.crcFrom = m_size;
    m_open.push_back(chunk);
}

void ChunkBuffer::EndChunk()
{
    assert(!m_open.empty());
    FoldPendingCrc();
    const OpenChunk chunk = m_open.back();
    m_open.pop_back();
    if (chunk.hasCrc)
        U32(chunk.crc);
    // Lengths of 4-byte archives fit: the writer keeps whole files of those below 4 GiB.
    const std::size_t valueOffset = chunk.headerOffset + 4;
    const int64_t length = static_cast<int64_t>(m_size - valueOffset - (m_eightByteValues ? 8 : 4));
    if (m_eightByteValues) {
        const uint64_t value = static_cast<uint64_t>(length);
        std::memcpy(m_data.get() + valueOffset, &value, sizeof value);
    } else {
        const uint32_t value = static_cast<uint32_t>(length);
        std::memcpy(m_data.get() + valueOffset, &value, sizeof value);
    }
    if (!m_open.empty())
        m_open.back().crcFrom = m_size;  // the nested chunk stays out of its parent's CRC
}

void ChunkBuffer::BeginVersionedChunk(int major, int minor)
{
    BeginChunk(typecode::kAnonymousChunk);
    I32(major);
    I32(minor);
}

void ChunkBuffer::ShortChunk(uint32_t code, int64_t value)
{
    assert((code & typecode::kShortBit) != 0);
    FoldPendingCrc();
    U32(code);
    ChunkValue(value);
    if (!m_open.empty())
        m_open.back().crcFrom = m_size;
}

}  // namespace tlmio
