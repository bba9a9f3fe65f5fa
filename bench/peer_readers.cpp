#include "peer_readers.h"

#include <assimp/cimport.h>
#include <assimp/config.h>
#include <assimp/postprocess.h>

#include <vector>

void AssimpSceneReleaser::operator()(const aiScene* scene) const
{
    aiReleaseImport(scene);
}

AssimpScene ImportWithAssimp(const char* path, AssimpWelding welding, std::string& error)
{
    const aiScene* scene = nullptr;
    if (welding == AssimpWelding::JoinIdentical) {
        scene = aiImportFile(path, aiProcess_JoinIdenticalVertices);
    } else {
        std::unique_ptr<aiPropertyStore, void (*)(aiPropertyStore*)> store(aiCreatePropertyStore(),
                                                                           aiReleasePropertyStore);
        aiSetImportPropertyInteger(store.get(), AI_CONFIG_PP_RVC_FLAGS, aiComponent_NORMALS);
        unsigned int flags = aiProcess_RemoveComponent | aiProcess_JoinIdenticalVertices;
        if (welding == AssimpWelding::NoNormalsJoinSmooth) {
            aiSetImportPropertyFloat(store.get(), AI_CONFIG_PP_GSN_MAX_SMOOTHING_ANGLE, 30.0f);
            flags |= aiProcess_GenSmoothNormals;
        }
        scene = aiImportFileExWithProperties(path, flags, nullptr, store.get());
    }
    if (!scene)
        error = aiGetErrorString();
    return AssimpScene(scene);
}

long long AssimpVertexCount(const aiScene& scene)
{
    long long n = 0;
    for (unsigned int i = 0; i < scene.mNumMeshes; ++i)
        n += scene.mMeshes[i]->mNumVertices;
    return n;
}

long long AssimpFaceCount(const aiScene& scene)
{
    long long n = 0;
    for (unsigned int i = 0; i < scene.mNumMeshes; ++i)
        n += scene.mMeshes[i]->mNumFaces;
    return n;
}

ON_ClassArray<ON_Mesh> AssimpMeshes(const aiScene& scene)
{
    ON_ClassArray<ON_Mesh> meshes;
    for (unsigned int i = 0; i < scene.mNumMeshes; ++i) {
        const aiMesh& in = *scene.mMeshes[i];
        ON_Mesh& out = meshes.AppendNew();
        out.m_V.Reserve(in.mNumVertices);
        for (unsigned int v = 0; v < in.mNumVertices; ++v)
            out.m_V.Append(ON_3fPoint(in.mVertices[v].x, in.mVertices[v].y, in.mVertices[v].z));
        if (in.mNormals) {
            out.m_N.Reserve(in.mNumVertices);
            for (unsigned int v = 0; v < in.mNumVertices; ++v)
                out.m_N.Append(ON_3fVector(in.mNormals[v].x, in.mNormals[v].y, in.mNormals[v].z));
        }
        out.m_F.Reserve(in.mNumFaces);
        for (unsigned int f = 0; f < in.mNumFaces; ++f) {
            const aiFace& face = in.mFaces[f];
            if (face.mNumIndices != 3)
                continue;
            int a = int(face.mIndices[0]), b = int(face.mIndices[1]), c = int(face.mIndices[2]);
            out.m_F.Append(ON_MeshFace{{a, b, c, c}});
        }
    }
    return meshes;
}

AdmeshRead::AdmeshRead(const char* path)
{
    std::vector<char> mutablePath(path, path + std::char_traits<char>::length(path) + 1);
    stl_open(&m_stl, mutablePath.data());
    if (stl_get_error(&m_stl))
        return;
    stl_check_facets_exact(&m_stl);
    stl_generate_shared_vertices(&m_stl);
    m_failed = stl_get_error(&m_stl) != 0;
}

AdmeshRead::~AdmeshRead()
{
    stl_close(&m_stl);
}
