// Helpers shared by the portable tests: fixture paths and scratch folders.
#pragma once

#include <string>
#include <vector>

namespace test_support {

// Absolute path of a file in tests/data.
std::string DataPath(const std::string& name);

// A fresh empty folder for one test, removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& path() const { return m_path; }
    std::string File(const std::string& name) const;  // path of `name` inside the folder

private:
    std::string m_path;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
std::vector<std::string> ListFolder(const std::string& path);  // file names, sorted

}  // namespace test_support
