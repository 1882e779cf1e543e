#include "platform/linux/x11/MenuPopup.h"

#include "platform/Gdi.h"
#include "platform/PopupMenu.h"
#include "platform/Window.h"
#include "platform/linux/x11/EventTranslation.h"
#include "platform/linux/x11/LivePresenters.h"
#include "platform/linux/x11/MenuLayout.h"
#include "platform/linux/x11/PresenterState.h"

#include <X11/keysym.h>
#include <algorithm>
#include <chrono>
#include <memory>
#include <poll.h>
#include <thread>

namespace voltara::platform::x11 {
namespace {

namespace host = platform::host;

constexpr const char* canvasClass = "VoltaraMenuCanvas";
constexpr int servingMilliseconds = 30; // how often the other presented windows repaint meanwhile
constexpr int grabTries = 50;           // 5 ms apart: another client may hold the pointer a moment

LResult VOLTARA_CALLBACK canvasProcedure(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// One open level: the menu, or a sub-menu beside an entry of the level before.
struct Level {
    Level(Presenter::State& owner, const std::vector<host::MenuItem>& menu, WinPoint wanted)
        : display(owner.display), items(menu), layout(menu)
    {
        const int screenWidth = DisplayWidth(display, owner.screen),
                  screenHeight = DisplayHeight(display, owner.screen);
        root = {std::max(0, std::min(wanted.x, screenWidth - layout.width())),
                std::max(0, std::min(wanted.y, screenHeight - layout.height()))};
        WindowClass definition{};
        definition.procedure = &canvasProcedure;
        definition.className = canvasClass;
        RegisterClassA(&definition); // fails harmlessly when it exists
        // Never visible on the window system's screen: only its pixels count.
        canvas = CreateWindowExA(0, canvasClass, "", WS_POPUP, -100000, 0, layout.width(), layout.height(), nullptr,
                                 nullptr, nullptr, nullptr);
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.colormap = owner.colormap;
        attributes.border_pixel = 0;
        attributes.background_pixmap = None;
        attributes.event_mask = ExposureMask | StructureNotifyMask;
        xWindow = XCreateWindow(
            display, RootWindow(display, owner.screen), root.x, root.y, unsigned(layout.width()),
            unsigned(layout.height()), 0, owner.depth, InputOutput, owner.visual,
            CWOverrideRedirect | CWSaveUnder | CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask, &attributes);
        std::string why;
        output = ImageOutput::create(display, xWindow, owner.visual, owner.depth, layout.width(), layout.height(), why);
        paint();
        XMapRaised(display, xWindow);
    }
    ~Level()
    {
        output.reset();
        XDestroyWindow(display, xWindow);
        DestroyWindow(canvas);
    }
    Level(const Level&) = delete;
    Level& operator=(const Level&) = delete;

    bool contains(int x, int y) const
    {
        return x >= root.x && y >= root.y && x < root.x + layout.width() && y < root.y + layout.height();
    }
    void paint()
    {
        DeviceContext dc = GetDC(canvas);
        layout.paint(dc, highlighted);
        ReleaseDC(canvas, dc);
        host::takeDrawnAreas(canvas); // all of it is sent below
        show({0, 0, layout.width(), layout.height()});
    }
    void show(WinRect area)
    {
        if (!output)
            return;
        output->finish();
        output->send(canvas, area);
        XFlush(display);
    }
    void highlight(int entry)
    {
        if (entry == highlighted)
            return;
        highlighted = entry;
        paint();
    }

    Display* display;
    const std::vector<host::MenuItem>& items;
    MenuLayout layout;
    WinPoint root{};
    Window canvas = nullptr;
    ::Window xWindow = 0;
    std::unique_ptr<ImageOutput> output;
    int highlighted = -1;
};

class Session {
public:
    Session(Presenter::State& owner, uint32_t flags) : owner_(owner), flags_(flags) {}

    const host::MenuItem* run(const std::vector<host::MenuItem>& items, WinPoint at)
    {
        const LivePresenters::Modal modal;
        const WinPoint root = owner_.toRoot(at.x - owner_.origin.x, at.y - owner_.origin.y);
        levels_.push_back(std::make_unique<Level>(owner_, items, root));
        grab();
        while (!done_) {
            if (XPending(owner_.display) == 0) {
                pollfd connection{ConnectionNumber(owner_.display), POLLIN, 0};
                ::poll(&connection, 1, servingMilliseconds);
                LivePresenters::paintOthers(&owner_);
            }
            while (!done_ && XPending(owner_.display) > 0) {
                XEvent event;
                XNextEvent(owner_.display, &event);
                handle(event);
            }
        }
        XUngrabPointer(owner_.display, CurrentTime);
        XUngrabKeyboard(owner_.display, CurrentTime);
        levels_.clear();
        XFlush(owner_.display);
        owner_.catchUpWithPointer();
        return chosen_;
    }

private:
    void grab()
    {
        const ::Window window = levels_.front()->xWindow;
        XSync(owner_.display, False);
        for (int attempt = 0; attempt < grabTries; ++attempt) {
            if (XGrabPointer(owner_.display, window, False, ButtonPressMask | ButtonReleaseMask | PointerMotionMask,
                             GrabModeAsync, GrabModeAsync, None, None, CurrentTime)
                == GrabSuccess)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        XGrabKeyboard(owner_.display, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    }

    void handle(XEvent& event)
    {
        switch (event.type) {
        case Expose:
            for (auto& level : levels_)
                if (level->xWindow == event.xexpose.window)
                    level->show({event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                                 event.xexpose.y + event.xexpose.height});
            break;
        case MotionNotify: follow(event.xmotion.x_root, event.xmotion.y_root); break;
        case ButtonPress: press(event.xbutton); break;
        case ButtonRelease: release(event.xbutton); break;
        case KeyPress: key(XLookupKeysym(&event.xkey, 0)); break;
        default:
            if (event.xany.window == owner_.xWindow) {
                owner_.handle(event, false); // repaints; notes the window going
                done_ = done_ || owner_.gone;
            }
        }
    }

    // The level under a root point, the last one first (sub-menus lie on top); -1 for none.
    int levelAt(int x, int y) const
    {
        for (int i = int(levels_.size()) - 1; i >= 0; --i)
            if (levels_[size_t(i)]->contains(x, y))
                return i;
        return -1;
    }

    void follow(int x, int y)
    {
        const int at = levelAt(x, y);
        if (at < 0) {
            levels_.back()->highlight(-1);
            return;
        }
        Level& level = *levels_[size_t(at)];
        const int entry = level.layout.entryAt(x - level.root.x, y - level.root.y);
        const bool usable = entry >= 0 && level.layout.entries()[size_t(entry)].selectable;
        if (usable && entry == level.highlighted && size_t(at) + 1 < levels_.size())
            return; // its sub-menu stays open
        levels_.resize(size_t(at) + 1);
        level.highlight(usable ? entry : -1);
        if (usable)
            openSubmenu(level, entry);
    }

    void openSubmenu(Level& level, int entry)
    {
        const MenuLayout::Entry& opener = level.layout.entries()[size_t(entry)];
        if (!(opener.item->flags & MF_POPUP) || opener.item->submenu.empty())
            return;
        const WinPoint beside{level.root.x + opener.rect.right - 2, level.root.y + opener.rect.top - 3};
        levels_.push_back(std::make_unique<Level>(owner_, opener.item->submenu, beside));
    }

    bool choosesWith(unsigned int button) const
    {
        return button == Button1 || (button == Button3 && (flags_ & TPM_RIGHTBUTTON));
    }

    void press(const XButtonEvent& event)
    {
        const uint32_t bit = buttonBit(event.button);
        if (bit == 0 || levelAt(event.x_root, event.y_root) >= 0)
            return; // the wheel, or a press that a release over an entry completes
        // A click outside closes the menu and is no one else's.
        owner_.swallowed |= bit;
        done_ = true;
    }

    void release(const XButtonEvent& event)
    {
        const int at = levelAt(event.x_root, event.y_root);
        if (at < 0 || !choosesWith(event.button))
            return;
        Level& level = *levels_[size_t(at)];
        const int entry = level.layout.entryAt(event.x_root - level.root.x, event.y_root - level.root.y);
        if (entry >= 0)
            choose(at, entry);
    }

    void choose(int at, int entry)
    {
        Level& level = *levels_[size_t(at)];
        const MenuLayout::Entry& chosen = level.layout.entries()[size_t(entry)];
        if (!chosen.selectable)
            return;
        if (chosen.item->flags & MF_POPUP) {
            levels_.resize(size_t(at) + 1);
            openSubmenu(level, entry);
            return;
        }
        chosen_ = chosen.item;
        done_ = true;
    }

    void key(KeySym symbol)
    {
        const int last = int(levels_.size()) - 1;
        Level& level = *levels_.back();
        const bool onSubmenu =
            level.highlighted >= 0 && (level.layout.entries()[size_t(level.highlighted)].item->flags & MF_POPUP);
        switch (symbol) {
        case XK_Escape:
            if (levels_.size() > 1)
                levels_.pop_back();
            else
                done_ = true;
            break;
        case XK_Up:
        case XK_KP_Up: level.highlight(level.layout.nextSelectable(level.highlighted, -1)); break;
        case XK_Down:
        case XK_KP_Down: level.highlight(level.layout.nextSelectable(level.highlighted, +1)); break;
        case XK_Left:
        case XK_KP_Left:
            if (levels_.size() > 1)
                levels_.pop_back();
            break;
        case XK_Right:
        case XK_KP_Right:
            if (onSubmenu)
                choose(last, level.highlighted);
            break;
        case XK_Return:
        case XK_KP_Enter:
        case XK_space:
            if (level.highlighted >= 0)
                choose(last, level.highlighted);
            break;
        default: break;
        }
    }

    Presenter::State& owner_;
    uint32_t flags_;
    std::vector<std::unique_ptr<Level>> levels_;
    const host::MenuItem* chosen_ = nullptr;
    bool done_ = false;
};

} // namespace

const host::MenuItem* MenuPopup::choose(Presenter::State& owner, const std::vector<host::MenuItem>& items, WinPoint at,
                                        uint32_t flags)
{
    if (owner.gone || items.empty())
        return nullptr;
    return Session(owner, flags).run(items, at);
}

} // namespace voltara::platform::x11
