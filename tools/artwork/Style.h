#pragma once

#include "tools/artwork/Paint.h"
#include "tools/artwork/PanelLayout.h"

namespace voltara {
namespace artwork {

// The rack's finishes and inks, shared by the background and the controls
// that must sit seamlessly on it.
namespace ink {
inline constexpr Rgb chassis = {30, 31, 34};
inline constexpr Rgb silkscreen = {238, 230, 210};
inline constexpr Rgb dimSilkscreen = {176, 170, 156};
// Recesses under knobs, switches and buttons: the strips drawn there are
// smoothed against this one colour.
inline constexpr Rgb well = {17, 17, 19};
inline constexpr Rgb lcd = {214, 221, 190};
inline constexpr Rgb lcdBezel = {10, 10, 12};
inline constexpr Rgb amber = {255, 176, 48};
inline constexpr Rgb chrome = {200, 204, 210};
// Socket under each module lamp.
inline constexpr Rgb ledSocket = {12, 10, 10};
} // namespace ink

struct ModulePanel {
    const char* title;
    const char* subtitle; // the kind ("TAPE"), printed small before the title, or null
    Box panel;
    Rgb enamel;
    Box button; // its on/off button; the title sits under it
};

inline constexpr ModulePanel modulePanels[] = {
    {"DELAY", "TAPE", {136, 3, 247, 169}, {92, 86, 60}, {166, 130, 204, 155}},
    {"REVERB", nullptr, {250, 3, 363, 169}, {34, 52, 96}, {281, 130, 319, 155}},
    {"TREMOLO", nullptr, {366, 3, 478, 169}, {118, 34, 38}, {401, 130, 439, 155}},
    {"FILTER", "ENVELOPE", {136, 172, 247, 320}, {24, 88, 92}, {166, 278, 204, 303}},
    {"PHASER", nullptr, {250, 172, 363, 320}, {168, 80, 34}, {281, 278, 319, 303}},
    {"FLANGER", nullptr, {366, 172, 478, 320}, {88, 48, 98}, {401, 278, 439, 303}},
    {"CHORUS", nullptr, {481, 172, 597, 320}, {36, 88, 132}, {516, 278, 554, 303}},
};
inline constexpr Box wahPanel = {3, 3, 131, 351};
inline constexpr Rgb wahEnamel = {40, 39, 42};
inline constexpr Box masterPanel = {481, 3, 597, 169};
inline constexpr Rgb masterEnamel = {150, 153, 158};

// Knob radius within its square, and the well around it.
inline double knobRadius(int32_t size)
{
    return size / 2.0 - 0.5;
}
inline double knobWellRadius(int32_t size)
{
    return knobRadius(size) + 2.5;
}

// The knob sweep: 225 degrees (down-left) clockwise over the top to -45
// degrees (down-right), in screen angles (y down).
inline double knobAngle(double value)
{
    return radians(-225.0 + 270.0 * value);
}

} // namespace artwork
} // namespace voltara
