// Facets as both STL formats deliver them to welding: twelve floats each (the stored normal, then
// three corners), `stride` bytes apart. A binary file is read in place (stride 50, unaligned);
// ASCII text is parsed into StlFacet records first.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "STL facets are read as the host's floats, which must be little-endian like the format's"
#endif

namespace tlmio {

struct StlFacet {
    float normal[3];
    float corner[3][3];
};
static_assert(sizeof(StlFacet) == 48, "StlFacet is the twelve floats of a binary facet, unpadded");

struct StlFacetView {
    const unsigned char* first = nullptr;
    std::size_t stride = 0;
    std::size_t count = 0;

    // Float `index` (0-2 normal, 3-11 corners) of facet `facet`.
    float At(std::size_t facet, int index) const
    {
        float value;
        std::memcpy(&value, first + facet * stride + 4 * static_cast<std::size_t>(index), sizeof value);
        return value;
    }
};

constexpr std::size_t kBinaryHeaderSize = 80;
constexpr std::size_t kBinaryPreambleSize = kBinaryHeaderSize + 4;  // header and facet count
constexpr std::size_t kBinaryFacetSize = 50;                      // 12 floats and 2 attribute bytes

// The most facets one mesh may have: three corner indices per facet must fit in an int, and the
// reader's arrays (at most about kBytesPerFacet per facet, all told) in the address space.
constexpr std::size_t kBytesPerFacet = 160;
constexpr std::uint64_t kMaxFacets =
    (static_cast<std::uint64_t>(SIZE_MAX) / kBytesPerFacet < static_cast<std::uint64_t>(INT_MAX) / 3)
        ? static_cast<std::uint64_t>(SIZE_MAX) / kBytesPerFacet
        : static_cast<std::uint64_t>(INT_MAX) / 3;

}  // namespace tlmio
