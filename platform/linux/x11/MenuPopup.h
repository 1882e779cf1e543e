#pragma once

#include "platform/linux/Host.h"
#include "platform/linux/x11/Presenter.h"

#include <vector>

// A popup menu of a presented window as a real popup: drawn by us
// (MenuLayout), opened at the point given, modal until an entry is chosen,
// a click lands outside it or Escape is pressed. Entries highlight under the
// pointer; a release over an enabled entry chooses it (the left button, and
// the right one too with TPM_RIGHTBUTTON), so a press that opened the menu
// may slide onto an entry; sub-menus open beside their entry; the arrow keys
// move, Return chooses. The presented windows repaint meanwhile.

namespace voltara::platform::x11 {

class MenuPopup {
public:
    // The item chosen (one of items, sub-menus included), or null.
    static const host::MenuItem* choose(Presenter::State& owner, const std::vector<host::MenuItem>& items, WinPoint at,
                                        uint32_t flags);
};

} // namespace voltara::platform::x11
