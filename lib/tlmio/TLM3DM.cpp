#include "host/TLMIO.h"

#include <exception>
#include <new>

#include "tlmio/3dm_writer.h"

namespace {
CString g_3dmError;
}

int TLM3DM::MeshTo3DM(const ON_ClassArray<ON_Mesh>& meshes, CString path, int options, int version)
{
    try {
        CString error;
        if (tlmio::Write3dmFile(meshes, path, options, version, error))
            return 1;
        g_3dmError = error;
    } catch (const std::bad_alloc&) {
        g_3dmError.Format("Not enough memory to write the 3DM file \"%s\"", path.GetString());
    } catch (const std::exception& e) {
        g_3dmError.Format("Unable to write the 3DM file \"%s\": %s", path.GetString(), e.what());
    }
    return 0;
}

CString TLM3DM::GetError()
{
    return g_3dmError;
}
