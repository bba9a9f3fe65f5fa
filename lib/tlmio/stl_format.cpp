#include "tlmio/stl_format.h"

namespace tlmio {

namespace {

bool IsSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool BeginsWithSolid(const unsigned char* data, std::size_t size)
{
    std::size_t i = SkipByteOrderMark(data, size);
    while (i < size && IsSpace(data[i]))
        ++i;
    static const char kSolid[] = "solid";
    for (int k = 0; k < 5; ++k, ++i)
        if (i >= size || (data[i] | 0x20) != kSolid[k])
            return false;
    return i == size || IsSpace(data[i]);
}

}  // namespace

std::size_t SkipByteOrderMark(const unsigned char* data, std::size_t size)
{
    return size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF ? 3 : 0;
}

std::uint32_t BinaryFacetCount(const unsigned char* data)
{
    const unsigned char* p = data + kBinaryHeaderSize;
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

StlFormat DetectStlFormat(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return StlFormat::kEmpty;
    if (size >= kBinaryPreambleSize && BinaryStlSize(BinaryFacetCount(data)) == size)
        return StlFormat::kBinary;
    if (BeginsWithSolid(data, size))
        return StlFormat::kAscii;
    return size < kBinaryPreambleSize ? StlFormat::kShortBinary : StlFormat::kBadBinary;
}

StlFacetView BinaryFacets(const unsigned char* data)
{
    StlFacetView view;
    view.first = data + kBinaryPreambleSize;
    view.stride = kBinaryFacetSize;
    view.count = BinaryFacetCount(data);
    return view;
}

bool LooksBinary(const unsigned char* data, std::size_t size)
{
    if (size < kBinaryPreambleSize)
        return false;
    const std::size_t end = size < kBinaryPreambleSize + kBinaryFacetSize ? size : kBinaryPreambleSize + kBinaryFacetSize;
    for (std::size_t i = 0; i < end; ++i)
        if ((data[i] < 0x20 && !IsSpace(data[i])) || data[i] == 0x7f)
            return true;
    return false;
}

}  // namespace tlmio
