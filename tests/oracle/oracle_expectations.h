// What a test expects the oracle (check3dm.js) to read back from a 3DM file: the sidecar
// FILE.3dm.json beside it, with counts, sampled vertices, faces and normals and the box of
// every mesh. Portable: also built for Windows, where tests under Wine write sidecars.
#pragma once

#include <ctime>
#include <string>

#include "on/ON_Mesh.h"

std::string MeshExpectation(const ON_Mesh& mesh);

// Writes `path3dm` + ".json" for meshes written at `version` at time `writtenAt`.
bool WriteOracleSidecar(const std::string& path3dm, const ON_ClassArray<ON_Mesh>& meshes, int version,
                        std::time_t writtenAt);
