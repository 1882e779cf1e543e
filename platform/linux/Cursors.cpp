#include "platform/Window.h"
#include "platform/linux/WindowSystem.h"

#include <utility>

// The system's standard cursors and the one shown.

namespace voltara::platform {

namespace {

Cursor& shownCursor() // under the system lock
{
    static Cursor shown = nullptr;
    return shown;
}

} // namespace

struct CursorObject {
    uint32_t id;
};

Cursor LoadCursorA(Module module, const char* name)
{
    static const uint32_t known[] = {IDC_ARROW,  IDC_WAIT,   IDC_SIZENWSE, IDC_SIZENESW,
                                     IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL};
    static CursorObject cursors[] = {{IDC_ARROW},  {IDC_WAIT},   {IDC_SIZENWSE}, {IDC_SIZENESW},
                                     {IDC_SIZEWE}, {IDC_SIZENS}, {IDC_SIZEALL}};
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    if (module)
        return nullptr; // no cursor resources here
    for (size_t i = 0; i < sizeof known / sizeof known[0]; ++i)
        if (known[i] == id)
            return &cursors[i];
    return nullptr;
}

Cursor SetCursor(Cursor cursor)
{
    std::lock_guard<std::mutex> lock(systemLock());
    Cursor& shown = shownCursor();
    if (!shown)
        shown = LoadCursorA(nullptr, intResource(IDC_ARROW));
    return std::exchange(shown, cursor);
}

Cursor GetCursor()
{
    std::lock_guard<std::mutex> lock(systemLock());
    Cursor& shown = shownCursor();
    if (!shown)
        shown = LoadCursorA(nullptr, intResource(IDC_ARROW));
    return shown;
}

namespace host {

uint32_t currentCursor()
{
    Cursor cursor = GetCursor();
    return cursor ? cursor->id : 0;
}

} // namespace host

} // namespace voltara::platform
