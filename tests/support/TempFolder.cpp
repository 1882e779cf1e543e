#include "tests/support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace voltara {

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "voltara-test-XXXXXX").string();
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::file(const std::string& relative) const
{
    return path_ + "/" + relative;
}

void TempFolder::write(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path target = file(relative);
    std::filesystem::create_directories(target.parent_path());
    std::ofstream(target, std::ios::binary) << bytes;
}

std::string TempFolder::read(const std::string& relative) const
{
    return fileBytes(file(relative));
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

} // namespace voltara
