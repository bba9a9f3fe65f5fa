// The mesh-file library TLMIO ("TLMIO.dll" on Windows): STL files to meshes, meshes to 3DM files.
// Nothing throws across this interface: every operation returns 0 on failure and leaves the
// reason in its class's GetError().
#pragma once

#include "afx/CString.h"
#include "on/ON_Mesh.h"

#if defined(_WIN32) && defined(TLMIO_DLL)
#if defined(TLMIO_BUILDING)
#define TLMIO_API __declspec(dllexport)
#else
#define TLMIO_API __declspec(dllimport)
#endif
#else
#define TLMIO_API
#endif

class TLMIO_API TLMSTL {
public:
    static constexpr double kDefaultCreaseAngleDegrees = 30.0;

    // Appends the file's meshes to `meshes` (one per solid; faces sharing exact corner positions
    // are welded, vertex normals are split at edges sharper than the crease angle). Returns
    // nonzero on success; on failure `meshes` is left as it was.
    static int STLToMesh(CString path, ON_ClassArray<ON_Mesh>& meshes);
    static int STLToMesh(CString path, ON_ClassArray<ON_Mesh>& meshes, double creaseAngleDegrees);
    // The reason for the last failed read, naming the file and the place.
    static CString GetError();
};

class TLMIO_API TLM3DM {
public:
    // Writes the meshes as a 3DM archive of `version` (2, 3, 4, 50, 60, 70, 80); `options` is
    // reserved and must be 0. Returns nonzero when the file is complete at `path`; on failure
    // nothing is left at `path` but what was there before.
    static int MeshTo3DM(const ON_ClassArray<ON_Mesh>& meshes, CString path, int options, int version);
    static CString GetError();
};
