#pragma once

#include "tools/voltara/banks/Bank.h"

#include <cstdint>
#include <string>
#include <vector>

namespace voltara {

// Bank files as the tool reads and writes them (see plugin/BankFormat.h):
// whole files of this plug-in only, every field written so that the file
// describes itself.
namespace BankFile {

std::vector<uint8_t> encode(const Bank& bank);
// Throws ToolError naming source when the bytes are not a bank of this plug-in.
Bank decode(const std::vector<uint8_t>& bytes, const std::string& source);

Bank read(const std::string& path);
// Writes through a temporary file: a failure leaves nothing at path.
void write(const Bank& bank, const std::string& path);

} // namespace BankFile
} // namespace voltara
