#pragma once

#include "tools/pluginhost/RackSession.h"

#include <string>
#include <string_view>
#include <vector>

namespace voltara::pluginhost {

// A rack session as text, the one form in which every host of ours keeps it
// (the LV2 plug-in's saved state, the live rack's saved place). Described for
// users in tools/README.md, "Rack sessions":
//
//     voltara session 1          first line: the form and its version
//     current 9                  the current program, 0 to 31
//     program 0 "Clean Sparkle"  program number and name (up to 23 characters;
//         0 0                    a backslash is \\, other bytes \xHH)
//         1 0.5                  parameter index 0 to 71, value 0 to 1
//
// '#' starts a comment, except inside a quoted name. A later version may add
// lines of new kinds but keeps the meaning of these, so every version reads
// what it knows of any session.
namespace RackSessionText {

constexpr int version = 1;

// Every program with all 72 values, each the shortest decimal that reads back
// as exactly the value.
std::string write(const RackSession& session);

struct Report {
    bool isSession = false; // false: the text is no session, and nothing was taken
    // One line for each thing not taken as written (none when all was), at
    // most about twenty.
    std::vector<std::string> problems;
};

// Reads text (up to a NUL, if any) over session: what it holds in good order
// replaces what session held, values outside 0 .. 1 limited to it, and
// everything else stays.
Report read(std::string_view text, RackSession& session);

} // namespace RackSessionText
} // namespace voltara::pluginhost
