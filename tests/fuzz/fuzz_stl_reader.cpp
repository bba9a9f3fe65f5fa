// Any bytes through the STL reader: it must not crash, must explain every refusal, must leave
// the mesh list alone when it refuses, and every mesh it returns must be valid.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "on/ON_Mesh.h"
#include "tlmio/stl_reader.h"

namespace {

[[noreturn]] void Fail(const char* what, const char* detail)
{
    std::fprintf(stderr, "fuzz_stl_reader: %s: %s\n", what, detail);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The three ways of grouping corners: flat, creased at the default angle, smooth.
    static const double kCreaseAngles[] = {0.0, 30.0, 180.0};
    tlmio::StlReadOptions options;
    options.creaseAngleDegrees = kCreaseAngles[size % 3];

    ON_ClassArray<ON_Mesh> meshes;
    CString error;
    if (!tlmio::ReadStlBytes(data, size, "fuzz.stl", meshes, options, error)) {
        if (error.IsEmpty())
            Fail("refused without a reason", "");
        if (meshes.Count() != 0)
            Fail("refused but changed the mesh list", error);
        return 0;
    }
    for (int i = 0; i < meshes.Count(); ++i) {
        CString reason;
        if (!meshes[i].IsValid(&reason))
            Fail("invalid mesh", reason);
        if (!meshes[i].HasVertexNormals() || !meshes[i].HasFaceNormals())
            Fail("mesh without normals", "");
    }
    return 0;
}
