#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace voltara::codechost {

// A file as the codec's callbacks reach it through a file handle: the handle
// is the address of one of these.
class CodecFile {
public:
    CodecFile() = default;
    CodecFile(const CodecFile&) = default;
    CodecFile& operator=(const CodecFile&) = default;
    virtual ~CodecFile() = default;

    // All count bytes, or false.
    virtual bool readAt(int64_t offset, void* destination, size_t count) = 0;
    virtual bool writeAt(int64_t offset, const void* source, size_t count) = 0;
    // Bytes, or -1 when the size cannot be told.
    virtual int64_t size() const = 0;
};

// A file held in memory. Reads and writes can be made to fail, and the
// largest read is noted, so that tests can watch the codec at its file edge.
struct MemoryFile : CodecFile {
    MemoryFile() = default;
    explicit MemoryFile(std::vector<uint8_t> contents) : bytes(std::move(contents)) {}

    bool readAt(int64_t offset, void* destination, size_t count) override;
    // Grows the file as needed, up to 256 MB.
    bool writeAt(int64_t offset, const void* source, size_t count) override;
    int64_t size() const override { return static_cast<int64_t>(bytes.size()); }

    std::vector<uint8_t> bytes;
    int64_t failReadsAt = -1; // a read touching this offset or beyond fails
    bool failWrites = false;
    int64_t largestRead = 0; // bytes
};

} // namespace voltara::codechost
