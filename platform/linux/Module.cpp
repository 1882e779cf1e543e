#include "platform/Module.h"
#include "platform/linux/BitmapResources.h"
#include "platform/linux/Host.h"
#include "platform/linux/Objects.h"

#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <map>
#include <string>
#include <strings.h>

namespace voltara::platform {

namespace {

std::mutex& resourceLock()
{
    static std::mutex lock;
    return lock;
}

int loadedBitmaps = 0; // under the resource lock

std::map<Module, std::vector<EmbeddedBitmap>>& resourceTables()
{
    static auto* tables = new std::map<Module, std::vector<EmbeddedBitmap>>;
    return *tables;
}

// The imaging library's alpha blend with a constant source alpha; no
// stretching and no per-pixel alpha.
Bool VOLTARA_CALLBACK alphaBlend(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                                 int sourceX, int sourceY, int sourceWidth, int sourceHeight, BlendFunction blend)
{
    if (blend.blendOp != AC_SRC_OVER || blend.alphaFormat != 0 || sourceWidth != width || sourceHeight != height
        || width < 0 || height < 0)
        return 0;
    std::unique_lock<std::mutex> lock(systemLock(), std::defer_lock);
    if (!dest->memory || !source->memory)
        lock.lock();
    DrawTarget to, from;
    if (!drawTarget(dest, to) || !drawTarget(source, from))
        return 0;
    const uint32_t alpha = blend.sourceConstantAlpha;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const int dx = x + column + to.origin.x, dy = y + row + to.origin.y;
            const int sx = sourceX + column + from.origin.x, sy = sourceY + row + from.origin.y;
            if (dx < to.clip.left || dx >= to.clip.right || dy < to.clip.top || dy >= to.clip.bottom
                || sx < from.clip.left || sx >= from.clip.right || sy < from.clip.top || sy >= from.clip.bottom)
                continue;
            uint32_t& d = to.pixels[size_t(dy) * to.stride + dx];
            const uint32_t s = from.pixels[size_t(sy) * from.stride + sx];
            uint32_t result = 0;
            for (int shift = 0; shift < 24; shift += 8)
                result |= (((s >> shift & 0xFF) * alpha + (d >> shift & 0xFF) * (255 - alpha) + 127) / 255) << shift;
            d = result;
        }
    return 1;
}

// Libraries this window system provides itself.
struct BuiltInLibrary {
    const char* name;
    const char* entry;
    ProcAddress address;
};

const BuiltInLibrary builtIns[] = {
    {"msimg32.dll", "AlphaBlend", reinterpret_cast<ProcAddress>(&alphaBlend)},
};

// Libraries loaded from files: the module (the image's base, as Windows
// has it) to the loader's handle and the loads not yet freed.
struct LoadedLibrary {
    void* handle;
    int loads;
};

std::map<Module, LoadedLibrary>& loadedLibraries() // under the resource lock
{
    static auto* libraries = new std::map<Module, LoadedLibrary>;
    return *libraries;
}

thread_local std::string lastLoadError;

const BuiltInLibrary* builtIn(Module module)
{
    for (const BuiltInLibrary& library : builtIns)
        if (module == reinterpret_cast<Module>(const_cast<BuiltInLibrary*>(&library)))
            return &library;
    return nullptr;
}

Module loadFile(const char* path)
{
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        lastLoadError = dlerror();
        return nullptr;
    }
    link_map* map = nullptr;
    Dl_info info;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || dladdr(map->l_ld, &info) == 0) {
        lastLoadError = std::string(path) + ": not a library with an image of its own";
        dlclose(handle);
        return nullptr;
    }
    const Module module = static_cast<Module>(info.dli_fbase);
    std::lock_guard<std::mutex> lock(resourceLock());
    LoadedLibrary& loaded = loadedLibraries().emplace(module, LoadedLibrary{handle, 0}).first->second;
    ++loaded.loads;
    if (loaded.loads > 1)
        dlclose(handle); // the loader counts too: one handle per module is enough
    return module;
}

void* loaderHandle(Module module)
{
    std::lock_guard<std::mutex> lock(resourceLock());
    const auto found = loadedLibraries().find(module);
    return found == loadedLibraries().end() ? nullptr : found->second.handle;
}

} // namespace

Module ModuleFromAddress(const void* address)
{
    Dl_info info;
    if (!address || dladdr(address, &info) == 0)
        return nullptr;
    return static_cast<Module>(info.dli_fbase);
}

Module LoadLibraryA(const char* name)
{
    if (!name) {
        lastLoadError = "no library named";
        return nullptr;
    }
    for (const BuiltInLibrary& library : builtIns)
        if (strcasecmp(name, library.name) == 0)
            return reinterpret_cast<Module>(const_cast<BuiltInLibrary*>(&library));
    return loadFile(name);
}

const char* LastLoadError()
{
    return lastLoadError.c_str();
}

ProcAddress GetProcAddress(Module module, const char* name)
{
    if (!name)
        return nullptr;
    if (const BuiltInLibrary* library = builtIn(module))
        return std::strcmp(name, library->entry) == 0 ? library->address : nullptr;
    void* handle = loaderHandle(module);
    return handle ? reinterpret_cast<ProcAddress>(dlsym(handle, name)) : nullptr;
}

Bool FreeLibrary(Module module)
{
    if (builtIn(module))
        return 1;
    void* handle = nullptr;
    {
        std::lock_guard<std::mutex> lock(resourceLock());
        const auto found = loadedLibraries().find(module);
        if (found == loadedLibraries().end())
            return 0;
        if (--found->second.loads == 0) {
            handle = found->second.handle;
            loadedLibraries().erase(found);
        }
    }
    // Outside the lock: the library's destructors may unregister resources.
    if (handle)
        dlclose(handle);
    return 1;
}

GdiObject LoadBitmapA(Module module, const char* name)
{
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (id > 0xFFFF)
        return nullptr; // resources are found by number only
    std::lock_guard<std::mutex> lock(resourceLock());
    auto table = resourceTables().find(module);
    if (table == resourceTables().end())
        return nullptr;
    for (const EmbeddedBitmap& entry : table->second)
        if (uintptr_t(entry.id) == id) {
            ++loadedBitmaps;
            return bitmapFromFile(entry.data, entry.size);
        }
    return nullptr;
}

void registerBitmapResources(const void* addressInModule, const EmbeddedBitmap* table, size_t count)
{
    const Module module = ModuleFromAddress(addressInModule);
    std::lock_guard<std::mutex> lock(resourceLock());
    auto& entries = resourceTables()[module];
    entries.insert(entries.end(), table, table + count);
}

void unregisterBitmapResources(const void* addressInModule)
{
    const Module module = ModuleFromAddress(addressInModule);
    std::lock_guard<std::mutex> lock(resourceLock());
    resourceTables().erase(module);
}

int host::bitmapLoads()
{
    std::lock_guard<std::mutex> lock(resourceLock());
    return loadedBitmaps;
}

} // namespace voltara::platform
