// Welding: the corners of a facet soup that lie at exactly the same position become one shared
// position, and every facet that keeps three distinct positions gets a unit face normal.
#pragma once

#include <cstddef>

#include "on/ON_Array.h"
#include "on/ON_Point.h"
#include "tlmio/stl_facets.h"

namespace tlmio {

struct WeldedFacets {
    ON_SimpleArray<ON_3fPoint> positions;     // distinct corner positions, in order of first use
    ON_SimpleArray<int> corners;              // three indices into `positions` per kept facet
    ON_SimpleArray<ON_3fVector> faceNormals;  // unit, one per kept facet

    int FacetCount() const { return faceNormals.Count(); }
};

// Welds `facets` (at most kMaxFacets) into `welded`, which must be empty. Positions are compared
// as floats, so -0 and +0 are one position. A facet is dropped when two of its corners weld
// together or its corners are collinear: it has no area and no normal. The stored normal is
// kept when it is of unit length and agrees with the corners' winding, else the normal comes
// from the corners. Returns false, with `badFacet` its 0-based index, at the first facet that
// has a non-finite corner coordinate.
bool WeldFacets(const StlFacetView& facets, WeldedFacets& welded, std::size_t& badFacet);

}  // namespace tlmio
