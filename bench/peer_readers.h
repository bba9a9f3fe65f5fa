// The peers our STL reader is measured against, each set up the way its documentation gives for
// welding an STL's corners. Handles own what the peer allocated.
#pragma once

#include <admesh/stl.h>
#include <assimp/scene.h>

#include <memory>
#include <string>

#include "on/ON_Mesh.h"

enum class AssimpWelding {
    JoinIdentical,           // corners carry their facet's normal, so only coplanar facets share them
    NoNormalsJoin,           // normals removed first: corners weld by position
    NoNormalsJoinSmooth,     // as above, then vertex normals generated (30 degree limit)
};

struct AssimpSceneReleaser {
    void operator()(const aiScene* scene) const;
};
using AssimpScene = std::unique_ptr<const aiScene, AssimpSceneReleaser>;

// Null on failure, with `error` set.
AssimpScene ImportWithAssimp(const char* path, AssimpWelding welding, std::string& error);
long long AssimpVertexCount(const aiScene& scene);
long long AssimpFaceCount(const aiScene& scene);
// Triangles, positions and (when present) normals of every mesh of `scene`.
ON_ClassArray<ON_Mesh> AssimpMeshes(const aiScene& scene);

// stl_open + stl_check_facets_exact + stl_generate_shared_vertices.
class AdmeshRead {
public:
    AdmeshRead(const char* path);
    ~AdmeshRead();
    AdmeshRead(const AdmeshRead&) = delete;
    AdmeshRead& operator=(const AdmeshRead&) = delete;

    bool Failed() const { return m_failed; }
    long long VertexCount() const { return m_stl.stats.shared_vertices; }
    long long FaceCount() const { return m_stl.stats.number_of_facets; }

private:
    stl_file m_stl{};
    bool m_failed = true;
};
