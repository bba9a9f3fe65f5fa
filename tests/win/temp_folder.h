// A fresh folder under the user's temporary folder, removed with its files at the end of scope.
#pragma once

#include <string>

namespace wintest {

class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::string& Path() const noexcept { return m_path; }  // no trailing backslash
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

bool FileExists(const std::string& path);
// The whole file, or an empty string when it cannot be read.
std::string ReadFileBytes(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& bytes);

}  // namespace wintest
