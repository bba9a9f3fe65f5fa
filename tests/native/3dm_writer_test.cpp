// The 3DM writer's refusals and failure handling, and the chunk structure of what it writes.
// Whether OpenNURBS reads the files back correctly is the rhino3dm oracle's job (tests/oracle).
#include <gtest/gtest.h>

#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "test_support.h"
#include "tlmio/3dm_writer.h"

using test_support::ListFolder;
using test_support::ReadFile;
using test_support::ScratchDir;

namespace {

ON_Mesh Tetrahedron()
{
    ON_Mesh mesh;
    const float corners[4][3] = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}};
    for (int i = 0; i < 4; ++i)
        mesh.SetVertex(i, ON_3fPoint(corners[i][0], corners[i][1], corners[i][2]));
    mesh.SetTriangle(0, 0, 2, 1);
    mesh.SetTriangle(1, 0, 1, 3);
    mesh.SetTriangle(2, 0, 3, 2);
    mesh.SetTriangle(3, 1, 2, 3);
    return mesh;
}

// Scattered vertices (nearly incompressible) with normals, in a fan of `faceCount` triangles.
ON_Mesh ScatteredMesh(int vertexCount, int faceCount)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-100, 100);
    ON_Mesh mesh;
    for (int i = 0; i < vertexCount; ++i) {
        mesh.SetVertex(i, ON_3fPoint(coordinate(random), coordinate(random), coordinate(random)));
        mesh.SetVertexNormal(i, ON_3fVector(0, 0, 1));
    }
    for (int i = 0; i < faceCount; ++i)
        mesh.SetTriangle(i, 0, 1 + i % (vertexCount - 2), 2 + i % (vertexCount - 2));
    return mesh;
}

ON_ClassArray<ON_Mesh> MeshList(std::initializer_list<ON_Mesh> meshes)
{
    ON_ClassArray<ON_Mesh> list;
    for (const ON_Mesh& mesh : meshes)
        list.Append(mesh);
    return list;
}

bool Contains(const CString& text, const std::string& part)
{
    return text.Find(part.c_str()) >= 0;
}

// --- A small reader of the chunk structure, independent of the writer's code ---------------

uint32_t U32At(const std::string& bytes, uint64_t at)
{
    uint32_t value;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

uint64_t U64At(const std::string& bytes, uint64_t at)
{
    uint64_t value;
    std::memcpy(&value, bytes.data() + at, 8);
    return value;
}

uint32_t CrcOf(const std::string& bytes, uint64_t from, uint64_t to, uint32_t crc = 0)
{
    return uint32_t(crc32(crc, reinterpret_cast<const Bytef*>(bytes.data() + from), uInt(to - from)));
}

struct ArchiveWalk {
    std::vector<std::string> problems;
    std::vector<uint32_t> topLevel;                 // typecodes of the file's chunks, in order
    std::vector<std::string> attributesPayloads;    // one per object
    std::vector<std::string> layerPayloads;
};

class ChunkWalker {
public:
    ChunkWalker(const std::string& bytes, int valueSize, ArchiveWalk& walk)
        : m_bytes(bytes), m_valueSize(valueSize), m_walk(walk) {}

    // Reads the chunks that tile [from, to); returns false on a structural error.
    bool Walk(uint64_t from, uint64_t to, int depth, uint32_t parent)
    {
        uint64_t at = from;
        while (at < to) {
            if (to - at < uint64_t(4 + m_valueSize))
                return Problem("truncated chunk header", at);
            const uint32_t code = U32At(m_bytes, at);
            const uint64_t value = m_valueSize == 8 ? U64At(m_bytes, at + 4) : U32At(m_bytes, at + 4);
            const uint64_t payload = at + 4 + m_valueSize;
            if (depth == 0)
                m_walk.topLevel.push_back(code);
            if (code & 0x80000000u) {  // short: no payload
                at = payload;
                continue;
            }
            if (value > to - payload)
                return Problem("chunk longer than its parent", at);
            const uint64_t end = payload + value;
            if (!CheckChunk(code, payload, end, depth, parent))
                return false;
            at = end;
        }
        return true;
    }

private:
    static bool HoldsOnlyChunks(uint32_t code)
    {
        const bool table = (code & 0xF0000000u) == 0x10000000u;
        return table || code == 0x20008050u || code == 0x20008070u || code == 0x00027FFAu;
    }

    bool CheckChunk(uint32_t code, uint64_t payload, uint64_t end, int depth, uint32_t parent)
    {
        const bool hasCrc = (code & 0x8000u) != 0;
        if (hasCrc && end - payload < 4)
            return Problem("chunk too short for its CRC", payload);
        const uint64_t dataEnd = hasCrc ? end - 4 : end;
        if (code == 0x02008072u)
            m_walk.attributesPayloads.push_back(m_bytes.substr(payload, dataEnd - payload));
        if (code == 0x0002FFFCu && parent == 0x00027FFAu && m_layerTable)
            m_walk.layerPayloads.push_back(m_bytes.substr(payload, dataEnd - payload));
        if (HoldsOnlyChunks(code)) {
            const bool wasLayerTable = m_layerTable;
            m_layerTable = m_layerTable || code == 0x10000011u;
            const bool ok = Walk(payload, dataEnd, depth + 1, code);
            m_layerTable = wasLayerTable;
            if (!ok)
                return false;
            if (hasCrc && U32At(m_bytes, dataEnd) != 0)
                return Problem("CRC of a chunk without direct bytes is not 0", payload);
            return true;
        }
        if (hasCrc && DirectBytesCrc(payload, dataEnd) != U32At(m_bytes, dataEnd))
            return Problem("CRC mismatch", payload);
        return true;
    }

    // The CRC of a mixed payload skips the anonymous chunks nested in it. They are found by
    // their typecode, a length that fits and their own CRC.
    uint32_t DirectBytesCrc(uint64_t from, uint64_t to)
    {
        uint32_t crc = 0;
        uint64_t segment = from;
        for (uint64_t at = from; at + 4 + m_valueSize + 4 <= to;) {
            const uint64_t length = m_valueSize == 8 ? U64At(m_bytes, at + 4) : U32At(m_bytes, at + 4);
            const uint64_t payload = at + 4 + m_valueSize;
            if (U32At(m_bytes, at) == 0x40008000u && length >= 4 && length <= to - payload &&
                CrcOf(m_bytes, payload, payload + length - 4) == U32At(m_bytes, payload + length - 4)) {
                crc = CrcOf(m_bytes, segment, at, crc);
                at = segment = payload + length;
            } else {
                ++at;
            }
        }
        return CrcOf(m_bytes, segment, to, crc);
    }

    bool Problem(const char* what, uint64_t offset)
    {
        m_walk.problems.push_back(std::string(what) + " at offset " + std::to_string(offset));
        return false;
    }

    const std::string& m_bytes;
    int m_valueSize;
    ArchiveWalk& m_walk;
    bool m_layerTable = false;
};

ArchiveWalk WalkArchive(const std::string& bytes, int version)
{
    ArchiveWalk walk;
    const int valueSize = version >= 50 ? 8 : 4;
    if (bytes.size() < 32) {
        walk.problems.push_back("no start section");
        return walk;
    }
    ChunkWalker(bytes, valueSize, walk).Walk(32, bytes.size(), 0, 0);
    return walk;
}

std::string Hex(const std::string& bytes)
{
    std::string text;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", c);
        text += digits;
    }
    return text;
}

}  // namespace

TEST(Write3dmFile, WritesWellFormedArchivesOfEveryVersion)
{
    // Per version: the file's chunks in the order readers expect them.
    const std::vector<uint32_t> before = {0x00000001, 0x10000014, 0x10000015};
    const struct {
        int version;
        std::vector<uint32_t> tables;
    } cases[] = {
        {2, {0x10000016, 0x10000010, 0x10000011, 0x10000018, 0x10000012, 0x10000013}},
        {3, {0x10000016, 0x10000010, 0x10000011, 0x10000018, 0x10000019, 0x10000020, 0x10000012, 0x10000021,
             0x10000013}},
    };
    const std::vector<uint32_t> fromVersion4 = {0x10000016, 0x10000025, 0x10000010, 0x10000023, 0x10000011,
                                                0x10000018, 0x10000019, 0x10000020, 0x10000012, 0x10000022,
                                                0x10000021, 0x10000013, 0x10000026};
    std::vector<std::pair<int, std::vector<uint32_t>>> expected;
    for (const auto& c : cases)
        expected.push_back({c.version, c.tables});
    for (int version : {4, 50, 60, 70, 80})
        expected.push_back({version, fromVersion4});

    ScratchDir dir;
    const std::string path = dir.File("model.3dm");
    std::set<std::string> ids;
    for (const auto& [version, tables] : expected) {
        SCOPED_TRACE("version " + std::to_string(version));
        test_support::WriteFile(path, "an older file at the path");
        CString error;
        ASSERT_TRUE(tlmio::Write3dmFile(MeshList({Tetrahedron(), ScatteredMesh(300, 400)}), path.c_str(), 0,
                                        version, error))
            << error.GetString();
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"model.3dm"});  // no temporary file left

        const std::string bytes = ReadFile(path);
        char header[33];
        std::snprintf(header, sizeof header, "3D Geometry File Format %8d", version);
        ASSERT_EQ(bytes.substr(0, 32), header);
        const ArchiveWalk walk = WalkArchive(bytes, version);
        EXPECT_EQ(walk.problems, std::vector<std::string>{});

        std::vector<uint32_t> sequence = before;
        sequence.insert(sequence.end(), tables.begin(), tables.end());
        sequence.push_back(0x00007FFF);
        EXPECT_EQ(walk.topLevel, sequence);

        // The end mark closes the file and records its length.
        const std::size_t endMarkSize = version >= 50 ? 20 : 12;
        ASSERT_GT(bytes.size(), endMarkSize);
        const std::size_t mark = bytes.size() - endMarkSize;
        EXPECT_EQ(U32At(bytes, mark), 0x00007FFFu);
        if (version >= 50) {
            EXPECT_EQ(U64At(bytes, mark + 4), 8u);
            EXPECT_EQ(U64At(bytes, mark + 12), bytes.size());
        } else {
            EXPECT_EQ(U32At(bytes, mark + 4), 4u);
            EXPECT_EQ(U32At(bytes, mark + 8), bytes.size());
        }

        // Every object and the layer get their own random id, across files too.
        ASSERT_EQ(walk.attributesPayloads.size(), 2u);
        ASSERT_EQ(walk.layerPayloads.size(), 1u);
        std::vector<std::string> fileIds;
        for (const std::string& attributes : walk.attributesPayloads)
            fileIds.push_back(attributes.substr(1, 16));
        fileIds.push_back(walk.layerPayloads[0].substr(83, 16));  // after the fixed fields and the name "Default"
        for (const std::string& id : fileIds) {
            EXPECT_NE(id, std::string(16, '\0'));
            EXPECT_EQ(static_cast<unsigned char>(id[7]) >> 4, 4) << Hex(id);  // random (version 4) id
            EXPECT_TRUE(ids.insert(id).second) << "id used twice: " << Hex(id);
        }
    }
}

TEST(Write3dmFile, RefusesWhatItCannotWrite)
{
    ON_Mesh outOfRange = Tetrahedron();
    outOfRange.m_F[2].vi[1] = 4;
    ON_Mesh negativeIndex = Tetrahedron();
    negativeIndex.m_F[0].vi[3] = -1;
    ON_Mesh fewerNormals = Tetrahedron();
    for (int i = 0; i < 3; ++i)
        fewerNormals.SetVertexNormal(i, ON_3fVector(0, 0, 1));

    const struct {
        const char* what;
        ON_ClassArray<ON_Mesh> meshes;
        int options;
        int version;
        std::vector<std::string> mentions;
    } cases[] = {
        {"version 5", MeshList({Tetrahedron()}), 0, 5, {"version 5", "2, 3, 4, 50, 60, 70 and 80"}},
        {"version 0", MeshList({Tetrahedron()}), 0, 0, {"version 0", "2, 3, 4, 50, 60, 70 and 80"}},
        {"version 81", MeshList({Tetrahedron()}), 0, 81, {"version 81"}},
        {"options", MeshList({Tetrahedron()}), 1, 3, {"options", "not 1"}},
        {"no meshes", MeshList({}), 0, 3, {"no meshes"}},
        {"index past the vertices", MeshList({Tetrahedron(), outOfRange}), 0, 3, {"mesh 1", "face 2"}},
        {"negative index", MeshList({negativeIndex}), 0, 50, {"mesh 0", "face 0"}},
        {"normal count", MeshList({Tetrahedron(), Tetrahedron(), fewerNormals}), 0, 3, {"mesh 2", "3 vertex normals"}},
    };
    ScratchDir dir;
    const std::string path = dir.File("refused.3dm");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CString error;
        EXPECT_FALSE(tlmio::Write3dmFile(c.meshes, path.c_str(), c.options, c.version, error));
        EXPECT_TRUE(Contains(error, path)) << error.GetString();
        for (const std::string& mention : c.mentions)
            EXPECT_TRUE(Contains(error, mention)) << error.GetString();
        EXPECT_TRUE(ListFolder(dir.path()).empty());
    }
}

TEST(Write3dmFile, ReportsPathsThatCannotTakeTheFile)
{
    ScratchDir dir;
    test_support::WriteFile(dir.File("plain.txt"), "x");
    const struct {
        std::string path;
        std::string mention;
    } cases[] = {
        {dir.File("missing") + "/model.3dm", "does not exist"},
        {dir.path(), "names a folder"},
        {dir.File("plain.txt") + "/model.3dm", "plain.txt"},
        {"", "no file name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        CString error;
        EXPECT_FALSE(tlmio::Write3dmFile(MeshList({Tetrahedron()}), c.path.c_str(), 0, 3, error));
        EXPECT_TRUE(Contains(error, "\"" + c.path + "\"")) << error.GetString();
        EXPECT_TRUE(Contains(error, c.mention)) << error.GetString();
    }
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"plain.txt"});
}

TEST(Write3dmFile, KeepsTheExistingFileWhenTheArchiveWouldBeTooLarge)
{
    // Stands in for the 4 GiB of a version-3 file: checked up front from the faces (stored as
    // they are), and again once each record's compressed size is known.
    const struct {
        const char* what;
        ON_Mesh mesh;
    } cases[] = {
        {"faces alone", ScatteredMesh(200, 20000)},
        {"compressed arrays", ScatteredMesh(20000, 10)},
    };
    tlmio::detail::WriterTuning tuning;
    tuning.maxFileSize = 64 * 1024;
    ScratchDir dir;
    const std::string path = dir.File("kept.3dm");
    test_support::WriteFile(path, "the previous model");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CString error;
        EXPECT_FALSE(tlmio::detail::Write3dmFileTuned(MeshList({c.mesh}), path.c_str(), 0, 3, tuning, error));
        EXPECT_TRUE(Contains(error, path)) << error.GetString();
        EXPECT_TRUE(Contains(error, "use version 50")) << error.GetString();
        EXPECT_EQ(ReadFile(path), "the previous model");
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"kept.3dm"});
    }
}

#ifndef _WIN32

TEST(Write3dmFile, ReportsAFullDisk)
{
    CString error;
    EXPECT_FALSE(tlmio::Write3dmFile(MeshList({ScatteredMesh(20000, 100)}), "/dev/full", 0, 3, error));
    EXPECT_TRUE(Contains(error, "\"/dev/full\"")) << error.GetString();
    EXPECT_TRUE(Contains(error, std::strerror(ENOSPC))) << error.GetString();
}

// The two below run the writer in a child process, which may change its limits and identity.
int ExitCodeOfWriteUnderFileSizeLimit(const ON_ClassArray<ON_Mesh>& meshes, const std::string& folder,
                                      const std::string& path)
{
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit = {256 * 1024, 256 * 1024};  // files beyond this fail to grow
    setrlimit(RLIMIT_FSIZE, &limit);
    CString error;
    const bool written = tlmio::Write3dmFile(meshes, path.c_str(), 0, 3, error);
    std::fprintf(stderr, "%s\n", error.GetString());
    const bool ok = !written && Contains(error, path) && Contains(error, std::strerror(EFBIG)) &&
                    ReadFile(path) == "the previous model" &&
                    ListFolder(folder) == std::vector<std::string>{"kept.3dm"};
    return ok ? 0 : 1;
}

TEST(Write3dmFileDeathTest, KeepsTheExistingFileWhenAWriteFailsMidway)
{
    ScratchDir dir;
    const std::string path = dir.File("kept.3dm");
    test_support::WriteFile(path, "the previous model");
    const ON_ClassArray<ON_Mesh> meshes = MeshList({ScatteredMesh(100000, 1000)});
    EXPECT_EXIT(std::exit(ExitCodeOfWriteUnderFileSizeLimit(meshes, dir.path(), path)),
                ::testing::ExitedWithCode(0), "");
}

int ExitCodeOfWriteAsOrdinaryUser(const std::string& path)
{
    // Permissions do not bind root: test as nobody then.
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 2;
    CString error;
    const bool written = tlmio::Write3dmFile(MeshList({Tetrahedron()}), path.c_str(), 0, 3, error);
    std::fprintf(stderr, "%s\n", error.GetString());
    return !written && Contains(error, path) && Contains(error, std::strerror(EACCES)) ? 0 : 1;
}

TEST(Write3dmFileDeathTest, ReportsAFolderWithoutWritePermission)
{
    ScratchDir dir;
    const std::string path = dir.File("model.3dm");
    chmod(dir.path().c_str(), 0555);
    EXPECT_EXIT(std::exit(ExitCodeOfWriteAsOrdinaryUser(path)), ::testing::ExitedWithCode(0), "");
    chmod(dir.path().c_str(), 0755);
    EXPECT_TRUE(ListFolder(dir.path()).empty());
}

#endif  // _WIN32
