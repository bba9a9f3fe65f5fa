// The archive's compressed buffer, used for every per-vertex array of a mesh: the size and
// CRC of the plain bytes, then the bytes stored as they are or as a zlib stream.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tlmio/3dm_chunk_buffer.h"

namespace tlmio {

// The largest array a compressed buffer can describe (its size field has 32 bits).
constexpr uint64_t kMaxCompressedArrayBytes = UINT32_MAX;

// Appends `size` bytes (at most kMaxCompressedArrayBytes) as a compressed buffer; small
// arrays are stored, larger ones deflated at `zlibLevel`.
void AppendCompressedArray(ChunkBuffer& out, const void* data, std::size_t size, int zlibLevel);

// Room the buffer may take for `size` plain bytes, to reserve ahead.
std::size_t CompressedArrayBound(std::size_t size);

}  // namespace tlmio
