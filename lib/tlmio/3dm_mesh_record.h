// One mesh as an object record of the archive's object table: the mesh class payload and the
// object's attributes (layer, id).
#pragma once

#include <cstdint>

#include "afx/CString.h"
#include "on/ON_Mesh.h"
#include "tlmio/3dm_archive_format.h"
#include "tlmio/3dm_chunk_buffer.h"
#include "tlmio/3dm_uuid.h"

namespace tlmio {

// False when the mesh cannot be stored faithfully; `reason` says why.
bool IsWritableMesh(const ON_Mesh& mesh, CString& reason);

// Bytes the record takes at least, from its uncompressed parts; for size checks before writing.
uint64_t MinimumMeshRecordSize(const ON_Mesh& mesh);

// Replaces the contents of `out` with the record of `mesh` (which must be writable), placed on
// layer `layerIndex`.
void BuildMeshRecord(ChunkBuffer& out, const ON_Mesh& mesh, const ArchiveFormat& format, const Uuid& objectId,
                     int layerIndex, int zlibLevel);

}  // namespace tlmio
