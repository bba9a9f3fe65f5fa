#include "tools/sehost/stl_file.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace sehost {

namespace {

void AppendFloat(std::string& out, float value)
{
    char bytes[4];
    std::memcpy(bytes, &value, sizeof bytes);  // little-endian on every Windows target
    out.append(bytes, sizeof bytes);
}

void AppendVector(std::string& out, const Vec3f& v)
{
    AppendFloat(out, v.x);
    AppendFloat(out, v.y);
    AppendFloat(out, v.z);
}

std::string BinaryStl(const Model& model)
{
    std::string out;
    std::string header = "sehost binary STL: " + model.name;
    header.resize(80, ' ');
    out += header;
    std::uint32_t count = static_cast<std::uint32_t>(model.FacetCount());
    char countBytes[4];
    std::memcpy(countBytes, &count, sizeof countBytes);
    out.append(countBytes, sizeof countBytes);
    out.reserve(84 + 50 * static_cast<std::size_t>(count));
    for (const Body& body : model.bodies)
        for (const Facet& facet : body.facets) {
            AppendVector(out, facet.normal);
            for (const Vec3f& corner : facet.corners)
                AppendVector(out, corner);
            out.append(2, '\0');  // attribute byte count
        }
    return out;
}

void AppendLine(std::string& out, const char* keyword, const Vec3f& v)
{
    char line[128];
    // %.8e has nine significant digits: every float comes back exactly.
    std::snprintf(line, sizeof line, "%s %.8e %.8e %.8e\n", keyword, static_cast<double>(v.x),
                  static_cast<double>(v.y), static_cast<double>(v.z));
    out += line;
}

std::string AsciiStl(const Model& model)
{
    std::string out;
    for (const Body& body : model.bodies) {
        out += "solid " + body.name + "\n";
        for (const Facet& facet : body.facets) {
            AppendLine(out, "  facet normal", facet.normal);
            out += "    outer loop\n";
            for (const Vec3f& corner : facet.corners)
                AppendLine(out, "      vertex", corner);
            out += "    endloop\n  endfacet\n";
        }
        out += "endsolid " + body.name + "\n";
    }
    return out;
}

// Closes a file handle on every way out.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle) noexcept : m_handle(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HANDLE Get() const noexcept { return m_handle; }

private:
    HANDLE m_handle;
};

HRESULT LastError()
{
    DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace

std::string StlBytes(const Model& model, StlFormat format)
{
    return format == StlFormat::Binary ? BinaryStl(model) : AsciiStl(model);
}

HRESULT WriteFileBytes(const wchar_t* path, const std::string& bytes)
{
    if (!path || !*path)
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    FileHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Get() == INVALID_HANDLE_VALUE)
        return LastError();
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return LastError();
        done += written;
    }
    return S_OK;
}

}  // namespace sehost
