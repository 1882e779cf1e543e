#include "platform/DragDrop.h"
#include "platform/linux/Host.h"
#include "platform/linux/Objects.h"

#include <atomic>
#include <cstring>
#include <utility>

// OLE drag and drop within this window system: the host drops a file list or
// a text on a window, and the registered drop target sees the calls OLE makes.

namespace voltara::platform {

struct GlobalObject {
    std::vector<char> bytes;
};

namespace {

constexpr Result DRAGDROP_E_ALREADYREGISTERED = static_cast<Result>(0x80040101u);
constexpr Result DRAGDROP_E_INVALIDHWND = static_cast<Result>(0x80040102u);
constexpr Result DRAGDROP_E_NOTREGISTERED = static_cast<Result>(0x80040100u);

Installed<host::ShortcutResolver>& resolver()
{
    static auto* installed = new Installed<host::ShortcutResolver>;
    return *installed;
}

GlobalMemory globalCopy(const std::vector<char>& bytes)
{
    auto* memory = new GlobalObject;
    memory->bytes = bytes;
    return memory;
}

// The data object a drag carries: one format, handed out as global memory.
class HostDataObject : public DataObject {
public:
    HostDataObject(uint16_t format, std::vector<char> bytes) : format_(format), bytes_(std::move(bytes)) {}

    Result VOLTARA_CALLBACK QueryInterface(const Guid& iid, void** object) override
    {
        if (!object)
            return E_FAIL;
        *object = nullptr;
        if (!(iid == IID_IUnknown))
            return E_NOINTERFACE;
        *object = this;
        AddRef();
        return S_OK;
    }
    uint32_t VOLTARA_CALLBACK AddRef() override { return ++references_; }
    uint32_t VOLTARA_CALLBACK Release() override
    {
        const uint32_t left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    Result VOLTARA_CALLBACK GetData(FormatEtc* format, StorageMedium* medium) override
    {
        if (!medium || QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->global = globalCopy(bytes_);
        medium->release = nullptr;
        return S_OK;
    }
    Result VOLTARA_CALLBACK GetDataHere(FormatEtc*, StorageMedium*) override { return E_FAIL; }
    Result VOLTARA_CALLBACK QueryGetData(FormatEtc* format) override
    {
        return format && format->format == format_ && format->aspect == DVASPECT_CONTENT
                       && (format->tymed & TYMED_HGLOBAL)
                   ? S_OK
                   : DV_E_FORMATETC;
    }
    Result VOLTARA_CALLBACK GetCanonicalFormatEtc(FormatEtc*, FormatEtc*) override { return E_FAIL; }
    Result VOLTARA_CALLBACK SetData(FormatEtc*, StorageMedium*, Bool) override { return E_FAIL; }
    Result VOLTARA_CALLBACK EnumFormatEtc(uint32_t, void**) override { return E_FAIL; }
    Result VOLTARA_CALLBACK DAdvise(FormatEtc*, uint32_t, void*, uint32_t*) override { return E_FAIL; }
    Result VOLTARA_CALLBACK DUnadvise(uint32_t) override { return E_FAIL; }
    Result VOLTARA_CALLBACK EnumDAdvise(void**) override { return E_FAIL; }

private:
    virtual ~HostDataObject() = default;
    std::atomic<uint32_t> references_{1};
    uint16_t format_;
    std::vector<char> bytes_;
};

uint32_t drop(Window window, WinPoint point, uint16_t format, std::vector<char> bytes, uint32_t keyState)
{
    DropTargetInterface* target = nullptr;
    WinPoint screen{};
    {
        std::lock_guard<std::mutex> lock(systemLock());
        for (WindowObject* w = isLiveWindow(window) ? window : nullptr; w && !target; w = w->parent)
            target = w->dropTarget;
        if (!target)
            return DROPEFFECT_NONE;
        const WinPoint origin = screenOrigin(window);
        screen = {origin.x + point.x, origin.y + point.y};
        moveCursor(screen); // the drop happens where the cursor is
    }
    target->AddRef();
    auto* data = new HostDataObject(format, std::move(bytes));
    const PointL at{screen.x, screen.y};
    uint32_t effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    target->DragEnter(data, keyState, at, &effect);
    if (effect != DROPEFFECT_NONE) {
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragOver(keyState, at, &effect);
    }
    if (effect != DROPEFFECT_NONE)
        target->Drop(data, keyState, at, &effect);
    else
        target->DragLeave();
    data->Release();
    target->Release();
    return effect;
}

} // namespace

Result OleInitialize(void*)
{
    return S_OK;
}

void OleUninitialize() {}

Result RegisterDragDrop(Window window, DropTargetInterface* target)
{
    {
        std::lock_guard<std::mutex> lock(systemLock());
        if (!isLiveWindow(window) || !target)
            return DRAGDROP_E_INVALIDHWND;
        if (window->dropTarget)
            return DRAGDROP_E_ALREADYREGISTERED;
        window->dropTarget = target;
    }
    target->AddRef();
    return S_OK;
}

Result RevokeDragDrop(Window window)
{
    DropTargetInterface* target;
    {
        std::lock_guard<std::mutex> lock(systemLock());
        if (!isLiveWindow(window) || !window->dropTarget)
            return DRAGDROP_E_NOTREGISTERED;
        target = std::exchange(window->dropTarget, nullptr);
    }
    target->Release();
    return S_OK;
}

uint32_t DragQueryFileA(GlobalMemory drop, uint32_t index, char* name, uint32_t size)
{
    if (!drop)
        return 0;
    // The names follow one another, each ending in NUL, the list in a second NUL.
    const std::vector<char>& bytes = drop->bytes;
    uint32_t count = 0;
    for (size_t at = 0; at < bytes.size() && bytes[at] != '\0'; at += std::strlen(&bytes[at]) + 1, ++count) {
        if (count == index) {
            const uint32_t length = uint32_t(std::strlen(&bytes[at]));
            if (name && size > 0) {
                const uint32_t copied = std::min(length, size - 1);
                std::memcpy(name, &bytes[at], copied);
                name[copied] = '\0';
                return copied;
            }
            return length;
        }
    }
    return index == 0xFFFFFFFFu ? count : 0;
}

void* GlobalLock(GlobalMemory memory)
{
    return memory && !memory->bytes.empty() ? memory->bytes.data() : nullptr;
}

Bool GlobalUnlock(GlobalMemory)
{
    return 0; // no lock count is kept
}

GlobalMemory GlobalFree(GlobalMemory memory)
{
    delete memory;
    return nullptr;
}

uintptr_t GlobalSize(GlobalMemory memory)
{
    return memory ? memory->bytes.size() : 0;
}

void ReleaseStgMedium(StorageMedium* medium)
{
    if (!medium)
        return;
    if (medium->release)
        medium->release->Release();
    else if (medium->tymed == TYMED_HGLOBAL)
        GlobalFree(medium->global);
    medium->global = nullptr;
}

bool ResolveShortcut(const char* shortcut, char* target, uint32_t size)
{
    const host::ShortcutResolver resolve = resolver().get();
    std::string found;
    if (!shortcut || !target || !resolve || !resolve(shortcut, found) || found.size() + 1 > size)
        return false;
    std::memcpy(target, found.c_str(), found.size() + 1);
    return true;
}

void host::setShortcutResolver(ShortcutResolver resolve)
{
    resolver().set(std::move(resolve));
}

uint32_t host::dropFiles(Window window, WinPoint point, const std::vector<std::string>& names, uint32_t keyState)
{
    std::vector<char> bytes;
    for (const std::string& name : names)
        bytes.insert(bytes.end(), name.c_str(), name.c_str() + name.size() + 1);
    bytes.push_back('\0');
    return drop(window, point, CF_HDROP, std::move(bytes), keyState);
}

uint32_t host::dropText(Window window, WinPoint point, const std::string& text, uint32_t keyState)
{
    std::vector<char> bytes(text.begin(), text.end());
    bytes.push_back('\0');
    return drop(window, point, CF_TEXT, std::move(bytes), keyState);
}

} // namespace voltara::platform
