#include "tlmio/stl_weld.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "tlmio/side_task.h"

namespace tlmio {

namespace {

constexpr double kStoredNormalLengthTolerance = 1e-3;
constexpr std::uint32_t kNegativeZeroBits = 0x80000000u;
constexpr std::uint32_t kExponentBits = 0x7f800000u;
// Facets are decoded and hashed this far ahead of their lookups, whose slots are prefetched.
constexpr std::size_t kLookahead = 8;

bool IsFiniteBits(std::uint32_t bits)
{
    return (bits & kExponentBits) != kExponentBits;
}

// A facet's corners as hash keys (-0 made +0, so that they hash alike) with their hashes.
struct DecodedFacet {
    std::uint32_t key[3][3];
    std::uint64_t hash[3];
    bool finite;
};

void Decode(const unsigned char* record, DecodedFacet& facet)
{
    std::uint32_t nonFinite = 0;
    for (int k = 0; k < 3; ++k) {
        for (int axis = 0; axis < 3; ++axis) {
            std::uint32_t raw;
            std::memcpy(&raw, record + 12 + 12 * k + 4 * axis, sizeof raw);
            nonFinite |= IsFiniteBits(raw) ? 0u : 1u;
            facet.key[k][axis] = raw == kNegativeZeroBits ? 0u : raw;
        }
    }
    facet.finite = nonFinite == 0;
}

float FloatOf(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Open addressing with linear probing. A slot holds its key beside the position's index, so a
// lookup touches one cache line (the facets of a file revisit each position soon after its
// first use, and the table's recent lines then stay in cache), and the table is the only copy
// of the positions until they are written out at the end.
class PositionTable {
public:
    explicit PositionTable(std::size_t expectedPositions)
    {
        std::size_t capacity = kMinCapacity;
        while (capacity / 5 * 4 < expectedPositions)
            capacity *= 2;
        Allocate(capacity);
    }

    static std::uint64_t Hash(const std::uint32_t key[3])
    {
        std::uint64_t h = (static_cast<std::uint64_t>(key[0]) << 32 | key[1]) * 0x9E3779B97F4A7C15ull;
        h ^= (h >> 29) + key[2] * 0xBF58476D1CE4E5B9ull;
        return h * 0x94D049BB133111EBull;
    }

    int FindOrAdd(const std::uint32_t key[3], std::uint64_t hash)
    {
        std::size_t slot = static_cast<std::size_t>(hash >> m_shift);
        Slot* slots = m_slots.Array();
        for (;;) {
            const Slot& entry = slots[slot];
            if (entry.index < 0)
                break;
            if (entry.key[0] == key[0] && entry.key[1] == key[1] && entry.key[2] == key[2])
                return entry.index;
            slot = (slot + 1) & m_mask;
        }
        const int index = m_count++;
        slots[slot] = Slot{{key[0], key[1], key[2]}, index};
        if (static_cast<std::size_t>(m_count) > m_growAt)
            Grow();
        return index;
    }

    // Starts loading the slot of a key that will be looked up soon: first sightings of a
    // position miss the cache, and the lookups of one facet cannot overlap otherwise.
    void Prefetch(std::uint64_t hash) const
    {
#if defined(__GNUC__)
        __builtin_prefetch(m_slots.Array() + (hash >> m_shift));
#else
        (void)hash;
#endif
    }

    // Writes the positions in the order of their indices and frees the table.
    void MoveTo(ON_SimpleArray<ON_3fPoint>& positions)
    {
        positions.SetCount(m_count);
        ON_3fPoint* points = positions.Array();
        for (int i = 0; i < m_slots.Count(); ++i) {
            const Slot& entry = m_slots[i];
            if (entry.index >= 0)
                std::memcpy(static_cast<void*>(points + entry.index), entry.key, sizeof(ON_3fPoint));
        }
        m_slots.Destroy();
    }

private:
    struct Slot {
        std::uint32_t key[3];
        int index;  // -1: empty
    };
    static_assert(sizeof(ON_3fPoint) == sizeof(Slot::key), "a slot's key is the point's three floats");
    static constexpr std::size_t kMinCapacity = 64;

    void Allocate(std::size_t capacity)
    {
        int bits = 0;
        while ((std::size_t(1) << bits) < capacity)
            ++bits;
        m_slots.SetCount(static_cast<int>(capacity));
        std::memset(static_cast<void*>(m_slots.Array()), 0xff, capacity * sizeof(Slot));
        m_mask = capacity - 1;
        m_shift = 64 - bits;
        // Up to 80 % full: a soup in which no corner is shared still probes a few slots, all
        // in the same cache lines, and its table stays within a few bytes per facet.
        m_growAt = capacity / 5 * 4;
    }

    void Grow()
    {
        ON_SimpleArray<Slot> old;
        old.Swap(m_slots);
        Allocate(2 * static_cast<std::size_t>(old.Count()));
        Slot* slots = m_slots.Array();
        for (int i = 0; i < old.Count(); ++i) {
            if (old[i].index < 0)
                continue;
            std::size_t slot = static_cast<std::size_t>(Hash(old[i].key) >> m_shift);
            while (slots[slot].index >= 0)
                slot = (slot + 1) & m_mask;
            slots[slot] = old[i];
        }
    }

    ON_SimpleArray<Slot> m_slots;
    int m_count = 0;
    std::size_t m_mask = 0;
    int m_shift = 0;
    std::size_t m_growAt = 0;
};

// The unit normal of facet `f`, whose corners are `facet`; false when the corners have no area.
bool FaceNormal(const DecodedFacet& facet, const StlFacetView& facets, std::size_t f, ON_3fVector& result)
{
    double p[3][3];
    for (int k = 0; k < 3; ++k)
        for (int axis = 0; axis < 3; ++axis)
            p[k][axis] = FloatOf(facet.key[k][axis]);
    const ON_3dVector ab(p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]);
    const ON_3dVector ac(p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]);
    const ON_3dVector cross = ON_CrossProduct(ab, ac);
    const double crossLength = cross.Length();
    if (!(crossLength > 0) || !std::isfinite(crossLength))
        return false;

    const ON_3dVector stored(facets.At(f, 0), facets.At(f, 1), facets.At(f, 2));
    const double storedLength = stored.Length();
    ON_3dVector normal;
    if (std::fabs(storedLength - 1.0) <= kStoredNormalLengthTolerance && ON_DotProduct(stored, cross) > 0)
        normal = stored * (1.0 / storedLength);
    else
        normal = cross * (1.0 / crossLength);
    result = ON_3fVector(static_cast<float>(normal.x), static_cast<float>(normal.y), static_cast<float>(normal.z));
    return true;
}

// Every facet's normal, in place; a facet without one gets a NaN. Only finite normals are ever
// kept, so the NaN cannot be mistaken for one.
void ComputeFaceNormals(const StlFacetView& facets, ON_3fVector* normals)
{
    const float none = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t f = 0; f < facets.count; ++f) {
        DecodedFacet facet;
        Decode(facets.first + f * facets.stride, facet);
        if (!facet.finite || !FaceNormal(facet, facets, f, normals[f]))
            normals[f] = ON_3fVector(none, none, none);
    }
}

// Looks up every facet's corners, in facet order, into `corners` (three per facet); a facet
// two of whose corners weld together gets -1 as its first. False at the first facet with a
// non-finite corner.
bool WeldCorners(const StlFacetView& facets, PositionTable& table, int* corners, std::size_t& badFacet)
{
    const std::size_t count = facets.count;
    DecodedFacet ahead[kLookahead];
    auto decodeAhead = [&](std::size_t f) {
        DecodedFacet& d = ahead[f % kLookahead];
        Decode(facets.first + f * facets.stride, d);
        for (int k = 0; k < 3; ++k) {
            d.hash[k] = PositionTable::Hash(d.key[k]);
            table.Prefetch(d.hash[k]);
        }
    };
    for (std::size_t f = 0; f < kLookahead && f < count; ++f)
        decodeAhead(f);

    for (std::size_t f = 0; f < count; ++f) {
        const DecodedFacet& facet = ahead[f % kLookahead];
        if (!facet.finite) {
            badFacet = f;
            return false;
        }
        const int a = table.FindOrAdd(facet.key[0], facet.hash[0]);
        const int b = table.FindOrAdd(facet.key[1], facet.hash[1]);
        const int c = table.FindOrAdd(facet.key[2], facet.hash[2]);
        const bool distinct = a != b && b != c && a != c;
        corners[3 * f + 0] = distinct ? a : -1;
        corners[3 * f + 1] = b;
        corners[3 * f + 2] = c;
        if (f + kLookahead < count)
            decodeAhead(f + kLookahead);
    }
    return true;
}

}  // namespace

bool WeldFacets(const StlFacetView& facets, WeldedFacets& welded, std::size_t& badFacet)
{
    assert(facets.count <= kMaxFacets);
    assert(welded.positions.Count() == 0 && welded.corners.Count() == 0 && welded.faceNormals.Count() == 0);
    const std::size_t count = facets.count;
    welded.corners.SetCount(static_cast<int>(3 * count));
    welded.faceNormals.SetCount(static_cast<int>(count));
    // A closed mesh of triangles has about half as many positions as facets; the table grows
    // past that only for open soups.
    PositionTable table(count / 2 + 16);

    int* corners = welded.corners.Array();
    ON_3fVector* normals = welded.faceNormals.Array();
    {
        // The normals need no positions, so they are found beside the lookups.
        const SideTask normalTask(count >= kThreadedFacetCount,
                                  [&facets, normals]() noexcept { ComputeFaceNormals(facets, normals); });
        if (!WeldCorners(facets, table, corners, badFacet))
            return false;
    }

    // A facet is kept when its corners stay apart and span an area.
    int kept = 0;
    for (std::size_t f = 0; f < count; ++f) {
        if (corners[3 * f] < 0 || std::isnan(normals[f].x))
            continue;
        corners[3 * kept + 0] = corners[3 * f + 0];
        corners[3 * kept + 1] = corners[3 * f + 1];
        corners[3 * kept + 2] = corners[3 * f + 2];
        normals[kept] = normals[f];
        ++kept;
    }
    welded.corners.SetCount(3 * kept);
    welded.faceNormals.SetCount(kept);
    table.MoveTo(welded.positions);
    return true;
}

}  // namespace tlmio
