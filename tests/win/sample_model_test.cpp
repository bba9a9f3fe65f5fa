// The bundled sample models are what a CAD tessellator writes: closed solids whose shared corners
// repeat exactly, consistently wound, with outward unit normals.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>

#include "tools/sehost/sample_models.h"

namespace {

using Key = std::array<std::uint32_t, 3>;

Key KeyOf(const sehost::Vec3f& p)
{
    Key key;
    std::memcpy(key.data(), &p, sizeof key);
    return key;
}

struct D3 {
    double x, y, z;
};
D3 Sub(const sehost::Vec3f& a, const sehost::Vec3f& b) { return {double(a.x) - b.x, double(a.y) - b.y, double(a.z) - b.z}; }
D3 Cross(D3 a, D3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(D3 a, D3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3 ToD3(const sehost::Vec3f& p) { return {p.x, p.y, p.z}; }

struct Shape {
    std::size_t openOrRepeatedEdges = 0;  // directed edges without exactly one opposite twin
    long euler = 0;                       // V - E + F
    double volume = 0;                    // signed: positive when the facets face outward
    double worstNormal = 1;               // smallest cosine between a stored normal and the corners' normal
    double worstLength = 0;               // largest deviation of a stored normal's length from 1
};

Shape Analyse(const sehost::Body& body)
{
    Shape shape;
    std::map<std::pair<Key, Key>, int> directed;
    for (const sehost::Facet& f : body.facets) {
        for (int i = 0; i < 3; ++i)
            ++directed[{KeyOf(f.corners[i]), KeyOf(f.corners[(i + 1) % 3])}];
        D3 n = Cross(Sub(f.corners[1], f.corners[0]), Sub(f.corners[2], f.corners[0]));
        D3 stored = ToD3(f.normal);
        double length = std::sqrt(Dot(stored, stored));
        shape.worstLength = std::max(shape.worstLength, std::fabs(length - 1));
        shape.worstNormal = std::min(shape.worstNormal, Dot(n, stored) / (std::sqrt(Dot(n, n)) * length));
        shape.volume += Dot(ToD3(f.corners[0]), Cross(ToD3(f.corners[1]), ToD3(f.corners[2]))) / 6;
    }
    std::set<std::pair<Key, Key>> undirected;
    for (const auto& [edge, count] : directed) {
        auto twin = directed.find({edge.second, edge.first});
        if (count != 1 || twin == directed.end() || twin->second != 1)
            ++shape.openOrRepeatedEdges;
        undirected.insert(std::min(edge, std::make_pair(edge.second, edge.first)));
    }
    shape.euler = static_cast<long>(sehost::CountDistinctCorners(body)) - static_cast<long>(undirected.size()) +
                  static_cast<long>(body.facets.size());
    return shape;
}

}  // namespace

TEST(SampleModels, BodiesAreClosedOutwardFacingSolids)
{
    struct Case {
        const char* model;
        std::size_t body;
        long euler;  // 2 - 2 x genus: 0 for a body with one through hole
    };
    for (const Case& c : {Case{"part", 0, 0}, Case{"assembly", 0, 0}, Case{"assembly", 1, 2}}) {
        SCOPED_TRACE(std::string(c.model) + " body " + std::to_string(c.body));
        const sehost::Model* model = sehost::FindSampleModel(c.model);
        ASSERT_NE(model, nullptr);
        ASSERT_LT(c.body, model->bodies.size());
        const sehost::Body& body = model->bodies[c.body];
        EXPECT_GE(body.facets.size(), 200u);
        EXPECT_LE(body.facets.size(), 5000u);
        Shape shape = Analyse(body);
        EXPECT_EQ(shape.openOrRepeatedEdges, 0u);
        EXPECT_EQ(shape.euler, c.euler);
        EXPECT_GT(shape.volume, 0);
        EXPECT_GT(shape.worstNormal, 0.99999);
        EXPECT_LT(shape.worstLength, 1e-6);
    }
}

TEST(SampleModels, NamesAndBodies)
{
    EXPECT_EQ(sehost::SampleModelNames(), (std::vector<std::string>{"part", "assembly", "empty"}));
    EXPECT_EQ(sehost::FindSampleModel("part")->bodies.size(), 1u);
    EXPECT_EQ(sehost::FindSampleModel("assembly")->bodies.size(), 2u);
    EXPECT_EQ(sehost::FindSampleModel("empty")->FacetCount(), 0u);
    EXPECT_EQ(sehost::FindSampleModel("gearbox"), nullptr);

    // The assembly's bodies touch nowhere: no corner of one is a corner of the other.
    const sehost::Model& assembly = *sehost::FindSampleModel("assembly");
    std::set<Key> plate;
    for (const sehost::Facet& f : assembly.bodies[0].facets)
        for (const auto& corner : f.corners)
            plate.insert(KeyOf(corner));
    for (const sehost::Facet& f : assembly.bodies[1].facets)
        for (const auto& corner : f.corners)
            EXPECT_EQ(plate.count(KeyOf(corner)), 0u);
}
