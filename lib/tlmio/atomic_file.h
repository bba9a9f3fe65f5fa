// An output file that appears at its path only once it is complete: the data goes to a new
// temporary file in the target's folder, which Commit flushes to the disk and renames over the
// target. Until then an existing file at the path stays as it was, and an output that is not
// committed removes its temporary file. A path naming a device (not a regular file or folder)
// is written directly, as there is nothing to replace there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "afx/CString.h"

namespace tlmio {

class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile() { Discard(); }
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Every failure sets `error` to a sentence naming the target path and the reason.
    bool Open(const char* path, CString& error);
    bool Write(const void* data, std::size_t size, CString& error);
    // Replaces bytes already written (a length known only later), then continues at the end.
    bool Overwrite(uint64_t offset, const void* data, std::size_t size, CString& error);
    bool Commit(CString& error);
    void Discard();

    uint64_t Position() const { return m_position; }

private:
    bool Fail(CString& error, const char* reason);
    bool WriteAll(const void* data, std::size_t size, CString& error);

    std::string m_path;
    std::string m_tempPath;
    std::FILE* m_file = nullptr;
    uint64_t m_position = 0;
    bool m_direct = false;
};

}  // namespace tlmio
