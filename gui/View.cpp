#include "gui/View.h"

#include "gui/Frame.h"

namespace voltara {

View::View(const Rect& size) : size_(size), mouseArea_(size) {}

View::~View() = default;

void View::draw(PaintContext*) {}

void View::drawArea(PaintContext* context, const Rect&)
{
    draw(context);
}

bool View::checkUpdate(const Rect& area)
{
    return !(area.right < size_.left || area.left > size_.right || area.bottom < size_.top || area.top > size_.bottom);
}

void View::mouse(PaintContext*, Point) {}

void View::update(PaintContext* context)
{
    if (isDirty()) {
        draw(context);
        setDirty(false);
    }
}

void View::notify(View*, const char*) {}

int32_t View::onKeyDown(KeyRecord*)
{
    return -1;
}

int32_t View::onKeyUp(KeyRecord*)
{
    return -1;
}

bool View::onDrop(char**, int32_t, int32_t, Point)
{
    return false;
}

bool View::onWheel(PaintContext*, Point, float)
{
    return false;
}

void View::dropFocus(PaintContext*) {}

void View::gainFocus(PaintContext*) {}

bool View::isDirty() const
{
    return dirty_;
}

void View::setDirty(bool dirty)
{
    dirty_ = dirty;
}

void View::enableMouse(bool enabled)
{
    mouseEnabled_ = enabled;
}

bool View::getMouseEnabled() const
{
    return mouseEnabled_;
}

void View::setMouseArea(const Rect& area)
{
    mouseArea_ = area;
}

void View::getMouseArea(Rect& area) const
{
    area = mouseArea_;
}

bool View::hitTest(Point where)
{
    return where.h >= size_.left && where.h <= size_.right && where.v >= size_.top && where.v <= size_.bottom;
}

void View::setDrawTransparent(bool transparent)
{
    transparent_ = transparent;
}

bool View::getTransparency() const
{
    return transparent_;
}

void View::setViewSize(const Rect& size)
{
    size_ = size;
    setDirty(true);
}

void View::setFrame(Frame* frame)
{
    frame_ = frame;
}

void View::setParentView(View* parent)
{
    parentView_ = parent;
}

EditorBase* View::getEditor()
{
    return frame_ ? frame_->getEditor() : nullptr;
}

bool View::onDetach(View*)
{
    return true;
}

bool View::onAttach(View*)
{
    return true;
}

void View::dropReference()
{
    if (references_ >= 1 && --references_ == 0)
        delete this;
}

void View::addReference()
{
    ++references_;
}

int32_t View::getNbReference() const
{
    return references_;
}

} // namespace voltara
