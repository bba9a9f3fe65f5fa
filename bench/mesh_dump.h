// Raw mesh dump: hands meshes unchanged from the C++ side of the benchmark to the rhino3dm side.
//   "PLMD", u32 mesh count; per mesh u32 vertex count V, face count F, normal count N (0 or V),
//   u32 0; then V x 3 f32 positions, F x 4 u32 corners (a triangle repeats its third), N x 3 f32.
// Native byte order (the benchmark runs on little-endian hosts only).
#pragma once

#include <string>

#include "on/ON_Mesh.h"

bool WriteMeshDump(const ON_ClassArray<ON_Mesh>& meshes, const char* path, std::string& error);
bool ReadMeshDump(const char* path, ON_ClassArray<ON_Mesh>& meshes, std::string& error);
