#include "tlmio/stl_reader.h"

#include <cstdint>
#include <new>
#include <utility>

#include "tlmio/file_bytes.h"
#include "tlmio/stl_ascii.h"
#include "tlmio/stl_format.h"
#include "tlmio/stl_mesh_builder.h"
#include "tlmio/stl_weld.h"

namespace tlmio {

namespace {

using ull = unsigned long long;

// Welds one solid and adds its mesh, unless every facet was degenerate.
bool AddMesh(const StlFacetView& facets, const StlReadOptions& options, ON_ClassArray<ON_Mesh>& built,
             std::size_t& badFacet)
{
    WeldedFacets welded;
    if (!WeldFacets(facets, welded, badFacet))
        return false;
    if (welded.FacetCount() > 0)
        BuildStlMesh(welded, options.creaseAngleDegrees, built.AppendNew());
    return true;
}

// A size that does not match the binary header's facet count. `looksAscii`: the file begins with
// "solid", though its bytes say binary.
void DescribeBadBinary(const unsigned char* data, std::size_t size, const char* name, bool looksAscii,
                       CString& error)
{
    const std::uint32_t announced = BinaryFacetCount(data);
    const std::uint64_t expected = BinaryStlSize(announced);
    if (size < expected) {
        error.Format("The STL file \"%s\" is truncated: its header announces %llu facets but the file holds %llu "
                     "complete facets.",
                     name, static_cast<ull>(announced), static_cast<ull>((size - kBinaryPreambleSize) / kBinaryFacetSize));
    } else if (looksAscii) {
        error.Format("The STL file \"%s\" is damaged: its %llu bytes are more than the %llu facets its binary "
                     "header announces take (%llu bytes).",
                     name, static_cast<ull>(size), static_cast<ull>(announced), static_cast<ull>(expected));
    } else {
        error.Format("The file \"%s\" is not an STL file: it does not begin with \"solid\", and its %llu bytes are "
                     "more than the %llu facets its binary header announces take (%llu bytes).",
                     name, static_cast<ull>(size), static_cast<ull>(announced), static_cast<ull>(expected));
    }
}

bool ReadBinary(const unsigned char* data, const char* name, FileBytes* owner, const StlReadOptions& options,
                ON_ClassArray<ON_Mesh>& built, CString& error)
{
    const StlFacetView facets = BinaryFacets(data);
    if (facets.count > kMaxFacets) {
        error.Format("The STL file \"%s\" has %llu facets, more than this program can hold in memory (at most %llu).",
                     name, static_cast<ull>(facets.count), static_cast<ull>(kMaxFacets));
        return false;
    }
    WeldedFacets welded;
    std::size_t badFacet = 0;
    if (!WeldFacets(facets, welded, badFacet)) {
        error.Format("The STL file \"%s\" has a non-finite coordinate in facet %llu.", name,
                     static_cast<ull>(badFacet + 1));
        return false;
    }
    if (owner)
        owner->Release();  // everything needed is welded: give the file's memory back
    if (welded.FacetCount() > 0)
        BuildStlMesh(welded, options.creaseAngleDegrees, built.AppendNew());
    return true;
}

bool ReadAscii(const unsigned char* data, std::size_t size, const char* name, FileBytes* owner,
               const StlReadOptions& options, ON_ClassArray<ON_Mesh>& built, CString& error)
{
    StlAsciiContent content;
    StlAsciiError parseError;
    if (!ParseStlAscii(data, size, content, parseError)) {
        switch (parseError.failure) {
        case StlAsciiFailure::kNonFiniteCoordinate:
            error.Format("The STL file \"%s\" has a non-finite coordinate in facet %llu at line %llu.", name,
                         static_cast<ull>(parseError.facet), static_cast<ull>(parseError.line));
            break;
        case StlAsciiFailure::kTooManyFacets:
            error.Format("The STL file \"%s\" has more facets than this program can hold in memory (at most %llu, "
                         "reached at line %llu).",
                         name, static_cast<ull>(kMaxFacets), static_cast<ull>(parseError.line));
            break;
        default:
            // A binary file whose header begins with "solid" but whose size is wrong.
            if (LooksBinary(data, size))
                DescribeBadBinary(data, size, name, true, error);
            else
                error.Format("The STL file \"%s\" is not valid ASCII STL: line %llu: expected %s, found %s.", name,
                             static_cast<ull>(parseError.line), parseError.expected, parseError.found.GetString());
            break;
        }
        return false;
    }
    if (owner)
        owner->Release();
    for (int s = 0; s < content.solids.Count(); ++s) {
        std::size_t badFacet = 0;
        if (!AddMesh(content.Facets(content.solids[s]), options, built, badFacet)) {
            // The parser refuses non-finite corners first; this is a safety net.
            error.Format("The STL file \"%s\" has a non-finite coordinate in facet %llu.", name,
                         static_cast<ull>(content.solids[s].firstFacet + badFacet + 1));
            return false;
        }
    }
    return true;
}

bool ReadStl(const unsigned char* data, std::size_t size, const char* name, FileBytes* owner,
             ON_ClassArray<ON_Mesh>& meshes, const StlReadOptions& options, CString& error)
{
    try {
        ON_ClassArray<ON_Mesh> built;
        bool ok = false;
        switch (DetectStlFormat(data, size)) {
        case StlFormat::kEmpty:
            error.Format("The STL file \"%s\" is empty.", name);
            break;
        case StlFormat::kShortBinary:
            error.Format("The file \"%s\" is not an STL file: it does not begin with \"solid\" and is too short "
                         "(%llu bytes) for a binary STL file.",
                         name, static_cast<ull>(size));
            break;
        case StlFormat::kBadBinary:
            DescribeBadBinary(data, size, name, false, error);
            break;
        case StlFormat::kBinary:
            ok = ReadBinary(data, name, owner, options, built, error);
            break;
        case StlFormat::kAscii:
            ok = ReadAscii(data, size, name, owner, options, built, error);
            break;
        }
        if (!ok)
            return false;
        // Room first, so that no step after it can fail with `meshes` half extended.
        meshes.Reserve(static_cast<std::size_t>(meshes.Count()) + static_cast<std::size_t>(built.Count()));
        for (int i = 0; i < built.Count(); ++i)
            meshes.Append(std::move(built[i]));
        return true;
    } catch (const std::bad_alloc&) {
        error.Format("Not enough memory to read the STL file \"%s\" (%llu bytes).", name, static_cast<ull>(size));
        return false;
    }
}

}  // namespace

bool ReadStlBytes(const unsigned char* data, std::size_t size, const char* name, ON_ClassArray<ON_Mesh>& meshes,
                  const StlReadOptions& options, CString& error)
{
    return ReadStl(data, size, name, nullptr, meshes, options, error);
}

bool ReadStlFile(const char* path, ON_ClassArray<ON_Mesh>& meshes, const StlReadOptions& options, CString& error)
{
    if (!path)
        path = "";
    FileBytes file;
    switch (file.Open(path)) {
    case FileBytesFailure::kNone:
        break;
    case FileBytesFailure::kCannotOpen:
        error.Format("Unable to open the STL file \"%s\": %s.", path, file.SystemReason().GetString());
        return false;
    case FileBytesFailure::kIsFolder:
        error.Format("Unable to read the STL file \"%s\": it is a folder, not a file.", path);
        return false;
    case FileBytesFailure::kCannotRead:
        error.Format("Unable to read the STL file \"%s\": %s.", path, file.SystemReason().GetString());
        return false;
    case FileBytesFailure::kTooLarge:
        error.Format("Unable to read the STL file \"%s\": it is larger than this program can hold in memory.", path);
        return false;
    }
    return ReadStl(file.Data(), file.Size(), path, &file, meshes, options, error);
}

}  // namespace tlmio
