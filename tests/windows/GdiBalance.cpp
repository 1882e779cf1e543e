#include "tests/windows/GdiBalance.h"

#include <cstdint>
#include <cstring>

namespace voltara::winhost {

namespace {

GdiBalance::Live counts;

// A handle made: one more live.
template <typename Handle>
Handle counted(Handle handle, long& count)
{
    if (handle)
        ++count;
    return handle;
}

// A handle given back: one fewer live when the system took it.
template <typename Result>
Result released(Result result, long& count)
{
    if (result)
        --count;
    return result;
}

// The system's own entries, as the DLL imported them.
struct {
    decltype(&::CreatePen) createPen;
    decltype(&::CreateSolidBrush) createSolidBrush;
    decltype(&::CreateBrushIndirect) createBrushIndirect;
    decltype(&::CreateFontA) createFont;
    decltype(&::CreateBitmap) createBitmap;
    decltype(&::CreateCompatibleBitmap) createCompatibleBitmap;
    decltype(&::LoadBitmapA) loadBitmap;
    decltype(&::DeleteObject) deleteObject;
    decltype(&::CreateCompatibleDC) createCompatibleDc;
    decltype(&::DeleteDC) deleteDc;
    decltype(&::GetDC) getDc;
    decltype(&::ReleaseDC) releaseDc;
} real;

HPEN WINAPI createPen(int style, int width, COLORREF colour)
{
    return counted(real.createPen(style, width, colour), counts.objects);
}

HBRUSH WINAPI createSolidBrush(COLORREF colour)
{
    return counted(real.createSolidBrush(colour), counts.objects);
}

HBRUSH WINAPI createBrushIndirect(const LOGBRUSH* brush)
{
    return counted(real.createBrushIndirect(brush), counts.objects);
}

HFONT WINAPI createFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                        DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                        DWORD quality, DWORD pitchAndFamily, LPCSTR face)
{
    return counted(real.createFont(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                   charSet, outPrecision, clipPrecision, quality, pitchAndFamily, face),
                   counts.objects);
}

HBITMAP WINAPI createBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    return counted(real.createBitmap(width, height, planes, bitsPerPixel, bits), counts.objects);
}

HBITMAP WINAPI createCompatibleBitmap(HDC dc, int width, int height)
{
    return counted(real.createCompatibleBitmap(dc, width, height), counts.objects);
}

HBITMAP WINAPI loadBitmap(HINSTANCE module, LPCSTR name)
{
    return counted(real.loadBitmap(module, name), counts.objects);
}

WINBOOL WINAPI deleteObject(HGDIOBJ object)
{
    // Deleting a stock object succeeds too, but the DLL deletes none.
    return released(real.deleteObject(object), counts.objects);
}

HDC WINAPI createCompatibleDc(HDC dc)
{
    return counted(real.createCompatibleDc(dc), counts.memoryDcs);
}

WINBOOL WINAPI deleteDc(HDC dc)
{
    return released(real.deleteDc(dc), counts.memoryDcs);
}

HDC WINAPI getDc(HWND window)
{
    return counted(real.getDc(window), counts.windowDcs);
}

int WINAPI releaseDc(HWND window, HDC dc)
{
    return released(real.releaseDc(window, dc), counts.windowDcs);
}

// Points the module's import of dll!function at hook and keeps the imported
// entry in original; false when the module does not import it.
template <typename Entry>
bool patchImport(HMODULE module, const char* dll, const char* function, Entry hook, Entry& original)
{
    auto* base = reinterpret_cast<uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return false;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
         ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 || entry->OriginalFirstThunk == 0)
            continue;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &protection);
            original = reinterpret_cast<Entry>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(hook);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

} // namespace

bool GdiBalance::install(HMODULE plugin)
{
    bool all = true;
    all &= patchImport(plugin, "GDI32.dll", "CreatePen", &createPen, real.createPen);
    all &= patchImport(plugin, "GDI32.dll", "CreateSolidBrush", &createSolidBrush, real.createSolidBrush);
    all &= patchImport(plugin, "GDI32.dll", "CreateBrushIndirect", &createBrushIndirect, real.createBrushIndirect);
    all &= patchImport(plugin, "GDI32.dll", "CreateFontA", &createFont, real.createFont);
    all &= patchImport(plugin, "GDI32.dll", "CreateBitmap", &createBitmap, real.createBitmap);
    all &= patchImport(plugin, "GDI32.dll", "CreateCompatibleBitmap", &createCompatibleBitmap,
                       real.createCompatibleBitmap);
    all &= patchImport(plugin, "GDI32.dll", "DeleteObject", &deleteObject, real.deleteObject);
    all &= patchImport(plugin, "GDI32.dll", "CreateCompatibleDC", &createCompatibleDc, real.createCompatibleDc);
    all &= patchImport(plugin, "GDI32.dll", "DeleteDC", &deleteDc, real.deleteDc);
    all &= patchImport(plugin, "USER32.dll", "LoadBitmapA", &loadBitmap, real.loadBitmap);
    all &= patchImport(plugin, "USER32.dll", "GetDC", &getDc, real.getDc);
    all &= patchImport(plugin, "USER32.dll", "ReleaseDC", &releaseDc, real.releaseDc);
    return all;
}

GdiBalance::Live GdiBalance::live()
{
    return counts;
}

} // namespace voltara::winhost
