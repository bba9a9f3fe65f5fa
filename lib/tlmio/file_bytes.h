// The whole content of a file in memory: mapped when the system allows it, read otherwise.
#pragma once

#include <cstddef>

#include "afx/CString.h"

namespace tlmio {

enum class FileBytesFailure {
    kNone,
    kCannotOpen,  // missing, no permission, ...: SystemReason() says which
    kIsFolder,
    kCannotRead,
    kTooLarge,    // more bytes than this process can address
};

class FileBytes {
public:
    FileBytes() = default;
    ~FileBytes() { Release(); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    // Replaces any earlier content with the file at `path` (8-bit text, the system's code page).
    // On failure the object is empty and SystemReason() holds the system's own text, if any.
    FileBytesFailure Open(const char* path);

    const unsigned char* Data() const noexcept { return m_data; }
    std::size_t Size() const noexcept { return m_size; }
    const CString& SystemReason() const noexcept { return m_reason; }

    // Gives the memory back early; Data() is null afterwards.
    void Release() noexcept;

private:
    FileBytesFailure Fail(FileBytesFailure failure, int systemError);

    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;  // a mapping to unmap, else a malloc'd block (or nothing)
    CString m_reason;
};

}  // namespace tlmio
