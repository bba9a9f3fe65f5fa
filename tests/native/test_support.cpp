#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace test_support {

std::string DataPath(const std::string& name)
{
    return std::string(PELORIN_TEST_DATA_DIR) + "/" + name;
}

ScratchDir::ScratchDir()
{
    static std::atomic<int> serial{0};
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
    std::replace(name.begin(), name.end(), '/', '_');
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path dir = fs::temp_directory_path() / ("pelorin-" + name + "-" + std::to_string(stamp) + "-" +
                                                std::to_string(serial++));
    fs::create_directories(dir);
    m_path = dir.string();
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(m_path, ignored);
}

std::string ScratchDir::File(const std::string& name) const
{
    return (fs::path(m_path) / name).string();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return fs::exists(path, ignored);
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace test_support
