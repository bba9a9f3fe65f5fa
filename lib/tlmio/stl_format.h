// Which of the two STL formats a file is in, and the facets of a binary one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tlmio/stl_facets.h"

namespace tlmio {

enum class StlFormat {
    kBinary,        // the size is exactly that of the facets its header announces
    kAscii,         // otherwise, the first word is "solid"
    kEmpty,
    kShortBinary,   // neither, and too short to hold a binary header
    kBadBinary,     // neither: a binary header whose facet count does not match the size
};

StlFormat DetectStlFormat(const unsigned char* data, std::size_t size);

// 3 when the text begins with the UTF-8 byte order mark that some Windows tools write, else 0.
std::size_t SkipByteOrderMark(const unsigned char* data, std::size_t size);

// The facet count of a binary header; `size` at least kBinaryPreambleSize.
std::uint32_t BinaryFacetCount(const unsigned char* data);

// Bytes that a binary file announcing `facetCount` facets has.
inline std::uint64_t BinaryStlSize(std::uint32_t facetCount)
{
    return kBinaryPreambleSize + static_cast<std::uint64_t>(kBinaryFacetSize) * facetCount;
}

// The facets of a binary file that DetectStlFormat called kBinary.
StlFacetView BinaryFacets(const unsigned char* data);

// True when the first bytes hold a control character that text never has but binary facets
// nearly always do: a file that begins with "solid" and still fails as ASCII is then reported
// as the damaged binary file it is.
bool LooksBinary(const unsigned char* data, std::size_t size);

}  // namespace tlmio
