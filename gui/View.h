#pragma once

#include "gui/GuiTypes.h"

namespace voltara {

class EditorBase;
class Frame;
class PaintContext;
struct KeyRecord;

// Base of everything the frame draws: a rectangle in frame coordinates with
// a dirty flag, reference counted. [window thread]
class View {
public:
    explicit View(const Rect& size);
    View(const View&) = delete;
    View& operator=(const View&) = delete;

    virtual void draw(PaintContext* context);
    virtual void drawArea(PaintContext* context, const Rect& area);
    // True when the area and the view overlap, edges included.
    virtual bool checkUpdate(const Rect& area);
    virtual void mouse(PaintContext* context, Point where);
    // Draws the view when it is dirty.
    virtual void update(PaintContext* context);
    virtual void notify(View* sender, const char* message);
    // -1: not handled.
    virtual int32_t onKeyDown(KeyRecord* key);
    virtual int32_t onKeyUp(KeyRecord* key);
    // type 0: items are file names; type 1: items points at the text, count is its size.
    virtual bool onDrop(char** items, int32_t count, int32_t type, Point where);
    virtual bool onWheel(PaintContext* context, Point where, float distance);
    virtual void dropFocus(PaintContext* context);
    virtual void gainFocus(PaintContext* context);
    virtual bool isDirty() const;
    virtual void setDirty(bool dirty);
    virtual void enableMouse(bool enabled);
    virtual bool getMouseEnabled() const;
    virtual void setMouseArea(const Rect& area);
    virtual void getMouseArea(Rect& area) const;
    // True when the point lies in the size, edges included.
    virtual bool hitTest(Point where);
    virtual void setDrawTransparent(bool transparent);
    virtual bool getTransparency() const;
    virtual void setViewSize(const Rect& size);
    virtual void setFrame(Frame* frame);
    virtual void setParentView(View* parent);
    virtual EditorBase* getEditor();
    virtual bool onDetach(View* parent);
    virtual bool onAttach(View* parent);
    // Destroys the view when the count reaches 0.
    virtual void dropReference();
    virtual void addReference();
    virtual int32_t getNbReference() const;

    const Rect& getViewSize() const { return size_; }
    Frame* getFrame() const { return frame_; }

protected:
    virtual ~View();

    int32_t references_ = 1;
    Rect size_;
    Rect mouseArea_;
    Frame* frame_ = nullptr;
    View* parentView_ = nullptr;
    bool dirty_ = false;
    bool mouseEnabled_ = true;
    bool transparent_ = false;
};

} // namespace voltara
