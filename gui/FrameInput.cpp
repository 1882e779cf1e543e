#include "gui/Frame.h"

#include "gui/WindowContext.h"

// Mouse, keys, drops and the wheel routed to the views: the focus view and
// the modal view first, then the children from the last added.

namespace voltara {

using namespace platform;

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
    for (int32_t i = getViewCount() - 1; i >= 0; --i) {
        View* view = views_[std::size_t(i)];
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
    for (int32_t i = getViewCount() - 1; i >= 0; --i)
        if ((result = (views_[std::size_t(i)]->*handler)(key)) != -1)
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
    for (int32_t i = getViewCount() - 1; i >= 0; --i) {
        View* view = views_[std::size_t(i)];
        if (view->getMouseEnabled() && encloses(view->getViewSize(), where) && view->onDrop(items, count, type, where))
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

} // namespace voltara
