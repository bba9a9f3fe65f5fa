#include "tlmio/atomic_file.h"

#include <cerrno>

#include "tlmio/3dm_uuid.h"
#include "tlmio/os_files.h"

namespace tlmio {

namespace {

constexpr std::size_t kLargestWrite = std::size_t(64) << 20;
constexpr int kTempNameAttempts = 16;

// Short, so that it fits wherever the target's own name fits.
std::string TempFileName()
{
    const Uuid id = NewRandomUuid();
    char name[32];
    std::snprintf(name, sizeof name, ".tlmio-%02x%02x%02x%02x%02x%02x.tmp", id.bytes[0], id.bytes[1], id.bytes[2],
                  id.bytes[3], id.bytes[4], id.bytes[5]);
    return name;
}

CString WriteErrorText(int errorNumber)
{
    return errorNumber ? SystemErrorText(errorNumber) : CString("the system reported a write error");
}

}  // namespace

bool AtomicFile::Fail(CString& error, const char* reason)
{
    error.Format("Unable to write \"%s\": %s", m_path.c_str(), reason);
    Discard();
    return false;
}

bool AtomicFile::Open(const char* path, CString& error)
{
    Discard();
    m_path = path;
    m_position = 0;
    if (m_path.empty())
        return Fail(error, "no file name was given");

    int errorNumber = 0;
    const PathKind kind = QueryPathKind(path, errorNumber);
    if (kind == PathKind::Folder)
        return Fail(error, "the path names a folder, not a file");
    if (kind == PathKind::Other) {
        m_direct = true;
        m_file = std::fopen(path, "wb");
        if (!m_file)
            return Fail(error, SystemErrorText(errno));
        return true;
    }

    const std::string folder = FolderOfPath(m_path);
    const std::string shownFolder = folder.empty() ? "." : folder;
    CString reason;
    switch (QueryPathKind(shownFolder.c_str(), errorNumber)) {
    case PathKind::Folder:
        break;
    case PathKind::Missing:
        reason.Format("the folder \"%s\" does not exist", shownFolder.c_str());
        return Fail(error, reason);
    case PathKind::Unknown:
        reason.Format("the folder \"%s\" cannot be used (%s)", shownFolder.c_str(),
                      SystemErrorText(errorNumber).GetString());
        return Fail(error, reason);
    default:
        reason.Format("\"%s\" is not a folder", shownFolder.c_str());
        return Fail(error, reason);
    }

    for (int attempt = 0; attempt < kTempNameAttempts && !m_file; ++attempt) {
        m_tempPath = JoinPath(folder, TempFileName());
        m_file = CreateNewFile(m_tempPath.c_str(), kind == PathKind::RegularFile ? path : nullptr, errorNumber);
        if (!m_file && errorNumber != EEXIST)
            break;
    }
    if (!m_file) {
        m_tempPath.clear();
        reason.Format("cannot create a file in the folder \"%s\" (%s)", shownFolder.c_str(),
                      SystemErrorText(errorNumber).GetString());
        return Fail(error, reason);
    }
    return true;
}

bool AtomicFile::WriteAll(const void* data, std::size_t size, CString& error)
{
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const std::size_t piece = size < kLargestWrite ? size : kLargestWrite;
        errno = 0;
        if (std::fwrite(bytes, 1, piece, m_file) != piece)
            return Fail(error, WriteErrorText(errno));
        bytes += piece;
        size -= piece;
    }
    return true;
}

bool AtomicFile::Write(const void* data, std::size_t size, CString& error)
{
    if (!m_file)
        return Fail(error, "the file is not open");
    if (!WriteAll(data, size, error))
        return false;
    m_position += size;
    return true;
}

bool AtomicFile::Overwrite(uint64_t offset, const void* data, std::size_t size, CString& error)
{
    if (!m_file)
        return Fail(error, "the file is not open");
    errno = 0;
    if (!SeekFile(m_file, offset))
        return Fail(error, WriteErrorText(errno));
    if (!WriteAll(data, size, error))
        return false;
    errno = 0;
    if (!SeekFile(m_file, m_position))
        return Fail(error, WriteErrorText(errno));
    return true;
}

bool AtomicFile::Commit(CString& error)
{
    if (!m_file)
        return Fail(error, "the file is not open");
    errno = 0;
    if (std::fflush(m_file) != 0)
        return Fail(error, WriteErrorText(errno));
    CString reason;
    // Devices have nothing to sync (and refuse it); a file must be on the disk before the rename.
    if (!m_direct && !FlushToDisk(m_file, reason))
        return Fail(error, reason);
    std::FILE* file = m_file;
    m_file = nullptr;
    errno = 0;
    if (std::fclose(file) != 0)
        return Fail(error, WriteErrorText(errno));
    if (!m_direct) {
        if (!RenameOver(m_tempPath.c_str(), m_path.c_str(), reason)) {
            CString text;
            text.Format("cannot move the written file into place (%s)", reason.GetString());
            return Fail(error, text);
        }
        m_tempPath.clear();
    }
    m_direct = false;
    return true;
}

void AtomicFile::Discard()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_tempPath.empty()) {
        std::remove(m_tempPath.c_str());
        m_tempPath.clear();
    }
    m_direct = false;
}

}  // namespace tlmio
