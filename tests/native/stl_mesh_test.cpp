// Welding, dropped facets, face normals and crease-split vertex normals.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <tuple>

#include "stl_test_fixtures.h"

using namespace stl_test;

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

void ExpectValid(const std::vector<ON_Mesh>& meshes)
{
    for (const ON_Mesh& mesh : meshes) {
        CString reason;
        EXPECT_TRUE(mesh.IsValid(&reason)) << reason.GetString();
        EXPECT_EQ(mesh.m_N.Count(), mesh.VertexCount());
        EXPECT_EQ(mesh.m_FN.Count(), mesh.FaceCount());
        for (int f = 0; f < mesh.FaceCount(); ++f)
            EXPECT_TRUE(mesh.m_F[f].IsTriangle());
    }
}

ON_Mesh ReadOne(const std::vector<Facet>& facets, double crease = 30.0)
{
    CString error;
    bool ok = false;
    std::vector<ON_Mesh> meshes = Read(BinaryStl(facets), error, crease, &ok);
    EXPECT_TRUE(ok) << error.GetString();
    ExpectValid(meshes);
    EXPECT_EQ(meshes.size(), 1u);
    return meshes.empty() ? ON_Mesh() : meshes[0];
}

const float kO[3] = {0, 0, 0}, kX[3] = {1, 0, 0}, kY[3] = {0, 1, 0}, kXY[3] = {1, 1, 0};
const float kMinusX[3] = {-1, 0, 0}, kTwoX[3] = {2, 0, 0};

}  // namespace

TEST(StlWelding, ExactlyEqualCornersShareOneVertex)
{
    const float negativeZero = -0.0f;
    const float oNeg[3] = {negativeZero, negativeZero, negativeZero};
    const float xNeg[3] = {1, negativeZero, 0};
    const float xNext[3] = {std::nextafter(1.0f, 2.0f), 0, 0};
    const float far[3] = {5, 5, 5}, farther[3] = {6, 6, 6};
    struct Case {
        const char* name;
        std::vector<Facet> facets;
        int vertices;
        int faces;
    };
    const Case cases[] = {
        {"a shared edge", {Tri(kO, kX, kY), Tri(kX, kXY, kY)}, 4, 2},
        {"-0 and +0 are one position", {Tri(kO, kX, kY), Tri(xNeg, kXY, kY), Tri(oNeg, kY, kMinusX)}, 5, 3},
        {"one float step apart stays apart", {Tri(kO, kX, kY), Tri(xNext, kXY, kY)}, 5, 2},
        {"a repeated corner drops its facet and its unused positions",
         {Tri(far, far, farther), Tri(kO, kX, kY)}, 3, 1},
        {"corners that weld together drop the facet", {Tri(kO, oNeg, kX), Tri(kO, kX, kY)}, 3, 1},
        {"collinear corners drop the facet", {Tri(kO, kX, kTwoX), Tri(kO, kX, kY)}, 3, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // One vertex per position, so the count is the count of welded positions.
        ON_Mesh mesh = ReadOne(c.facets, 180.0);
        EXPECT_EQ(mesh.VertexCount(), c.vertices);
        EXPECT_EQ(mesh.FaceCount(), c.faces);
    }
}

TEST(StlWelding, SolidsWithOnlyDegenerateFacetsAddNoMesh)
{
    const float p[3] = {1, 2, 3};
    const std::vector<Facet> degenerate = {Tri(p, p, p), Tri(kO, kX, kTwoX)};

    CString error;
    bool ok = false;
    std::vector<ON_Mesh> meshes = Read(BinaryStl(degenerate), error, 30.0, &ok);
    EXPECT_TRUE(ok) << error.GetString();
    EXPECT_TRUE(meshes.empty());

    const std::string twoSolids = AsciiStl(degenerate, "flat") + AsciiStl({Tri(kO, kX, kY)}, "real");
    meshes = Read(twoSolids, error, 30.0, &ok);
    EXPECT_TRUE(ok) << error.GetString();
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0].FaceCount(), 1);
    ExpectValid(meshes);
}

TEST(StlNormals, StoredNormalIsKeptOnlyWhenUnitAndAgreeingWithTheWinding)
{
    const float nan = std::nanf("");
    const float tilt = static_cast<float>(std::sin(10 * kDegree)), upright = static_cast<float>(std::cos(10 * kDegree));
    struct Case {
        const char* name;
        float stored[3];
        float expected[3];
    };
    const Case cases[] = {
        {"exact", {0, 0, 1}, {0, 0, 1}},
        {"tilted but unit: the exporter's own", {tilt, 0, upright}, {tilt, 0, upright}},
        {"within the length tolerance: unitized", {0, 0, 1.0005f}, {0, 0, 1}},
        {"zero", {0, 0, 0}, {0, 0, 1}},
        {"flipped", {0, 0, -1}, {0, 0, 1}},
        {"too long", {0, 0, 2}, {0, 0, 1}},
        {"not a number", {nan, 0, 1}, {0, 0, 1}},
        {"unit but perpendicular", {1, 0, 0}, {0, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ON_Mesh mesh = ReadOne({Tri(kO, kX, kY, c.stored)});
        ASSERT_EQ(mesh.FaceCount(), 1);
        const ON_3fVector& fn = mesh.m_FN[0];
        EXPECT_NEAR(fn.x, c.expected[0], 1e-6);
        EXPECT_NEAR(fn.y, c.expected[1], 1e-6);
        EXPECT_NEAR(fn.z, c.expected[2], 1e-6);
        for (int v = 0; v < 3; ++v)
            EXPECT_GT(Dot(mesh.m_N[v], fn), 0.999999);
    }
}

TEST(StlNormals, CubeEdgesStayCrisp)
{
    ON_Mesh mesh = ReadOne(Cube());
    EXPECT_EQ(mesh.FaceCount(), 12);
    EXPECT_EQ(mesh.VertexCount(), 24);
    for (int f = 0; f < mesh.FaceCount(); ++f) {
        const ON_3fVector& fn = mesh.m_FN[f];
        EXPECT_NEAR(std::fabs(fn.x) + std::fabs(fn.y) + std::fabs(fn.z), 1.0, 1e-6) << "face " << f;
        for (int k = 0; k < 3; ++k)
            EXPECT_GT(Dot(mesh.m_N[mesh.m_F[f].vi[k]], fn), 0.999999) << "face " << f << " corner " << k;
    }
}

TEST(StlNormals, CylinderSideSharesItsVerticesAndShadesSmoothly)
{
    // 40 segments put more corners on a cap's centre than the grouping handles with bit masks.
    for (int segments : {16, 32, 40}) {
        SCOPED_TRACE(testing::Message() << segments << " segments");
        ON_Mesh mesh = ReadOne(Cylinder(segments));
        // Side: one ring top and bottom; caps: their own rings and centres.
        EXPECT_EQ(mesh.VertexCount(), 2 * segments + 2 * (segments + 1));
        int sideVertices = 0;
        for (int v = 0; v < mesh.VertexCount(); ++v) {
            const ON_3fPoint& p = mesh.m_V[v];
            const ON_3fVector& n = mesh.m_N[v];
            if (std::fabs(n.z) > 0.999999) {
                EXPECT_TRUE(p.z == 0 || p.z == 2) << "cap normal at height " << p.z;
                continue;
            }
            ++sideVertices;
            const double r = std::hypot(p.x, p.y);
            EXPECT_NEAR(n.z, 0, 1e-6);
            EXPECT_NEAR(n.x * p.x / r + n.y * p.y / r, 1.0, 1e-6) << "side normal is radial at vertex " << v;
        }
        EXPECT_EQ(sideVertices, 2 * segments);
    }
}

TEST(StlNormals, BusyPositionsGroupLikeQuietOnes)
{
    // An open cone at 45 degrees: neighbouring faces meet at a few degrees, opposite ones at 90,
    // so the apex is grouped edge by edge; with 40 faces it has more corners than fit a bit mask.
    for (int segments : {24, 40}) {
        std::vector<Facet> cone;
        const float apex[3] = {0, 0, 1};
        for (int i = 0; i < segments; ++i) {
            const double a0 = 2 * 3.14159265358979323846 * i / segments;
            const double a1 = 2 * 3.14159265358979323846 * ((i + 1) % segments) / segments;
            const float p0[3] = {static_cast<float>(std::cos(a0)), static_cast<float>(std::sin(a0)), 0};
            const float p1[3] = {static_cast<float>(std::cos(a1)), static_cast<float>(std::sin(a1)), 0};
            cone.push_back(Tri(p0, p1, apex));
        }
        StoreGeometricNormals(cone);
        SCOPED_TRACE(testing::Message() << segments << " segments");
        ON_Mesh smooth = ReadOne(cone, 30);
        EXPECT_EQ(smooth.VertexCount(), segments + 1);
        for (int v = 0; v < smooth.VertexCount(); ++v) {
            if (smooth.m_V[v].z == 1) {
                EXPECT_NEAR(smooth.m_N[v].z, 1.0, 1e-6) << "the apex averages all around";
            }
        }
        EXPECT_EQ(ReadOne(cone, 5).VertexCount(), 3 * segments);
    }
}

TEST(StlNormals, CreaseAngleDecidesWhichFacesShareAVertex)
{
    // Two faces hinged along the y axis at 20 degrees.
    const float s = static_cast<float>(std::sin(20 * kDegree)), c = static_cast<float>(std::cos(20 * kDegree));
    const float y1[3] = {0, 1, 0}, left[3] = {-1, 0, 0}, right[3] = {c, 0, s};
    std::vector<Facet> hinge = {Tri(kO, y1, left), Tri(kO, right, y1)};
    StoreGeometricNormals(hinge);
    struct Case {
        const std::vector<Facet>* facets;
        double crease;
        int vertices;
    };
    const std::vector<Facet> cube = Cube();
    const Case cases[] = {
        {&hinge, 30, 4},  {&hinge, 21, 4},  {&hinge, 19, 6},        {&hinge, 0, 6},  {&hinge, 180, 4},
        {&cube, 30, 24},  {&cube, 89, 24},  {&cube, 91, 8},          {&cube, 0, 36},  {&cube, 180, 8},
        {&cube, -5, 36},  {&cube, 1e9, 8},  {&cube, std::nan(""), 36},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.facets->size() << " facets, crease " << k.crease);
        EXPECT_EQ(ReadOne(*k.facets, k.crease).VertexCount(), k.vertices);
    }
}

TEST(StlNormals, VertexNormalsAreWeightedByCornerAngles)
{
    // Each cube corner lies on three sides, one or two triangles of each: weighting by corner
    // angle gives every side the same 90 degrees, so the normal points along the diagonal.
    ON_Mesh mesh = ReadOne(Cube(), 180.0);
    ASSERT_EQ(mesh.VertexCount(), 8);
    const double third = 1 / std::sqrt(3.0);
    for (int v = 0; v < 8; ++v) {
        const ON_3fPoint& p = mesh.m_V[v];
        const ON_3fVector& n = mesh.m_N[v];
        EXPECT_NEAR(n.x, (p.x > 0.5f ? 1 : -1) * third, 1e-6) << "vertex " << v;
        EXPECT_NEAR(n.y, (p.y > 0.5f ? 1 : -1) * third, 1e-6) << "vertex " << v;
        EXPECT_NEAR(n.z, (p.z > 0.5f ? 1 : -1) * third, 1e-6) << "vertex " << v;
    }
}

TEST(StlNormals, TwoSidedSheetKeepsUnitNormals)
{
    // Smooth shading averages opposite normals to nothing; the face's own normal stands in.
    ON_Mesh mesh = ReadOne({Tri(kO, kX, kY), Tri(kO, kY, kX)}, 180.0);
    EXPECT_EQ(mesh.VertexCount(), 3);
    for (int v = 0; v < 3; ++v)
        EXPECT_NEAR(std::fabs(mesh.m_N[v].z), 1.0, 1e-6);
}

TEST(StlNormals, FacetOrderDoesNotChangeTheResult)
{
    // The same cylinder with its facets reordered and their corners rotated.
    std::vector<Facet> facets = Cylinder(24);
    std::vector<Facet> shuffled;
    for (std::size_t i = 0; i < facets.size(); ++i) {
        Facet f = facets[(i * 37) % facets.size()];
        if (i % 2) {
            const Facet original = f;
            for (int k = 0; k < 3; ++k)
                std::copy(original.corner[(k + 1) % 3], original.corner[(k + 1) % 3] + 3, f.corner[k]);
        }
        shuffled.push_back(f);
    }
    ON_Mesh a = ReadOne(facets), b = ReadOne(shuffled);
    ASSERT_EQ(a.VertexCount(), b.VertexCount());
    using Vertex = std::array<float, 6>;
    auto sortedVertices = [](const ON_Mesh& m) {
        std::vector<Vertex> vertices;
        for (int v = 0; v < m.VertexCount(); ++v)
            vertices.push_back({m.m_V[v].x, m.m_V[v].y, m.m_V[v].z, m.m_N[v].x, m.m_N[v].y, m.m_N[v].z});
        // Normals at one position differ a lot or not at all: coarse keys order them alike.
        auto key = [](const Vertex& v) {
            return std::make_tuple(v[0], v[1], v[2], std::lround(v[3] * 1e3), std::lround(v[4] * 1e3),
                                   std::lround(v[5] * 1e3));
        };
        std::sort(vertices.begin(), vertices.end(), [&](const Vertex& x, const Vertex& y) { return key(x) < key(y); });
        return vertices;
    };
    const std::vector<Vertex> va = sortedVertices(a), vb = sortedVertices(b);
    for (std::size_t i = 0; i < va.size(); ++i) {
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(va[i][k], vb[i][k]) << "vertex " << i;
        for (int k = 3; k < 6; ++k)
            EXPECT_NEAR(va[i][k], vb[i][k], 1e-5) << "vertex " << i;
    }
}
