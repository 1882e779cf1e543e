#pragma once

#include "tools/voltara/banks/Bank.h"

#include <string>
#include <vector>

namespace voltara {

// The readable source of a bank: one block per program.
//
//     # '#' starts a comment (except inside a program's quoted name)
//     defaults                  values every program starts from (optional)
//         10 0.5
//     program 0 "Clean Sparkle" program number 0..31, name of up to 23 characters
//         8 1                   parameter index 0..71, value 0..1
//         54 0.35
//
// Each index may appear once per block. A program not listed takes the
// defaults and an empty name; an index not listed takes its default, or 0.
namespace BankText {

// Throws ToolError naming source and the line of the first mistake.
Bank parse(const std::string& text, const std::string& source);
// parse of a file's text; throws ToolError when it cannot be read.
Bank read(const std::string& path);

// parameterNames, when not empty, holds the 72 names written as comments.
std::string format(const Bank& bank, const std::vector<std::string>& parameterNames);

// The shortest decimal text that reads back as exactly value.
std::string exactNumber(float value);

} // namespace BankText
} // namespace voltara
