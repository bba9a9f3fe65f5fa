// Writes 3DM files with the TLMIO writer for the rhino3dm oracle, each with a JSON sidecar
// (<file>.json) holding what OpenNURBS must read back: counts, sampled vertices, faces and
// normals, bounding box, units, layer and application.
//   oracle_fixtures OUTPUT_FOLDER
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "on/ON_Mesh.h"
#include "tlmio/3dm_writer.h"
#include "tests/oracle/oracle_expectations.h"

namespace {

ON_Mesh Tetrahedron()
{
    ON_Mesh mesh;
    mesh.SetVertex(0, ON_3fPoint(0, 0, 0));
    mesh.SetVertex(1, ON_3fPoint(10, 0, 0));
    mesh.SetVertex(2, ON_3fPoint(0, 10, 0));
    mesh.SetVertex(3, ON_3fPoint(0, 0, 10));
    mesh.SetTriangle(0, 0, 2, 1);
    mesh.SetTriangle(1, 0, 1, 3);
    mesh.SetTriangle(2, 0, 3, 2);
    mesh.SetTriangle(3, 1, 2, 3);
    return mesh;
}

// Six quads with their own corners, so that each corner carries its face's normal.
ON_Mesh BoxWithNormals(float x0, float y0, float z0, float size)
{
    ON_Mesh mesh;
    const int axes[6][4] = {{0, 1, 2, -1}, {0, 1, 2, 1}, {1, 2, 0, -1}, {1, 2, 0, 1}, {2, 0, 1, -1}, {2, 0, 1, 1}};
    for (int f = 0; f < 6; ++f) {
        const int u = axes[f][0], v = axes[f][1], w = axes[f][2], side = axes[f][3];
        const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
        for (int c = 0; c < 4; ++c) {
            float p[3] = {0, 0, 0};
            p[u] = float(corners[side > 0 ? c : 3 - c][0]);
            p[v] = float(corners[side > 0 ? c : 3 - c][1]);
            p[w] = side > 0 ? 1.0f : 0.0f;
            float n[3] = {0, 0, 0};
            n[w] = float(side);
            const int index = mesh.VertexCount();
            mesh.SetVertex(index, ON_3fPoint(x0 + size * p[0], y0 + size * p[1], z0 + size * p[2]));
            mesh.SetVertexNormal(index, ON_3fVector(n[0], n[1], n[2]));
        }
        const int first = 4 * f;
        mesh.SetQuad(f, first, first + 1, first + 2, first + 3);
    }
    return mesh;
}

// A wavy sheet of cols x rows cells (quads or two triangles each) with unit normals.
ON_Mesh WavyGrid(int cols, int rows, bool quads, bool normals)
{
    ON_Mesh mesh(cols * rows * (quads ? 1 : 2), (cols + 1) * (rows + 1), normals, false);
    for (int j = 0; j <= rows; ++j)
        for (int i = 0; i <= cols; ++i) {
            const double x = i * 0.5, y = j * 0.5;
            const double z = 3.0 * std::sin(x * 0.21) * std::cos(y * 0.17);
            mesh.SetVertex(mesh.VertexCount(), ON_3fPoint(float(x), float(y), float(z)));
            if (normals) {
                ON_3dVector n(-3.0 * 0.21 * std::cos(x * 0.21) * std::cos(y * 0.17),
                              3.0 * 0.17 * std::sin(x * 0.21) * std::sin(y * 0.17), 1.0);
                n.Unitize();
                mesh.SetVertexNormal(mesh.VertexCount() - 1, ON_3fVector(float(n.x), float(n.y), float(n.z)));
            }
        }
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < cols; ++i) {
            const int a = j * (cols + 1) + i, b = a + 1, c = b + cols + 1, d = a + cols + 1;
            if (quads) {
                mesh.SetQuad(mesh.FaceCount(), a, b, c, d);
            } else {
                mesh.SetTriangle(mesh.FaceCount(), a, b, c);
                mesh.SetTriangle(mesh.FaceCount(), a, c, d);
            }
        }
    return mesh;
}

// Exactly `vertexCount` vertices in a zigzag strip, the last one used by the last face: the
// mesh sits on one side of a face-index width boundary.
ON_Mesh Strip(int vertexCount, bool normals)
{
    ON_Mesh mesh;
    for (int i = 0; i < vertexCount; ++i) {
        mesh.SetVertex(i, ON_3fPoint(float(i / 2) * 0.25f, float(i % 2), float(i % 7) * 0.125f));
        if (normals)
            mesh.SetVertexNormal(i, ON_3fVector(0, 0, i % 2 ? 1.0f : -1.0f));
    }
    for (int i = 0; i + 2 < vertexCount; ++i)
        if (i % 2)
            mesh.SetTriangle(i, i + 1, i, i + 2);
        else
            mesh.SetTriangle(i, i, i + 1, i + 2);
    return mesh;
}

bool WriteFixture(const std::string& folder, const std::string& name, int version,
                  const std::vector<ON_Mesh>& list)
{
    ON_ClassArray<ON_Mesh> meshes;
    for (const ON_Mesh& mesh : list)
        meshes.Append(mesh);
    const std::string path = folder + "/" + name + "_v" + std::to_string(version) + ".3dm";
    const std::time_t writtenAt = std::time(nullptr);
    CString error;
    if (!tlmio::Write3dmFile(meshes, path.c_str(), 0, version, error)) {
        std::fprintf(stderr, "oracle_fixtures: %s\n", error.GetString());
        return false;
    }
    if (!WriteOracleSidecar(path, meshes, version, writtenAt)) {
        std::fprintf(stderr, "oracle_fixtures: cannot write %s.json\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: oracle_fixtures OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);  // no stale files from an earlier run
    std::filesystem::create_directories(folder, ignored);

    const std::vector<ON_Mesh> tetra = {Tetrahedron()};
    // Index widths 1, 1 and 2; stored and compressed arrays; quads, triangles and normals.
    const std::vector<ON_Mesh> mixed = {Tetrahedron(), BoxWithNormals(20, 0, 0, 5), WavyGrid(20, 20, true, true),
                                        WavyGrid(30, 16, false, false)};
    // Both sides of each face-index width boundary.
    const std::vector<ON_Mesh> widths = {Strip(255, false), Strip(256, true), Strip(65535, false),
                                         Strip(65536, true)};
    bool ok = true;
    for (int version : {2, 3, 4, 50, 60, 70, 80}) {
        ok = WriteFixture(folder, "tetra", version, tetra) && ok;
        ok = WriteFixture(folder, "mixed", version, mixed) && ok;
    }
    for (int version : {3, 4, 50, 80})
        ok = WriteFixture(folder, "widths", version, widths) && ok;
    // The benchmark's size: 1M triangles with normals, 4-byte indices, multi-megabyte arrays.
    ok = WriteFixture(folder, "large", 3, {WavyGrid(1000, 500, false, true)}) && ok;
    return ok ? 0 : 1;
}
