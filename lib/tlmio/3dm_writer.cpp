#include "tlmio/3dm_writer.h"

namespace tlmio {

bool Write3dmFile(const ON_ClassArray<ON_Mesh>&, const char* path, int, int, CString& error)
{
    error.Format("Unable to write \"%s\": not implemented", path);
    return false;
}

}  // namespace tlmio
