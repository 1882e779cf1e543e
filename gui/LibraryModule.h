#pragma once

#include "platform/Handles.h"

namespace voltara {

// The module (the plug-in library, or a program the toolkit is linked into)
// that carries this code: its bitmap resources and its window-class name.
platform::Module libraryModule();

} // namespace voltara
