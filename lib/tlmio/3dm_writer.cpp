#include "tlmio/3dm_writer.h"

#include <cstdlib>

#include "tlmio/3dm_archive_format.h"
#include "tlmio/3dm_chunk_buffer.h"
#include "tlmio/3dm_mesh_record.h"
#include "tlmio/3dm_model_sections.h"
#include "tlmio/atomic_file.h"
#include "tlmio/os_files.h"

namespace tlmio {

namespace {

const char* UserName()
{
    for (const char* variable : {"USER", "USERNAME"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return value;
    }
    return "Pelorin";
}

bool Fail(CString& error, const char* path, const CString& reason)
{
    error.Format("Unable to write \"%s\": %s", path, reason.GetString());
    return false;
}

CString TooLargeText(const ArchiveFormat& format)
{
    CString text;
    text.Format("the file would be larger than 4 GiB, the limit of a version %d 3DM file; use version 50 or later",
                format.version);
    return text;
}

// Everything that can be refused before the file is touched.
bool CheckRequest(const ON_ClassArray<ON_Mesh>& meshes, const char* path, int options, const ArchiveFormat& format,
                  uint64_t maxFileSize, CString& error)
{
    CString reason;
    if (options != 0) {
        reason.Format("the options argument is reserved and must be 0, not %d", options);
        return Fail(error, path, reason);
    }
    if (meshes.Count() == 0)
        return Fail(error, path, "there are no meshes to write");
    uint64_t leastSize = 0;
    for (int i = 0; i < meshes.Count(); ++i) {
        CString why;
        if (!IsWritableMesh(meshes[i], why)) {
            reason.Format("mesh %d cannot be written: %s", i, why.GetString());
            return Fail(error, path, reason);
        }
        leastSize += MinimumMeshRecordSize(meshes[i]);
    }
    if (leastSize > maxFileSize)
        return Fail(error, path, TooLargeText(format));
    return true;
}

}  // namespace

bool Write3dmFile(const ON_ClassArray<ON_Mesh>& meshes, const char* path, int options, int version, CString& error)
{
    return detail::Write3dmFileTuned(meshes, path, options, version, detail::WriterTuning(), error);
}

namespace detail {

bool Write3dmFileTuned(const ON_ClassArray<ON_Mesh>& meshes, const char* path, int options, int version,
                       const WriterTuning& tuning, CString& error)
{
    if (!path)
        path = "";
    ArchiveFormat format;
    if (!FindArchiveFormat(version, format)) {
        CString reason;
        reason.Format("3DM archive version %d is not supported (supported: %s)", version,
                      SupportedArchiveVersionsText());
        return Fail(error, path, reason);
    }
    const uint64_t maxFileSize = tuning.maxFileSize ? tuning.maxFileSize : format.maxFileSize;
    if (!CheckRequest(meshes, path, options, format, maxFileSize, error))
        return false;

    ModelHead head;
    head.userName = UserName();
    if (!CurrentUtcTime(head.savedAt))
        return Fail(error, path, "the system clock cannot be read");
    head.layerId = NewRandomUuid();

    ChunkBuffer buffer(format.eightByteValues);
    AppendModelHead(buffer, format, head);
    // The object table is written record by record: its length is filled in at the end.
    const std::size_t objectTableOffset = buffer.Size();
    buffer.U32(typecode::kObjectTable);
    buffer.ChunkValue(0);

    ChunkBuffer tail(format.eightByteValues);
    tail.ShortChunk(typecode::kEndOfTable, 0);
    const std::size_t objectTableEnd = tail.Size();
    AppendModelTail(tail, format);
    const uint64_t tailSize = tail.Size() + uint64_t(format.EndMarkSize());

    AtomicFile file;
    if (!file.Open(path, error) || !file.Write(buffer.Data(), buffer.Size(), error))
        return false;
    for (int i = 0; i < meshes.Count(); ++i) {
        BuildMeshRecord(buffer, meshes[i], format, NewRandomUuid(), kMeshLayerIndex, tuning.zlibLevel);
        if (file.Position() + buffer.Size() + tailSize > maxFileSize)
            return Fail(error, path, TooLargeText(format));  // `file` removes what was written
        if (!file.Write(buffer.Data(), buffer.Size(), error))
            return false;
    }
    const uint64_t objectTableLength =
        file.Position() + objectTableEnd - (objectTableOffset + uint64_t(format.ChunkHeaderSize()));
    buffer.Clear();
    AppendEndMark(tail, format, file.Position() + tail.Size());
    buffer.ChunkValue(static_cast<int64_t>(objectTableLength));
    return file.Write(tail.Data(), tail.Size(), error) &&
           file.Overwrite(objectTableOffset + 4, buffer.Data(), buffer.Size(), error) && file.Commit(error);
}

}  // namespace detail

}  // namespace tlmio
