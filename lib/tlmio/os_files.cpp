#include "tlmio/os_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace tlmio {

namespace {

#ifdef _WIN32
bool IsSeparator(char c) { return c == '/' || c == '\\'; }
constexpr char kSeparator = '\\';

CString LastErrorText(DWORD code)
{
    char* text = nullptr;
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    CString result;
    if (length && text) {
        result = text;
        while (!result.IsEmpty() && (result.Right(1) == "\n" || result.Right(1) == "\r" || result.Right(1) == "."))
            result = result.Left(result.GetLength() - 1);
    } else {
        result.Format("system error %lu", static_cast<unsigned long>(code));
    }
    LocalFree(text);
    return result;
}
#else
bool IsSeparator(char c) { return c == '/'; }
constexpr char kSeparator = '/';
#endif

}  // namespace

PathKind QueryPathKind(const char* path, int& errorNumber)
{
    errorNumber = 0;
    struct stat info;
    if (stat(path, &info) != 0) {
        errorNumber = errno;
        return errorNumber == ENOENT ? PathKind::Missing : PathKind::Unknown;
    }
    if (S_ISDIR(info.st_mode))
        return PathKind::Folder;
    return S_ISREG(info.st_mode) ? PathKind::RegularFile : PathKind::Other;
}

std::string FolderOfPath(const std::string& path)
{
    std::size_t end = path.size();
    while (end > 0 && !IsSeparator(path[end - 1]))
        --end;
#ifdef _WIN32
    const bool hasDrive = path.size() >= 2 && path[1] == ':';
    if (end == 0)
        return hasDrive ? path.substr(0, 2) : std::string();
    if (hasDrive && end == 3)
        return path.substr(0, 3);  // the drive's root keeps its separator
#else
    if (end == 0)
        return std::string();
#endif
    if (end == 1)
        return path.substr(0, 1);  // the root
    return path.substr(0, end - 1);
}

std::string JoinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    const char last = folder[folder.size() - 1];
    if (IsSeparator(last) || last == ':')
        return folder + name;
    return folder + kSeparator + name;
}

std::FILE* CreateNewFile(const char* path, const char* likeFile, int& errorNumber)
{
    errorNumber = 0;
#ifdef _WIN32
    (void)likeFile;
    const int fd = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
    if (fd < 0) {
        errorNumber = errno;
        return nullptr;
    }
#ifndef _WIN32
    struct stat model;
    if (likeFile && stat(likeFile, &model) == 0)
        (void)fchmod(fd, model.st_mode & 07777);  // best effort: the default mode is fine too
    std::FILE* file = fdopen(fd, "wb");
#else
    std::FILE* file = _fdopen(fd, "wb");
#endif
    if (!file) {
        errorNumber = errno;
#ifdef _WIN32
        _close(fd);
#else
        close(fd);
#endif
    }
    return file;
}

bool SeekFile(std::FILE* file, uint64_t offset)
{
#ifdef _WIN32
    return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

bool FlushToDisk(std::FILE* file, CString& reason)
{
#ifdef _WIN32
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE || !FlushFileBuffers(handle)) {
        reason = LastErrorText(GetLastError());
        return false;
    }
#else
    if (fsync(fileno(file)) != 0) {
        reason = SystemErrorText(errno);
        return false;
    }
#endif
    return true;
}

bool RenameOver(const char* source, const char* target, CString& reason)
{
#ifdef _WIN32
    if (!MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        reason = LastErrorText(GetLastError());
        return false;
    }
#else
    if (std::rename(source, target) != 0) {
        reason = SystemErrorText(errno);
        return false;
    }
#endif
    return true;
}

CString SystemErrorText(int errorNumber)
{
    return CString(std::strerror(errorNumber));
}

bool CurrentUtcTime(std::tm& time)
{
    const std::time_t now = std::time(nullptr);
#ifdef _WIN32
    return gmtime_s(&time, &now) == 0;
#else
    return gmtime_r(&now, &time) != nullptr;
#endif
}

}  // namespace tlmio
