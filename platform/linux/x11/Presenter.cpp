#include "platform/linux/x11/Presenter.h"

#include "platform/Window.h"
#include "platform/linux/x11/LivePresenters.h"
#include "platform/linux/x11/MenuPopup.h"
#include "platform/linux/x11/PresenterState.h"
#include "platform/linux/x11/XErrors.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <unistd.h>
#include <utility>

namespace voltara::platform::x11 {
namespace {

namespace host = platform::host;

constexpr long eventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask
                           | KeyReleaseMask | EnterWindowMask | LeaveWindowMask | StructureNotifyMask;

// Each presented window lies apart on the window system's screen, so that
// input for one never lands in another.
WinPoint nextOrigin()
{
    static int placed = 0; // the window system's thread only
    return {100, 60 + 4096 * placed++};
}

unsigned int fontCursor(uint32_t systemCursor)
{
    switch (systemCursor) {
    case IDC_WAIT: return XC_watch;
    case IDC_SIZEWE: return XC_sb_h_double_arrow;
    case IDC_SIZENS: return XC_sb_v_double_arrow;
    case IDC_SIZEALL: return XC_fleur;
    case IDC_SIZENESW: return XC_bottom_left_corner;
    case IDC_SIZENWSE: return XC_bottom_right_corner;
    default: return XC_left_ptr;
    }
}

// What every window of ours says of itself, embedded or not: whose it is
// (for tools that look for it) and its one size (for the host that embeds it).
void describe(Display* display, ::Window window, int width, int height)
{
    XClassHint classHint{const_cast<char*>("voltara"), const_cast<char*>("Voltara")};
    XSetClassHint(display, window, &classHint);
    XSizeHints* size = XAllocSizeHints();
    size->flags = PMinSize | PMaxSize | PBaseSize;
    size->min_width = size->max_width = size->base_width = width;
    size->min_height = size->max_height = size->base_height = height;
    XSetWMNormalHints(display, window, size);
    XFree(size);
}

// The title in both the old and the UTF-8 property, for every window manager.
void setTitleOf(Display* display, ::Window window, const std::string& title)
{
    XStoreName(display, window, title.c_str());
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
}

void nameTopLevel(Display* display, ::Window window, const std::string& title)
{
    setTitleOf(display, window, title);
    // Whose window it is, for the desktop's tools.
    const long pid = long(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) == 0)
        XChangeProperty(display, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(host), int(strlen(host)));
}

} // namespace

std::unique_ptr<Presenter> Presenter::open(const Settings& settings, std::string& why)
{
    const char* name = settings.display.empty() ? nullptr : settings.display.c_str();
    Display* display = XOpenDisplay(name);
    if (!display) {
        const char* shown = name ? name : std::getenv("DISPLAY");
        why = shown && *shown ? std::string("cannot open the X display ") + shown : "no X display (DISPLAY is not set)";
        return nullptr;
    }
    watchErrors(display);
    auto state = std::make_unique<State>();
    State& s = *state;
    s.display = display;
    s.screen = DefaultScreen(display);
    s.visual = DefaultVisual(display, s.screen);
    s.depth = DefaultDepth(display, s.screen);
    s.width = settings.width;
    s.height = settings.height;
    s.topLevel = settings.parent == 0;
    const ::Window root = RootWindow(display, s.screen);
    // A visual and colormap of our own: a host's window may have others.
    s.colormap = XCreateColormap(display, root, s.visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = s.colormap;
    attributes.border_pixel = 0;
    attributes.background_pixmap = None; // every pixel is ours: no clearing before we paint
    attributes.event_mask = eventMask;
    ErrorTrap trap(display);
    s.xWindow = XCreateWindow(display, s.topLevel ? root : ::Window(settings.parent), 0, 0, unsigned(s.width),
                              unsigned(s.height), 0, s.depth, InputOutput, s.visual,
                              CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
    if (trap.code() != 0) {
        char parent[32];
        std::snprintf(parent, sizeof parent, "0x%lx", settings.parent);
        why = std::string("cannot make a window in the X window ") + parent;
        XFreeColormap(display, s.colormap);
        forgetErrors(display);
        XCloseDisplay(display);
        return nullptr;
    }
    s.output = ImageOutput::create(display, s.xWindow, s.visual, s.depth, s.width, s.height, why);
    if (!s.output) {
        XDestroyWindow(display, s.xWindow);
        XFreeColormap(display, s.colormap);
        XSync(display, False);
        forgetErrors(display);
        XCloseDisplay(display);
        return nullptr;
    }
    describe(display, s.xWindow, s.width, s.height);
    if (s.topLevel) {
        nameTopLevel(display, s.xWindow, settings.title);
        s.deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
        XSetWMProtocols(display, s.xWindow, &s.deleteWindow, 1);
    }
    s.origin = nextOrigin();
    s.window = host::createParentWindow(s.width, s.height, s.origin.x, s.origin.y);
    State* shown = state.get();
    host::setMenuChooser(s.window, [shown](const std::vector<host::MenuItem>& items, WinPoint at, uint32_t flags) {
        return MenuPopup::choose(*shown, items, at, flags);
    });
    XMapWindow(display, s.xWindow);
    XFlush(display);
    LivePresenters::add(shown);
    return std::unique_ptr<Presenter>(new Presenter(std::move(state)));
}

Presenter::Presenter(std::unique_ptr<State> state) : state_(std::move(state)) {}

Presenter::~Presenter()
{
    State& s = *state_;
    LivePresenters::remove(&s);
    host::setMenuChooser(s.window, nullptr);
    DestroyWindow(s.window);
    s.output.reset();
    for (const auto& cursor : s.cursors)
        XFreeCursor(s.display, cursor.second);
    if (!s.gone)
        XDestroyWindow(s.display, s.xWindow);
    XFreeColormap(s.display, s.colormap);
    XSync(s.display, False);
    forgetErrors(s.display);
    XCloseDisplay(s.display);
}

Window Presenter::window() const
{
    return state_->window;
}

unsigned long Presenter::xWindow() const
{
    return state_->xWindow;
}

int Presenter::connection() const
{
    return ConnectionNumber(state_->display);
}

std::string Presenter::displayName() const
{
    return DisplayString(state_->display);
}

bool Presenter::service(int waitMilliseconds)
{
    State& s = *state_;
    if (s.gone)
        return false;
    if (waitMilliseconds > 0 && XPending(s.display) == 0) {
        pollfd connection{ConnectionNumber(s.display), POLLIN, 0};
        ::poll(&connection, 1, waitMilliseconds);
    }
    s.serve(true);
    return !s.gone;
}

void Presenter::flush()
{
    state_->flush();
}

void Presenter::close()
{
    State& s = *state_;
    if (s.gone)
        return;
    s.tellInput(s.pointer.x, s.pointer.y, 0);
    ErrorTrap trap(s.display); // the host's window, and ours with it, may be gone already
    XDestroyWindow(s.display, s.xWindow);
    XSync(s.display, False);
    s.gone = true;
}

bool Presenter::gone() const
{
    return state_->gone;
}

void Presenter::setTitle(const std::string& title)
{
    if (!state_->topLevel || state_->gone)
        return;
    setTitleOf(state_->display, state_->xWindow, title);
    XFlush(state_->display);
}

bool Presenter::sharesMemory() const
{
    return state_->output->sharesMemory();
}

std::vector<host::InputEvent> Presenter::takeKeys()
{
    return std::exchange(state_->keys, {});
}

void Presenter::State::serve(bool takeInput)
{
    while (!gone && XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        const uint32_t before = held;
        handle(event, takeInput);
        // A button that went down stays down until the editor has seen it:
        // what follows waits until the host has pumped the click through (a
        // quick click is over before the next service).
        if ((held & ~before) & (host::leftButton | host::middleButton | host::rightButton))
            break;
    }
    flush();
}

void Presenter::State::handle(XEvent& event, bool takeInput)
{
    if (event.xany.window != xWindow)
        return;
    const WindowEvent happened = translate(event, xWindow, deleteWindow);
    switch (happened.kind) {
    case WindowEvent::nothing: return;
    case WindowEvent::pointer:
        if (takeInput)
            tellInput(happened.x, happened.y, happened.held);
        return;
    case WindowEvent::key:
        if (!takeInput)
            return;
        tellInput(happened.x, happened.y, happened.held);
        {
            host::InputEvent key;
            key.kind = host::InputEvent::key;
            key.virtualKey = happened.virtualKey;
            key.modifier = (happened.held & host::shiftKey) ? 1 : 0;
            key.keyDown = happened.keyDown;
            keys.push_back(key);
        }
        return;
    case WindowEvent::expose: repaint(happened.area); return;
    case WindowEvent::closeRequested:
    case WindowEvent::destroyed:
        // A control that follows the mouse lets go.
        tellInput(pointer.x, pointer.y, 0);
        gone = true;
        return;
    }
}

void Presenter::State::tellInput(int x, int y, uint32_t nowHeld)
{
    // The release of a button whose press closed a popup is no one's.
    const uint32_t buttons = host::leftButton | host::middleButton | host::rightButton;
    swallowed &= nowHeld;
    nowHeld &= ~(swallowed & buttons);
    if (x == pointer.x && y == pointer.y && nowHeld == held)
        return;
    pointer = {x, y};
    held = nowHeld;
    host::setInput({origin.x + x, origin.y + y}, nowHeld);
}

void Presenter::State::catchUpWithPointer()
{
    ::Window root, child;
    int rootX, rootY, x, y;
    unsigned int mask;
    if (!gone && XQueryPointer(display, xWindow, &root, &child, &rootX, &rootY, &x, &y, &mask))
        tellInput(x, y, heldFromState(mask));
}

void Presenter::State::repaint(WinRect area)
{
    if (gone)
        return;
    output->finish();
    output->send(window, area);
    XFlush(display);
}

void Presenter::State::flush()
{
    if (gone)
        return;
    const std::vector<WinRect> drawn = host::takeDrawnAreas(window);
    if (!drawn.empty()) {
        output->finish();
        for (const WinRect& area : drawn)
            output->send(window, area);
    }
    showCursor();
    XFlush(display);
}

void Presenter::State::showCursor()
{
    const uint32_t wanted = host::currentCursor();
    if (wanted == cursorShown)
        return;
    cursorShown = wanted;
    ::Cursor& cursor = cursors[wanted];
    if (!cursor)
        cursor = XCreateFontCursor(display, fontCursor(wanted));
    XDefineCursor(display, xWindow, cursor);
}

WinPoint Presenter::State::toRoot(int x, int y) const
{
    int rootX = x, rootY = y;
    ::Window child;
    XTranslateCoordinates(display, xWindow, RootWindow(display, screen), x, y, &rootX, &rootY, &child);
    return {rootX, rootY};
}

} // namespace voltara::platform::x11
