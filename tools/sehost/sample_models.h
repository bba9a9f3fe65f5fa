// The models the simulated host's documents hold, generated in code. Each body is a closed
// triangle soup the way a CAD tessellator writes it: every facet lists its own three corners,
// corners shared by neighbouring facets repeat bit for bit, facets wind counter-clockwise seen
// from outside and carry their outward unit normal.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace sehost {

struct Vec3f {
    float x, y, z;
};

struct Facet {
    Vec3f normal;
    Vec3f corners[3];
};

struct Body {
    std::string name;  // the ASCII STL solid name
    std::vector<Facet> facets;
};

struct Model {
    std::string name;
    std::vector<Body> bodies;

    std::size_t FacetCount() const;
};

// "part":     one body, a block with a cylindrical boss on top and a through hole (genus 1),
//             sharp block edges and two curved faces; 960 facets.
// "assembly": two bodies, a plate with a through hole and a pin standing in it without touching.
// "empty":    one body without facets (an STL file that holds no triangle).
// Null for any other name.
const Model* FindSampleModel(const std::string& name);
std::vector<std::string> SampleModelNames();

// How many vertices a reader that welds exactly equal corners makes of the body.
std::size_t CountDistinctCorners(const Body& body);

}  // namespace sehost
