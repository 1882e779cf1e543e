#pragma once

#include "platform/Handles.h"

// Device contexts, GDI objects (pens, brushes, fonts, bitmaps), block
// transfers, rectangles, lines and text: the GDI32 calls the toolkit makes.

namespace voltara::platform {

// Raster operations of BitBlt.
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t NOTSRCCOPY = 0x00330008;
constexpr uint32_t SRCAND = 0x008800C6;
constexpr uint32_t SRCPAINT = 0x00EE0086;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int MM_TEXT = 1;

// Pen and brush styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DOT = 2;
constexpr int PS_NULL = 5;
constexpr uint32_t BS_SOLID = 0;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;

// GetCurrentObject kinds.
constexpr uint32_t OBJ_PEN = 1;
constexpr uint32_t OBJ_BRUSH = 2;
constexpr uint32_t OBJ_FONT = 6;
constexpr uint32_t OBJ_BITMAP = 7;

// Font request values.
constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr uint32_t ANSI_CHARSET = 0;
constexpr uint32_t OUT_STRING_PRECIS = 1;
constexpr uint32_t CLIP_STROKE_PRECIS = 2;
constexpr uint32_t DEFAULT_QUALITY = 0;
constexpr uint32_t DEFAULT_PITCH = 0;
constexpr uint32_t VARIABLE_PITCH = 2;
constexpr uint32_t FF_ROMAN = 0x10;
constexpr uint32_t FF_SWISS = 0x20;
constexpr uint32_t FF_MODERN = 0x30;
constexpr uint32_t FF_DECORATIVE = 0x50;

// DrawTextA formats.
constexpr uint32_t DT_LEFT = 0x0;
constexpr uint32_t DT_CENTER = 0x1;
constexpr uint32_t DT_RIGHT = 0x2;
constexpr uint32_t DT_VCENTER = 0x4;
constexpr uint32_t DT_BOTTOM = 0x8;
constexpr uint32_t DT_SINGLELINE = 0x20;
constexpr uint32_t DT_NOCLIP = 0x100;
constexpr uint32_t DT_CALCRECT = 0x400;
constexpr uint32_t DT_NOPREFIX = 0x800;

// BITMAP
struct BitmapInfo {
    int32_t type;
    int32_t width;
    int32_t height;
    int32_t widthBytes;
    uint16_t planes;
    uint16_t bitsPerPixel;
    void* bits;
};

// LOGBRUSH
struct LogBrush {
    uint32_t style;
    ColourRef colour;
    uintptr_t hatch;
};

// LOGPEN
struct LogPen {
    uint32_t style;
    WinPoint width;
    ColourRef colour;
};

// LOGFONTA
struct LogFont {
    int32_t height;
    int32_t width;
    int32_t escapement;
    int32_t orientation;
    int32_t weight;
    uint8_t italic;
    uint8_t underline;
    uint8_t strikeOut;
    uint8_t charSet;
    uint8_t outPrecision;
    uint8_t clipPrecision;
    uint8_t quality;
    uint8_t pitchAndFamily;
    char faceName[32];
};

// BLENDFUNCTION
struct BlendFunction {
    uint8_t blendOp;
    uint8_t blendFlags;
    uint8_t sourceConstantAlpha;
    uint8_t alphaFormat;
};
constexpr uint8_t AC_SRC_OVER = 0;

// The AlphaBlend entry of the imaging library, looked up at run time.
using AlphaBlendEntry = Bool(VOLTARA_CALLBACK*)(DeviceContext, int, int, int, int, DeviceContext, int, int, int, int,
                                                BlendFunction);

VOLTARA_PLATFORM_API DeviceContext CreateCompatibleDC(DeviceContext dc);
VOLTARA_PLATFORM_API Bool DeleteDC(DeviceContext dc);

VOLTARA_PLATFORM_API GdiObject SelectObject(DeviceContext dc, GdiObject object);
VOLTARA_PLATFORM_API Bool DeleteObject(GdiObject object);
VOLTARA_PLATFORM_API GdiObject GetStockObject(int kind);
VOLTARA_PLATFORM_API GdiObject GetCurrentObject(DeviceContext dc, uint32_t kind);
// Fills a BitmapInfo, LogPen, LogBrush or LogFont; the bytes written.
VOLTARA_PLATFORM_API int GetObjectA(GdiObject object, int size, void* out);

VOLTARA_PLATFORM_API GdiObject CreatePen(int style, int width, ColourRef colour);
VOLTARA_PLATFORM_API GdiObject CreateBrushIndirect(const LogBrush* brush);
VOLTARA_PLATFORM_API GdiObject CreateSolidBrush(ColourRef colour);
VOLTARA_PLATFORM_API GdiObject CreateFontA(int height, int width, int escapement, int orientation, int weight,
                                           uint32_t italic, uint32_t underline, uint32_t strikeOut, uint32_t charSet,
                                           uint32_t outPrecision, uint32_t clipPrecision, uint32_t quality,
                                           uint32_t pitchAndFamily, const char* face);
VOLTARA_PLATFORM_API GdiObject CreateCompatibleBitmap(DeviceContext dc, int width, int height);
VOLTARA_PLATFORM_API GdiObject CreateBitmap(int width, int height, uint32_t planes, uint32_t bitsPerPixel,
                                            const void* bits);

VOLTARA_PLATFORM_API int SetBkMode(DeviceContext dc, int mode);
VOLTARA_PLATFORM_API int GetBkMode(DeviceContext dc);
VOLTARA_PLATFORM_API ColourRef SetBkColor(DeviceContext dc, ColourRef colour);
VOLTARA_PLATFORM_API ColourRef GetBkColor(DeviceContext dc);
VOLTARA_PLATFORM_API ColourRef SetTextColor(DeviceContext dc, ColourRef colour);
VOLTARA_PLATFORM_API ColourRef GetTextColor(DeviceContext dc);
VOLTARA_PLATFORM_API int SetMapMode(DeviceContext dc, int mode);
VOLTARA_PLATFORM_API int GetMapMode(DeviceContext dc);

VOLTARA_PLATFORM_API Bool BitBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source,
                                 int sourceX, int sourceY, uint32_t rop);
VOLTARA_PLATFORM_API int FillRect(DeviceContext dc, const WinRect* rect, GdiObject brush);
VOLTARA_PLATFORM_API Bool MoveToEx(DeviceContext dc, int x, int y, WinPoint* previous);
// Draws up to, not including, (x, y).
VOLTARA_PLATFORM_API Bool LineTo(DeviceContext dc, int x, int y);
// Returns the height of the text drawn.
VOLTARA_PLATFORM_API int DrawTextA(DeviceContext dc, const char* text, int count, WinRect* rect, uint32_t format);
VOLTARA_PLATFORM_API ColourRef GetPixel(DeviceContext dc, int x, int y);

} // namespace voltara::platform
