#pragma once

#include <cstdint>

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

// Where the editor puts each control, its bitmap and its parameter; the
// artwork places captions, wells and display windows by these.
struct Placement {
    const char* caption; // silkscreened under or beside it; null for none
    int32_t tag;
    Box box;
    int32_t bitmap;
};

// Module panels and what sits on them.
inline constexpr Placement smallKnobs[] = {
    {"THRESH", 17, {149, 196, 167, 214}, 157}, {"MAX F", 21, {217, 196, 235, 214}, 157},
    {"RATE", 26, {267, 190, 285, 208}, 157},   {"COLOR", 27, {335, 190, 353, 208}, 157},
    {"RATE", 34, {384, 196, 402, 214}, 157},   {"FBK", 35, {452, 196, 470, 214}, 157},
    {"RATE", 42, {497, 196, 515, 214}, 157},   {"DEPTH", 43, {569, 196, 587, 214}, 157},
    {"TIME", 50, {149, 16, 167, 34}, 157},     {"FBK", 52, {149, 71, 167, 89}, 157},
    {"CHAR", 53, {217, 71, 235, 89}, 157},     {"MIX", 54, {217, 16, 235, 34}, 157},
    {"TIME", 57, {270, 16, 288, 34}, 157},     {"MIX", 59, {330, 16, 348, 34}, 157},
    {"RATE", 66, {383, 13, 401, 31}, 157},     {"DEPTH", 67, {451, 13, 469, 31}, 157},
};
inline constexpr Placement largeKnobs[] = {
    {"RATE", 10, {14, 17, 41, 44}, 158},
    {"RESO", 11, {92, 17, 119, 44}, 158},
};
// The same switch strip at six places; the last one moves the reverb.
inline constexpr Placement leverSwitches[] = {
    {"SYNC", 9, {61, 17, 72, 42}, 159},      {"SYNC", 25, {304, 186, 315, 211}, 159},
    {"SYNC", 33, {422, 192, 433, 217}, 159}, {"SYNC", 49, {187, 13, 198, 38}, 159},
    {"SYNC", 65, {420, 9, 431, 34}, 159},    {"PRE\nMOD", 63, {304, 12, 315, 37}, 159},
};
// Rate displays, in display-index order: phaser, flanger, delay, reverb,
// tremolo, wah.
inline constexpr Box rateDisplays[] = {
    {261, 241, 290, 250}, {379, 241, 408, 250}, {143, 51, 172, 60},
    {263, 51, 292, 60},   {378, 64, 407, 73},   {13, 77, 42, 86},
};
// Module on/off buttons: filter, phaser, chorus, delay, reverb, tremolo,
// flanger.
inline constexpr Box moduleButtons[] = {
    {166, 278, 204, 303}, {281, 278, 319, 303}, {516, 278, 554, 303}, {166, 130, 204, 155},
    {281, 130, 319, 155}, {401, 130, 439, 155}, {401, 278, 439, 303},
};
inline constexpr Box filterMode = {179, 236, 204, 261};
inline constexpr Box chorusMode = {530, 234, 555, 259};
inline constexpr Box delayMode = {177, 69, 207, 97};
inline constexpr Box reverbMode = {278, 78, 305, 104};
inline constexpr Box wahPedal = {0, 93, 132, 353};
inline constexpr Box bypassButton = {484, 9, 600, 53};
inline constexpr Box wahButton = {74, 75, 121, 93};
inline constexpr Box bankButton = {507, 73, 545, 105};
// LEDs 0 to 4 sit on the filter, phaser, flanger, chorus and tremolo
// buttons, LED 5 on the wah button.
inline constexpr Box leds[] = {
    {166, 287, 174, 295}, {281, 287, 289, 295}, {401, 287, 409, 295},
    {516, 287, 524, 295}, {401, 139, 409, 147}, {115, 78, 120, 83},
};
// Click areas that open the splash picture; the second reaches one pixel
// below the window.
inline constexpr Box splashAreas[] = {{16, 332, 106, 345}, {475, 325, 584, 355}};
inline constexpr Box splashPicture = {102, 40, 502, 280};

inline constexpr int32_t windowWidth = 600;
inline constexpr int32_t windowHeight = 354;

} // namespace artwork
} // namespace voltara
