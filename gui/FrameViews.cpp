#include "gui/Frame.h"

#include <algorithm>
#include <new>

// The frame's children: a flat list in the order they were added.

namespace voltara {

using namespace platform;

namespace {

constexpr std::size_t viewGrowth = 10; // entries the list grows by when full

} // namespace

bool Frame::addView(View* view)
{
    if (!view)
        return false;
    if (views_.size() == views_.capacity()) {
        try {
            views_.reserve(views_.capacity() + viewGrowth);
        } catch (const std::bad_alloc&) {
            return false; // the list stays as it was
        }
    }
    views_.push_back(view);
    view->setFrame(this);
    view->onAttach(this);
    return true;
}

bool Frame::removeView(View* view, bool alsoDropReference)
{
    const auto kept = std::remove(views_.begin(), views_.end(), view);
    const bool found = kept != views_.end();
    views_.erase(kept, views_.end());
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
    for (View* view : views_) {
        view->onDetach(this);
        if (alsoDropReference)
            view->dropReference();
    }
    std::vector<View*>().swap(views_); // the storage goes too
    return true;
}

bool Frame::isChild(View* view) const
{
    return std::find(views_.begin(), views_.end(), view) != views_.end();
}

int32_t Frame::getViewCount() const
{
    return int32_t(views_.size());
}

View* Frame::getView(int32_t index) const
{
    return index >= 0 && index < getViewCount() ? views_[std::size_t(index)] : nullptr;
}

} // namespace voltara
