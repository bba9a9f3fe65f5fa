#include "tlmio/file_bytes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tlmio {

namespace {

constexpr std::uint64_t kMaxAddressable = std::numeric_limits<std::size_t>::max();

// A growing malloc'd block for content that cannot be mapped.
class ReadBuffer {
public:
    ~ReadBuffer() { std::free(m_block); }
    // Room for at least `extra` more bytes; false when memory runs out.
    bool MakeRoom(std::size_t extra)
    {
        if (m_capacity - m_size >= extra)
            return true;
        if (extra > std::numeric_limits<std::size_t>::max() - m_size)
            return false;
        std::size_t wanted = m_size + extra;
        std::size_t grown = m_capacity > std::numeric_limits<std::size_t>::max() / 2 ? wanted : m_capacity * 2;
        std::size_t capacity = grown > wanted ? grown : wanted;
        void* block = std::realloc(m_block, capacity);
        if (!block)
            return false;
        m_block = static_cast<unsigned char*>(block);
        m_capacity = capacity;
        return true;
    }
    unsigned char* End() { return m_block + m_size; }
    std::size_t Room() const { return m_capacity - m_size; }
    void Grew(std::size_t count) { m_size += count; }
    std::size_t Size() const { return m_size; }
    unsigned char* Detach()
    {
        unsigned char* block = m_block;
        m_block = nullptr;
        return block;
    }

private:
    unsigned char* m_block = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

constexpr std::size_t kReadChunk = std::size_t(1) << 20;

#ifdef _WIN32

CString SystemText(DWORD code)
{
    char text[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                  text, sizeof text, nullptr);
    // The system's texts end with a full stop and a line break; ours add their own.
    while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == ' ' ||
                          text[length - 1] == '.'))
        text[--length] = 0;
    CString result;
    if (length == 0)
        result.Format("system error %lu", static_cast<unsigned long>(code));
    else
        result = text;
    return result;
}

class HandleOwner {
public:
    explicit HandleOwner(HANDLE handle) : m_handle(handle) {}
    ~HandleOwner()
    {
        if (m_handle && m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

#else

CString SystemText(int code)
{
    return CString(std::strerror(code));
}

class DescriptorOwner {
public:
    explicit DescriptorOwner(int fd) : m_fd(fd) {}
    ~DescriptorOwner()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DescriptorOwner(const DescriptorOwner&) = delete;
    DescriptorOwner& operator=(const DescriptorOwner&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

#endif

}  // namespace

FileBytesFailure FileBytes::Fail(FileBytesFailure failure, int systemError)
{
    Release();
#ifdef _WIN32
    m_reason = systemError ? SystemText(static_cast<DWORD>(systemError)) : CString();
#else
    m_reason = systemError ? SystemText(systemError) : CString();
#endif
    return failure;
}

#ifdef _WIN32

FileBytesFailure FileBytes::Open(const char* path)
{
    Release();
    m_reason.Empty();
    HandleOwner file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        // Opening a folder fails with "access denied", which would send the user the wrong way.
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Fail(FileBytesFailure::kIsFolder, 0);
        return Fail(FileBytesFailure::kCannotOpen, static_cast<int>(code));
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return Fail(FileBytesFailure::kCannotRead, static_cast<int>(GetLastError()));
    if (static_cast<std::uint64_t>(size.QuadPart) > kMaxAddressable)
        return Fail(FileBytesFailure::kTooLarge, 0);
    const std::size_t byteCount = static_cast<std::size_t>(size.QuadPart);
    if (byteCount == 0)
        return FileBytesFailure::kNone;

    {
        HandleOwner mapping(CreateFileMappingA(file.Get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
        if (mapping.Get()) {
            // The view keeps the mapping alive after its handle is closed.
            void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, 0);
            if (view) {
                m_data = static_cast<const unsigned char*>(view);
                m_size = byteCount;
                m_mapped = true;
                return FileBytesFailure::kNone;
            }
        }
    }

    ReadBuffer buffer;
    if (!buffer.MakeRoom(byteCount))
        return Fail(FileBytesFailure::kCannotRead, ERROR_NOT_ENOUGH_MEMORY);
    while (buffer.Size() < byteCount) {
        std::size_t wanted = byteCount - buffer.Size();
        DWORD chunk = static_cast<DWORD>(wanted < kReadChunk ? wanted : kReadChunk);
        DWORD got = 0;
        if (!ReadFile(file.Get(), buffer.End(), chunk, &got, nullptr))
            return Fail(FileBytesFailure::kCannotRead, static_cast<int>(GetLastError()));
        if (got == 0)
            break;  // the file shrank while being read: keep what is there
        buffer.Grew(got);
    }
    m_size = buffer.Size();
    m_data = buffer.Detach();
    return FileBytesFailure::kNone;
}

void FileBytes::Release() noexcept
{
    if (m_mapped)
        UnmapViewOfFile(m_data);
    else
        std::free(const_cast<unsigned char*>(m_data));
    m_data = nullptr;
    m_size = 0;
    m_mapped = false;
}

#else

FileBytesFailure FileBytes::Open(const char* path)
{
    Release();
    m_reason.Empty();
    DescriptorOwner file(::open(path, O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return Fail(FileBytesFailure::kCannotOpen, errno);
    struct stat info;
    if (::fstat(file.Get(), &info) != 0)
        return Fail(FileBytesFailure::kCannotRead, errno);
    if (S_ISDIR(info.st_mode))
        return Fail(FileBytesFailure::kIsFolder, 0);

    std::size_t sizeHint = kReadChunk;
    if (S_ISREG(info.st_mode)) {
        if (static_cast<std::uint64_t>(info.st_size) > kMaxAddressable)
            return Fail(FileBytesFailure::kTooLarge, 0);
        const std::size_t byteCount = static_cast<std::size_t>(info.st_size);
        if (byteCount == 0)
            return FileBytesFailure::kNone;
        // Both formats read every byte once, front to back: map it all in one go.
#ifdef MAP_POPULATE
        const int flags = MAP_PRIVATE | MAP_POPULATE;
#else
        const int flags = MAP_PRIVATE;
#endif
        void* view = ::mmap(nullptr, byteCount, PROT_READ, flags, file.Get(), 0);
        if (view != MAP_FAILED) {
            ::madvise(view, byteCount, MADV_SEQUENTIAL);
            m_data = static_cast<const unsigned char*>(view);
            m_size = byteCount;
            m_mapped = true;
            return FileBytesFailure::kNone;
        }
        sizeHint = byteCount;
    }

    // Pipes, devices and files that cannot be mapped: read until the end.
    ReadBuffer buffer;
    if (!buffer.MakeRoom(sizeHint))
        return Fail(FileBytesFailure::kCannotRead, ENOMEM);
    for (;;) {
        if (buffer.Room() == 0 && !buffer.MakeRoom(kReadChunk))
            return Fail(FileBytesFailure::kCannotRead, ENOMEM);
        ssize_t got = ::read(file.Get(), buffer.End(), buffer.Room());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return Fail(FileBytesFailure::kCannotRead, errno);
        }
        if (got == 0)
            break;
        buffer.Grew(static_cast<std::size_t>(got));
    }
    m_size = buffer.Size();
    m_data = buffer.Detach();
    return FileBytesFailure::kNone;
}

void FileBytes::Release() noexcept
{
    if (m_mapped)
        ::munmap(const_cast<unsigned char*>(m_data), m_size);
    else
        std::free(const_cast<unsigned char*>(m_data));
    m_data = nullptr;
    m_size = 0;
    m_mapped = false;
}

#endif

}  // namespace tlmio
