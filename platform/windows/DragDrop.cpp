#include "platform/windows/Cast.h"

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

namespace voltara::platform {

using windows::as;

Result OleInitialize(void* reserved)
{
    return ::OleInitialize(reserved);
}

void OleUninitialize()
{
    ::OleUninitialize();
}

Result RegisterDragDrop(Window window, DropTargetInterface* target)
{
    return ::RegisterDragDrop(as<HWND>(window), reinterpret_cast<IDropTarget*>(target));
}

Result RevokeDragDrop(Window window)
{
    return ::RevokeDragDrop(as<HWND>(window));
}

uint32_t DragQueryFileA(GlobalMemory drop, uint32_t index, char* name, uint32_t size)
{
    return ::DragQueryFileA(as<HDROP>(drop), index, name, size);
}

void* GlobalLock(GlobalMemory memory)
{
    return ::GlobalLock(as<HGLOBAL>(memory));
}

Bool GlobalUnlock(GlobalMemory memory)
{
    return ::GlobalUnlock(as<HGLOBAL>(memory));
}

GlobalMemory GlobalFree(GlobalMemory memory)
{
    return as<GlobalMemory>(::GlobalFree(as<HGLOBAL>(memory)));
}

uintptr_t GlobalSize(GlobalMemory memory)
{
    return ::GlobalSize(as<HGLOBAL>(memory));
}

void ReleaseStgMedium(StorageMedium* medium)
{
    ::ReleaseStgMedium(reinterpret_cast<STGMEDIUM*>(medium));
}

bool ResolveShortcut(const char* shortcut, char* target, uint32_t size)
{
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return false;
    bool resolved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        char path[MAX_PATH];
        if (::MultiByteToWideChar(CP_ACP, 0, shortcut, -1, wide, MAX_PATH) > 0 && SUCCEEDED(file->Load(wide, STGM_READ))
            && SUCCEEDED(link->Resolve(nullptr, SLR_NO_UI | SLR_ANY_MATCH | (500 << 16)))
            && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_SHORTPATH)) && lstrlenA(path) < int(size)) {
            lstrcpyA(target, path);
            resolved = true;
        }
        file->Release();
    }
    link->Release();
    return resolved;
}

} // namespace voltara::platform
