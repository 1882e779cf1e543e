#pragma once

#include "tools/voltara/Bank.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// The binary bank file: a 156-byte header and 32 program blocks of 344 bytes,
// all numbers big-endian.
//
// Header: 0 "MoxB", 4 byte count of the rest of the file (11156), 8 "MxBk",
// 12 format version 1, 16 the plug-in's identifier "KRfx", 20 bank version 1,
// 24 program count 32, 28..155 zero.
// Program block: 0 "MoxR", 4 byte count of the rest of the block (336),
// 8 "MxPg", 12 format version 1, 16 "KRfx", 20 program version 1, 24 parameter
// count 72, 28 name (28 bytes, zero-terminated and zero-padded), 56 the 72
// values as 32-bit floats.
// The plug-in reads only the identifier, the names and the values from index 8
// on; the other fields are there so that the file describes itself.
namespace BankFile {

constexpr std::size_t headerSize = 156;
constexpr std::size_t programBlockSize = 344;
constexpr std::size_t fileSize = headerSize + bankProgramCount * programBlockSize;

std::vector<uint8_t> encode(const Bank& bank);
// Throws ToolError naming source when the bytes are not a bank of this plug-in.
Bank decode(const std::vector<uint8_t>& bytes, const std::string& source);

Bank read(const std::string& path);
// Writes through a temporary file: a failure leaves nothing at path.
void write(const Bank& bank, const std::string& path);

} // namespace BankFile
} // namespace voltara
