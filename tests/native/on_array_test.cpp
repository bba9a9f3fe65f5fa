#include "on/ON_Array.h"
#include "on/ON_Mesh.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Counts live instances, so the tests see every construction matched by a destruction.
struct Tracked {
    static int live;
    std::unique_ptr<int> value;
    Tracked() : value(new int(0)) { ++live; }
    explicit Tracked(int v) : value(new int(v)) { ++live; }
    Tracked(const Tracked& o) : value(new int(*o.value)) { ++live; }
    Tracked(Tracked&& o) noexcept : value(std::move(o.value)) { ++live; }
    Tracked& operator=(Tracked&& o) noexcept { value = std::move(o.value); return *this; }
    ~Tracked() { --live; }
};
int Tracked::live = 0;

}  // namespace

TEST(ON_ClassArray, StartsEmptyAndDestroysItsElements)
{
    {
        ON_ClassArray<Tracked> a;
        EXPECT_EQ(a.Count(), 0);
        EXPECT_EQ(a.Capacity(), 0);
        EXPECT_EQ(a.Array(), nullptr);
        for (int i = 0; i < 100; ++i)
            a.Append(Tracked(i));
        a.AppendNew();
        EXPECT_EQ(a.Count(), 101);
        EXPECT_EQ(Tracked::live, 101);
        EXPECT_EQ(*a[50].value, 50);

        a.Append(a[3]);  // an element of the array itself, possibly across a reallocation
        EXPECT_EQ(*a[101].value, 3);

        int capacity = a.Capacity();
        a.Empty();
        EXPECT_EQ(a.Count(), 0);
        EXPECT_EQ(a.Capacity(), capacity);
        EXPECT_EQ(Tracked::live, 0);

        a.Reserve(10);
        a.Append(Tracked(7));
        a.Destroy();
        EXPECT_EQ(a.Capacity(), 0);
        EXPECT_EQ(Tracked::live, 0);
        a.Append(Tracked(8));
    }
    EXPECT_EQ(Tracked::live, 0);
}

TEST(ON_SimpleArray, AppendsReservesAndCopies)
{
    ON_SimpleArray<int> a;
    a.Reserve(3);
    EXPECT_EQ(a.Capacity(), 3);
    for (int i = 0; i < 1000; ++i)
        a.Append(i);
    a.Append(a[999]);
    int more[3] = {-1, -2, -3};
    a.Append(3, more);
    a.Append(4, a.Array());  // a range inside the array itself
    ASSERT_EQ(a.Count(), 1008);
    EXPECT_EQ(a[1000], 999);
    EXPECT_EQ(a[1003], -3);
    EXPECT_EQ(a[1004], 0);
    EXPECT_EQ(a[1007], 3);

    ON_SimpleArray<int> copy = a;
    a[0] = 42;
    EXPECT_EQ(copy[0], 0);
    EXPECT_EQ(copy.Count(), 1008);
}

TEST(ON_Mesh, ValidityFollowsTheArchiveRules)
{
    ON_Mesh m;
    CString why;
    EXPECT_FALSE(m.IsValid(&why));
    m.SetVertex(0, ON_3fPoint(0, 0, 0));
    m.SetVertex(1, ON_3fPoint(1, 0, 0));
    m.SetVertex(2, ON_3fPoint(1, 1, 0));
    m.SetVertex(3, ON_3fPoint(0, 1, 0));
    m.SetQuad(0, 0, 1, 2, 3);
    m.SetTriangle(1, 0, 1, 2);
    EXPECT_TRUE(m.IsValid(&why)) << why.GetString();
    EXPECT_EQ(m.QuadCount(), 1);
    EXPECT_EQ(m.TriangleCount(), 1);
    EXPECT_TRUE(m.ComputeFaceNormals());
    EXPECT_FLOAT_EQ(m.m_FN[0].z, 1.0f);

    ON_BoundingBox box = m.BoundingBox();
    EXPECT_EQ(box.m_max.y, 1.0);
    EXPECT_TRUE(box.IsValid());

    struct Case { const char* what; ON_MeshFace face; } faces[] = {
        {"index past the end", {{0, 1, 4, 4}}},
        {"negative index", {{-1, 1, 2, 2}}},
        {"repeated corner", {{0, 0, 2, 2}}},
        {"quad folding back", {{0, 1, 2, 1}}},
    };
    for (const Case& c : faces) {
        ON_Mesh bad = m;
        bad.m_F[1] = c.face;
        EXPECT_FALSE(bad.IsValid()) << c.what;
    }

    ON_Mesh badNormals = m;
    badNormals.m_N.Append(ON_3fVector(0, 0, 1));
    EXPECT_FALSE(badNormals.IsValid(&why));
    EXPECT_NE(why.Find("vertex normals"), -1);
}
