#pragma once

#include <cstddef>
#include <cstdint>

namespace voltara {

// One kind of file a host's file selector offers (408 bytes).
struct FileTypeRecord {
    char name[128];
    char typeCode[8];
    char extension[8];
    char secondExtension[8];
    char mimeType[128];
    char secondMimeType[128];
};

// The request handed to the host's file selector (host call 45). The paths
// are buffers of pathSize bytes; the host writes the chosen one into
// returnPath. Where pointers are 32 bits wide the fields lie at the offsets
// checked below; elsewhere only the pointer fields widen.
struct FileSelectRecord {
    enum Command : int32_t { chooseFile = 0, chooseFolder = 3 };
    static constexpr size_t pathSize = 1024;

    int32_t command;
    int32_t type; // 0
    int32_t reserved;
    int32_t typeCount;
    FileTypeRecord* types; // null: no list, even with a count
    char title[1024];
    char* initialPath; // null: none
    char* returnPath;
    // The host's own fields follow; the plug-in leaves them zero.
    char hostFields[256];
};

static_assert(sizeof(FileTypeRecord) == 408, "file-type record is 408 bytes");
static_assert(offsetof(FileTypeRecord, typeCode) == 128 && offsetof(FileTypeRecord, extension) == 136
                  && offsetof(FileTypeRecord, secondExtension) == 144 && offsetof(FileTypeRecord, mimeType) == 152
                  && offsetof(FileTypeRecord, secondMimeType) == 280,
              "file-type record fields");
static_assert(offsetof(FileSelectRecord, typeCount) == 12, "");
static_assert(sizeof(void*) != 4 || offsetof(FileSelectRecord, types) == 16, "");
static_assert(sizeof(void*) != 4 || offsetof(FileSelectRecord, title) == 20, "");
static_assert(sizeof(void*) != 4 || offsetof(FileSelectRecord, initialPath) == 1044, "");
static_assert(sizeof(void*) != 4 || offsetof(FileSelectRecord, returnPath) == 1048, "");

} // namespace voltara
