#include "tools/sehost/sample_models.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <tuple>
#include <utility>

namespace sehost {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct P3 {
    double x, y, z;
};

P3 Sub(P3 a, P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 Cross(P3 a, P3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double Dot(P3 a, P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3f ToFloat(P3 p) { return {static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)}; }
P3 ToDouble(Vec3f p) { return {p.x, p.y, p.z}; }

// Appends facets to a body. `outward` only chooses the winding: the builder orients each facet
// so that its normal points to the same side, which keeps the face code free of winding rules.
class BodyBuilder {
public:
    explicit BodyBuilder(Body& body) : m_body(body) {}

    void Triangle(P3 a, P3 b, P3 c, P3 outward)
    {
        Facet facet{{0, 0, 0}, {ToFloat(a), ToFloat(b), ToFloat(c)}};
        // The normal of the corners as stored, so it matches what a reader recomputes.
        P3 n = Cross(Sub(ToDouble(facet.corners[1]), ToDouble(facet.corners[0])),
                     Sub(ToDouble(facet.corners[2]), ToDouble(facet.corners[0])));
        if (Dot(n, outward) < 0) {
            std::swap(facet.corners[1], facet.corners[2]);
            n = {-n.x, -n.y, -n.z};
        }
        double length = std::sqrt(Dot(n, n));
        // + 0.0 turns -0 into 0, which ASCII files would otherwise spell "-0.00000000e+00".
        facet.normal = ToFloat({n.x / length + 0.0, n.y / length + 0.0, n.z / length + 0.0});
        m_body.facets.push_back(facet);
    }

    // Corners in loop order around the quad.
    void Quad(P3 a, P3 b, P3 c, P3 d, P3 outward)
    {
        Triangle(a, b, c, outward);
        Triangle(a, c, d, outward);
    }

private:
    Body& m_body;
};

struct P2 {
    double x, y;
};

P3 At(P2 p, double z) { return {p.x, p.y, z}; }

// `segments` points on a circle, counter-clockwise from angle 0.
std::vector<P2> CircleRing(P2 centre, double radius, int segments)
{
    std::vector<P2> ring;
    for (int i = 0; i < segments; ++i) {
        double angle = 2 * kPi * i / segments;
        ring.push_back({centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)});
    }
    return ring;
}

// The circle ring projected from the centre onto the square of half-size `half`: the same angles,
// so ring point i faces circle point i. `segments` is a multiple of 8, so the corners are ring
// points. Every side is built from one table of tangents with exact corners (tan 45 degrees is not
// exactly 1 in floating point), so two squares sharing a side produce identical points on it.
std::vector<P2> SquareRing(P2 centre, double half, int segments)
{
    const int eighth = segments / 8;
    std::vector<double> tangent(2 * eighth + 1);  // tangent[eighth + j] = tan(j * step)
    for (int j = 1; j < eighth; ++j) {
        double t = std::tan(2 * kPi * j / segments);
        tangent[eighth + j] = t;
        tangent[eighth - j] = -t;
    }
    tangent[2 * eighth] = 1;
    tangent[0] = -1;

    std::vector<P2> ring;
    for (int k = 0; k < segments; ++k) {
        int side = ((k + eighth) / (2 * eighth)) % 4;  // 0 right, 1 top, 2 left, 3 bottom
        int j = k - side * 2 * eighth;
        if (j > eighth)
            j -= segments;  // the right side's lower half comes last in the ring
        double t = half * tangent[eighth + j];
        switch (side) {
        case 0: ring.push_back({centre.x + half, centre.y + t}); break;
        case 1: ring.push_back({centre.x - t, centre.y + half}); break;
        case 2: ring.push_back({centre.x - half, centre.y - t}); break;
        default: ring.push_back({centre.x + t, centre.y - half}); break;
        }
    }
    return ring;
}

void Annulus(BodyBuilder& builder, const std::vector<P2>& inner, const std::vector<P2>& outer, double z, P3 outward)
{
    const std::size_t n = inner.size();
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t next = (i + 1) % n;
        builder.Quad(At(inner[i], z), At(inner[next], z), At(outer[next], z), At(outer[i], z), outward);
    }
}

void Fan(BodyBuilder& builder, P2 centre, const std::vector<P2>& ring, double z, P3 outward)
{
    for (std::size_t i = 0; i < ring.size(); ++i)
        builder.Triangle(At(centre, z), At(ring[i], z), At(ring[(i + 1) % ring.size()], z), outward);
}

// The side of a prism over `ring` between two heights; `inward` for a hole's wall.
void Wall(BodyBuilder& builder, P2 axis, const std::vector<P2>& ring, double z0, double z1, bool inward)
{
    for (std::size_t i = 0; i < ring.size(); ++i) {
        std::size_t next = (i + 1) % ring.size();
        P2 mid{(ring[i].x + ring[next].x) / 2 - axis.x, (ring[i].y + ring[next].y) / 2 - axis.y};
        P3 outward = inward ? P3{-mid.x, -mid.y, 0} : P3{mid.x, mid.y, 0};
        builder.Quad(At(ring[i], z0), At(ring[next], z0), At(ring[next], z1), At(ring[i], z1), outward);
    }
}

// A block made of square cells in a row along x, each with a boss standing on it or a hole
// through it; `segments` points per circle.
struct Cell {
    enum Kind { Boss, Hole } kind;
    double radius;
    double bossHeight;
};

Body Block(const std::string& name, const std::vector<Cell>& cells, double half, double height, int segments)
{
    Body body{name, {}};
    BodyBuilder builder(body);
    const int quarter = segments / 4;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        const Cell& cell = cells[c];
        P2 centre{half * (2.0 * static_cast<double>(c) + 1), half};
        std::vector<P2> square = SquareRing(centre, half, segments);
        std::vector<P2> circle = CircleRing(centre, cell.radius, segments);

        Annulus(builder, circle, square, height, {0, 0, 1});
        if (cell.kind == Cell::Boss) {
            Fan(builder, centre, square, 0, {0, 0, -1});
            Wall(builder, centre, circle, height, height + cell.bossHeight, false);
            Fan(builder, centre, circle, height + cell.bossHeight, {0, 0, 1});
        } else {
            Annulus(builder, circle, square, 0, {0, 0, -1});
            Wall(builder, centre, circle, 0, height, true);
        }

        // Outer sides only: a side shared with the neighbouring cell is inside the block.
        const P3 outwardOfSide[4] = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
        for (int side = 0; side < 4; ++side) {
            if ((side == 0 && c + 1 < cells.size()) || (side == 2 && c > 0))
                continue;
            for (int s = 0; s < quarter; ++s) {
                int k = (side * quarter - quarter / 2 + s + segments) % segments;
                int next = (k + 1) % segments;
                builder.Quad(At(square[k], 0), At(square[next], 0), At(square[next], height), At(square[k], height),
                             outwardOfSide[side]);
            }
        }
    }
    return body;
}

Body Cylinder(const std::string& name, P2 axis, double radius, double z0, double z1, int segments)
{
    Body body{name, {}};
    BodyBuilder builder(body);
    std::vector<P2> circle = CircleRing(axis, radius, segments);
    Wall(builder, axis, circle, z0, z1, false);
    Fan(builder, axis, circle, z0, {0, 0, -1});
    Fan(builder, axis, circle, z1, {0, 0, 1});
    return body;
}

std::vector<Model> MakeSampleModels()
{
    std::vector<Model> models;
    // 80 x 40 x 20 mm: a boss of radius 10 and height 15 on the left half, a hole of radius 8 in the right.
    models.push_back({"part", {Block("block", {{Cell::Boss, 10, 15}, {Cell::Hole, 8, 0}}, 20, 20, 64)}});
    // A 40 x 40 x 10 plate with a hole of radius 8, and a pin of radius 6 through it from z -5 to 25.
    models.push_back({"assembly",
                      {Block("plate", {{Cell::Hole, 8, 0}}, 20, 10, 64), Cylinder("pin", {20, 20}, 6, -5, 25, 64)}});
    models.push_back({"empty", {Body{"empty", {}}}});
    return models;
}

const std::vector<Model>& SampleModels()
{
    static const std::vector<Model> models = MakeSampleModels();
    return models;
}

}  // namespace

std::size_t Model::FacetCount() const
{
    std::size_t count = 0;
    for (const Body& body : bodies)
        count += body.facets.size();
    return count;
}

const Model* FindSampleModel(const std::string& name)
{
    for (const Model& model : SampleModels())
        if (model.name == name)
            return &model;
    return nullptr;
}

std::vector<std::string> SampleModelNames()
{
    std::vector<std::string> names;
    for (const Model& model : SampleModels())
        names.push_back(model.name);
    return names;
}

std::size_t CountDistinctCorners(const Body& body)
{
    // Bit patterns, not values: the welding that matters is of exactly equal corners.
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> seen;
    for (const Facet& facet : body.facets)
        for (const Vec3f& corner : facet.corners) {
            std::uint32_t bits[3];
            std::memcpy(bits, &corner, sizeof bits);
            seen.emplace(bits[0], bits[1], bits[2]);
        }
    return seen.size();
}

}  // namespace sehost
