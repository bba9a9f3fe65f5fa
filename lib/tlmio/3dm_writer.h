// 3DM archive writer for polygon meshes.
#pragma once

#include <cstdint>

#include "afx/CString.h"
#include "on/ON_Mesh.h"

namespace tlmio {

// Writes `meshes` as a 3DM archive of `version` (2, 3, 4, 50, 60, 70, 80) at `path`, through a
// temporary file in the same folder that is renamed into place. `options` is reserved (0).
// On failure returns false, sets `error` and leaves `path` as it was.
bool Write3dmFile(const ON_ClassArray<ON_Mesh>& meshes, const char* path, int options, int version, CString& error);

namespace detail {

// Settings that Write3dmFile fixes, open for measurements and for tests of limits that real
// data would take gigabytes to reach.
struct WriterTuning {
    // Float coordinates and normals barely compress beyond level 1 (files ~1% larger than at
    // level 9 on 1M-triangle meshes), while levels 6 and 9 take two to five times as long.
    int zlibLevel = 1;
    uint64_t maxFileSize = 0;  // 0: the archive version's own limit
};

bool Write3dmFileTuned(const ON_ClassArray<ON_Mesh>& meshes, const char* path, int options, int version,
                       const WriterTuning& tuning, CString& error);

}  // namespace detail

}  // namespace tlmio
