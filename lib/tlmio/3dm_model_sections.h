// The parts of a 3DM archive around its objects: start section, properties, settings, the
// tables (one layer, the others empty) and the end mark.
#pragma once

#include <cstdint>
#include <ctime>

#include "tlmio/3dm_archive_format.h"
#include "tlmio/3dm_chunk_buffer.h"
#include "tlmio/3dm_uuid.h"

namespace tlmio {

constexpr int kMeshLayerIndex = 0;  // the single layer, "Default", holds every mesh

struct ModelHead {
    const char* userName;  // creator in the revision history
    std::tm savedAt;       // UTC
    Uuid layerId;
};

// From the start of the file up to (not including) the object table.
void AppendModelHead(ChunkBuffer& out, const ArchiveFormat& format, const ModelHead& head);

// The tables that follow the object table.
void AppendModelTail(ChunkBuffer& out, const ArchiveFormat& format);

// The end mark, which records the length of the whole file; `offset` is where it starts.
void AppendEndMark(ChunkBuffer& out, const ArchiveFormat& format, uint64_t offset);

}  // namespace tlmio
