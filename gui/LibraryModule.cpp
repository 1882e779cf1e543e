#include "gui/LibraryModule.h"

#include "platform/Module.h"

namespace voltara {

namespace {
const char anchor = 0; // an address inside this module
}

platform::Module libraryModule()
{
    static const platform::Module module = platform::ModuleFromAddress(&anchor);
    return module;
}

} // namespace voltara
