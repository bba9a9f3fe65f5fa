// The two STL formats as exporters write them, every kind of bad input, files on disk and the
// library's public interface.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "host/TLMIO.h"
#include "stl_test_fixtures.h"
#include "test_support.h"

using namespace stl_test;
using test_support::DataPath;
using test_support::ScratchDir;
using test_support::WriteFile;

namespace {

std::vector<int> FaceCounts(const std::vector<ON_Mesh>& meshes)
{
    std::vector<int> counts;
    for (const ON_Mesh& mesh : meshes) {
        CString reason;
        EXPECT_TRUE(mesh.IsValid(&reason)) << reason.GetString();
        counts.push_back(mesh.FaceCount());
    }
    return counts;
}

const char kTriangleFacet[] =
    "facet normal 0 0 1\n outer loop\n  vertex 0 0 0\n  vertex 1 0 0\n  vertex 0 1 0\n endloop\nendfacet\n";

std::string Lines(std::initializer_list<const char*> lines, const char* end = "\n")
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + end;
    return text;
}

}  // namespace

TEST(StlFormats, ReadsWhatExportersWrite)
{
    const std::vector<Facet> cube = Cube();
    const std::string triangle = std::string("solid t\n") + kTriangleFacet + "endsolid t\n";
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int> faces;  // per mesh
    };
    const Case cases[] = {
        {"binary", BinaryStl(cube), {12}},
        {"binary whose header begins with solid", BinaryStl(cube, "solid PART exported by CAD"), {12}},
        {"binary without facets", BinaryStl({}), {}},
        {"ASCII", AsciiStl(cube), {12}},
        {"ASCII with CRLF, tabs, any case, a byte order mark and no final line end",
         "\xEF\xBB\xBFSOLID Bracket A\r\n\tFacet Normal 0 0 1\r\n\t\tOUTER LOOP\r\n\t\t\tVertex 0 0 0\r\n"
         "\t\t\tVERTEX 1 0 0\r\n\t\t\tvertex 0 1 0\r\n\t\tEndLoop\r\n\tENDFACET\r\nEndSolid Bracket A",
         {1}},
        {"ASCII with old Mac line ends", "solid\rfacet normal 0 0 1\router loop\rvertex 0 0 0\rvertex 1 0 0\r"
                                         "vertex 0 1 0\rendloop\rendfacet\rendsolid\r",
         {1}},
        {"ASCII on one line", "solid one facet normal 0 0 1 outer loop vertex 0 0 0 vertex 1 0 0 vertex 0 1 0 "
                              "endloop endfacet endsolid one",
         {1}},
        {"ASCII without names, endsolid with another name", std::string("solid\n") + kTriangleFacet + "endsolid x\n",
         {1}},
        {"ASCII with several solids, in file order", AsciiStl(cube, "box") + triangle + AsciiStl(Cylinder(8), "pin"),
         {12, 1, 32}},
        {"ASCII with an empty solid", "solid empty\nendsolid empty\n" + triangle, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CString error;
        bool ok = false;
        std::vector<ON_Mesh> meshes = Read(c.bytes, error, 30.0, &ok);
        EXPECT_TRUE(ok) << error.GetString();
        EXPECT_EQ(FaceCounts(meshes), c.faces);
    }
}

TEST(StlFormats, AsciiNumbersInAnyNotation)
{
    const std::string text = "solid n\nfacet normal +0 -0. 1E0\nouter loop\n"
                             "vertex 1 1.5 -1e-3\nvertex 1E+02 .5 +2.\nvertex -.25 0001.5e0 1e-50\n"
                             "endloop\nendfacet\nendsolid n\n";
    CString error;
    std::vector<ON_Mesh> meshes = Read(text, error, 180.0);
    ASSERT_EQ(meshes.size(), 1u) << error.GetString();
    const ON_Mesh& m = meshes[0];
    ASSERT_EQ(m.VertexCount(), 3);
    const float expected[3][3] = {{1, 1.5f, -1e-3f}, {100, 0.5f, 2}, {-0.25f, 1.5f, 0}};
    for (int v = 0; v < 3; ++v) {
        const int i = m.m_F[0].vi[v];
        EXPECT_EQ(m.m_V[i].x, expected[v][0]) << "corner " << v;
        EXPECT_EQ(m.m_V[i].y, expected[v][1]) << "corner " << v;
        EXPECT_EQ(m.m_V[i].z, expected[v][2]) << "corner " << v;
    }
}

TEST(StlFormats, BinaryCoordinatesAreReadExactly)
{
    const float a[3] = {-1234.5678f, 1e-30f, 3.4e38f}, b[3] = {7, 8, 9}, c[3] = {0.1f, -0.2f, 0.3f};
    CString error;
    std::vector<ON_Mesh> meshes = Read(BinaryStl({Tri(a, b, c)}), error, 180.0);
    ASSERT_EQ(meshes.size(), 1u) << error.GetString();
    const float* corners[3] = {a, b, c};
    for (int k = 0; k < 3; ++k) {
        const ON_3fPoint& p = meshes[0].m_V[meshes[0].m_F[0].vi[k]];
        EXPECT_EQ(p.x, corners[k][0]);
        EXPECT_EQ(p.y, corners[k][1]);
        EXPECT_EQ(p.z, corners[k][2]);
    }
}

TEST(StlErrors, EveryFaultHasAClearTextAndLeavesTheMeshesAlone)
{
    const std::vector<Facet> cube = Cube();
    std::vector<Facet> withInfinity = cube;
    withInfinity[2].corner[1][0] = std::numeric_limits<float>::infinity();
    std::string partialFacet = BinaryStl(cube);
    partialFacet.resize(partialFacet.size() - 10);
    const std::string facet = kTriangleFacet;

    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> says;
    };
    const Case cases[] = {
        {"empty", "", {"The STL file \"test.stl\" is empty."}},
        {"short text", "hello", {"not an STL file", "does not begin with \"solid\"", "too short (5 bytes)"}},
        {"binary announcing more facets than it holds",
         BinaryStl(cube, "binary", 1200),
         {"The STL file \"test.stl\" is truncated: its header announces 1200 facets but the file holds 12 complete "
          "facets."}},
        {"binary cut inside a facet", partialFacet, {"truncated", "announces 12 facets", "holds 11 complete facets"}},
        {"truncated binary whose header begins with solid", BinaryStl(cube, "solid part", 13),
         {"truncated", "announces 13 facets", "holds 12 complete facets"}},
        {"binary with bytes past its facets", BinaryStl(cube) + "xx",
         {"not an STL file", "its 686 bytes are more than the 12 facets", "(684 bytes)"}},
        {"binary with bytes past its facets, header beginning with solid", BinaryStl(cube, "solid x") + "xx",
         {"The STL file \"test.stl\" is damaged: its 686 bytes are more than the 12 facets"}},
        {"binary with an infinite coordinate", BinaryStl(withInfinity), {"non-finite coordinate in facet 3."}},
        {"four vertices in a loop",
         Lines({"solid s", "facet normal 0 0 1", "outer loop", "vertex 0 0 0", "vertex 1 0 0", "vertex 0 1 0",
                "vertex 1 1 0", "endloop", "endfacet", "endsolid"}),
         {"The STL file \"test.stl\" is not valid ASCII STL: line 7: expected \"endloop\", found \"vertex\"."}},
        {"two vertices in a loop, CRLF lines",
         Lines({"solid s", "facet normal 0 0 1", "outer loop", "vertex 0 0 0", "vertex 1 0 0", "endloop"}, "\r\n"),
         {"line 6: expected \"vertex\", found \"endloop\""}},
        {"a malformed number", "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 1.2.3 0\n",
         {"line 4: expected a number, found \"1.2.3\""}},
        {"a sign alone", "solid s\nfacet normal 0 0 +\n", {"line 2: expected a number, found \"+\""}},
        {"facet without normal", "solid s\nfacet 0 0 1\n", {"line 2: expected \"normal\", found \"0\""}},
        {"a missing endsolid", "solid s\n" + facet, {"line 8: expected \"facet\" or \"endsolid\", found the end of the file"}},
        {"words after the last solid", "solid s\n" + facet + "endsolid s\n\njunk\n",
         {"line 11: expected \"solid\" or the end of the file, found \"junk\""}},
        {"a control character", "solid s\n\x01\x7f\n", {"line 2: expected \"facet\" or \"endsolid\", found \"\\x01\\x7F\""}},
        {"a very long word", "solid s\n" + std::string(100, 'w') + "\n",
         {"found \"" + std::string(40, 'w') + "...\"."}},
        {"a coordinate that is not a number",
         "solid s\n" + facet + "facet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex nan 0 0\n",
         {"The STL file \"test.stl\" has a non-finite coordinate in facet 2 at line 12."}},
        {"a coordinate beyond float", "solid s\nfacet normal 0 0 1\nouter loop\nvertex 0 0 -1e39\n",
         {"non-finite coordinate in facet 1 at line 4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ON_ClassArray<ON_Mesh> meshes;
        meshes.AppendNew().m_V.Append(ON_3fPoint(1, 2, 3));  // must survive every failure
        CString error;
        tlmio::StlReadOptions options;
        EXPECT_FALSE(tlmio::ReadStlBytes(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(),
                                         "test.stl", meshes, options, error));
        for (const std::string& text : c.says)
            EXPECT_NE(error.Find(text.c_str()), -1) << "error: " << error.GetString() << "\nwanted: " << text;
        ASSERT_EQ(meshes.Count(), 1);
        EXPECT_EQ(meshes[0].VertexCount(), 1);
    }
}

TEST(StlErrors, FacetCountBeyondMemoryIsRefusedFromTheHeaderAlone)
{
    if (sizeof(std::size_t) < 8)
        GTEST_SKIP() << "a size for 2^32 facets needs 64 bits";
    // Only the header exists: the size passed is what 0xffffffff facets would take, so any read
    // or allocation past the check would fault (under the address sanitizer) or exhaust memory.
    const std::string header = BinaryStl({}, "huge", 0xffffffffLL);
    const std::size_t announcedSize = 84 + 50 * std::size_t(0xffffffffu);
    ON_ClassArray<ON_Mesh> meshes;
    CString error;
    EXPECT_FALSE(tlmio::ReadStlBytes(reinterpret_cast<const unsigned char*>(header.data()), announcedSize, "huge.stl",
                                     meshes, tlmio::StlReadOptions(), error));
    EXPECT_NE(error.Find("has 4294967295 facets, more than this program can hold in memory"), -1)
        << error.GetString();
    EXPECT_EQ(meshes.Count(), 0);
}

TEST(StlFiles, ReadsFilesOnDiskAndNamesTheFileInEveryError)
{
    ScratchDir dir;
    const std::string binary = dir.File("part.stl"), ascii = dir.File("part ascii.stl"), empty = dir.File("empty.stl");
    WriteFile(binary, BinaryStl(Cube(), "solid part"));
    WriteFile(ascii, AsciiStl(Cube()) + AsciiStl(Cylinder(12), "pin"));
    WriteFile(empty, "");

    ON_ClassArray<ON_Mesh> meshes;
    CString error;
    tlmio::StlReadOptions options;
    ASSERT_TRUE(tlmio::ReadStlFile(binary.c_str(), meshes, options, error)) << error.GetString();
    ASSERT_TRUE(tlmio::ReadStlFile(ascii.c_str(), meshes, options, error)) << error.GetString();
    ASSERT_EQ(meshes.Count(), 3);
    EXPECT_EQ(meshes[0].VertexCount(), 24);
    EXPECT_EQ(meshes[1].VertexCount(), 24);
    EXPECT_EQ(meshes[2].FaceCount(), 48);

    struct Case {
        std::string path;
        std::vector<std::string> says;
    };
    const Case cases[] = {
        {dir.File("missing.stl"), {"Unable to open the STL file \"" + dir.File("missing.stl") + "\": "}},
        {dir.path(), {"Unable to read the STL file \"" + dir.path() + "\": it is a folder, not a file."}},
        {empty, {"The STL file \"" + empty + "\" is empty."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_FALSE(tlmio::ReadStlFile(c.path.c_str(), meshes, options, error));
        for (const std::string& text : c.says)
            EXPECT_NE(error.Find(text.c_str()), -1) << error.GetString();
        EXPECT_EQ(meshes.Count(), 3);
    }
    // The system's reason follows the colon.
    tlmio::ReadStlFile(dir.File("missing.stl").c_str(), meshes, options, error);
    EXPECT_GT(error.GetLength(), static_cast<int>(dir.File("missing.stl").size()) + 32) << error.GetString();
}

TEST(StlFiles, BundledSampleIsAPartWithSharpAndSmoothEdges)
{
    ON_ClassArray<ON_Mesh> sharp, smooth;
    CString error;
    const std::string path = DataPath("sample.stl");
    ASSERT_TRUE(tlmio::ReadStlFile(path.c_str(), sharp, tlmio::StlReadOptions(), error)) << error.GetString();
    tlmio::StlReadOptions oneVertexPerPosition;
    oneVertexPerPosition.creaseAngleDegrees = 180;
    ASSERT_TRUE(tlmio::ReadStlFile(path.c_str(), smooth, oneVertexPerPosition, error)) << error.GetString();
    ASSERT_EQ(sharp.Count(), 1);
    const ON_Mesh& mesh = sharp[0];
    EXPECT_TRUE(mesh.IsValid());
    EXPECT_GT(mesh.FaceCount(), 1000);
    // Sharp edges split positions into several vertices; curved faces share them.
    EXPECT_GT(mesh.VertexCount(), smooth[0].VertexCount());
    EXPECT_LT(mesh.VertexCount(), 3 * mesh.FaceCount() / 2);
    const std::string bytes = test_support::ReadFile(path);
    EXPECT_EQ(bytes.compare(0, 5, "solid"), 0) << "the sample's header begins like a CAD exporter's";
}

TEST(TLMSTL, ReadsThroughThePublicInterface)
{
    ScratchDir dir;
    const std::string cube = dir.File("TLMTemp.stl");
    WriteFile(cube, BinaryStl(Cube(), "solid part"));

    ON_ClassArray<ON_Mesh> meshes;
    ASSERT_EQ(TLMSTL::STLToMesh(CString(cube.c_str()), meshes), 1) << TLMSTL::GetError().GetString();
    ASSERT_EQ(TLMSTL::STLToMesh(CString(cube.c_str()), meshes, 0.0), 1) << TLMSTL::GetError().GetString();
    ASSERT_EQ(meshes.Count(), 2);
    EXPECT_EQ(meshes[0].VertexCount(), 24);  // creased at the default angle
    EXPECT_EQ(meshes[1].VertexCount(), 36);  // flat

    const std::string missing = dir.File("gone.stl");
    EXPECT_EQ(TLMSTL::STLToMesh(CString(missing.c_str()), meshes), 0);
    EXPECT_EQ(meshes.Count(), 2);
    EXPECT_NE(TLMSTL::GetError().Find(("\"" + missing + "\"").c_str()), -1) << TLMSTL::GetError().GetString();
}
