#include "tools/livehost/ProgramStrip.h"

#include "gui/PaintContext.h"
#include "platform/Input.h"
#include "platform/Window.h"

#include <cmath>
#include <cstdio>

namespace voltara::livehost {

using namespace platform;

namespace {

const char* const className = "VoltaraProgramStrip";

// The rack's finishes, as the artwork draws them (tools/artwork/Style.h).
constexpr Colour chassis{30, 31, 34, 0};
constexpr Colour well{17, 17, 19, 0};
constexpr Colour edge{64, 65, 70, 0};
constexpr Colour silkscreen{238, 230, 210, 0};
constexpr Colour dimSilkscreen{176, 170, 156, 0};
constexpr Colour lcd{214, 221, 190, 0};
constexpr Colour lcdBezel{10, 10, 12, 0};
constexpr Colour amber{255, 176, 48, 0};

constexpr ProgramStrip::Area display{72, 5, 366, 27};
constexpr ProgramStrip::Area meter{440, 5, 594, 27};

constexpr int captionFont = 4; // 11 pixels
constexpr int nameFont = 2;    // 14 pixels
constexpr int boldStyle = 1;

// The pixels of an area, left and top included, right and bottom not.
void fill(PaintContext& context, const ProgramStrip::Area& area, Colour colour)
{
    context.setFillColour(colour);
    context.fillRect({area.left - 1, area.top - 1, area.right, area.bottom});
}

void text(PaintContext& context, const char* what, const ProgramStrip::Area& area, Colour colour, int font,
          int alignment)
{
    context.setFont(font, 0, boldStyle);
    context.setFontColour(colour);
    context.drawString(what, {area.left, area.top, area.right, area.bottom}, false, alignment);
}

// A triangle nine pixels high and five wide pointing left (-1) or right
// (+1), its tip at x.
void arrow(PaintContext& context, int x, int middle, int direction, Colour colour)
{
    context.setFrameColour(colour);
    for (int row = -4; row <= 4; ++row) {
        const int reach = 4 - std::abs(row);
        context.moveTo({x - direction * 4, middle + row});
        context.lineTo({x - direction * (4 - reach) + direction, middle + row});
    }
}

void button(PaintContext& context, const ProgramStrip::Area& area, const char* caption, int direction, bool pressed)
{
    fill(context, area, pressed ? edge : well);
    context.setFrameColour(pressed ? amber : edge);
    context.drawArea({area.left, area.top, area.right - 1, area.bottom - 1});
    const Colour ink = pressed ? amber : silkscreen;
    const int middle = (area.top + area.bottom) / 2;
    if (direction < 0) {
        arrow(context, area.left + 8, middle, -1, ink);
        text(context, caption, {area.left + 16, area.top, area.right - 4, area.bottom}, ink, captionFont, 1);
    } else {
        arrow(context, area.right - 9, middle, 1, ink);
        text(context, caption, {area.left + 4, area.top, area.right - 16, area.bottom}, ink, captionFont, 1);
    }
}

} // namespace

bool ProgramStrip::Status::operator==(const Status& other) const
{
    return program == other.program && name == other.name && load == other.load && xruns == other.xruns;
}

ProgramStrip::ProgramStrip(Window parent, int top, int width) : width_(width)
{
    WindowClass windowClass{};
    windowClass.procedure = &ProgramStrip::procedure;
    windowClass.className = className;
    RegisterClassA(&windowClass); // fails harmlessly when it exists
    window_ = CreateWindowExA(0, className, "Programs", WS_CHILD | WS_VISIBLE, 0, top, width, height, parent, nullptr,
                              nullptr, nullptr);
    SetWindowUserData(window_, this);
}

ProgramStrip::~ProgramStrip()
{
    if (window_) {
        SetWindowUserData(window_, nullptr);
        DestroyWindow(window_);
    }
}

void ProgramStrip::show(const Status& status)
{
    // A button let go of outside the strip tells the strip nothing.
    const bool letGo = pressed_ != 0 && GetAsyncKeyState(VK_LBUTTON) >= 0;
    if (status == status_ && !letGo)
        return;
    status_ = status;
    if (letGo)
        pressed_ = 0;
    InvalidateRect(window_, nullptr, 0);
}

LResult VOLTARA_CALLBACK ProgramStrip::procedure(Window window, uint32_t message, WParam wParam, LParam lParam)
{
    auto* strip = static_cast<ProgramStrip*>(GetWindowUserData(window));
    if (!strip)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: strip->paint(); return 0;
    case WM_ERASEBKGND: return 1; // paint covers every pixel
    case WM_LBUTTONDOWN: strip->press(loWord(lParam), hiWord(lParam)); return 0;
    case WM_LBUTTONUP: strip->release(); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

void ProgramStrip::press(int x, int y)
{
    pressed_ = previousButton.contains(x, y) ? -1 : nextButton.contains(x, y) ? 1 : 0;
    if (pressed_ == 0)
        return;
    InvalidateRect(window_, nullptr, 0);
    if (onStep)
        onStep(pressed_);
}

void ProgramStrip::release()
{
    if (pressed_ == 0)
        return;
    pressed_ = 0;
    InvalidateRect(window_, nullptr, 0);
}

void ProgramStrip::paint()
{
    PaintStruct paintStruct{};
    const DeviceContext dc = BeginPaint(window_, &paintStruct);
    {
        PaintContext context(nullptr, dc, window_);
        fill(context, {0, 0, width_, height}, chassis);
        fill(context, {0, 0, width_, 1}, well); // the seam under the editor

        button(context, previousButton, "PREV", -1, pressed_ < 0);
        button(context, nextButton, "NEXT", 1, pressed_ > 0);

        fill(context, display, lcdBezel);
        fill(context, {display.left + 1, display.top + 1, display.right - 1, display.bottom - 1}, lcd);
        char number[16];
        std::snprintf(number, sizeof number, "%d", int(status_.program));
        text(context, number, {display.left + 4, display.top, display.left + 28, display.bottom}, colours::black,
             nameFont, 2);
        text(context, status_.name.c_str(), {display.left + 36, display.top, display.right - 4, display.bottom},
             colours::black, nameFont, 0);

        char load[32];
        std::snprintf(load, sizeof load, "DSP %.0f%%", std::ceil(status_.load * 100.0));
        text(context, load, {meter.left, meter.top, meter.left + 70, meter.bottom}, dimSilkscreen, captionFont, 0);
        char xruns[32];
        std::snprintf(xruns, sizeof xruns, "%llu XRUN%s", (unsigned long long)status_.xruns,
                      status_.xruns == 1 ? "" : "S");
        text(context, xruns, {meter.left + 70, meter.top, meter.right, meter.bottom},
             status_.xruns > 0 ? amber : dimSilkscreen, captionFont, 2);
    }
    EndPaint(window_, &paintStruct);
}

} // namespace voltara::livehost
