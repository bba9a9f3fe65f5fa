#include "tlmio/3dm_compressed_array.h"

#define ZLIB_CONST
#include <zlib.h>

#include <cassert>
#include <new>
#include <stdexcept>

#include "tlmio/3dm_archive_format.h"

namespace tlmio {

namespace {

// Readers store arrays up to this size without compression, so the writer does the same.
constexpr std::size_t kLargestStoredArray = 128;
constexpr std::size_t kZlibPiece = std::size_t(1) << 30;  // zlib counts in 32-bit uInt

class Deflater {
public:
    explicit Deflater(int level)
    {
        if (deflateInit(&m_stream, level) != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    z_stream& Stream() { return m_stream; }

private:
    z_stream m_stream{};
};

// A zlib stream (header and Adler-32 included, as readers require).
std::vector<uint8_t> ZlibStream(const uint8_t* data, std::size_t size, int level)
{
    Deflater deflater(level);
    z_stream& stream = deflater.Stream();
    std::vector<uint8_t> out;
    std::size_t unread = size;
    for (;;) {
        if (stream.avail_in == 0 && unread > 0) {
            const std::size_t piece = unread < kZlibPiece ? unread : kZlibPiece;
            stream.next_in = data + (size - unread);
            stream.avail_in = static_cast<uInt>(piece);
            unread -= piece;
        }
        const int flush = unread == 0 ? Z_FINISH : Z_NO_FLUSH;
        std::size_t room = CompressedArrayBound(unread + stream.avail_in);
        room = room < kZlibPiece ? room : kZlibPiece;
        const std::size_t before = out.size();
        out.resize(before + room);
        stream.next_out = out.data() + before;
        stream.avail_out = static_cast<uInt>(room);
        const int result = deflate(&stream, flush);
        out.resize(before + (room - stream.avail_out));
        if (result == Z_STREAM_END)
            return out;
        if (result != Z_OK && result != Z_BUF_ERROR)
            throw std::runtime_error("zlib failed to compress a mesh array");
    }
}

}  // namespace

std::size_t CompressedArrayBound(std::size_t size)
{
    // Stored deflate blocks add 5 bytes per 16 KiB; the rest covers headers and chunk framing.
    return size + size / 2048 + 64;
}

PackedArray PackArray(const void* data, std::size_t size, int zlibLevel)
{
    assert(uint64_t(size) <= kMaxCompressedArrayBytes);
    PackedArray packed;
    packed.plain = static_cast<const uint8_t*>(data);
    packed.size = size;
    if (size == 0)
        return packed;
    packed.crc = Crc32(data, size);
    if (size > kLargestStoredArray) {
        packed.deflated = true;
        packed.zlibStream = ZlibStream(packed.plain, size, zlibLevel);
    }
    return packed;
}

void AppendPackedArray(ChunkBuffer& out, const PackedArray& packed)
{
    out.U32(static_cast<uint32_t>(packed.size));
    if (packed.size == 0)
        return;
    out.U32(packed.crc);
    if (!packed.deflated) {
        out.U8(0);
        out.Bytes(packed.plain, packed.size);
        return;
    }
    out.U8(1);
    out.BeginChunk(typecode::kAnonymousChunk);
    out.Bytes(packed.zlibStream.data(), packed.zlibStream.size());
    out.EndChunk();
}

}  // namespace tlmio
