#include "gui/Frame.h"

#include "platform/Input.h"

// Which view has the keys, which one holds the frame modally, where the mouse
// is and what cursor it shows.

namespace voltara {

using namespace platform;

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
    for (auto view = views_.rbegin(); view != views_.rend(); ++view)
        if (encloses((*view)->getViewSize(), where))
            return *view;
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

} // namespace voltara
