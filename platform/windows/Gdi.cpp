#include "platform/windows/Cast.h"

namespace voltara::platform {

using windows::as;

DeviceContext CreateCompatibleDC(DeviceContext dc)
{
    return as<DeviceContext>(::CreateCompatibleDC(as<HDC>(dc)));
}

Bool DeleteDC(DeviceContext dc)
{
    return ::DeleteDC(as<HDC>(dc));
}

GdiObject SelectObject(DeviceContext dc, GdiObject object)
{
    return as<GdiObject>(::SelectObject(as<HDC>(dc), as<HGDIOBJ>(object)));
}

Bool DeleteObject(GdiObject object)
{
    return ::DeleteObject(as<HGDIOBJ>(object));
}

GdiObject GetStockObject(int kind)
{
    return as<GdiObject>(::GetStockObject(kind));
}

GdiObject GetCurrentObject(DeviceContext dc, uint32_t kind)
{
    return as<GdiObject>(::GetCurrentObject(as<HDC>(dc), kind));
}

int GetObjectA(GdiObject object, int size, void* out)
{
    return ::GetObjectA(as<HGDIOBJ>(object), size, out);
}

GdiObject CreatePen(int style, int width, ColourRef colour)
{
    return as<GdiObject>(::CreatePen(style, width, colour));
}

GdiObject CreateBrushIndirect(const LogBrush* brush)
{
    return as<GdiObject>(::CreateBrushIndirect(reinterpret_cast<const LOGBRUSH*>(brush)));
}

GdiObject CreateSolidBrush(ColourRef colour)
{
    return as<GdiObject>(::CreateSolidBrush(colour));
}

GdiObject CreateFontA(int height, int width, int escapement, int orientation, int weight, uint32_t italic,
                      uint32_t underline, uint32_t strikeOut, uint32_t charSet, uint32_t outPrecision,
                      uint32_t clipPrecision, uint32_t quality, uint32_t pitchAndFamily, const char* face)
{
    return as<GdiObject>(::CreateFontA(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                       charSet, outPrecision, clipPrecision, quality, pitchAndFamily, face));
}

GdiObject CreateCompatibleBitmap(DeviceContext dc, int width, int height)
{
    return as<GdiObject>(::CreateCompatibleBitmap(as<HDC>(dc), width, height));
}

GdiObject CreateBitmap(int width, int height, uint32_t planes, uint32_t bitsPerPixel, const void* bits)
{
    return as<GdiObject>(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
}

int SetBkMode(DeviceContext dc, int mode)
{
    return ::SetBkMode(as<HDC>(dc), mode);
}

int GetBkMode(DeviceContext dc)
{
    return ::GetBkMode(as<HDC>(dc));
}

ColourRef SetBkColor(DeviceContext dc, ColourRef colour)
{
    return ::SetBkColor(as<HDC>(dc), colour);
}

ColourRef GetBkColor(DeviceContext dc)
{
    return ::GetBkColor(as<HDC>(dc));
}

ColourRef SetTextColor(DeviceContext dc, ColourRef colour)
{
    return ::SetTextColor(as<HDC>(dc), colour);
}

ColourRef GetTextColor(DeviceContext dc)
{
    return ::GetTextColor(as<HDC>(dc));
}

int SetMapMode(DeviceContext dc, int mode)
{
    return ::SetMapMode(as<HDC>(dc), mode);
}

int GetMapMode(DeviceContext dc)
{
    return ::GetMapMode(as<HDC>(dc));
}

Bool BitBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int sourceX, int sourceY,
            uint32_t rop)
{
    return ::BitBlt(as<HDC>(dest), x, y, width, height, as<HDC>(source), sourceX, sourceY, rop);
}

int FillRect(DeviceContext dc, const WinRect* rect, GdiObject brush)
{
    return ::FillRect(as<HDC>(dc), reinterpret_cast<const RECT*>(rect), as<HBRUSH>(brush));
}

Bool MoveToEx(DeviceContext dc, int x, int y, WinPoint* previous)
{
    return ::MoveToEx(as<HDC>(dc), x, y, reinterpret_cast<POINT*>(previous));
}

Bool LineTo(DeviceContext dc, int x, int y)
{
    return ::LineTo(as<HDC>(dc), x, y);
}

int DrawTextA(DeviceContext dc, const char* text, int count, WinRect* rect, uint32_t format)
{
    return ::DrawTextA(as<HDC>(dc), text, count, reinterpret_cast<RECT*>(rect), format);
}

ColourRef GetPixel(DeviceContext dc, int x, int y)
{
    return ::GetPixel(as<HDC>(dc), x, y);
}

} // namespace voltara::platform
