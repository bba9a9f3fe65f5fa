#include "host/TLMIO.h"

#include <exception>
#include <new>

#include "tlmio/stl_reader.h"

namespace {
CString g_stlError;
}

int TLMSTL::STLToMesh(CString path, ON_ClassArray<ON_Mesh>& meshes)
{
    return STLToMesh(path, meshes, kDefaultCreaseAngleDegrees);
}

int TLMSTL::STLToMesh(CString path, ON_ClassArray<ON_Mesh>& meshes, double creaseAngleDegrees)
{
    try {
        tlmio::StlReadOptions options;
        options.creaseAngleDegrees = creaseAngleDegrees;
        CString error;
        if (tlmio::ReadStlFile(path, meshes, options, error))
            return 1;
        g_stlError = error;
    } catch (const std::bad_alloc&) {
        g_stlError.Format("Not enough memory to read the STL file \"%s\"", path.GetString());
    } catch (const std::exception& e) {
        g_stlError.Format("Unable to read the STL file \"%s\": %s", path.GetString(), e.what());
    }
    return 0;
}

CString TLMSTL::GetError()
{
    return g_stlError;
}
