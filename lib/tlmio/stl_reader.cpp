#include "tlmio/stl_reader.h"

namespace tlmio {

bool ReadStlBytes(const unsigned char*, std::size_t, const char* name, ON_ClassArray<ON_Mesh>&, const StlReadOptions&,
                  CString& error)
{
    error.Format("Unable to read \"%s\": not implemented", name);
    return false;
}

bool ReadStlFile(const char* path, ON_ClassArray<ON_Mesh>& meshes, const StlReadOptions& options, CString& error)
{
    return ReadStlBytes(nullptr, 0, path, meshes, options, error);
}

}  // namespace tlmio
