// Bytes of a 3DM archive being built in memory: little-endian values, strings and ids, and
// nested chunks whose lengths and CRCs are filled in as each chunk closes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "tlmio/3dm_uuid.h"

#if !defined(__BYTE_ORDER__) || __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "The archive writer copies arrays of numbers as they lie in memory: little-endian targets only"
#endif

namespace tlmio {

// zlib's CRC-32 (initial value 0) over any number of bytes.
uint32_t Crc32(const void* data, std::size_t size, uint32_t crc = 0);

class ChunkBuffer {
public:
    explicit ChunkBuffer(bool eightByteValues) : m_eightByteValues(eightByteValues) {}
    ChunkBuffer(const ChunkBuffer&) = delete;
    ChunkBuffer& operator=(const ChunkBuffer&) = delete;

    const uint8_t* Data() const { return m_data.get(); }
    std::size_t Size() const { return m_size; }
    void Clear();                     // keeps the storage for the next use
    void Reserve(std::size_t bytes);  // total capacity, to avoid regrowth of large records

    // Room for `count` bytes that the caller fills in; valid until the buffer grows again.
    uint8_t* Extend(std::size_t count);
    void Truncate(std::size_t size);  // gives back unused room at the end

    void Bytes(const void* data, std::size_t count);
    void U8(uint8_t value) { *Extend(1) = value; }
    void Bool(bool value) { U8(value ? 1 : 0); }
    void I16(int16_t value) { Bytes(&value, sizeof value); }
    void I32(int32_t value) { Bytes(&value, sizeof value); }
    void U32(uint32_t value) { Bytes(&value, sizeof value); }
    void U64(uint64_t value) { Bytes(&value, sizeof value); }
    void F32(float value) { Bytes(&value, sizeof value); }
    void F64(double value) { Bytes(&value, sizeof value); }
    void Id(const Uuid& id) { Bytes(id.bytes, sizeof id.bytes); }
    void Color(uint8_t r, uint8_t g, uint8_t b, uint8_t a);
    // UTF-16 with a count that includes the terminator; the empty string is a bare count of 0.
    // Bytes that are not UTF-8 are taken as Latin-1, so any 8-bit text survives.
    void WideString(const char* text);
    // A chunk value (length or short-chunk value) in the archive's width.
    void ChunkValue(int64_t value);

    // Long chunks nest; the CRC (when the typecode asks for one) covers the bytes written
    // directly into the chunk, never those of the chunks nested in it.
    void BeginChunk(uint32_t typecode);
    void EndChunk();
    // The anonymous form that starts with its own major and minor version numbers.
    void BeginVersionedChunk(int major, int minor);
    void ShortChunk(uint32_t typecode, int64_t value);
    int OpenChunkCount() const { return static_cast<int>(m_open.size()); }

private:
    struct OpenChunk {
        std::size_t headerOffset;
        bool hasCrc;
        uint32_t crc;
        std::size_t crcFrom;  // start of the direct bytes not yet in `crc`
    };
    void FoldPendingCrc();
    void Reallocate(std::size_t capacity);

    std::unique_ptr<uint8_t[]> m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    bool m_eightByteValues;
    std::vector<OpenChunk> m_open;
};

}  // namespace tlmio
