#include "mesh_dump.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kMagic[4] = {'P', 'L', 'M', 'D'};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

template <class T>
bool WriteArray(std::FILE* f, const ON_SimpleArray<T>& a)
{
    size_t n = size_t(a.Count());
    return n == 0 || std::fwrite(a.Array(), sizeof(T), n, f) == n;
}

template <class T>
bool ReadArray(std::FILE* f, ON_SimpleArray<T>& a, uint32_t count)
{
    a.SetCapacity(count);
    a.SetCount(int(count));
    return count == 0 || std::fread(a.Array(), sizeof(T), count, f) == count;
}

}  // namespace

bool WriteMeshDump(const ON_ClassArray<ON_Mesh>& meshes, const char* path, std::string& error)
{
    File f(std::fopen(path, "wb"));
    if (!f) {
        error = std::string("cannot create ") + path;
        return false;
    }
    uint32_t count = uint32_t(meshes.Count());
    bool ok = std::fwrite(kMagic, 1, 4, f.get()) == 4 && std::fwrite(&count, 4, 1, f.get()) == 1;
    for (int i = 0; ok && i < meshes.Count(); ++i) {
        const ON_Mesh& m = meshes[i];
        uint32_t header[4] = {uint32_t(m.VertexCount()), uint32_t(m.FaceCount()), uint32_t(m.m_N.Count()), 0};
        ok = std::fwrite(header, 4, 4, f.get()) == 4 && WriteArray(f.get(), m.m_V) && WriteArray(f.get(), m.m_F) &&
             WriteArray(f.get(), m.m_N);
    }
    if (!ok || std::fflush(f.get()) != 0) {
        error = std::string("cannot write ") + path;
        return false;
    }
    return true;
}

bool ReadMeshDump(const char* path, ON_ClassArray<ON_Mesh>& meshes, std::string& error)
{
    File f(std::fopen(path, "rb"));
    char magic[4];
    uint32_t count = 0;
    if (!f || std::fread(magic, 1, 4, f.get()) != 4 || std::memcmp(magic, kMagic, 4) != 0 ||
        std::fread(&count, 4, 1, f.get()) != 1) {
        error = std::string("not a mesh dump: ") + path;
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t header[4];
        ON_Mesh& m = meshes.AppendNew();
        if (std::fread(header, 4, 4, f.get()) != 4 || !ReadArray(f.get(), m.m_V, header[0]) ||
            !ReadArray(f.get(), m.m_F, header[1]) || !ReadArray(f.get(), m.m_N, header[2])) {
            error = std::string("truncated mesh dump: ") + path;
            return false;
        }
    }
    return true;
}
