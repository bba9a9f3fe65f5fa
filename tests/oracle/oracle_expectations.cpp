#include "tests/oracle/oracle_expectations.h"

#include <cstdio>
#include <vector>

namespace {

std::string Number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string Triple(float a, float b, float c)
{
    return "[" + Number(a) + "," + Number(b) + "," + Number(c) + "]";
}

std::vector<int> Samples(int count)
{
    std::vector<int> picks;
    for (int index : {0, 1, count / 2, count - 1})
        if (index >= 0 && index < count && (picks.empty() || picks.back() != index))
            picks.push_back(index);
    return picks;
}

}  // namespace

std::string MeshExpectation(const ON_Mesh& mesh)
{
    std::string json = "{\"name\":\"\",\"vcount\":" + std::to_string(mesh.VertexCount()) +
                       ",\"fcount\":" + std::to_string(mesh.FaceCount()) + ",\"quads\":" +
                       std::to_string(mesh.QuadCount()) + ",\"ncount\":" + std::to_string(mesh.m_N.Count());
    std::string vertices, normals, faces;
    for (int i : Samples(mesh.VertexCount())) {
        const ON_3fPoint& p = mesh.m_V[i];
        vertices += (vertices.empty() ? "" : ",") + ("\"" + std::to_string(i) + "\":") + Triple(p.x, p.y, p.z);
        if (mesh.HasVertexNormals()) {
            const ON_3fVector& n = mesh.m_N[i];
            normals += (normals.empty() ? "" : ",") + ("\"" + std::to_string(i) + "\":") + Triple(n.x, n.y, n.z);
        }
    }
    for (int i : Samples(mesh.FaceCount())) {
        const ON_MeshFace& f = mesh.m_F[i];
        faces += (faces.empty() ? "" : ",") + ("\"" + std::to_string(i) + "\":[") + std::to_string(f.vi[0]) + "," +
                 std::to_string(f.vi[1]) + "," + std::to_string(f.vi[2]) + "," + std::to_string(f.vi[3]) + "]";
    }
    const ON_BoundingBox box = mesh.BoundingBox();
    json += ",\"vertices\":{" + vertices + "},\"faces\":{" + faces + "},\"normals\":{" + normals + "}";
    json += ",\"bbox\":{\"min\":" + Triple(float(box.m_min.x), float(box.m_min.y), float(box.m_min.z)) +
            ",\"max\":" + Triple(float(box.m_max.x), float(box.m_max.y), float(box.m_max.z)) + "}}";
    return json;
}

bool WriteOracleSidecar(const std::string& path3dm, const ON_ClassArray<ON_Mesh>& meshes, int version,
                        std::time_t writtenAt)
{
    std::string json = "{\"version\":" + std::to_string(version) +
                       ",\"unit\":\"Millimeters\",\"layer\":\"Default\",\"application\":\"Pelorin for Solid Edge\"" +
                       ",\"createdUnix\":" + std::to_string(static_cast<long long>(writtenAt)) + ",\"objects\":[";
    for (int i = 0; i < meshes.Count(); ++i)
        json += (i ? "," : "") + MeshExpectation(meshes[i]);
    json += "]}\n";
    std::FILE* sidecar = std::fopen((path3dm + ".json").c_str(), "wb");
    bool ok = sidecar && std::fwrite(json.data(), 1, json.size(), sidecar) == json.size();
    if (sidecar && std::fclose(sidecar) != 0)
        ok = false;
    return ok;
}
