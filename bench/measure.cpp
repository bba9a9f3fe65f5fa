// One measurement per process, so that each reader's peak memory is its own:
//   bench_measure <task> <input> [output]
// Prints one line of key=value pairs for bench_run; "error=" comes last and takes the rest of
// the line. Peak memory is taken right after the timed part, before any checking.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mesh_dump.h"
#include "peer_readers.h"
#include "tlmio/3dm_writer.h"
#include "tlmio/stl_reader.h"

namespace {

const int kArchiveVersion = 3;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long PeakKb()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long long FileSize(const char* path)
{
    struct stat st;
    return ::stat(path, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

struct Report {
    std::string fields;

    void Add(const char* key, long long value) { fields += std::string(key) + "=" + std::to_string(value) + " "; }
    void Add(const char* key, double value)
    {
        char text[64];
        std::snprintf(text, sizeof text, "%s=%.6f ", key, value);
        fields += text;
    }
    void AddTiming(double seconds)
    {
        Add("seconds", seconds);
        Add("peak_kb", static_cast<long long>(PeakKb()));
    }
};

struct Task {
    const char* name;
    int arguments;  // input, and output when 2
    std::function<bool(const char* in, const char* out, Report&, std::string& error)> run;
};

struct MeshTotals {
    long long meshes = 0, vertices = 0, faces = 0, normals = 0, faceNormals = 0;
    long long ArrayBytes() const { return vertices * 12 + normals * 12 + faces * 16 + faceNormals * 12; }
};

MeshTotals Totals(const ON_ClassArray<ON_Mesh>& meshes)
{
    MeshTotals t;
    t.meshes = meshes.Count();
    for (int i = 0; i < meshes.Count(); ++i) {
        t.vertices += meshes[i].VertexCount();
        t.faces += meshes[i].FaceCount();
        t.normals += meshes[i].m_N.Count();
        t.faceNormals += meshes[i].m_FN.Count();
    }
    return t;
}

void AddTotals(Report& r, const MeshTotals& t)
{
    r.Add("meshes", t.meshes);
    r.Add("vertices", t.vertices);
    r.Add("faces", t.faces);
    r.Add("normals", t.normals);
    r.Add("face_normals", t.faceNormals);
    r.Add("array_bytes", t.ArrayBytes());
}

// Vertices split along creases share a position; positions are what the peers weld, so this is
// the count to compare with theirs.
long long DistinctPositions(const ON_ClassArray<ON_Mesh>& meshes)
{
    std::vector<std::array<uint32_t, 3>> keys;
    for (int i = 0; i < meshes.Count(); ++i)
        for (int v = 0; v < meshes[i].VertexCount(); ++v) {
            const ON_3fPoint& p = meshes[i].m_V[v];
            std::array<float, 3> xyz = {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f};  // -0 welds with +0
            std::array<uint32_t, 3> key;
            std::memcpy(key.data(), xyz.data(), sizeof key);
            keys.push_back(key);
        }
    std::sort(keys.begin(), keys.end());
    return std::unique(keys.begin(), keys.end()) - keys.begin();
}

bool ReadOurs(const char* path, ON_ClassArray<ON_Mesh>& meshes, std::string& error)
{
    CString message;
    if (tlmio::ReadStlFile(path, meshes, tlmio::StlReadOptions(), message))
        return true;
    error = message.GetString();
    return false;
}

bool WriteOurs(const ON_ClassArray<ON_Mesh>& meshes, const char* path, std::string& error)
{
    CString message;
    if (tlmio::Write3dmFile(meshes, path, 0, kArchiveVersion, message))
        return true;
    error = message.GetString();
    return false;
}

bool ReadFloor(const char* path, Report& r, std::string& error)
{
    auto start = Clock::now();
    int fd = ::open(path, O_RDONLY);
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        error = std::string("cannot open ") + path;
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    size_t size = size_t(st.st_size);
    std::unique_ptr<unsigned char, void (*)(void*)> bytes(static_cast<unsigned char*>(std::malloc(size + 1)), std::free);
    size_t done = 0;
    while (bytes && done < size) {
        ssize_t n = ::read(fd, bytes.get() + done, size - done);
        if (n <= 0)
            break;
        done += size_t(n);
    }
    ::close(fd);
    r.AddTiming(SecondsSince(start));
    if (done != size) {
        error = std::string("cannot read ") + path;
        return false;
    }
    r.Add("bytes", static_cast<long long>(size));
    return true;
}

bool ReadWithAssimp(const char* path, AssimpWelding welding, Report& r, std::string& error)
{
    auto start = Clock::now();
    AssimpScene scene = ImportWithAssimp(path, welding, error);
    r.AddTiming(SecondsSince(start));
    if (!scene)
        return false;
    r.Add("vertices", AssimpVertexCount(*scene));
    r.Add("faces", AssimpFaceCount(*scene));
    return true;
}

const Task kTasks[] = {
    {"noop", 0, [](const char*, const char*, Report& r, std::string&) {
         r.AddTiming(0.0);
         return true;
     }},
    {"floor", 1, [](const char* in, const char*, Report& r, std::string& error) { return ReadFloor(in, r, error); }},
    {"ours", 1, [](const char* in, const char*, Report& r, std::string& error) {
         ON_ClassArray<ON_Mesh> meshes;
         auto start = Clock::now();
         bool ok = ReadOurs(in, meshes, error);
         r.AddTiming(SecondsSince(start));
         if (!ok)
             return false;
         AddTotals(r, Totals(meshes));
         r.Add("positions", DistinctPositions(meshes));
         return true;
     }},
    {"assimp-join", 1, [](const char* in, const char*, Report& r, std::string& error) {
         return ReadWithAssimp(in, AssimpWelding::JoinIdentical, r, error);
     }},
    {"assimp-nonormals", 1, [](const char* in, const char*, Report& r, std::string& error) {
         return ReadWithAssimp(in, AssimpWelding::NoNormalsJoin, r, error);
     }},
    {"assimp-smooth", 1, [](const char* in, const char*, Report& r, std::string& error) {
         return ReadWithAssimp(in, AssimpWelding::NoNormalsJoinSmooth, r, error);
     }},
    {"admesh", 1, [](const char* in, const char*, Report& r, std::string& error) {
         auto start = Clock::now();
         AdmeshRead stl(in);
         r.AddTiming(SecondsSince(start));
         if (stl.Failed()) {
             error = std::string("ADMesh cannot read ") + in;
             return false;
         }
         r.Add("vertices", stl.VertexCount());
         r.Add("faces", stl.FaceCount());
         return true;
     }},
    // The mesh both 3DM writers are given: ours, read from the STL.
    {"ours-dump", 2, [](const char* in, const char* out, Report& r, std::string& error) {
         ON_ClassArray<ON_Mesh> meshes;
         if (!ReadOurs(in, meshes, error) || !WriteMeshDump(meshes, out, error))
             return false;
         AddTotals(r, Totals(meshes));
         return true;
     }},
    {"ours-write", 2, [](const char* in, const char* out, Report& r, std::string& error) {
         ON_ClassArray<ON_Mesh> meshes;
         if (!ReadMeshDump(in, meshes, error))
             return false;
         auto start = Clock::now();
         bool ok = WriteOurs(meshes, out, error);
         r.AddTiming(SecondsSince(start));
         if (!ok)
             return false;
         r.Add("bytes", FileSize(out));
         AddTotals(r, Totals(meshes));
         return true;
     }},
    {"ours-convert", 2, [](const char* in, const char* out, Report& r, std::string& error) {
         ON_ClassArray<ON_Mesh> meshes;
         auto start = Clock::now();
         bool ok = ReadOurs(in, meshes, error);
         double read = SecondsSince(start);
         ok = ok && WriteOurs(meshes, out, error);
         r.AddTiming(SecondsSince(start));
         if (!ok)
             return false;
         r.Add("read_seconds", read);
         r.Add("bytes", FileSize(out));
         AddTotals(r, Totals(meshes));
         return true;
     }},
    // The peer's converter front half: assimp welds and makes vertex normals; rhino3dm writes.
    {"assimp-dump", 2, [](const char* in, const char* out, Report& r, std::string& error) {
         auto start = Clock::now();
         AssimpScene scene = ImportWithAssimp(in, AssimpWelding::NoNormalsJoinSmooth, error);
         r.AddTiming(SecondsSince(start));
         if (!scene)
             return false;
         ON_ClassArray<ON_Mesh> meshes = AssimpMeshes(*scene);
         if (!WriteMeshDump(meshes, out, error))
             return false;
         AddTotals(r, Totals(meshes));
         return true;
     }},
};

}  // namespace

int main(int argc, char** argv)
{
    const Task* task = nullptr;
    for (const Task& t : kTasks)
        if (argc >= 2 && std::strcmp(argv[1], t.name) == 0)
            task = &t;
    if (!task || argc != 2 + task->arguments) {
        std::fprintf(stderr, "usage: %s <task> <input> [output]; tasks:", argv[0]);
        for (const Task& t : kTasks)
            std::fprintf(stderr, " %s", t.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    Report report;
    std::string error;
    bool ok = task->run(argc > 2 ? argv[2] : "", argc > 3 ? argv[3] : "", report, error);
    std::printf("ok=%d %s", ok ? 1 : 0, report.fields.c_str());
    if (!ok) {
        std::replace(error.begin(), error.end(), '\n', ' ');
        std::printf("error=%s", error.empty() ? "failed" : error.c_str());
    }
    std::printf("\n");
    return ok ? 0 : 1;
}
