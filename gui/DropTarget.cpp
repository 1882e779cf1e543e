#include "gui/DropTarget.h"

#include "gui/Frame.h"

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace voltara {

using namespace platform;

namespace {

FormatEtc formatOf(uint16_t format)
{
    return FormatEtc{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The extension after the last dot is "lnk", in any case.
bool isShortcut(const char* name)
{
    const char* dot = std::strrchr(name, '.');
    if (!dot || std::strlen(dot) != 4)
        return false;
    for (int i = 0; i < 3; ++i)
        if (std::tolower(static_cast<unsigned char>(dot[1 + i])) != "lnk"[i])
            return false;
    return true;
}

} // namespace

Result DropTarget::QueryInterface(const Guid& iid, void** object)
{
    if (!object)
        return E_FAIL;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

uint32_t DropTarget::AddRef()
{
    return uint32_t(++references_);
}

uint32_t DropTarget::Release()
{
    const int32_t left = --references_;
    if (left < 1)
        delete this;
    return uint32_t(left < 0 ? 0 : left);
}

Result DropTarget::DragEnter(DataObject* data, uint32_t keyState, PointL point, uint32_t* effect)
{
    accept_ = false;
    for (uint16_t format : {CF_TEXT, CF_HDROP}) {
        FormatEtc wanted = formatOf(format);
        if (data && data->QueryGetData(&wanted) == S_OK) {
            accept_ = true;
            return DragOver(keyState, point, effect);
        }
    }
    if (effect)
        *effect = DROPEFFECT_NONE;
    return S_OK;
}

Result DropTarget::DragOver(uint32_t keyState, PointL, uint32_t* effect)
{
    if (effect)
        *effect = !accept_ ? DROPEFFECT_NONE : (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    return S_OK;
}

Result DropTarget::DragLeave()
{
    return S_OK;
}

void DropTarget::dropFiles(DataObject* data)
{
    FormatEtc wanted = formatOf(CF_HDROP);
    StorageMedium medium{};
    if (data->GetData(&wanted, &medium) != S_OK)
        return dropText(data);
    const uint32_t count = DragQueryFileA(medium.global, 0xFFFFFFFFu, nullptr, 0);
    std::vector<std::string> names;
    for (uint32_t i = 0; i < count; ++i) {
        char name[1024];
        if (DragQueryFileA(medium.global, i, name, sizeof name) == 0)
            continue; // unreadable names are skipped
        if (isShortcut(name)) {
            char target[1024];
            if (ResolveShortcut(name, target, sizeof target))
                std::strcpy(name, target); // else the shortcut keeps its own name
        }
        names.emplace_back(name);
    }
    std::vector<char*> items;
    for (std::string& name : names)
        items.push_back(&name[0]);
    Point where;
    frame_->getCurrentLocation(where);
    frame_->onDrop(items.data(), int32_t(items.size()), 0, where);
    ReleaseStgMedium(&medium);
}

void DropTarget::dropText(DataObject* data)
{
    FormatEtc wanted = formatOf(CF_TEXT);
    StorageMedium medium{};
    if (data->GetData(&wanted, &medium) != S_OK)
        return; // neither format: nothing is dropped
    auto* text = static_cast<char*>(GlobalLock(medium.global));
    const uintptr_t size = GlobalSize(medium.global);
    if (text && size) {
        Point where;
        frame_->getCurrentLocation(where);
        frame_->onDrop(&text, int32_t(size), 1, where);
    }
    GlobalUnlock(medium.global);
    ReleaseStgMedium(&medium);
}

Result DropTarget::Drop(DataObject* data, uint32_t, PointL, uint32_t*)
{
    if (frame_ && data)
        dropFiles(data);
    DragLeave();
    return S_OK;
}

} // namespace voltara
