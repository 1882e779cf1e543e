#pragma once

#include "gui/GuiTypes.h"

#include <cstdint>

// The editor's panel: every control with its class, place, bitmap and
// parameter, in the order the editor creates them. The artwork generator
// places its captions, wells and display windows by the same table.

namespace voltara {

enum class ControlClass : uint8_t {
    filmstripKnob,
    toggleButton,
    rateDisplay,
    momentaryButton,
    horizontalStripSwitch,
    verticalStripSwitch,
    wahPedal,
    ledPanel,
    splashArea,
};

struct ControlEntry {
    ControlClass kind;
    int32_t tag;         // the parameter index; a rate display's display index
    Rect rect;           // window pixels, right and bottom exclusive
    int32_t bitmap;      // resource id (the lamp panel's first; wahLedBitmap is its second)
    int32_t imageCount;  // knobs and strip switches: images in the strip
    int32_t imageHeight; // knobs, strip switches and the bank button: pixels per image
    int32_t positions;   // strip switches
    bool transparent;    // drawn with the bitmap's see-through colour over the background
};

inline constexpr int32_t backgroundBitmap = 153;
inline constexpr int32_t splashBitmap = 139;
inline constexpr int32_t wahLedBitmap = 172;
inline constexpr int32_t bankLoadTag = 1;
inline constexpr int32_t splashTag = 2;
// The display index whose module has no tempo sync: it takes no clicks.
inline constexpr int32_t reverbDisplay = 3;
// Where the splash picture's top-left corner lies; its size is the bitmap's.
inline constexpr Point splashPictureOrigin = {102, 40};

namespace layout {

constexpr ControlEntry knob(int32_t tag, Rect rect, int32_t bitmap, int32_t side)
{
    return {ControlClass::filmstripKnob, tag, rect, bitmap, 128, side, 0, true};
}
constexpr ControlEntry smallKnob(int32_t tag, Rect rect)
{
    return knob(tag, rect, 157, 18);
}
constexpr ControlEntry largeKnob(int32_t tag, Rect rect)
{
    return knob(tag, rect, 158, 27);
}
constexpr ControlEntry toggle(int32_t tag, Rect rect, int32_t bitmap, bool transparent = false)
{
    return {ControlClass::toggleButton, tag, rect, bitmap, 0, 0, 0, transparent};
}
constexpr ControlEntry syncSwitch(int32_t tag, Rect rect)
{
    return toggle(tag, rect, 159);
}
constexpr ControlEntry moduleButton(int32_t tag, Rect rect)
{
    return toggle(tag, rect, 164, true);
}
constexpr ControlEntry rateDisplay(int32_t displayIndex, Rect rect)
{
    return {ControlClass::rateDisplay, displayIndex, rect, backgroundBitmap, 0, 0, 0, false};
}
constexpr ControlEntry stripSwitch(ControlClass kind, int32_t tag, Rect rect, int32_t bitmap, int32_t images,
                                   int32_t imageHeight)
{
    return {kind, tag, rect, bitmap, images, imageHeight, images, false};
}
constexpr ControlEntry splashArea(Rect rect)
{
    return {ControlClass::splashArea, splashTag, rect, splashBitmap, 0, 0, 0, false};
}

} // namespace layout

inline constexpr int32_t rackControlCount = 48;

// Numbered 1 to 48 in the comments; tags 1 and 2 are not module parameters.
inline constexpr ControlEntry rackControls[rackControlCount] = {
    layout::smallKnob(17, {149, 196, 167, 214}),    // 1 filter threshold
    layout::smallKnob(21, {217, 196, 235, 214}),    // 2 filter maximum frequency
    layout::smallKnob(26, {267, 190, 285, 208}),    // 3 phaser rate
    layout::smallKnob(27, {335, 190, 353, 208}),    // 4 phaser colour
    layout::smallKnob(34, {384, 196, 402, 214}),    // 5 flanger rate
    layout::smallKnob(35, {452, 196, 470, 214}),    // 6 flanger feedback
    layout::smallKnob(42, {497, 196, 515, 214}),    // 7 chorus rate
    layout::smallKnob(43, {569, 196, 587, 214}),    // 8 chorus depth
    layout::smallKnob(50, {149, 16, 167, 34}),      // 9 delay time
    layout::smallKnob(52, {149, 71, 167, 89}),      // 10 delay feedback
    layout::smallKnob(53, {217, 71, 235, 89}),      // 11 delay character
    layout::smallKnob(54, {217, 16, 235, 34}),      // 12 delay mix
    layout::smallKnob(57, {270, 16, 288, 34}),      // 13 reverb time
    layout::smallKnob(59, {330, 16, 348, 34}),      // 14 reverb mix
    layout::smallKnob(66, {383, 13, 401, 31}),      // 15 tremolo rate
    layout::smallKnob(67, {451, 13, 469, 31}),      // 16 tremolo depth
    layout::largeKnob(10, {14, 17, 41, 44}),        // 17 wah rate
    layout::largeKnob(11, {92, 17, 119, 44}),       // 18 wah resonance
    layout::syncSwitch(9, {61, 17, 72, 42}),        // 19 wah sync
    layout::syncSwitch(25, {304, 186, 315, 211}),   // 20 phaser sync
    layout::syncSwitch(33, {422, 192, 433, 217}),   // 21 flanger sync
    layout::syncSwitch(49, {187, 13, 198, 38}),     // 22 delay sync
    layout::syncSwitch(65, {420, 9, 431, 34}),      // 23 tremolo sync
    layout::rateDisplay(0, {261, 241, 290, 250}),   // 24 phaser rate and sync
    layout::rateDisplay(1, {379, 241, 408, 250}),   // 25 flanger rate and sync
    layout::rateDisplay(2, {143, 51, 172, 60}),     // 26 delay time and sync
    layout::rateDisplay(3, {263, 51, 292, 60}),     // 27 reverb time
    layout::rateDisplay(4, {378, 64, 407, 73}),     // 28 tremolo rate and sync
    layout::rateDisplay(5, {13, 77, 42, 86}),       // 29 wah rate and sync
    layout::moduleButton(16, {166, 278, 204, 303}), // 30 filter on
    layout::moduleButton(24, {281, 278, 319, 303}), // 31 phaser on
    layout::moduleButton(40, {516, 278, 554, 303}), // 32 chorus on
    layout::moduleButton(48, {166, 130, 204, 155}), // 33 delay on
    layout::moduleButton(56, {281, 130, 319, 155}), // 34 reverb on
    layout::moduleButton(64, {401, 130, 439, 155}), // 35 tremolo on
    layout::moduleButton(32, {401, 278, 439, 303}), // 36 flanger on
    layout::toggle(19, {179, 236, 204, 261}, 161),  // 37 filter mode
    layout::toggle(41, {530, 234, 555, 259}, 160),  // 38 chorus mode
    layout::stripSwitch(ControlClass::horizontalStripSwitch, 51, {177, 69, 207, 97}, 163, 4, 28), // 39 delay mode
    layout::stripSwitch(ControlClass::verticalStripSwitch, 58, {278, 78, 305, 104}, 162, 3, 26),  // 40 reverb mode
    {ControlClass::wahPedal, 12, {0, 93, 132, 353}, 165, 16, 260, 0, false},                      // 41 wah pedal
    layout::toggle(0, {484, 9, 600, 53}, 166),                                                    // 42 global bypass
    layout::toggle(8, {74, 75, 121, 93}, 170),                                                    // 43 wah on
    {ControlClass::momentaryButton, bankLoadTag, {507, 73, 545, 105}, 167, 2, 32, 0, false},      // 44 bank load
    layout::syncSwitch(63, {304, 12, 315, 37}),                                                   // 45 reverb position
    {ControlClass::ledPanel, -1, {0, 0, 4, 4}, 171, 0, 0, 0, false},                              // 46 modulation lamps
    layout::splashArea({16, 332, 106, 345}),                                                      // 47 splash
    layout::splashArea({475, 325, 584, 355}), // 48 splash, one pixel taller than the window
};

// The order in which the frame holds and draws them, later over earlier, by
// number: the knobs, each rate display with its sync switch and a module
// button, then the rest; the splash areas last.
inline constexpr int32_t drawingOrder[rackControlCount] = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 24, 19, 30, 25, 20, 31,
    26, 21, 32, 27, 22, 33, 28, 23, 34, 29, 35, 36, 39, 40, 38, 37, 41, 43, 44, 42, 45, 46, 47, 48,
};

// The modulation lamps, on the filter, phaser, flanger, chorus and tremolo
// on/off buttons (lamp 0 to 4, bitmap 171) and on the wah button (lamp 5,
// bitmap 172), in LampPacking order.
inline constexpr int32_t ledCount = 6;
inline constexpr int32_t wahLed = 5;
inline constexpr Rect ledPlaces[ledCount] = {
    {166, 287, 174, 295}, {281, 287, 289, 295}, {401, 287, 409, 295},
    {516, 287, 524, 295}, {401, 139, 409, 147}, {115, 78, 120, 83},
};

// What the six rate displays show, by display index: the rate (or time) and
// the sync switch of one module. A free-running module's display value is
// its rate plus the offset, which tells the display what the rate means;
// the reverb always runs free.
struct RateGroup {
    int32_t rateIndex;
    int32_t syncIndex; // -1: none
    float freeOffset;
};
inline constexpr int32_t rateDisplayCount = 6;
inline constexpr RateGroup rateGroups[rateDisplayCount] = {
    {26, 25, 2.0f}, // phaser
    {34, 33, 2.0f}, // flanger
    {50, 49, 4.0f}, // delay
    {57, -1, 6.0f}, // reverb
    {66, 65, 8.0f}, // tremolo
    {10, 9, 10.0f}, // wah
};

// The table row (0-based) of the control that shows a parameter, or -1.
// Rate displays, the lamp panel and the splash areas show none by themselves.
constexpr int32_t controlRowOf(int32_t index)
{
    for (int32_t row = 0; row < rackControlCount; ++row) {
        const ControlEntry& entry = rackControls[row];
        if (entry.tag == index && entry.kind != ControlClass::rateDisplay && entry.kind != ControlClass::ledPanel
            && entry.kind != ControlClass::splashArea)
            return row;
    }
    return -1;
}

// The row of the rate display with this display index, or -1.
constexpr int32_t displayRowOf(int32_t displayIndex)
{
    for (int32_t row = 0; row < rackControlCount; ++row)
        if (rackControls[row].kind == ControlClass::rateDisplay && rackControls[row].tag == displayIndex)
            return row;
    return -1;
}

// The display index whose rate or sync parameter this is, or -1.
constexpr int32_t rateDisplayOf(int32_t index)
{
    for (int32_t display = 0; display < rateDisplayCount; ++display)
        if (rateGroups[display].rateIndex == index || rateGroups[display].syncIndex == index)
            return display;
    return -1;
}

} // namespace voltara
