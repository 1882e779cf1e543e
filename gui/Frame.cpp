#include "gui/Frame.h"

#include "gui/DropTarget.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/LibraryModule.h"
#include "gui/WindowContext.h"
#include "platform/DragDrop.h"
#include "platform/Input.h"

#include <cstdio>

// The frame's native window: its class, creation and messages, drag and
// drop registration, and the editor's services a control reaches through it.

namespace voltara {

using namespace platform;

namespace {

// Frames of this library share one window class, registered while any exists.
int32_t windowClassUses = 0;

} // namespace

Frame::UserInput::UserInput(Frame* frame) : scope_(frame->getEditor()), frame_(frame)
{
    frame_->addReference();
}

Frame::UserInput::~UserInput()
{
    frame_->dropReference(); // before the scope lets the plug-in go
}

void Frame::windowClassName(char (&name)[32])
{
    std::snprintf(name, sizeof name, "Plugin%08x", unsigned(reinterpret_cast<uintptr_t>(libraryModule())));
}

Frame::Frame(const Rect& size, platform::Window parentWindow, EditorBase* editor)
    : View(size), editor_(editor), parentWindow_(parentWindow)
{
    OleInitialize(nullptr);
    imagingLibrary_ = LoadLibraryA("msimg32.dll");
    GuiBitmap::alphaBlendEntry =
        imagingLibrary_ ? reinterpret_cast<AlphaBlendEntry>(GetProcAddress(imagingLibrary_, "AlphaBlend")) : nullptr;
    if (!parentWindow)
        return;

    char className[32];
    windowClassName(className);
    usesWindowClass_ = true;
    if (windowClassUses++ == 0) {
        WindowClass windowClass{};
        windowClass.style = CS_GLOBALCLASS;
        windowClass.procedure = &Frame::windowProcedure;
        windowClass.instance = libraryModule();
        windowClass.cursor = LoadCursorA(nullptr, intResource(IDC_ARROW));
        windowClass.background = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.className = className;
        RegisterClassA(&windowClass);
    }
    window_ = CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE, 0, 0, size.width(), size.height(),
                              parentWindow, nullptr, libraryModule(), nullptr);
    SetWindowUserData(window_, this);
    dropTarget_ = new DropTarget(this);
    dropRegistered_ = RegisterDragDrop(window_, dropTarget_) == S_OK;
}

Frame::~Frame()
{
    setCursor(0);
    const platform::Window window = window_;
    forgetWindow();
    if (dropTarget_) {
        dropTarget_->detach();
        dropTarget_->Release();
    }
    removeAll(true);
    setBackground(nullptr);
    OleUninitialize();
    if (imagingLibrary_)
        FreeLibrary(imagingLibrary_);
    if (window)
        DestroyWindow(window);
    if (usesWindowClass_) {
        if (--windowClassUses == 0) {
            char className[32];
            windowClassName(className);
            UnregisterClassA(className, libraryModule());
        }
    }
}

void Frame::forgetWindow()
{
    if (!window_)
        return;
    if (dropRegistered_)
        RevokeDragDrop(window_);
    dropRegistered_ = false;
    SetWindowUserData(window_, nullptr);
    window_ = nullptr;
}

void Frame::setBackground(GuiBitmap* background)
{
    GuiBitmap::replace(background_, background);
}

EditorBase* Frame::getEditor()
{
    return editor_;
}

void Frame::idle()
{
    if (editor_ && open_)
        editor_->runIdleWork();
}

uint32_t Frame::getTicks() const
{
    return editor_ ? GetTickCount() : 0;
}

void Frame::beginGesture(int32_t tag)
{
    if (editor_)
        editor_->beginGesture(tag);
}

void Frame::endGesture(int32_t tag)
{
    if (editor_)
        editor_->endGesture(tag);
}

LResult VOLTARA_CALLBACK Frame::windowProcedure(platform::Window window, uint32_t message, WParam wParam, LParam lParam)
{
    auto* frame = static_cast<Frame*>(GetWindowUserData(window));
    if (!frame)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        platform::WinRect area;
        if (!GetUpdateRect(window, &area, 0))
            break;
        PaintStruct paint;
        DeviceContext dc = BeginPaint(window, &paint);
        {
            PaintContext context(frame, dc, window);
            frame->drawArea(&context, {paint.paint.left, paint.paint.top, paint.paint.right, paint.paint.bottom});
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
        if (!frame->open_)
            return 0;
        UserInput input(frame);
        WindowContext context(frame, window);
        frame->mouse(context.get(), {loWord(lParam), hiWord(lParam)});
        return 0;
    }
    case WM_DESTROY:
        // Gone with the host's window, perhaps under a drag: nothing may use
        // the handle from here on.
        frame->open_ = false;
        frame->parentWindow_ = nullptr;
        frame->forgetWindow();
        break;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace voltara
