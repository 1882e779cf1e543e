#pragma once

#include "plugin/host/FileSelector.h"

namespace voltara::livehost {

// Answers the plug-in's file selector (host call 45) with the desktop's
// choosers (platform/linux/x11/DesktopDialogs.h): a bank file among the
// record's file types, from the record's initial path, or a folder. Writes
// the path chosen into the record's return path; false when cancelled.
bool selectWithDesktop(FileSelectRecord& request);

} // namespace voltara::livehost
