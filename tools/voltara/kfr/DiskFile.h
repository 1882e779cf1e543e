#pragma once

#include "tools/codechost/CodecFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace voltara {

// A file on disk as the codec's callbacks reach it, with 64-bit offsets.
class DiskFile : public codechost::CodecFile {
public:
    // flags as for open(2); shownPath names the file in messages (the
    // user's path for a temporary file). Throws ToolError when the file
    // cannot be opened.
    DiskFile(const std::string& path, int flags, const std::string& shownPath = "");
    ~DiskFile() override;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    const std::string& path() const { return path_; }
    const std::string& shownPath() const { return shownPath_; }

    bool readAt(int64_t offset, void* destination, size_t count) override;
    bool writeAt(int64_t offset, const void* source, size_t count) override;
    int64_t size() const override;

    // The same, throwing ToolError with the file's name when they fail.
    void mustRead(int64_t offset, void* destination, size_t count);
    void mustWrite(int64_t offset, const void* source, size_t count);

private:
    std::string path_;
    std::string shownPath_;
    int descriptor_;
};

} // namespace voltara
