#include "gui/Frame.h"

#include "gui/DropTarget.h"
#include "gui/EditorBase.h"
#include "gui/GuiBitmap.h"
#include "gui/LibraryModule.h"
#include "gui/PaintContext.h"
#include "platform/DragDrop.h"
#include "platform/Input.h"

#include <cstdio>
#include <cstdlib>

namespace voltara {

using namespace platform;

namespace {

// Frames of this library share one window class, registered while any exists.
int32_t windowClassUses = 0;

// The frame window's own device context, released when it goes.
class WindowDc {
public:
    explicit WindowDc(platform::Window window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    DeviceContext get() const { return dc_; }

private:
    platform::Window window_;
    DeviceContext dc_;
};

// A context on the frame window's own device context for one call; the
// context goes before the device context is released.
class WindowContext {
public:
    WindowContext(Frame* frame, platform::Window window) : dc_(window), context_(frame, dc_.get(), window) {}
    PaintContext* get() { return &context_; }

private:
    WindowDc dc_;
    PaintContext context_;
};

bool contains(const Rect& size, Point where)
{
    return where.h >= size.left && where.h <= size.right && where.v >= size.top && where.v <= size.bottom;
}

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

bool Frame::addView(View* view)
{
    if (!view)
        return false;
    if (viewCount_ == viewCapacity_) {
        const int32_t capacity = viewCapacity_ + 10;
        auto* grown = static_cast<View**>(views_ ? std::realloc(views_, sizeof(View*) * size_t(capacity))
                                                 : std::malloc(sizeof(View*) * size_t(capacity)));
        if (!grown)
            return false; // the list stays as it was

        views_ = grown;
        viewCapacity_ = capacity;
    }
    views_[viewCount_++] = view;
    view->setFrame(this);
    view->onAttach(this);
    return true;
}

bool Frame::removeView(View* view, bool alsoDropReference)
{
    int32_t kept = 0;
    bool found = false;
    for (int32_t i = 0; i < viewCount_; ++i) {
        if (views_[i] == view)
            found = true;
        else
            views_[kept++] = views_[i];
    }
    viewCount_ = kept;
    if (found) {
        view->onDetach(this);
        if (alsoDropReference)
            view->dropReference();
    }
    return true;
}

bool Frame::removeAll(bool alsoDropReference)
{
    if (focusView_) {
        focusView_->dropFocus(nullptr);
        focusView_ = nullptr;
    }
    for (int32_t i = 0; i < viewCount_; ++i) {
        views_[i]->onDetach(this);
        if (alsoDropReference)
            views_[i]->dropReference();
    }
    std::free(views_);
    views_ = nullptr;
    viewCount_ = 0;
    viewCapacity_ = 0;
    return true;
}

bool Frame::isChild(View* view) const
{
    for (int32_t i = 0; i < viewCount_; ++i)
        if (views_[i] == view)
            return true;
    return false;
}

int32_t Frame::getViewCount() const
{
    return viewCount_;
}

View* Frame::getView(int32_t index) const
{
    return index >= 0 && index < viewCount_ ? views_[index] : nullptr;
}

bool Frame::setModalView(View* view)
{
    if (view && modalView_)
        return false;
    if (modalView_)
        modalView_->onDetach(this);
    modalView_ = view;
    if (modalView_)
        modalView_->onAttach(this);
    return true;
}

void Frame::setFocusView(View* view)
{
    View* old = focusView_;
    focusView_ = view;
    if (old)
        old->dropFocus(nullptr);
}

View* Frame::getViewAt()
{
    Point where;
    getCurrentLocation(where);
    for (int32_t i = viewCount_ - 1; i >= 0; --i)
        if (contains(views_[i]->getViewSize(), where))
            return views_[i];
    return nullptr;
}

bool Frame::getCurrentLocation(Point& where)
{
    platform::WinPoint cursor{0, 0};
    GetCursorPos(&cursor);
    platform::WinRect rect{0, 0, 0, 0};
    GetWindowRect(window_, &rect);
    where = {cursor.x - rect.left, cursor.y - rect.top};
    return true;
}

void Frame::setCursor(int32_t kind)
{
    if (!cursorRecorded_) {
        savedCursor_ = GetCursor();
        cursorRecorded_ = true;
    }
    static const uint32_t systemCursors[] = {IDC_WAIT, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENWSE};
    if (kind == 0)
        SetCursor(savedCursor_);
    else if (kind >= 1 && kind <= 6)
        SetCursor(LoadCursorA(nullptr, intResource(systemCursors[kind - 1])));
}

void Frame::draw(PaintContext* context)
{
    firstDrawPending_ = false;
    if (background_)
        background_->draw(context, {0, 0, background_->getWidth(), background_->getHeight()}, {0, 0});
    for (int32_t i = 0; i < viewCount_; ++i)
        views_[i]->draw(context);
    if (modalView_)
        modalView_->draw(context);
}

void Frame::drawArea(PaintContext* context, const Rect& area)
{
    firstDrawPending_ = false;
    if (background_)
        background_->draw(context, area, {area.left, area.top});
    for (int32_t i = 0; i < viewCount_; ++i)
        if (views_[i]->checkUpdate(area))
            views_[i]->drawArea(context, area);
    if (modalView_ && modalView_->checkUpdate(area))
        modalView_->draw(context);
}

void Frame::drawView(View* view)
{
    if (!window_)
        return;
    WindowContext context(this, window_);
    if (view && isChild(view))
        view->draw(context.get());
    else
        draw(context.get());
}

void Frame::update(PaintContext* context)
{
    if (!open_)
        return;
    if (modalView_) {
        modalView_->update(context);
    } else if (isDirty()) {
        draw(context);
        setDirty(false);
    } else {
        for (int32_t i = 0; i < viewCount_; ++i)
            views_[i]->update(context);
    }
}

bool Frame::isSomethingDirty() const
{
    if (modalView_ || isDirty())
        return true;
    for (int32_t i = 0; i < viewCount_; ++i)
        if (views_[i]->isDirty())
            return true;
    return false;
}

void Frame::updateIfDirty()
{
    if (!open_ || firstDrawPending_ || !window_ || !isSomethingDirty())
        return;
    WindowContext context(this, window_);
    update(context.get());
}

void Frame::mouse(PaintContext* context, Point where)
{
    if (focusView_) {
        focusView_->dropFocus(nullptr);
        focusView_ = nullptr;
    }
    if (modalView_) {
        if (modalView_->hitTest(where))
            modalView_->mouse(context, where);
        return;
    }
    for (int32_t i = viewCount_ - 1; i >= 0; --i) {
        View* view = views_[i];
        if (view->getMouseEnabled() && view->hitTest(where)) {
            view->mouse(context, where);
            return;
        }
    }
}

int32_t Frame::routeKey(int32_t (View::*handler)(KeyRecord*), KeyRecord* key)
{
    int32_t result = -1;
    if (focusView_ && (result = (focusView_->*handler)(key)) != -1)
        return result;
    if (modalView_ && (result = (modalView_->*handler)(key)) != -1)
        return result;
    for (int32_t i = viewCount_ - 1; i >= 0; --i)
        if ((result = (views_[i]->*handler)(key)) != -1)
            return result;
    return -1;
}

int32_t Frame::onKeyDown(KeyRecord* key)
{
    return routeKey(&View::onKeyDown, key);
}

int32_t Frame::onKeyUp(KeyRecord* key)
{
    return routeKey(&View::onKeyUp, key);
}

bool Frame::onDrop(char** items, int32_t count, int32_t type, Point where)
{
    if (modalView_ || focusView_)
        return false;
    for (int32_t i = viewCount_ - 1; i >= 0; --i) {
        View* view = views_[i];
        if (view->getMouseEnabled() && contains(view->getViewSize(), where) && view->onDrop(items, count, type, where))
            return true;
    }
    return false;
}

bool Frame::onWheel(PaintContext* context, Point, float distance)
{
    View* view = getViewAt();
    if (!view)
        return false;
    Point where;
    getCurrentLocation(where);
    if (context)
        return view->onWheel(context, where, distance);
    WindowContext made(this, window_);
    return view->onWheel(made.get(), where, distance);
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
