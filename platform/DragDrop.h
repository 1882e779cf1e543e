#pragma once

#include "platform/Handles.h"

// OLE drag and drop: a window registers a drop target; the data object that
// arrives offers text or a file list in global memory. The interfaces have
// the slot order and calling convention of the OLE ones.

namespace voltara::platform {

using Result = int32_t; // HRESULT
constexpr Result S_OK = 0;
constexpr Result S_FALSE = 1;
constexpr Result E_NOINTERFACE = static_cast<Result>(0x80004002u);
constexpr Result E_FAIL = static_cast<Result>(0x80004005u);
constexpr Result DV_E_FORMATETC = static_cast<Result>(0x80040064u);

constexpr uint16_t CF_TEXT = 1;
constexpr uint16_t CF_HDROP = 15;
constexpr uint32_t DVASPECT_CONTENT = 1;
constexpr uint32_t TYMED_HGLOBAL = 1;

constexpr uint32_t DROPEFFECT_NONE = 0;
constexpr uint32_t DROPEFFECT_COPY = 1;
constexpr uint32_t DROPEFFECT_MOVE = 2;
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_CONTROL = 0x0008;

struct GlobalObject;
using GlobalMemory = GlobalObject*; // HGLOBAL; a dropped file list is one too (HDROP)

// GUID
struct Guid {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};

inline bool operator==(const Guid& a, const Guid& b)
{
    if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3)
        return false;
    for (int i = 0; i < 8; ++i)
        if (a.data4[i] != b.data4[i])
            return false;
    return true;
}

constexpr Guid IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr Guid IID_IDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// POINTL
struct PointL {
    int32_t x;
    int32_t y;
};

// FORMATETC
struct FormatEtc {
    uint16_t format;
    void* targetDevice;
    uint32_t aspect;
    int32_t index;
    uint32_t tymed;
};

class Unknown;

// STGMEDIUM
struct StorageMedium {
    uint32_t tymed;
    GlobalMemory global;
    Unknown* release; // pUnkForRelease
};

// IUnknown
class Unknown {
public:
    virtual Result VOLTARA_CALLBACK QueryInterface(const Guid& iid, void** object) = 0;
    virtual uint32_t VOLTARA_CALLBACK AddRef() = 0;
    virtual uint32_t VOLTARA_CALLBACK Release() = 0;
};

// IDataObject
class DataObject : public Unknown {
public:
    virtual Result VOLTARA_CALLBACK GetData(FormatEtc* format, StorageMedium* medium) = 0;
    virtual Result VOLTARA_CALLBACK GetDataHere(FormatEtc* format, StorageMedium* medium) = 0;
    virtual Result VOLTARA_CALLBACK QueryGetData(FormatEtc* format) = 0;
    virtual Result VOLTARA_CALLBACK GetCanonicalFormatEtc(FormatEtc* in, FormatEtc* out) = 0;
    virtual Result VOLTARA_CALLBACK SetData(FormatEtc* format, StorageMedium* medium, Bool release) = 0;
    virtual Result VOLTARA_CALLBACK EnumFormatEtc(uint32_t direction, void** enumerator) = 0;
    virtual Result VOLTARA_CALLBACK DAdvise(FormatEtc* format, uint32_t flags, void* sink, uint32_t* connection) = 0;
    virtual Result VOLTARA_CALLBACK DUnadvise(uint32_t connection) = 0;
    virtual Result VOLTARA_CALLBACK EnumDAdvise(void** enumerator) = 0;
};

// IDropTarget
class DropTargetInterface : public Unknown {
public:
    virtual Result VOLTARA_CALLBACK DragEnter(DataObject* data, uint32_t keyState, PointL point, uint32_t* effect) = 0;
    virtual Result VOLTARA_CALLBACK DragOver(uint32_t keyState, PointL point, uint32_t* effect) = 0;
    virtual Result VOLTARA_CALLBACK DragLeave() = 0;
    virtual Result VOLTARA_CALLBACK Drop(DataObject* data, uint32_t keyState, PointL point, uint32_t* effect) = 0;
};

VOLTARA_PLATFORM_API Result OleInitialize(void* reserved);
VOLTARA_PLATFORM_API void OleUninitialize();
VOLTARA_PLATFORM_API Result RegisterDragDrop(Window window, DropTargetInterface* target);
VOLTARA_PLATFORM_API Result RevokeDragDrop(Window window);

// index 0xFFFFFFFF: the number of names; else copies the name (cut to size - 1)
// and answers its length.
VOLTARA_PLATFORM_API uint32_t DragQueryFileA(GlobalMemory drop, uint32_t index, char* name, uint32_t size);
VOLTARA_PLATFORM_API void* GlobalLock(GlobalMemory memory);
VOLTARA_PLATFORM_API Bool GlobalUnlock(GlobalMemory memory);
VOLTARA_PLATFORM_API GlobalMemory GlobalFree(GlobalMemory memory);
VOLTARA_PLATFORM_API uintptr_t GlobalSize(GlobalMemory memory);

// Frees a medium: through its release interface when it has one, else the
// global memory it holds.
VOLTARA_PLATFORM_API void ReleaseStgMedium(StorageMedium* medium);

// The target of a shell shortcut (.lnk) through the shell link object: Load,
// Resolve without user interface (any match, 500 ms), GetPath in the short
// form. False, and target untouched, when it cannot be resolved.
VOLTARA_PLATFORM_API bool ResolveShortcut(const char* shortcut, char* target, uint32_t size);

} // namespace voltara::platform
