#pragma once

#include <string>

namespace voltara {

// A fresh empty folder for one test, removed with everything in it when the
// test ends.
class TempFolder {
public:
    TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder();

    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string file(const std::string& relative) const;
    // Writes bytes to a file below the folder, creating its parent folders.
    void write(const std::string& relative, const std::string& bytes) const;
    // The bytes of a file below the folder; empty when it does not exist.
    std::string read(const std::string& relative) const;

private:
    std::string path_;
};

// The bytes of any file; empty when it does not exist.
std::string fileBytes(const std::string& path);

} // namespace voltara
