#pragma once

#include "editor/RackLayout.h"
#include "resources/BitmapTable.h"

#include <cstdint>

// Where the editor puts each control, read from the editor's own table: the
// artwork places its captions, wells and display windows by it.

namespace voltara {
namespace artwork {

// Window rectangle: left, top, right, bottom (right and bottom exclusive).
struct Box {
    int32_t left, top, right, bottom;
    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    double centreX() const { return 0.5 * (left + right); }
    double centreY() const { return 0.5 * (top + bottom); }
};

constexpr Box boxOf(const Rect& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The place of control number (1 to 48) of the editor's table.
constexpr Box control(int32_t number)
{
    return boxOf(rackControls[number - 1].rect);
}

// A control with what is silkscreened under or beside it.
struct Placement {
    const char* caption; // null for none
    int32_t tag;
    Box box;
    int32_t bitmap;
};

constexpr Placement placed(int32_t number, const char* caption)
{
    const ControlEntry& entry = rackControls[number - 1];
    return {caption, entry.tag, boxOf(entry.rect), entry.bitmap};
}

// Module panels and what sits on them.
inline constexpr Placement smallKnobs[] = {
    placed(1, "THRESH"), placed(2, "MAX F"), placed(3, "RATE"),  placed(4, "COLOR"),
    placed(5, "RATE"),   placed(6, "FBK"),   placed(7, "RATE"),  placed(8, "DEPTH"),
    placed(9, "TIME"),   placed(10, "FBK"),  placed(11, "CHAR"), placed(12, "MIX"),
    placed(13, "TIME"),  placed(14, "MIX"),  placed(15, "RATE"), placed(16, "DEPTH"),
};
inline constexpr Placement largeKnobs[] = {placed(17, "RATE"), placed(18, "RESO")};
// The same switch strip at six places; the last one moves the reverb.
inline constexpr Placement leverSwitches[] = {
    placed(19, "SYNC"), placed(20, "SYNC"), placed(21, "SYNC"),
    placed(22, "SYNC"), placed(23, "SYNC"), placed(45, "PRE\nMOD"),
};
// Rate displays, in display-index order: phaser, flanger, delay, reverb,
// tremolo, wah.
inline constexpr Box rateDisplays[] = {control(24), control(25), control(26), control(27), control(28), control(29)};
// Module on/off buttons: filter, phaser, chorus, delay, reverb, tremolo,
// flanger.
inline constexpr Box moduleButtons[] = {control(30), control(31), control(32), control(33),
                                        control(34), control(35), control(36)};
inline constexpr Box filterMode = control(37);
inline constexpr Box chorusMode = control(38);
inline constexpr Box delayMode = control(39);
inline constexpr Box reverbMode = control(40);
inline constexpr Box wahPedal = control(41);
inline constexpr Box bypassButton = control(42);
inline constexpr Box wahButton = control(43);
inline constexpr Box bankButton = control(44);
// lamps 0 to 4 sit on the filter, phaser, flanger, chorus and tremolo
// buttons, lamp 5 on the wah button.
inline constexpr Box leds[] = {boxOf(ledPlaces[0]), boxOf(ledPlaces[1]), boxOf(ledPlaces[2]),
                               boxOf(ledPlaces[3]), boxOf(ledPlaces[4]), boxOf(ledPlaces[5])};
// Click areas that open the splash picture; the second reaches one pixel
// below the window.
inline constexpr Box splashAreas[] = {control(47), control(48)};
inline constexpr BitmapEntry splash = bitmapTable[bitmapIndexOf(splashBitmap)];
inline constexpr Box splashPicture = {splashPictureOrigin.h, splashPictureOrigin.v,
                                      splashPictureOrigin.h + splash.width, splashPictureOrigin.v + splash.height};

inline constexpr int32_t windowWidth = bitmapTable[bitmapIndexOf(backgroundBitmap)].width;
inline constexpr int32_t windowHeight = bitmapTable[bitmapIndexOf(backgroundBitmap)].height;

} // namespace artwork
} // namespace voltara
