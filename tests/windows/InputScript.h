#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include <windows.h>

namespace voltara::winhost {

// Mouse actions against a window, in the script form `voltara editor
// --script` plays on Linux (one action a line, window pixels, '#' comments):
//   move X Y                  the cursor to (X, Y)
//   down BUTTON [MODIFIER..]  press left, right or middle, with shift, ctrl, alt
//   up [BUTTON..]             release those buttons, or everything
//   wait MS                   let time pass
//   choose N | none           answer the next popup menu: entry N (from 0),
//                             or close it
// Mouse actions are 20 ms apart. A menu is answered as a user answers it:
// once the buttons are up, a click on the entry, or Escape. Played here as real input: SetCursorPos
// and SendInput, from a thread of its own, so that a control following the
// mouse in its own loop on the window thread sees them as a user's.
class InputScript {
public:
    // False with the line that is not understood.
    bool parse(std::istream& in, std::string& error);

    // Starts playing against the window whose client area holds (0, 0).
    void start(HWND window);
    bool finished() const;
    // Waits for the player's thread.
    void finish();

private:
    struct Step {
        uint32_t time; // ms after the start
        bool move;
        int x, y;                   // move: window pixels
        std::vector<DWORD> flags;   // buttons: MOUSEEVENTF_* in order
        std::vector<WORD> keysDown; // modifiers pressed before the buttons
        std::vector<WORD> keysUp;   // modifiers released after them
        int choice;                 // noChoice, or the answer to the next menu
    };
    static constexpr int noChoice = -2;
    static constexpr int closeMenu = -1;

    static DWORD WINAPI play(void* self);
    void perform(const Step& step) const;
    static void answerMenu(int choice);

    std::vector<Step> steps_;
    POINT origin_{0, 0};
    HANDLE thread_ = nullptr;
};

} // namespace voltara::winhost
