#pragma once

#include <windows.h>

namespace voltara::winhost {

// Counts the GDI objects and device contexts the plug-in DLL makes and gives
// back, by routing its imports of the GDI32 and USER32 calls that make or
// free them through counters (the DLL's import address table is patched).
// What is live after the plug-in let go of everything is a leak.
class GdiBalance {
public:
    struct Live {
        long objects = 0;   // pens, brushes, fonts, bitmaps
        long memoryDcs = 0; // CreateCompatibleDC without DeleteDC
        long windowDcs = 0; // GetDC without ReleaseDC
    };

    // False when the DLL does not import every counted call.
    static bool install(HMODULE plugin);
    static Live live();
};

} // namespace voltara::winhost
