// The archive's compressed buffer, used for every per-vertex array of a mesh: the size and
// CRC of the plain bytes, then the bytes stored as they are or as a zlib stream. Packing (the
// costly part) touches no shared state, so arrays may be packed on several threads; appending
// the framed result to a record happens on the record's thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tlmio/3dm_chunk_buffer.h"

namespace tlmio {

// The largest array a compressed buffer can describe (its size field has 32 bits).
constexpr uint64_t kMaxCompressedArrayBytes = UINT32_MAX;

struct PackedArray {
    const uint8_t* plain = nullptr;  // the caller's bytes, for arrays stored as they are
    std::size_t size = 0;
    uint32_t crc = 0;                // of the plain bytes
    bool deflated = false;
    std::vector<uint8_t> zlibStream;
};

// Packs `size` bytes (at most kMaxCompressedArrayBytes), which must outlive the result: small
// arrays are stored, larger ones deflated at `zlibLevel`.
PackedArray PackArray(const void* data, std::size_t size, int zlibLevel);

void AppendPackedArray(ChunkBuffer& out, const PackedArray& packed);

// Room the buffer may take for `size` plain bytes, to reserve ahead.
std::size_t CompressedArrayBound(std::size_t size);

}  // namespace tlmio
