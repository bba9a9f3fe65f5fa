#include "tlmio/stl_weld.h"

#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tlmio {

namespace {

constexpr double kStoredNormalLengthTolerance = 1e-3;
constexpr std::uint32_t kNegativeZeroBits = 0x80000000u;
constexpr std::uint32_t kExponentBits = 0x7f800000u;
constexpr std::size_t kPrefetchDistance = 8;  // facets

bool IsFiniteBits(std::uint32_t bits)
{
    return (bits & kExponentBits) != kExponentBits;
}

// Open addressing with linear probing. A slot holds its key beside the position's index, so a
// lookup touches one cache line: the facets of a file revisit each position soon after its
// first use, and the table's recent lines then stay in cache.
class PositionTable {
public:
    PositionTable(std::size_t expectedPositions, ON_SimpleArray<ON_3fPoint>& positions) : m_positions(positions)
    {
        Resize(expectedPositions);
    }

    int FindOrAdd(const std::uint32_t key[3])
    {
        std::size_t slot = SlotOf(key);
        Slot* slots = m_slots.Array();
        for (;;) {
            Slot& entry = slots[slot];
            if (entry.index < 0)
                break;
            if (entry.key[0] == key[0] && entry.key[1] == key[1] && entry.key[2] == key[2])
                return entry.index;
            slot = (slot + 1) & m_mask;
        }
        const int index = m_positions.Count();
        ON_3fPoint point;
        std::memcpy(&point.x, &key[0], sizeof point.x);
        std::memcpy(&point.y, &key[1], sizeof point.y);
        std::memcpy(&point.z, &key[2], sizeof point.z);
        m_positions.Append(point);
        slots[slot] = Slot{{key[0], key[1], key[2]}, index};
        if (static_cast<std::size_t>(index) >= m_growAt)
            Resize(2 * static_cast<std::size_t>(index));
        return index;
    }

    // Starts loading the slot of a key that will be looked up soon: first sightings of a
    // position miss the cache, and the lookups of one facet cannot overlap otherwise.
    void Prefetch(const std::uint32_t key[3]) const
    {
#if defined(__GNUC__)
        __builtin_prefetch(m_slots.Array() + SlotOf(key));
#else
        (void)key;
#endif
    }

private:
    struct Slot {
        std::uint32_t key[3];
        int index;  // -1: empty
    };

    std::size_t SlotOf(const std::uint32_t key[3]) const
    {
        std::uint64_t h = (static_cast<std::uint64_t>(key[0]) << 32 | key[1]) * 0x9E3779B97F4A7C15ull;
        h ^= (h >> 29) + key[2] * 0xBF58476D1CE4E5B9ull;
        h *= 0x94D049BB133111EBull;
        return static_cast<std::size_t>(h >> m_shift);
    }

    // At most 70 % full: probes stay short even for a soup in which no corner is shared.
    void Resize(std::size_t positionCount)
    {
        std::size_t capacity = 64;
        int bits = 6;
        while (capacity < positionCount + positionCount / 2) {
            capacity *= 2;
            ++bits;
        }
        ON_SimpleArray<Slot> old;
        old.Swap(m_slots);
        m_slots.SetCount(static_cast<int>(capacity));
        std::memset(static_cast<void*>(m_slots.Array()), 0xff, capacity * sizeof(Slot));
        m_mask = capacity - 1;
        m_shift = 64 - bits;
        m_growAt = capacity / 10 * 7;
        Slot* slots = m_slots.Array();
        for (int i = 0; i < old.Count(); ++i) {
            if (old[i].index < 0)
                continue;
            std::size_t slot = SlotOf(old[i].key);
            while (slots[slot].index >= 0)
                slot = (slot + 1) & m_mask;
            slots[slot] = old[i];
        }
    }

    ON_SimpleArray<ON_3fPoint>& m_positions;
    ON_SimpleArray<Slot> m_slots;
    std::size_t m_mask = 0;
    int m_shift = 0;
    std::size_t m_growAt = 0;
};

}  // namespace

bool WeldFacets(const StlFacetView& facets, WeldedFacets& welded, std::size_t& badFacet)
{
    assert(facets.count <= kMaxFacets);
    assert(welded.positions.Count() == 0 && welded.corners.Count() == 0 && welded.faceNormals.Count() == 0);
    const std::size_t count = facets.count;
    welded.corners.SetCount(static_cast<int>(3 * count));
    welded.faceNormals.SetCount(static_cast<int>(count));
    // A closed mesh of triangles has about half as many positions as facets; the table and the
    // position array grow past that only for open soups.
    welded.positions.Reserve(count / 2 + 16);
    PositionTable table(count / 2 + 16, welded.positions);

    int* corners = welded.corners.Array();
    ON_3fVector* normals = welded.faceNormals.Array();
    int kept = 0;
    for (std::size_t f = 0; f < count; ++f) {
        const unsigned char* record = facets.first + f * facets.stride;
        if (f + kPrefetchDistance < count) {
            const unsigned char* ahead = record + kPrefetchDistance * facets.stride;
            for (int k = 0; k < 3; ++k) {
                std::uint32_t key[3];
                std::memcpy(key, ahead + 12 + 12 * k, sizeof key);
                table.Prefetch(key);
            }
        }
        std::uint32_t bits[3][3];
        std::uint32_t nonFinite = 0;
        for (int k = 0; k < 3; ++k) {
            for (int axis = 0; axis < 3; ++axis) {
                std::uint32_t raw;
                std::memcpy(&raw, record + 12 + 12 * k + 4 * axis, sizeof raw);
                nonFinite |= IsFiniteBits(raw) ? 0u : 1u;
                // -0 and +0 are one position, so they must hash alike.
                bits[k][axis] = raw == kNegativeZeroBits ? 0u : raw;
            }
        }
        if (nonFinite) {
            badFacet = f;
            return false;
        }
        const int a = table.FindOrAdd(bits[0]);
        const int b = table.FindOrAdd(bits[1]);
        const int c = table.FindOrAdd(bits[2]);
        if (a == b || b == c || a == c)
            continue;

        const ON_3fPoint* p = welded.positions.Array();
        const ON_3dPoint pa(p[a]), pb(p[b]), pc(p[c]);
        const ON_3dVector cross = ON_CrossProduct(pb - pa, pc - pa);
        const double crossLength = cross.Length();
        if (!(crossLength > 0) || !std::isfinite(crossLength))
            continue;

        ON_3dVector stored(facets.At(f, 0), facets.At(f, 1), facets.At(f, 2));
        const double storedLength = stored.Length();
        ON_3dVector normal;
        if (std::fabs(storedLength - 1.0) <= kStoredNormalLengthTolerance && ON_DotProduct(stored, cross) > 0)
            normal = stored * (1.0 / storedLength);
        else
            normal = cross * (1.0 / crossLength);

        corners[3 * kept + 0] = a;
        corners[3 * kept + 1] = b;
        corners[3 * kept + 2] = c;
        normals[kept] = ON_3fVector(static_cast<float>(normal.x), static_cast<float>(normal.y),
                                    static_cast<float>(normal.z));
        ++kept;
    }
    welded.corners.SetCount(3 * kept);
    welded.faceNormals.SetCount(kept);
    return true;
}

}  // namespace tlmio
