#pragma once

#include <cstdint>

namespace voltara {

// The editor's bitmap resources: size, pixel format and how each picture is
// cut into images. Images lie one under the other from the top, except the
// wah pedal's, which lie eight to a row.
struct BitmapEntry {
    int32_t id;
    int32_t width;
    int32_t height;
    int32_t bitsPerPixel; // 8 (palette) or 24
    bool runLengthCoded;  // 8-bit pictures only
    int32_t imageCount;
    int32_t imageWidth;
    int32_t imageHeight;
    bool transparent; // drawn with pure white (255, 255, 255) as the see-through colour
};

inline constexpr int32_t bitmapCount = 16;

inline constexpr BitmapEntry bitmapTable[bitmapCount] = {
    {139, 400, 240, 8, true, 1, 400, 240, false},    // splash picture
    {153, 600, 354, 24, false, 1, 600, 354, false},  // frame background, rate display backdrop
    {157, 18, 2304, 8, false, 128, 18, 18, true},    // small knobs
    {158, 27, 3456, 8, false, 128, 27, 27, true},    // large knobs
    {159, 11, 50, 8, false, 2, 11, 25, false},       // sync switches, reverb position switch
    {160, 25, 50, 8, false, 2, 25, 25, false},       // chorus mode button
    {161, 25, 50, 8, false, 2, 25, 25, false},       // filter mode button
    {162, 27, 78, 8, false, 3, 27, 26, false},       // reverb mode switch
    {163, 30, 112, 8, false, 4, 30, 28, false},      // delay mode switch
    {164, 38, 50, 8, false, 2, 38, 25, true},        // module on/off buttons
    {165, 1056, 520, 8, false, 16, 132, 260, false}, // wah pedal
    {166, 116, 88, 24, false, 2, 116, 44, false},    // bypass button
    {167, 38, 64, 24, false, 2, 38, 32, false},      // bank-load button
    {170, 47, 36, 8, false, 2, 47, 18, false},       // wah on/off button
    {171, 8, 64, 24, false, 8, 8, 8, true},          // lamps 0 to 4
    {172, 5, 40, 24, false, 8, 5, 5, false},         // lamp 5
};

// The place of an id in the table; -1 for an id that is not in it.
constexpr int32_t bitmapIndexOf(int32_t id)
{
    for (int32_t i = 0; i < bitmapCount; ++i) {
        if (bitmapTable[i].id == id)
            return i;
    }
    return -1;
}

// Null for an id that is not in the table.
inline const BitmapEntry* findBitmap(int32_t id)
{
    const int32_t i = bitmapIndexOf(id);
    return i < 0 ? nullptr : &bitmapTable[i];
}

} // namespace voltara
