#include "tlmio/3dm_mesh_record.h"

#include <cmath>
#include <cstring>
#include <future>
#include <limits>
#include <new>
#include <system_error>

#include "tlmio/3dm_compressed_array.h"

namespace tlmio {

namespace {

constexpr Uuid kMeshClassId = MakeUuid(0x4ED7D4E4, 0xE947, 0x11D3, 0xBFE50010830122F0ull);
constexpr uint32_t kMeshObjectType = 0x20;
constexpr double kUnsetValue = -1.23432101234321e+308;
// Bytes of a record besides its faces and arrays (chunk headers, fixed fields): a lower bound
// for size checks, and an upper bound for reserving.
constexpr uint64_t kRecordFixedBytes = 256;
constexpr uint64_t kRecordOverhead = 1024;
constexpr std::size_t kSmallestArrayForThread = std::size_t(1) << 20;

static_assert(sizeof(ON_3fPoint) == 12 && sizeof(ON_3fVector) == 12, "arrays are stored as they lie in memory");
static_assert(sizeof(ON_MeshFace) == 16, "four 32-bit indices per face");

int FaceIndexWidth(int vertexCount)
{
    return vertexCount < 256 ? 1 : vertexCount < 65536 ? 2 : 4;
}

template <class Index>
void AppendFaces(ChunkBuffer& out, const ON_MeshFace* faces, int count)
{
    uint8_t* dst = out.Extend(std::size_t(count) * sizeof(Index[4]));
    for (int i = 0; i < count; ++i, dst += sizeof(Index[4])) {
        // In range for the width: checked by IsWritableMesh.
        const Index face[4] = {Index(faces[i].vi[0]), Index(faces[i].vi[1]), Index(faces[i].vi[2]),
                               Index(faces[i].vi[3])};
        std::memcpy(dst, face, sizeof face);
    }
}

void AppendFaceList(ChunkBuffer& out, const ON_Mesh& mesh)
{
    const int width = FaceIndexWidth(mesh.VertexCount());
    out.I32(width);
    const ON_MeshFace* faces = mesh.m_F.Array();
    switch (width) {
    case 1: AppendFaces<uint8_t>(out, faces, mesh.FaceCount()); break;
    case 2: AppendFaces<uint16_t>(out, faces, mesh.FaceCount()); break;
    default: out.Bytes(faces, std::size_t(mesh.FaceCount()) * sizeof(ON_MeshFace)); break;
    }
}

// Rounds away from the box's inside, as OpenNURBS does, so that readers trusting the stored
// box never find a vertex outside it.
float OutwardFloat(double value, bool isMinimum)
{
    const double kScale = 1.0 / 16777216.0;  // 2^-24
    const bool shrink = (value > 0) == isMinimum;
    return static_cast<float>(value == 0 ? 0.0 : value * (shrink ? 1.0 - kScale : 1.0 + kScale));
}

bool IsFiniteBox(const ON_BoundingBox& box)
{
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(box.m_min[k]) || !std::isfinite(box.m_max[k]))
            return false;
    return box.IsValid();
}

void AppendEmptyFloatBox(ChunkBuffer& out)
{
    const float box[6] = {1, 1, 1, -1, -1, -1};
    out.Bytes(box, sizeof box);
}

void AppendVertexFloatBox(ChunkBuffer& out, const ON_BoundingBox& box)
{
    if (!IsFiniteBox(box)) {
        AppendEmptyFloatBox(out);  // readers then compute the box themselves
        return;
    }
    for (int k = 0; k < 3; ++k)
        out.F32(OutwardFloat(box.m_min[k], true));
    for (int k = 0; k < 3; ++k)
        out.F32(OutwardFloat(box.m_max[k], false));
}

void AppendVertexDoubleBox(ChunkBuffer& out, const ON_BoundingBox& box)
{
    const bool known = IsFiniteBox(box);
    for (int k = 0; k < 3; ++k)
        out.F64(known ? box.m_min[k] : kUnsetValue);
    for (int k = 0; k < 3; ++k)
        out.F64(known ? box.m_max[k] : kUnsetValue);
}

// The mapping tag of a mesh without texture coordinates: no mapping, identity transform.
void AppendEmptyMappingTag(ChunkBuffer& out)
{
    out.BeginVersionedChunk(1, 1);
    out.Id(kNilUuid);
    out.I32(0);  // CRC of the mapped coordinates
    for (int i = 0; i < 16; ++i)
        out.F64(i % 5 == 0 ? 1.0 : 0.0);
    out.I32(0);  // mapping type
    out.EndChunk();
}

// Deflating dominates the writer's time: a large array is packed on its own thread while the
// caller packs another.
std::future<PackedArray> PackLater(const void* data, std::size_t size, int zlibLevel)
{
    if (size >= kSmallestArrayForThread) {
        try {
            return std::async(std::launch::async, PackArray, data, size, zlibLevel);
        } catch (const std::system_error&) {
            // No thread to be had: pack when the result is asked for.
        }
    }
    return std::async(std::launch::deferred, PackArray, data, size, zlibLevel);
}

void AppendMeshPayload(ChunkBuffer& out, const ON_Mesh& mesh, const ArchiveFormat& format, int zlibLevel)
{
    const int vertexCount = mesh.VertexCount();
    const ON_BoundingBox box = mesh.BoundingBox();
    out.U8(format.UsesMeshFormat38() ? 0x38 : 0x35);
    out.I32(vertexCount);
    out.I32(mesh.FaceCount());
    for (int i = 0; i < 8; ++i)
        out.F64(kUnsetValue);  // packed texture and surface domains
    out.F64(0);  // surface scale
    out.F64(0);
    AppendVertexFloatBox(out, box);
    AppendEmptyFloatBox(out);  // normals
    const float emptyTextureBox[4] = {1, 1, -1, -1};
    out.Bytes(emptyTextureBox, sizeof emptyTextureBox);
    out.I32(-1);  // closed: unknown, readers work it out
    out.U8(0);    // no mesh parameters
    out.U32(0);   // no curvature statistics
    AppendFaceList(out, mesh);
    if (vertexCount > 0) {
        const std::size_t arrayBytes = std::size_t(vertexCount) * 12;
        std::future<PackedArray> normals;
        if (mesh.HasVertexNormals())
            normals = PackLater(mesh.m_N.Array(), arrayBytes, zlibLevel);
        AppendPackedArray(out, PackArray(mesh.m_V.Array(), arrayBytes, zlibLevel));
        if (normals.valid())
            AppendPackedArray(out, normals.get());
        else
            out.U32(0);
        out.U32(0);  // texture coordinates
        out.U32(0);  // curvatures
        out.U32(0);  // vertex colours
    }
    out.I32(0);  // packed texture rotation
    out.Id(kNilUuid);  // texture mapping
    if (vertexCount > 0)
        out.U32(0);  // surface parameters
    AppendEmptyMappingTag(out);
    out.U8(0);  // manifold, oriented, solid: unknown
    out.U8(0);
    out.U8(0);
    if (format.UsesMeshFormat38()) {
        out.Bool(false);  // no n-gons
        out.Bool(false);  // no double-precision vertices: ours are floats
        AppendVertexDoubleBox(out, box);
    }
}

// Every field present, as archives before 50 expect.
void AppendFullAttributes(ChunkBuffer& out, const Uuid& objectId, int layerIndex)
{
    out.U8(0x18);
    out.Id(objectId);
    out.I32(layerIndex);
    out.I32(-1);  // material index
    out.Color(0, 0, 0, 0);
    out.I16(0);   // obsolete line style
    out.I16(0);
    out.F64(0);
    out.F64(1);
    out.I32(1);   // wire density
    out.U8(0);    // mode: normal
    out.U8(0);    // colour from layer
    out.U8(0);    // linetype from layer
    out.U8(0);    // material from layer
    out.WideString("");  // name
    out.WideString("");  // URL
    out.I32(0);   // groups
    out.Bool(true);  // visible
    out.I32(0);   // display material references
    out.I32(0);   // decoration
    out.U8(0);    // plot colour from layer
    out.Color(0, 0, 0, 0);
    out.U8(0);    // plot weight from layer
    out.F64(0);
    out.I32(-1);  // linetype index
    out.U8(0);    // model space
    out.I32(0);   // display material references, second form
    out.BeginVersionedChunk(1, 3);  // rendering attributes
    out.I32(0);   // materials
    out.I32(0);   // mappings
    out.Bool(true);   // casts shadows
    out.Bool(true);   // receives shadows
    out.Bool(false);  // advanced texture preview
    out.EndChunk();
}

// From 50 on: the id and layer, then only fields that differ from their defaults (none).
void AppendCompactAttributes(ChunkBuffer& out, const Uuid& objectId, int layerIndex)
{
    out.U8(0x2D);
    out.Id(objectId);
    out.I32(layerIndex);
    out.U8(0);  // end of the item list
}

}  // namespace

bool IsWritableMesh(const ON_Mesh& mesh, CString& reason)
{
    const int vertexCount = mesh.VertexCount();
    const int normalCount = mesh.m_N.Count();
    if (normalCount != 0 && normalCount != vertexCount) {
        reason.Format("it has %d vertex normals for %d vertices", normalCount, vertexCount);
        return false;
    }
    if (uint64_t(vertexCount) * 12 > kMaxCompressedArrayBytes) {
        reason.Format("it has %d vertices, more than a 3DM mesh can hold", vertexCount);
        return false;
    }
    const ON_MeshFace* faces = mesh.m_F.Array();
    const unsigned int limit = static_cast<unsigned int>(vertexCount);
    for (int i = 0; i < mesh.FaceCount(); ++i) {
        const ON_MeshFace& f = faces[i];
        // Unsigned comparison also rejects negative indices.
        if (unsigned(f.vi[0]) >= limit || unsigned(f.vi[1]) >= limit || unsigned(f.vi[2]) >= limit ||
            unsigned(f.vi[3]) >= limit) {
            reason.Format("face %d refers to a vertex outside 0..%d", i, vertexCount - 1);
            return false;
        }
    }
    return true;
}

uint64_t MinimumMeshRecordSize(const ON_Mesh& mesh)
{
    return uint64_t(mesh.FaceCount()) * 4 * uint64_t(FaceIndexWidth(mesh.VertexCount())) + kRecordFixedBytes;
}

void BuildMeshRecord(ChunkBuffer& out, const ON_Mesh& mesh, const ArchiveFormat& format, const Uuid& objectId,
                     int layerIndex, int zlibLevel)
{
    out.Clear();
    const uint64_t arrayBytes = uint64_t(mesh.VertexCount()) * 12;
    const uint64_t estimate = MinimumMeshRecordSize(mesh) + kRecordOverhead +
                              CompressedArrayBound(std::size_t(arrayBytes)) * (mesh.HasVertexNormals() ? 2 : 1);
    if (estimate > std::numeric_limits<std::size_t>::max())
        throw std::bad_alloc();
    out.Reserve(std::size_t(estimate));

    out.BeginChunk(typecode::kObjectRecord);
    out.ShortChunk(typecode::kObjectRecordType, kMeshObjectType);
    out.BeginChunk(typecode::kClass);
    out.BeginChunk(typecode::kClassUuid);
    out.Id(kMeshClassId);
    out.EndChunk();
    out.BeginChunk(typecode::kClassData);
    AppendMeshPayload(out, mesh, format, zlibLevel);
    out.EndChunk();
    out.ShortChunk(typecode::kClassEnd, 0);
    out.EndChunk();
    out.BeginChunk(typecode::kObjectRecordAttributes);
    if (format.UsesCompactAttributes())
        AppendCompactAttributes(out, objectId, layerIndex);
    else
        AppendFullAttributes(out, objectId, layerIndex);
    out.EndChunk();
    out.ShortChunk(typecode::kObjectRecordEnd, 0);
    out.EndChunk();
}

}  // namespace tlmio
