#pragma once

#include "platform/DragDrop.h"
#include "platform/Gdi.h"
#include "platform/Window.h"
#include "platform/linux/Host.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// The window system's own objects behind the opaque handles.

namespace voltara::platform {

struct GdiObjectBase {
    enum Kind { pen, brush, font, bitmap };
    explicit GdiObjectBase(Kind k) : kind(k) {}
    virtual ~GdiObjectBase() = default;
    Kind kind;
    bool stock = false;
    int selections = 0; // device contexts it is selected into
};

struct PenObject : GdiObjectBase {
    PenObject() : GdiObjectBase(pen) {}
    int style = PS_SOLID;
    int width = 1;
    ColourRef colour = 0;
};

struct BrushObject : GdiObjectBase {
    BrushObject() : GdiObjectBase(brush) {}
    uint32_t style = BS_SOLID;
    ColourRef colour = 0;
    bool null = false;
};

struct FontFace;

struct FontObject : GdiObjectBase {
    FontObject() : GdiObjectBase(font) {}
    LogFont request{};
    FontFace* face = nullptr; // the face that stands in for the request, null without fonts
    int pixelHeight = 0;      // em height in pixels
};

// Colour bitmaps hold ColourRef values; monochrome ones only 0 (black) and
// 0xFFFFFF (white), so that raster operations treat both alike.
struct BitmapObject : GdiObjectBase {
    BitmapObject(int w, int h, bool m) : GdiObjectBase(bitmap), width(w), height(h), mono(m), pixels(size_t(w) * h) {}
    int width;
    int height;
    bool mono;
    std::vector<uint32_t> pixels;
};

// The pixels of a top-level window; its children draw into it.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // Where drawing landed since the host last asked (takeDrawnAreas).
    std::vector<WinRect> drawn;
    // The texts drawn since the host last asked (takeDrawnTexts), rectangles
    // in surface coordinates.
    std::vector<host::DrawnText> texts;
};

struct ClassEntry {
    std::string name;
    WindowClass definition{};
};

struct WindowObject {
    std::shared_ptr<ClassEntry> windowClass;
    WindowObject* parent = nullptr;
    std::vector<WindowObject*> children;
    WinRect rect{}; // in the parent's coordinates (screen coordinates for top-level windows)
    uint32_t style = 0;
    void* userData = nullptr;
    std::shared_ptr<Surface> surface; // the top-level window's
    std::thread::id thread;
    bool hasUpdate = false;
    WinRect update{}; // bounding box of the update region, window coordinates
    bool erase = false;
    DropTargetInterface* dropTarget = nullptr;
    bool destroying = false;
};

struct DeviceContextObject {
    WindowObject* window = nullptr;   // window contexts
    BitmapObject* bitmap = nullptr;   // memory contexts: the selected bitmap
    std::shared_ptr<Surface> surface; // window contexts
    WinPoint origin{};                // the window's place on its surface
    WinRect clip{};                   // surface or bitmap coordinates
    bool memory = false;
    PenObject* pen = nullptr;
    BrushObject* brush = nullptr;
    FontObject* font = nullptr;
    ColourRef background = 0xFFFFFF;
    ColourRef text = 0;
    int backgroundMode = OPAQUE;
    int mapMode = MM_TEXT;
    WinPoint position{};
};

// Where a drawing operation lands: pixels, their row length, the clip and the
// offset of logical coordinate 0.
struct DrawTarget {
    uint32_t* pixels = nullptr;
    int stride = 0;
    bool mono = false;
    WinRect clip{};
    WinPoint origin{};
};

// Something a host installs (a menu chooser, a shortcut resolver), read on
// any thread; lives as long as the process.
template <typename T>
class Installed {
public:
    void set(T value)
    {
        std::lock_guard<std::mutex> guard(lock_);
        value_ = std::move(value);
    }
    T get() const
    {
        std::lock_guard<std::mutex> guard(lock_);
        return value_;
    }

private:
    mutable std::mutex lock_;
    T value_;
};

// The window system's state lives behind one lock; no call holds it while a
// window procedure runs.
std::mutex& systemLock();
// Resolves a context's target; false when there is nothing to draw on.
bool drawTarget(DeviceContextObject* dc, DrawTarget& target);
// Records that an area (surface coordinates) of a window context's surface
// was drawn on; clipped to the context. Under the system lock.
void noteDrawn(DeviceContextObject* dc, WinRect area);
// Records a text laid out in rect (surface coordinates) on a window context's
// surface. Under the system lock.
void noteText(DeviceContextObject* dc, WinRect rect, const std::string& text);
// A context with the stock pen, brush and font (and, for memory contexts, the
// stock monochrome 1 x 1 bitmap) selected.
DeviceContextObject* newContext(bool memory);
void deleteContext(DeviceContextObject* dc);
bool isLiveWindow(WindowObject* window);
void postMessage(WindowObject* window, uint32_t message, WParam wParam, LParam lParam);
// The deepest visible window under a screen point, or null.
WindowObject* windowAt(WinPoint screen);
WinPoint screenOrigin(WindowObject* window);
void moveCursor(WinPoint screen);
ColourRef toMonoColour(ColourRef colour, ColourRef background);

// Text through FreeType (Text.cpp).
void chooseFace(FontObject* font);
int drawText(DeviceContextObject* dc, const char* text, int count, WinRect* rect, uint32_t format);

// A bitmap file as a colour bitmap (Dib.cpp); null when the data is not one.
BitmapObject* bitmapFromFile(const unsigned char* data, size_t size);

} // namespace voltara::platform
