#include "gui/PopupChoiceMenu.h"

#include "gui/Frame.h"
#include "gui/GuiBitmap.h"
#include "gui/PaintContext.h"
#include "platform/Window.h"

// A click opens the popup; the user's choice becomes the current entry and
// is reported to the listener.

namespace voltara {

using namespace platform;

void PopupChoiceMenu::mouse(PaintContext* context, Point)
{
    if (!frame_ || !context)
        return;
    lastButtons_ = context->queryMouseButtons();
    if (!(lastButtons_ & (mouseLeft | mouseRight)))
        return;
    if (clickBackground_ && isEntry(current_))
        drawText(context, entries_.text(current_), clickBackground_);
    frame_->setFocusView(this);
    gainFocus(context);
}

void PopupChoiceMenu::gainFocus(PaintContext* context)
{
    if (!frame_)
        return;
    lastCommand_ = -1;
    platform::Window window = frame_->getSystemWindow();
    Point origin;
    if (context) {
        origin = context->windowOrigin();
    } else {
        WinRect rect{0, 0, 0, 0};
        GetWindowRect(window, &rect);
        origin = {rect.left, rect.top};
    }
    uintptr_t counter = 0;
    menu_ = build(counter);
    const int32_t y = (style_ & openAtTop) ? size_.top : size_.bottom;
    const bool shown = TrackPopupMenu(menu_, (lastButtons_ & mouseRight) ? TPM_RIGHTBUTTON : 0, size_.left + origin.h,
                                      y + origin.v, 0, window, nullptr);
    int32_t choice = -1;
    if (shown) {
        Message message;
        if (PeekMessageA(&message, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) && message.wParam < 0x10000) {
            choice = int32_t(message.wParam);
            lastCommand_ = choice;
        }
        // The click that closed the menu must not reach a control.
        for (int i = 0; i < 2; ++i)
            PeekMessageA(&message, window, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE);
    }
    DestroyMenu(menu_);
    menu_ = nullptr;
    frame_->setFocusView(nullptr);
    if (choice < 0 && !clickBackground_)
        return;
    if (choice >= 0) {
        uintptr_t numbers = 0;
        int32_t local = 0;
        if (PopupChoiceMenu* owner = ownerOf(uintptr_t(choice), numbers, local)) {
            owner->setValue(float(local));
            if (listener_)
                listener_->onControlChange(context, owner);
        }
    }
    runIdleWork();
    setDirty(false);
}

} // namespace voltara
