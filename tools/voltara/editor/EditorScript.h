#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace voltara {

// What `voltara editor --script` plays against the editor: one action a
// line, in window pixels and milliseconds; '#' starts a comment.
//
//   move X Y                 the cursor to (X, Y)
//   down BUTTON [MODIFIER..] press left, right or middle, with shift, ctrl, alt
//   up [BUTTON..]            release those buttons, or everything
//   wait MS                  let time pass
//   wheel N                  turn the wheel N notches
//   key NAME [shift]         an arrow key (left, right, up, down) as the host passes it
//   choose N | none          answer the next popup menu: entry N (from 0), or close it
//   select PATH | none       answer the next file selector: that path, or cancel
//
// Mouse actions are 20 ms apart, so a control that follows the mouse sees
// each of them.
struct EditorScript {
    struct Step {
        enum Kind { input, key, wheel, chooseEntry, selectPath };
        Kind kind = input;
        int line = 0;
        uint32_t time = 0; // ms after the script starts
        // input: the cursor in window pixels and what is held from then on
        int x = 0;
        int y = 0;
        uint32_t held = 0;
        // key
        uint8_t virtualKey = 0;
        uint8_t modifier = 0;
        // wheel
        float distance = 0;
        // choose: the entry, -1 for none; select: the path, empty for none
        int entry = -1;
        std::string path;
    };

    static constexpr uint32_t stepTime = 20; // ms between mouse actions
    // The longest a script may last, in ms: about 24 days.
    static constexpr int64_t longestTime = INT32_MAX;

    // Throws ToolError naming the source and line ("FILE:LINE: ...").
    static EditorScript parse(std::istream& in, const std::string& source);

    // "FILE:LINE" of a step, for what goes wrong when it is played.
    std::string where(const Step& step) const { return source + ":" + std::to_string(step.line); }

    std::string source;
    std::vector<Step> steps;
};

} // namespace voltara
