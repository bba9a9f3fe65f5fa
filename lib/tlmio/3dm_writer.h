// 3DM archive writer for polygon meshes.
#pragma once

#include "afx/CString.h"
#include "on/ON_Mesh.h"

namespace tlmio {

// Writes `meshes` as a 3DM archive of `version` (2, 3, 4, 50, 60, 70, 80) at `path`, through a
// temporary file in the same folder that is renamed into place. `options` is reserved (0).
// On failure returns false, sets `error` and leaves `path` as it was.
bool Write3dmFile(const ON_ClassArray<ON_Mesh>& meshes, const char* path, int options, int version, CString& error);

}  // namespace tlmio
