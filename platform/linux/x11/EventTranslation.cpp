#include "platform/linux/x11/EventTranslation.h"

#include "platform/linux/Host.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace voltara::platform::x11 {
namespace {

namespace host = platform::host;

// The keys a host hears, with the virtual-key numbers hosts use: the arrow
// keys, which it passes to the editor, and Page Up and Down.
struct HostKey {
    KeySym symbol;
    uint8_t virtualKey;
};
constexpr HostKey hostKeys[] = {{XK_Left, 11},    {XK_Up, 12},    {XK_Right, 13},    {XK_Down, 14},
                                {XK_KP_Left, 11}, {XK_KP_Up, 12}, {XK_KP_Right, 13}, {XK_KP_Down, 14},
                                {XK_Prior, 15},   {XK_Next, 16},  {XK_KP_Prior, 15}, {XK_KP_Next, 16}};

uint32_t modifierBit(KeySym symbol)
{
    switch (symbol) {
    case XK_Shift_L:
    case XK_Shift_R: return host::shiftKey;
    case XK_Control_L:
    case XK_Control_R: return host::controlKey;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R: return host::altKey;
    default: return 0;
    }
}

WindowEvent pointerAt(int x, int y, uint32_t held)
{
    WindowEvent out;
    out.kind = WindowEvent::pointer;
    out.x = x;
    out.y = y;
    out.held = held;
    return out;
}

} // namespace

uint32_t buttonBit(unsigned int button)
{
    switch (button) {
    case Button1: return host::leftButton;
    case Button2: return host::middleButton;
    case Button3: return host::rightButton;
    default: return 0; // the wheel (4 to 7) and extra buttons
    }
}

uint32_t heldFromState(unsigned int state)
{
    struct Bit {
        unsigned int mask;
        uint32_t held;
    };
    static const Bit bits[] = {{Button1Mask, host::leftButton},  {Button2Mask, host::middleButton},
                               {Button3Mask, host::rightButton}, {ShiftMask, host::shiftKey},
                               {ControlMask, host::controlKey},  {Mod1Mask, host::altKey}};
    uint32_t held = 0;
    for (const Bit& bit : bits)
        if (state & bit.mask)
            held |= bit.held;
    return held;
}

WindowEvent translate(XEvent& event, ::Window window, Atom deleteWindow)
{
    WindowEvent out;
    switch (event.type) {
    case MotionNotify: return pointerAt(event.xmotion.x, event.xmotion.y, heldFromState(event.xmotion.state));
    case EnterNotify:
    case LeaveNotify: return pointerAt(event.xcrossing.x, event.xcrossing.y, heldFromState(event.xcrossing.state));
    case ButtonPress:
    case ButtonRelease: {
        const uint32_t bit = buttonBit(event.xbutton.button);
        if (bit == 0)
            return out;
        const uint32_t before = heldFromState(event.xbutton.state);
        return pointerAt(event.xbutton.x, event.xbutton.y, event.type == ButtonPress ? before | bit : before & ~bit);
    }
    case KeyPress:
    case KeyRelease: {
        const KeySym symbol = XLookupKeysym(&event.xkey, 0);
        const bool down = event.type == KeyPress;
        if (const uint32_t bit = modifierBit(symbol)) {
            const uint32_t before = heldFromState(event.xkey.state);
            return pointerAt(event.xkey.x, event.xkey.y, down ? before | bit : before & ~bit);
        }
        for (const HostKey& hostKey : hostKeys)
            if (hostKey.symbol == symbol) {
                out = pointerAt(event.xkey.x, event.xkey.y, heldFromState(event.xkey.state));
                out.kind = WindowEvent::key;
                out.virtualKey = hostKey.virtualKey;
                out.keyDown = down;
                return out;
            }
        return out;
    }
    case Expose:
        out.kind = WindowEvent::expose;
        out.area = {event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width,
                    event.xexpose.y + event.xexpose.height};
        return out;
    case ClientMessage:
        if (event.xclient.format == 32 && Atom(event.xclient.data.l[0]) == deleteWindow)
            out.kind = WindowEvent::closeRequested;
        return out;
    case DestroyNotify:
        if (event.xdestroywindow.window == window)
            out.kind = WindowEvent::destroyed;
        return out;
    default: return out;
    }
}

} // namespace voltara::platform::x11
