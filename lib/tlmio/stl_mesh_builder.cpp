#include "tlmio/stl_mesh_builder.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "tlmio/side_task.h"

namespace tlmio {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Positions with at most this many corners (nearly all) are grouped with bit masks; busier ones
// (the centre of a fan) sort their edges.
constexpr int kMaskedDegree = 32;

// Groups larger than this around one edge (a non-manifold fan) join each corner to the first
// of the other direction instead of pairwise, which keeps a hostile file from costing
// quadratic time.
constexpr int kPairwiseEdgeGroup = 8;

constexpr int kNextCorner[3] = {1, 2, 0};
constexpr int kPrevCorner[3] = {2, 0, 1};

enum class Shading { kFlat, kCreased, kSmooth };

// The corners around one position: their neighbours along the two edges at the position, their
// faces' normals, and the groups they fall into.
class CornerFan {
public:
    explicit CornerFan(int maxDegree)
    {
        m_next.SetCount(maxDegree);
        m_prev.SetCount(maxDegree);
        m_normal.SetCount(maxDegree);
        m_group.SetCount(maxDegree);
        m_vertexOfGroup.SetCount(maxDegree);
        if (maxDegree > kMaskedDegree)
            m_edges.SetCount(2 * maxDegree);
    }

    // Groups the corners `local[0, degree)`; GroupOf(i) is then the lowest corner of corner i's
    // group, so groups are numbered in the order of their first corner.
    void Group(const int* local, int degree, const int* corners, const ON_3fVector* faceNormals, float cosCrease,
               float cosHalfCrease)
    {
        // Faces all within half the crease angle of the first are within the crease angle of
        // one another, so every edge between them is smooth and they form one group (unless two
        // fans touch at just this position, with nearly the same normal). Most positions lie
        // inside a flat or smooth face and are settled here.
        const ON_3fVector& first = faceNormals[local[0] / 3];
        int i = 1;
        while (i < degree && Dot(first, faceNormals[local[i] / 3]) > cosHalfCrease)
            ++i;
        if (i == degree) {
            for (i = 0; i < degree; ++i)
                m_group[i] = 0;
            return;
        }

        int* next = m_next.Array();
        int* prev = m_prev.Array();
        ON_3fVector* normal = m_normal.Array();
        for (i = 0; i < degree; ++i) {
            const int face = local[i] / 3;
            const int k = local[i] - 3 * face;
            next[i] = corners[3 * face + kNextCorner[k]];
            prev[i] = corners[3 * face + kPrevCorner[k]];
            normal[i] = faceNormals[face];
        }
        if (degree <= kMaskedDegree)
            GroupByMasks(degree, cosCrease);
        else
            GroupBySorting(degree, cosCrease);
    }

    int GroupOf(int i) const { return m_group[i]; }
    int* VertexOfGroup() { return m_vertexOfGroup.Array(); }  // room for one entry per corner

private:
    static float Dot(const ON_3fVector& a, const ON_3fVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

    bool Smooth(int i, int j, float cosCrease) const { return Dot(m_normal[i], m_normal[j]) > cosCrease; }

    // Corners i and j are linked when their faces share an edge at this position, run along it
    // in opposite directions (as the two sides of an oriented surface do) and are smooth across
    // it; groups are the connected sets of links.
    void GroupByMasks(int degree, float cosCrease)
    {
        const int* next = m_next.Array();
        const int* prev = m_prev.Array();
        std::uint32_t links[kMaskedDegree] = {};
        for (int i = 0; i < degree; ++i) {
            // The corners whose faces come back along the edge that corner i's face leaves by:
            // usually exactly one.
            const int farEnd = next[i];
            std::uint32_t across = 0;
            for (int j = 0; j < degree; ++j)
                across |= static_cast<std::uint32_t>(prev[j] == farEnd) << j;
            for (; across; across &= across - 1) {
                const int j = LowestBit(across);
                if (Smooth(i, j, cosCrease)) {
                    links[i] |= 1u << j;
                    links[j] |= 1u << i;
                }
            }
        }
        std::uint32_t remaining = degree == 32 ? ~0u : (1u << degree) - 1;
        while (remaining) {
            const int seed = LowestBit(remaining);
            std::uint32_t group = 1u << seed, frontier = group;
            while (frontier) {
                const int i = LowestBit(frontier);
                frontier &= frontier - 1;
                const std::uint32_t reached = links[i] & ~group;
                group |= reached;
                frontier |= reached;
            }
            remaining &= ~group;
            for (std::uint32_t members = group; members; members &= members - 1)
                m_group[LowestBit(members)] = seed;
        }
    }

    // The same links, found by sorting the edges by their far end; union-find joins them.
    void GroupBySorting(int degree, float cosCrease)
    {
        int* parent = m_group.Array();
        std::uint64_t* edges = m_edges.Array();
        // (far end << 32) | (corner << 1) | direction: 0 runs towards the far end, 1 away from it.
        for (int i = 0; i < degree; ++i) {
            parent[i] = i;
            const std::uint64_t corner = static_cast<std::uint64_t>(i) << 1;
            edges[2 * i] = static_cast<std::uint64_t>(static_cast<std::uint32_t>(m_next[i])) << 32 | corner;
            edges[2 * i + 1] = static_cast<std::uint64_t>(static_cast<std::uint32_t>(m_prev[i])) << 32 | corner | 1;
        }
        const int edgeCount = 2 * degree;
        std::sort(edges, edges + edgeCount);
        auto cornerOf = [&](int e) { return static_cast<int>((edges[e] & 0xffffffffu) >> 1); };
        auto directionOf = [&](int e) { return static_cast<int>(edges[e] & 1u); };
        auto find = [&](int i) {
            while (parent[i] != i) {
                parent[i] = parent[parent[i]];
                i = parent[i];
            }
            return i;
        };
        auto joinIfSmooth = [&](int e, int f) {
            if (directionOf(e) == directionOf(f))
                return;
            const int i = cornerOf(e), j = cornerOf(f);
            if (!Smooth(i, j, cosCrease))
                return;
            int a = find(i), b = find(j);
            if (a != b)
                parent[a < b ? b : a] = a < b ? a : b;  // the lowest corner stays the root
        };
        for (int begin = 0; begin < edgeCount;) {
            const std::uint64_t farEnd = edges[begin] >> 32;
            int end = begin + 1;
            while (end < edgeCount && edges[end] >> 32 == farEnd)
                ++end;
            if (end - begin <= kPairwiseEdgeGroup) {
                for (int e = begin; e < end; ++e)
                    for (int f = e + 1; f < end; ++f)
                        joinIfSmooth(e, f);
            } else {
                int first[2] = {-1, -1};
                for (int e = begin; e < end; ++e)
                    if (first[directionOf(e)] < 0)
                        first[directionOf(e)] = e;
                for (int e = begin; e < end; ++e)
                    if (first[1 - directionOf(e)] >= 0)
                        joinIfSmooth(first[1 - directionOf(e)], e);
            }
            begin = end;
        }
        for (int i = 0; i < degree; ++i)
            parent[i] = find(i);
    }

    static int LowestBit(std::uint32_t bits)
    {
#if defined(__GNUC__)
        return __builtin_ctz(bits);
#else
        int i = 0;
        while (!(bits & 1u)) {
            bits >>= 1;
            ++i;
        }
        return i;
#endif
    }

    ON_SimpleArray<int> m_next, m_prev;
    ON_SimpleArray<ON_3fVector> m_normal;
    ON_SimpleArray<int> m_group;
    ON_SimpleArray<int> m_vertexOfGroup;
    ON_SimpleArray<std::uint64_t> m_edges;
};

// Counts, offsets, fill: for every position the corners (3 * face + k) that lie on it, in face order.
void BuildIncidence(const WeldedFacets& welded, ON_SimpleArray<int>& offsets, ON_SimpleArray<int>& incident,
                    int& maxDegree)
{
    const int positionCount = welded.positions.Count();
    const int cornerCount = welded.corners.Count();
    const int* corners = welded.corners.Array();
    offsets.SetCount(positionCount + 1);
    offsets.Zero();
    int* offset = offsets.Array();
    for (int c = 0; c < cornerCount; ++c)
        ++offset[corners[c]];
    maxDegree = 0;
    int start = 0;
    for (int p = 0; p < positionCount; ++p) {
        int degree = offset[p];
        maxDegree = degree > maxDegree ? degree : maxDegree;
        offset[p] = start;
        start += degree;
    }
    offset[positionCount] = start;
    incident.SetCount(cornerCount);
    int* list = incident.Array();
    for (int c = 0; c < cornerCount; ++c)
        list[offset[corners[c]]++] = c;
    // Each offset now holds the start of the next position.
    for (int p = positionCount; p > 0; --p)
        offset[p] = offset[p - 1];
    offset[0] = 0;
}

// Gives every corner its output vertex (in `faces`) and appends the vertices' points.
void AssignVertices(const WeldedFacets& welded, Shading shading, double creaseAngleDegrees, ON_MeshFace* faces,
                    ON_SimpleArray<ON_3fPoint>& points)
{
    const double crease = std::min(creaseAngleDegrees, 180.0) * kPi / 180.0;
    const float cosCrease = static_cast<float>(std::cos(crease));
    const float cosHalfCrease = static_cast<float>(std::cos(crease / 2));
    ON_SimpleArray<int> offsets, incident;
    int maxDegree = 0;
    BuildIncidence(welded, offsets, incident, maxDegree);
    const int positionCount = welded.positions.Count();
    const ON_3fPoint* positions = welded.positions.Array();
    const int* offset = offsets.Array();
    const int* list = incident.Array();
    CornerFan fan(shading == Shading::kCreased ? maxDegree : 0);

    // Exact for flat and smooth shading; creases add vertices beyond the positions.
    points.Reserve(static_cast<std::size_t>(shading == Shading::kFlat ? welded.corners.Count() : positionCount));
    for (int p = 0; p < positionCount; ++p) {
        const int* local = list + offset[p];
        const int degree = offset[p + 1] - offset[p];
        if (degree == 0)
            continue;  // used only by dropped facets
        if (shading == Shading::kSmooth) {
            const int vertex = points.Count();
            points.Append(positions[p]);
            for (int i = 0; i < degree; ++i)
                faces[local[i] / 3].vi[local[i] % 3] = vertex;
        } else if (shading == Shading::kFlat) {
            for (int i = 0; i < degree; ++i) {
                faces[local[i] / 3].vi[local[i] % 3] = points.Count();
                points.Append(positions[p]);
            }
        } else {
            fan.Group(local, degree, welded.corners.Array(), welded.faceNormals.Array(), cosCrease, cosHalfCrease);
            // GroupOf(i) <= i, and a group's lowest corner comes first: one pass numbers them.
            int* vertexOfGroup = fan.VertexOfGroup();
            for (int i = 0; i < degree; ++i) {
                const int group = fan.GroupOf(i);
                if (group == i) {
                    vertexOfGroup[i] = points.Count();
                    points.Append(positions[p]);
                }
                faces[local[i] / 3].vi[local[i] % 3] = vertexOfGroup[group];
            }
        }
    }
}

// acos to about 2e-8 radians (Abramowitz and Stegun 4.4.46): the corner angles only weight
// the vertex normals, and the library call costs more than all the rest of a corner.
double FastAcos(double x)
{
    x = x < -1 ? -1 : (x > 1 ? 1 : x);
    const double a = std::fabs(x);
    double poly = -0.0012624911;
    poly = poly * a + 0.0066700901;
    poly = poly * a - 0.0170881256;
    poly = poly * a + 0.0308918810;
    poly = poly * a - 0.0501743046;
    poly = poly * a + 0.0889789874;
    poly = poly * a - 0.2145988016;
    poly = poly * a + 1.5707963050;
    const double angle = std::sqrt(1 - a) * poly;
    return x < 0 ? kPi - angle : angle;
}

// Each corner's angle, three per face: they weight the face's normal in its corners' vertex
// normals. They depend only on the welded positions, so they are found beside the grouping.
void ComputeCornerAngles(const WeldedFacets& welded, float* angles)
{
    const int faceCount = welded.FacetCount();
    const int* corners = welded.corners.Array();
    const ON_3fPoint* positions = welded.positions.Array();
    for (int f = 0; f < faceCount; ++f) {
        const ON_3fPoint& a = positions[corners[3 * f + 0]];
        const ON_3fPoint& b = positions[corners[3 * f + 1]];
        const ON_3fPoint& c = positions[corners[3 * f + 2]];
        const ON_3dVector ab(double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z);
        const ON_3dVector bc(double(c.x) - b.x, double(c.y) - b.y, double(c.z) - b.z);
        const ON_3dVector ca(double(a.x) - c.x, double(a.y) - c.y, double(a.z) - c.z);
        const double lab = ab.Length(), lbc = bc.Length(), lca = ca.Length();
        const double angleA = FastAcos(-ON_DotProduct(ab, ca) / (lab * lca));
        const double angleB = FastAcos(-ON_DotProduct(bc, ab) / (lbc * lab));
        const double angleC = std::max(0.0, kPi - angleA - angleB);
        angles[3 * f + 0] = static_cast<float>(angleA);
        angles[3 * f + 1] = static_cast<float>(angleB);
        angles[3 * f + 2] = static_cast<float>(angleC);
    }
}

void AccumulateVertexNormals(const float* angles, ON_Mesh& mesh)
{
    const int faceCount = mesh.m_F.Count();
    const ON_MeshFace* faces = mesh.m_F.Array();
    const ON_3fVector* faceNormals = mesh.m_FN.Array();
    ON_3fVector* normals = mesh.m_N.Array();
    for (int f = 0; f < faceCount; ++f) {
        const int* vi = faces[f].vi;
        const float* weights = angles + 3 * f;
        const ON_3fVector& n = faceNormals[f];
        for (int k = 0; k < 3; ++k) {
            ON_3fVector& sum = normals[vi[k]];
            sum.x += weights[k] * n.x;
            sum.y += weights[k] * n.y;
            sum.z += weights[k] * n.z;
        }
    }

    // Normals that cancel out (a two-sided sheet under smooth shading) take a face's normal.
    const int vertexCount = mesh.m_N.Count();
    bool anyCancelled = false;
    for (int v = 0; v < vertexCount; ++v) {
        if (!normals[v].Unitize()) {
            normals[v] = ON_3fVector(0, 0, 0);
            anyCancelled = true;
        }
    }
    if (!anyCancelled)
        return;
    for (int f = 0; f < faceCount; ++f)
        for (int k = 0; k < 3; ++k) {
            ON_3fVector& n = normals[faces[f].vi[k]];
            if (n.x == 0 && n.y == 0 && n.z == 0)
                n = faceNormals[f];
        }
}

}  // namespace

void BuildStlMesh(WeldedFacets& welded, double creaseAngleDegrees, ON_Mesh& mesh)
{
    assert(welded.FacetCount() > 0 && mesh.m_V.Count() == 0 && mesh.m_F.Count() == 0);
    const Shading shading = !(creaseAngleDegrees > 0)    ? Shading::kFlat
                            : creaseAngleDegrees >= 180 ? Shading::kSmooth
                                                        : Shading::kCreased;
    const int faceCount = welded.FacetCount();

    mesh.m_F.SetCount(faceCount);
    ON_MeshFace* faces = mesh.m_F.Array();
    ON_SimpleArray<float> angles;
    angles.SetCount(3 * faceCount);
    {
        float* out = angles.Array();
        const SideTask angleTask(static_cast<std::size_t>(faceCount) >= kThreadedFacetCount,
                                 [&welded, out]() noexcept { ComputeCornerAngles(welded, out); });
        AssignVertices(welded, shading, creaseAngleDegrees, faces, mesh.m_V);
    }
    for (int f = 0; f < faceCount; ++f)
        faces[f].vi[3] = faces[f].vi[2];
    welded.corners.Destroy();
    welded.positions.Destroy();
    mesh.m_V.Shrink();

    mesh.m_FN.Swap(welded.faceNormals);
    mesh.m_N.SetCount(mesh.m_V.Count());
    mesh.m_N.Zero();
    AccumulateVertexNormals(angles.Array(), mesh);
}

}  // namespace tlmio
