#pragma once

namespace voltara {

// For commands that run until the user ends them: from now on Ctrl-C and
// termination only raise a flag, which the command's loop reads and then
// ends as its own stop would.
void stopOnInterrupt();
bool stopRequested();

} // namespace voltara
