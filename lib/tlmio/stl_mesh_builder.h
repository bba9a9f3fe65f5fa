// From welded facets to a shaded mesh: each position becomes one vertex per smooth group of
// the faces around it, with an angle-weighted vertex normal.
#pragma once

#include "on/ON_Mesh.h"
#include "tlmio/stl_weld.h"

namespace tlmio {

// Fills the empty `mesh` from `welded` (at least one facet), whose arrays it takes over or frees.
//
// The corners at one position share a vertex when their faces are joined around that position
// by edges that both faces run along (in opposite directions, as on an oriented surface) and
// across which their normals differ by less than `creaseAngleDegrees`. A sharp edge keeps its
// two sides apart, a smooth surface shares its vertices, and the result does not depend on the
// order of the facets. (Where all the faces at a position lie within half the crease angle of
// one of them, they share one vertex outright: that differs only where two fans touch at a
// single point with nearly the same normal.) A crease angle of 180 or more gives one vertex per
// position; 0, less or not a number one vertex per corner (flat shading). Each vertex normal is
// the average of its faces' normals weighted by their corner angles, unitized; face normals are
// the welded ones.
void BuildStlMesh(WeldedFacets& welded, double creaseAngleDegrees, ON_Mesh& mesh);

}  // namespace tlmio
