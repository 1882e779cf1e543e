#include "gui/Frame.h"

#include "gui/GuiBitmap.h"
#include "gui/WindowContext.h"

// Drawing the frame and its views, and redrawing what is dirty.

namespace voltara {

using namespace platform;

void Frame::draw(PaintContext* context)
{
    firstDrawPending_ = false;
    if (background_)
        background_->draw(context, {0, 0, background_->getWidth(), background_->getHeight()}, {0, 0});
    for (std::size_t i = 0; i < views_.size(); ++i)
        views_[i]->draw(context);
    if (modalView_)
        modalView_->draw(context);
}

void Frame::drawArea(PaintContext* context, const Rect& area)
{
    firstDrawPending_ = false;
    if (background_)
        background_->draw(context, area, {area.left, area.top});
    for (std::size_t i = 0; i < views_.size(); ++i)
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
        for (std::size_t i = 0; i < views_.size(); ++i)
            views_[i]->update(context);
    }
}

bool Frame::isSomethingDirty() const
{
    if (modalView_ || isDirty())
        return true;
    for (std::size_t i = 0; i < views_.size(); ++i)
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

} // namespace voltara
