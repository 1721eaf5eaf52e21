#include "tests/support/test_files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{

std::string EnvironmentPath(const char* name, const std::string& relative)
{
    const char* root = std::getenv(name);
    return std::string(root != nullptr ? root : ".") + "/" + relative;
}

} // namespace

void WriteTestFile(const std::string& path, const std::string& bytes)
{
    std::filesystem::path target(path);
    if (target.has_parent_path())
    {
        std::filesystem::create_directories(target.parent_path());
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

std::string ReadTestFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void RemoveTestFile(const std::string& path)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

std::string SourcePath(const std::string& relative)
{
    return EnvironmentPath("VORTANAI_SOURCE_DIR", relative);
}

std::string BinaryPath(const std::string& relative)
{
    return EnvironmentPath("VORTANAI_BINARY_DIR", relative);
}
