#pragma once

#include "common/FourCharCode.h"
#include "plugin/ProgramRecord.h"
#include "plugin/RackParameters.h"

#include <cstddef>
#include <cstdint>

// Bank files: a 156-byte header and 32 program blocks of 344 bytes, every
// number big-endian, and the rules by which a bank's programs are loaded.
// The rack's bank reader and the command-line host's bank code both follow
// this one definition.
//
// Header: 0 "MoxB", 4 byte count of the rest of the file (11156), 8 "MxBk",
// 12 format version 1, 16 the plug-in's identifier "KRfx", 20 bank version 1,
// 24 program count 32, 28..155 zero.
// Program block: 0 "MoxR", 4 byte count of the rest of the block (336),
// 8 "MxPg", 12 format version 1, 16 "KRfx", 20 program version 1, 24 parameter
// count 72, 28 name (28 bytes, zero-terminated and zero-padded), 56 the 72
// values as 32-bit floats.
// The rack reads only the identifier, the names and the values from index 8
// on; the other fields are there so that the file describes itself.
namespace voltara::BankFormat {

constexpr int32_t headerSize = 156;
constexpr int32_t blockSize = 344;
constexpr int32_t programCount = rackProgramCount;
constexpr int32_t parameterCount = rackParameterCount;
constexpr int32_t fileSize = headerSize + programCount * blockSize;

// Fields of the header and of each program block, at the same offsets in both.
constexpr int32_t magicOffset = 0;       // "MoxB" / "MoxR"
constexpr int32_t byteCountOffset = 4;   // bytes after this field
constexpr int32_t kindOffset = 8;        // "MxBk" / "MxPg"
constexpr int32_t versionOffset = 12;    // formatVersion
constexpr int32_t identifierOffset = 16; // rackIdentifier
constexpr int32_t itemVersionOffset = 20;
constexpr int32_t countOffset = 24; // programs in the header, parameters in a block
// Fields of a program block only.
constexpr int32_t nameOffset = 28;
constexpr int32_t nameFieldSize = 28;
constexpr int32_t valuesOffset = 56; // index 0's value; index i at valuesOffset + 4 i

constexpr int32_t bankMagic = fourCharCode("MoxB");
constexpr int32_t bankKind = fourCharCode("MxBk");
constexpr int32_t programMagic = fourCharCode("MoxR");
constexpr int32_t programKind = fourCharCode("MxPg");
constexpr int32_t rackIdentifier = fourCharCode("KRfx");
constexpr int32_t formatVersion = 1;

// 'KRfx', and a second identifier with the same checksum that stored banks
// may carry: b16 + b17 + 100 (b18 + b19) of the signed identifier bytes.
bool isOurIdentifier(const uint8_t* identifier);

// Load rules. Bypass and the tone group (indices 0 to 7) are not taken from
// banks: they load as 0.0. A value that is not finite loads as 0.0. On
// switches, sync switches and the two mode switches load as 0.0 or 1.0;
// every other value is limited to 0 .. 1.
constexpr int32_t firstLoadedIndex = firstModuleIndex;
bool roundsToSwitch(int32_t index);
float loadedValue(int32_t index, float stored);

// A stored name as a program takes it: at most 23 characters, ending at the
// first NUL, with '&' shown as '+'.
void loadedName(const char* stored, size_t storedLength, char (&name)[programNameSize]);

} // namespace voltara::BankFormat
