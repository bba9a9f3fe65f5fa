// ASCII STL text into facet records, one range of them per solid.
#pragma once

#include <cstddef>

#include "afx/CString.h"
#include "on/ON_Array.h"
#include "tlmio/stl_facets.h"

namespace tlmio {

struct StlAsciiSolid {
    std::size_t firstFacet = 0;
    std::size_t facetCount = 0;
};

struct StlAsciiContent {
    ON_SimpleArray<StlFacet> facets;
    ON_SimpleArray<StlAsciiSolid> solids;  // in file order

    StlFacetView Facets(const StlAsciiSolid& solid) const;
};

enum class StlAsciiFailure { kNone, kSyntax, kNonFiniteCoordinate, kTooManyFacets };

struct StlAsciiError {
    StlAsciiFailure failure = StlAsciiFailure::kNone;
    std::size_t line = 0;            // 1-based
    const char* expected = "";       // kSyntax: what the grammar wanted, e.g. "\"endloop\""
    CString found;                   // kSyntax: the offending word, quoted, or "the end of the file"
    std::size_t facet = 0;           // kNonFiniteCoordinate: 1-based, counted over the whole file
};

// Parses `size` bytes of ASCII STL (solid ... endsolid blocks) into the empty `content`.
// Keywords are matched in any case, numbers in any decimal notation, lines end in LF, CRLF or CR.
// Returns false with `error` filled at the first fault; `content` then holds what came before it.
bool ParseStlAscii(const unsigned char* data, std::size_t size, StlAsciiContent& content, StlAsciiError& error);

}  // namespace tlmio
