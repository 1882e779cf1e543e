#include "tests/windows/Checks.h"

#include "resources/BitmapTable.h"
#include "resources/DibFile.h"

#include <cstdio>

namespace voltara::winhost {

namespace {

// The pixels of a bitmap handle as 0xRRGGBB, top row first.
std::vector<uint32_t> pixelsOf(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(std::size_t(width) * height);
    HDC dc = CreateCompatibleDC(nullptr);
    const int rows = GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (rows != height)
        return {};
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF; // BGRA in memory is 0x00RRGGBB as a word
    return pixels;
}

struct Translation {
    WORD language;
    WORD codePage;
};

// A text of the version record in its first language; empty when absent.
std::string versionText(std::vector<char>& record, const Translation& translation, const char* name)
{
    char query[96];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation.language, translation.codePage,
                  name);
    char* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.data(), query, reinterpret_cast<void**>(&value), &length) || value == nullptr)
        return {};
    return value;
}

void checkVersionRecord(CheckLog& log, const PluginDll& dll)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(moduleOf(dll), path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> record(size);
    if (!log.check(size > 0 && GetFileVersionInfoA(path, 0, size, record.data()), "the DLL has a version record"))
        return;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    const bool hasFixed = VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &length)
                          && length >= sizeof *fixed && fixed->dwSignature == VS_FFI_SIGNATURE;
    if (log.check(hasFixed, "the version record has its fixed part")) {
        log.check(fixed->dwFileType == VFT_DLL, "the version record describes a DLL");
        log.check(fixed->dwFileVersionMS == 0x00010000 && fixed->dwFileVersionLS == 0, "file version 1.0.0.0");
    }
    Translation* translation = nullptr;
    if (!log.check(
            VerQueryValueA(record.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length)
                && length >= sizeof *translation,
            "the version record names its language"))
        return;

    // The texts agree with what the plug-in tells its host.
    PluginInstance instance(dll);
    if (!log.check(instance.descriptor() != nullptr, "main gives an instance"))
        return;
    struct Text {
        const char* name;
        std::string expected;
    };
    const Text texts[] = {
        {"ProductName", instance.text(opGetProductName)},
        {"CompanyName", instance.text(opGetVendorName)},
        {"FileVersion", std::to_string(instance.dispatch(opGetVendorVersion)) + ".0"},
        {"OriginalFilename", "voltara_fx.dll"},
    };
    for (const Text& text : texts) {
        const std::string read = versionText(record, *translation, text.name);
        log.check(read == text.expected, std::string("version record ") + text.name + " \"" + text.expected + "\"",
                  "\"" + read + "\"");
    }
    const std::string description = versionText(record, *translation, "FileDescription");
    log.check(description.rfind(instance.text(opGetEffectName), 0) == 0,
              "version record FileDescription starts with the effect's name", "\"" + description + "\"");
}

void checkBitmaps(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    const std::string folder = plan.value("bitmaps") + "\\";
    for (const BitmapEntry& entry : bitmapTable) {
        const std::string id = std::to_string(entry.id);
        HBITMAP bitmap = LoadBitmapA(moduleOf(dll), MAKEINTRESOURCEA(entry.id));
        if (!log.check(bitmap != nullptr, "LoadBitmap " + id))
            continue;
        BITMAP shape = {};
        GetObjectA(bitmap, sizeof shape, &shape);
        std::vector<uint8_t> bytes;
        DibImage image;
        std::string error;
        const bool decoded = readFileBytes(folder + id + ".bmp", bytes) && decodeDib(bytes, image, error);
        if (log.check(decoded, "bitmap file " + id + ".bmp read", error)
            && log.check(shape.bmWidth == image.width && shape.bmHeight == image.height,
                         "bitmap " + id + " has its file's size",
                         std::to_string(shape.bmWidth) + " x " + std::to_string(shape.bmHeight))) {
            const std::vector<uint32_t> pixels = pixelsOf(bitmap, image.width, image.height);
            long differing = pixels.empty() ? long(image.width) * image.height : 0;
            for (int y = 0; y < image.height && !pixels.empty(); ++y)
                for (int x = 0; x < image.width; ++x)
                    differing += pixels[std::size_t(y) * image.width + x] != image.colourAt(x, y);
            log.check(differing == 0, "bitmap " + id + " has its file's pixels",
                      std::to_string(differing) + " pixels differ");
        }
        DeleteObject(bitmap);
    }
}

} // namespace

void checkResources(CheckLog& log, const PluginDll& dll, const Plan& plan)
{
    checkVersionRecord(log, dll);
    checkBitmaps(log, dll, plan);
}

} // namespace voltara::winhost
