#include "afx/ModulePath.h"

#include <vector>

namespace {

// GetModuleFileName truncates silently: grow the buffer until the path fits.
template <class Char, class Getter>
std::basic_string<Char> ReadModulePath(HMODULE module, Getter getModuleFileName)
{
    std::vector<Char> buffer(MAX_PATH);
    for (;;) {
        DWORD length = getModuleFileName(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            return std::basic_string<Char>();
        if (length < buffer.size())
            return std::basic_string<Char>(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

CString AfxModuleFilePath(HMODULE module)
{
    std::string path = ReadModulePath<char>(module, GetModuleFileNameA);
    return CString(path.c_str(), static_cast<int>(path.size()));
}

std::wstring AfxModuleFilePathW(HMODULE module)
{
    return ReadModulePath<wchar_t>(module, GetModuleFileNameW);
}
