#pragma once

#include "plugin/host/FileSelector.h"

#include <cstdint>
#include <optional>

namespace voltara::livehost {

// Answers the plug-in's file selector (host call 45) with the desktop's
// choosers (platform/linux/x11/DesktopDialogs.h): a bank file among the
// record's file types, from the record's initial path, or a folder. Writes
// the path chosen into the record's return path; false when cancelled.
bool selectWithDesktop(FileSelectRecord& request);

// A live host's answer to the plug-in's calls about file selectors (it can
// open them, and opens them with the desktop's choosers); none for the others.
std::optional<intptr_t> answerFileRequest(int32_t opcode, void* pointer);

} // namespace voltara::livehost
