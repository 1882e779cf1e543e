#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <algorithm>
#include <strings.h>

// Window classes: registered by name, found in any case, kept while windows
// of theirs exist.

namespace voltara::platform {

namespace {

struct Registry {
    std::vector<std::shared_ptr<ClassEntry>> classes;
    uint16_t nextAtom = 0xC000;
};

Registry& registry()
{
    static auto* state = new Registry; // lives as long as the process
    return *state;
}

} // namespace

std::shared_ptr<ClassEntry> findClass(const char* name)
{
    if (!name)
        return nullptr;
    for (auto& entry : registry().classes)
        if (strcasecmp(entry->name.c_str(), name) == 0)
            return entry;
    return nullptr;
}

uint16_t RegisterClassA(const WindowClass* windowClass)
{
    if (!windowClass || !windowClass->className || !windowClass->procedure)
        return 0;
    std::lock_guard<std::mutex> lock(systemLock());
    if (findClass(windowClass->className))
        return 0;
    auto entry = std::make_shared<ClassEntry>();
    entry->name = windowClass->className;
    entry->definition = *windowClass;
    entry->definition.className = nullptr;
    entry->definition.menuName = nullptr;
    registry().classes.push_back(entry);
    return registry().nextAtom++;
}

Bool UnregisterClassA(const char* className, Module)
{
    std::lock_guard<std::mutex> lock(systemLock());
    auto entry = findClass(className);
    if (!entry)
        return 0;
    for (WindowObject* window : liveWindows())
        if (window->windowClass == entry)
            return 0; // windows of the class still exist
    auto& classes = registry().classes;
    classes.erase(std::find(classes.begin(), classes.end(), entry));
    return 1;
}

Bool GetClassInfoA(Module, const char* className, WindowClass* out)
{
    std::lock_guard<std::mutex> lock(systemLock());
    auto entry = findClass(className);
    if (!entry)
        return 0;
    if (out) {
        *out = entry->definition;
        out->className = className;
    }
    return 1;
}

} // namespace voltara::platform
