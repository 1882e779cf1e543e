#pragma once

#include "platform/Handles.h"

#include <cstdint>
#include <functional>
#include <string>

namespace voltara::livehost {

// The host's own strip under a plug-in's editor, in the rack's finishes: the
// program's number and name in a display window between a previous and a
// next button, and the share of each period the rack takes and the xruns.
// A child window of the window system, drawn through the toolkit's
// PaintContext. [window thread]
class ProgramStrip {
public:
    static constexpr int height = 32; // pixels

    struct Status {
        int32_t program = 0;
        std::string name;
        double load = 0; // share of the period, 0 .. 1 and above
        uint64_t xruns = 0;
        bool operator==(const Status& other) const;
    };

    // A strip of the given width with its top-left corner at (0, top) of
    // the parent window.
    ProgramStrip(platform::Window parent, int top, int width);
    ~ProgramStrip();
    ProgramStrip(const ProgramStrip&) = delete;
    ProgramStrip& operator=(const ProgramStrip&) = delete;

    // Called with -1 (previous) or +1 (next) when a button is clicked.
    std::function<void(int step)> onStep;

    // Redraws what the strip shows when it changed.
    void show(const Status& status);

    // The buttons' places in the strip's own coordinates, right and bottom
    // excluded.
    struct Area {
        int left, top, right, bottom;
        bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    };
    static constexpr Area previousButton{6, 5, 66, 27};
    static constexpr Area nextButton{372, 5, 432, 27};

private:
    static platform::LResult VOLTARA_CALLBACK procedure(platform::Window window, uint32_t message,
                                                        platform::WParam wParam, platform::LParam lParam);
    void paint();
    void press(int x, int y);
    void release();

    platform::Window window_ = nullptr;
    int width_;
    Status status_;
    int pressed_ = 0; // the button held down: -1 previous, +1 next, 0 none
};

} // namespace voltara::livehost
