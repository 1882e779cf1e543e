#pragma once

#include "gui/View.h"
#include "platform/Module.h"
#include "platform/Window.h"
#include "plugin/host/HostEditor.h"

#include <vector>

namespace voltara {

class DropTarget;
class GuiBitmap;

// The editor's window: one native child window inside the host's window and
// a flat list of views, drawn in the order they were added. Turns the
// window's messages into calls on the views and redraws what changed when
// the editor's idle time comes. [window thread]
class Frame : public View {
public:
    Frame(const Rect& size, platform::Window parentWindow, EditorBase* editor);
    ~Frame() override;

    // Input the user gives the frame: a click and the drag that follows it,
    // a key. The host may close the editor or the plug-in from inside a call
    // the input makes; the frame, its views, the editor and the plug-in all
    // stay until the input has returned.
    class UserInput {
    public:
        explicit UserInput(Frame* frame);
        ~UserInput();
        UserInput(const UserInput&) = delete;
        UserInput& operator=(const UserInput&) = delete;

    private:
        HostEditor::InputScope scope_;
        Frame* frame_;
    };

    void draw(PaintContext* context) override;
    void drawArea(PaintContext* context, const Rect& area) override;
    void mouse(PaintContext* context, Point where) override;
    void update(PaintContext* context) override;
    int32_t onKeyDown(KeyRecord* key) override;
    int32_t onKeyUp(KeyRecord* key) override;
    bool onDrop(char** items, int32_t count, int32_t type, Point where) override;
    bool onWheel(PaintContext* context, Point where, float distance) override;
    EditorBase* getEditor() override;

    virtual bool addView(View* view);
    virtual bool removeView(View* view, bool alsoDropReference = true);
    virtual bool removeAll(bool alsoDropReference = true);
    virtual bool isChild(View* view) const;
    virtual int32_t getViewCount() const;
    virtual View* getView(int32_t index) const;

    void setBackground(GuiBitmap* background);
    GuiBitmap* getBackground() const { return background_; }
    // Refuses a new modal view while one is set.
    bool setModalView(View* view);
    View* getModalView() const { return modalView_; }
    void setFocusView(View* view);
    View* getFocusView() const { return focusView_; }
    // The last added child under the mouse, or null.
    View* getViewAt();
    // The mouse in frame coordinates.
    bool getCurrentLocation(Point& where);
    // 0 restores the cursor found at the first change; 1 wait; 2 to 6 sizing.
    void setCursor(int32_t kind);
    // Draws one child, or the whole frame for any other view.
    void drawView(View* view);
    bool isSomethingDirty() const;
    // Draws what changed, once the window has been painted for the first time.
    void updateIfDirty();
    // Keeps the host and the window serviced while a control tracks the mouse.
    void idle();
    uint32_t getTicks() const;
    void beginGesture(int32_t tag);
    void endGesture(int32_t tag);

    platform::Window getSystemWindow() const { return window_; }
    platform::Window getParentWindow() const { return parentWindow_; }
    // Until the window is destroyed or the editor closes the frame; a closed
    // frame draws nothing and ends a drag in it.
    bool isOpen() const { return open_; }
    void markClosed() { open_ = false; }
    bool isFirstDrawPending() const { return firstDrawPending_; }
    int32_t getViewCapacity() const { return int32_t(views_.capacity()); }

    // "Plugin%08x" with the library's module handle.
    static void windowClassName(char (&name)[32]);

private:
    // Revokes the drop target and lets go of the window's handle.
    void forgetWindow();
    // Whether a view's rectangle, edges included, holds the point.
    static bool encloses(const Rect& size, Point where)
    {
        return where.h >= size.left && where.h <= size.right && where.v >= size.top && where.v <= size.bottom;
    }
    // Asks the focus view, the modal view, then the children from the last added.
    int32_t routeKey(int32_t (View::*handler)(KeyRecord*), KeyRecord* key);
    static platform::LResult VOLTARA_CALLBACK windowProcedure(platform::Window window, uint32_t message,
                                                              platform::WParam wParam, platform::LParam lParam);

    EditorBase* editor_;
    platform::Window parentWindow_;
    GuiBitmap* background_ = nullptr;
    std::vector<View*> views_; // grown by ten entries at a time
    View* modalView_ = nullptr;
    View* focusView_ = nullptr;
    bool firstDrawPending_ = true;
    bool open_ = true;
    bool dropRegistered_ = false;
    platform::Window window_ = nullptr;
    platform::Module imagingLibrary_ = nullptr;
    platform::Cursor savedCursor_ = nullptr;
    bool cursorRecorded_ = false;
    DropTarget* dropTarget_ = nullptr;
    bool usesWindowClass_ = false;
};

} // namespace voltara
