#include "platform/linux/Objects.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace voltara::platform {

namespace {

constexpr ColourRef white = 0xFFFFFF;
constexpr ColourRef invalidColour = 0xFFFFFFFF;
constexpr int maximumBitmapSide = 16384;

template <typename T>
T* makeStock(T* object)
{
    object->stock = true;
    return object;
}

PenObject* stockPen(ColourRef colour, int style)
{
    auto* pen = makeStock(new PenObject);
    pen->colour = colour;
    pen->style = style;
    return pen;
}

BrushObject* stockBrush(ColourRef colour, bool null)
{
    auto* brush = makeStock(new BrushObject);
    brush->colour = colour;
    brush->null = null;
    return brush;
}

FontObject* stockFont()
{
    auto* font = makeStock(new FontObject);
    font->request.height = 16;
    font->request.weight = FW_BOLD;
    font->request.pitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::strcpy(font->request.faceName, "System");
    chooseFace(font);
    return font;
}

struct StockObjects {
    PenObject* blackPen = stockPen(0, PS_SOLID);
    PenObject* whitePen = stockPen(white, PS_SOLID);
    PenObject* nullPen = stockPen(0, PS_NULL);
    BrushObject* whiteBrush = stockBrush(white, false);
    BrushObject* blackBrush = stockBrush(0, false);
    BrushObject* nullBrush = stockBrush(0, true);
    FontObject* systemFont = stockFont();
    BitmapObject* monoBitmap = makeStock(new BitmapObject(1, 1, true));
};

StockObjects& stock()
{
    static StockObjects* objects = new StockObjects; // lives as long as the process
    return *objects;
}

ColourRef nearestMono(ColourRef colour)
{
    const int sum = int(colour & 0xFF) + int(colour >> 8 & 0xFF) + int(colour >> 16 & 0xFF);
    return sum > 382 ? white : 0;
}

bool intersect(WinRect& a, const WinRect& b)
{
    a.left = std::max(a.left, b.left);
    a.top = std::max(a.top, b.top);
    a.right = std::min(a.right, b.right);
    a.bottom = std::min(a.bottom, b.bottom);
    return a.left < a.right && a.top < a.bottom;
}

// Window contexts draw into a surface that other threads may read.
struct TargetLock {
    explicit TargetLock(DeviceContextObject* dc, DeviceContextObject* other = nullptr)
    {
        if ((dc && !dc->memory) || (other && !other->memory))
            lock = std::unique_lock<std::mutex>(systemLock());
    }
    std::unique_lock<std::mutex> lock;
};

template <typename T>
GdiObject swapIn(T*& slot, GdiObject object)
{
    T* previous = slot;
    if (previous)
        --previous->selections;
    slot = static_cast<T*>(object);
    ++object->selections;
    return previous;
}

void plot(const DrawTarget& target, int x, int y, ColourRef colour)
{
    x += target.origin.x;
    y += target.origin.y;
    if (x >= target.clip.left && x < target.clip.right && y >= target.clip.top && y < target.clip.bottom)
        target.pixels[size_t(y) * target.stride + x] = colour;
}

} // namespace

DeviceContextObject* newContext(bool memory)
{
    auto* dc = new DeviceContextObject;
    dc->memory = memory;
    if (memory)
        swapIn(dc->bitmap, stock().monoBitmap);
    swapIn(dc->pen, stock().blackPen);
    swapIn(dc->brush, stock().whiteBrush);
    swapIn(dc->font, stock().systemFont);
    return dc;
}

void deleteContext(DeviceContextObject* dc)
{
    for (GdiObjectBase* object : {static_cast<GdiObjectBase*>(dc->bitmap), static_cast<GdiObjectBase*>(dc->pen),
                                  static_cast<GdiObjectBase*>(dc->brush), static_cast<GdiObjectBase*>(dc->font)})
        if (object)
            --object->selections;
    delete dc;
}

ColourRef toMonoColour(ColourRef colour, ColourRef background)
{
    return (colour & white) == (background & white) ? white : 0;
}

bool drawTarget(DeviceContextObject* dc, DrawTarget& target)
{
    if (!dc)
        return false;
    if (dc->memory) {
        BitmapObject* bitmap = dc->bitmap;
        target.pixels = bitmap->pixels.data();
        target.stride = bitmap->width;
        target.mono = bitmap->mono;
        target.clip = {0, 0, bitmap->width, bitmap->height};
        target.origin = {0, 0};
        return true;
    }
    if (!dc->surface || dc->surface->pixels.empty())
        return false;
    target.pixels = dc->surface->pixels.data();
    target.stride = dc->surface->width;
    target.mono = false;
    target.clip = dc->clip;
    target.origin = dc->origin;
    return target.clip.left < target.clip.right && target.clip.top < target.clip.bottom;
}

void noteDrawn(DeviceContextObject* dc, WinRect area)
{
    if (dc->memory || !dc->surface || !intersect(area, dc->clip))
        return;
    std::vector<WinRect>& drawn = dc->surface->drawn;
    // A host that never asks keeps one rectangle around all of it.
    constexpr size_t kept = 4096;
    if (drawn.size() >= kept) {
        WinRect all = drawn.front();
        for (const WinRect& r : drawn)
            all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right),
                   std::max(all.bottom, r.bottom)};
        drawn.assign(1, all);
    }
    drawn.push_back(area);
}

void noteText(DeviceContextObject* dc, WinRect rect, const std::string& text)
{
    if (dc->memory || !dc->surface || !intersect(rect, dc->clip))
        return;
    std::vector<host::DrawnText>& texts = dc->surface->texts;
    // A host that never asks keeps the latest half.
    constexpr size_t kept = 4096;
    if (texts.size() >= kept)
        texts.erase(texts.begin(), texts.begin() + kept / 2);
    texts.push_back({rect, text});
}

DeviceContext CreateCompatibleDC(DeviceContext)
{
    return newContext(true);
}

Bool DeleteDC(DeviceContext dc)
{
    if (!dc || !dc->memory)
        return 0;
    deleteContext(dc);
    return 1;
}

GdiObject SelectObject(DeviceContext dc, GdiObject object)
{
    if (!dc || !object)
        return nullptr;
    switch (object->kind) {
    case GdiObjectBase::pen: return swapIn(dc->pen, object);
    case GdiObjectBase::brush: return swapIn(dc->brush, object);
    case GdiObjectBase::font: return swapIn(dc->font, object);
    case GdiObjectBase::bitmap:
        // Only memory contexts hold bitmaps, and a bitmap sits in one context at a time.
        if (!dc->memory || (object->selections > 0 && object != dc->bitmap && !object->stock))
            return nullptr;
        return swapIn(dc->bitmap, object);
    }
    return nullptr;
}

Bool DeleteObject(GdiObject object)
{
    if (!object)
        return 0;
    if (object->stock)
        return 1;
    if (object->selections > 0)
        return 0; // still selected into a context
    delete object;
    return 1;
}

GdiObject GetStockObject(int kind)
{
    StockObjects& objects = stock();
    switch (kind) {
    case WHITE_BRUSH: return objects.whiteBrush;
    case BLACK_BRUSH: return objects.blackBrush;
    case NULL_BRUSH: return objects.nullBrush;
    case WHITE_PEN: return objects.whitePen;
    case BLACK_PEN: return objects.blackPen;
    case NULL_PEN: return objects.nullPen;
    case SYSTEM_FONT: return objects.systemFont;
    default: return nullptr;
    }
}

GdiObject GetCurrentObject(DeviceContext dc, uint32_t kind)
{
    if (!dc)
        return nullptr;
    switch (kind) {
    case OBJ_PEN: return dc->pen;
    case OBJ_BRUSH: return dc->brush;
    case OBJ_FONT: return dc->font;
    case OBJ_BITMAP: return dc->memory ? dc->bitmap : nullptr;
    default: return nullptr;
    }
}

int GetObjectA(GdiObject object, int size, void* out)
{
    if (!object)
        return 0;
    auto copy = [&](const auto& record) {
        const int needed = int(sizeof record);
        if (!out)
            return needed;
        const int count = std::min(size, needed);
        if (count <= 0)
            return 0;
        std::memcpy(out, &record, size_t(count));
        return count;
    };
    switch (object->kind) {
    case GdiObjectBase::bitmap: {
        auto* bitmap = static_cast<BitmapObject*>(object);
        BitmapInfo info{};
        info.width = bitmap->width;
        info.height = bitmap->height;
        info.planes = 1;
        info.bitsPerPixel = bitmap->mono ? 1 : 32;
        info.widthBytes = bitmap->mono ? (bitmap->width + 15) / 16 * 2 : bitmap->width * 4;
        return copy(info);
    }
    case GdiObjectBase::pen: {
        auto* pen = static_cast<PenObject*>(object);
        LogPen record{uint32_t(pen->style), {pen->width, 0}, pen->colour};
        return copy(record);
    }
    case GdiObjectBase::brush: {
        auto* brush = static_cast<BrushObject*>(object);
        LogBrush record{brush->null ? 1u : brush->style, brush->colour, 0};
        return copy(record);
    }
    case GdiObjectBase::font: return copy(static_cast<FontObject*>(object)->request);
    }
    return 0;
}

GdiObject CreatePen(int style, int width, ColourRef colour)
{
    if (style < PS_SOLID || style > PS_NULL)
        return nullptr;
    auto* pen = new PenObject;
    pen->style = style;
    pen->width = std::max(width, 1);
    pen->colour = colour & white;
    return pen;
}

GdiObject CreateBrushIndirect(const LogBrush* record)
{
    if (!record || (record->style != BS_SOLID && record->style != 1))
        return nullptr;
    auto* brush = new BrushObject;
    brush->style = record->style;
    brush->colour = record->colour & white;
    brush->null = record->style == 1; // BS_NULL
    return brush;
}

GdiObject CreateSolidBrush(ColourRef colour)
{
    LogBrush record{BS_SOLID, colour, 0};
    return CreateBrushIndirect(&record);
}

GdiObject CreateFontA(int height, int width, int escapement, int orientation, int weight, uint32_t italic,
                      uint32_t underline, uint32_t strikeOut, uint32_t charSet, uint32_t outPrecision,
                      uint32_t clipPrecision, uint32_t quality, uint32_t pitchAndFamily, const char* face)
{
    auto* font = new FontObject;
    LogFont& r = font->request;
    r.height = height;
    r.width = width;
    r.escapement = escapement;
    r.orientation = orientation;
    r.weight = weight;
    r.italic = uint8_t(italic);
    r.underline = uint8_t(underline);
    r.strikeOut = uint8_t(strikeOut);
    r.charSet = uint8_t(charSet);
    r.outPrecision = uint8_t(outPrecision);
    r.clipPrecision = uint8_t(clipPrecision);
    r.quality = uint8_t(quality);
    r.pitchAndFamily = uint8_t(pitchAndFamily);
    if (face)
        std::strncpy(r.faceName, face, sizeof r.faceName - 1);
    chooseFace(font);
    return font;
}

GdiObject CreateCompatibleBitmap(DeviceContext dc, int width, int height)
{
    if (!dc || width < 0 || height < 0 || width > maximumBitmapSide || height > maximumBitmapSide)
        return nullptr;
    if (width == 0 || height == 0)
        return new BitmapObject(1, 1, true);
    // A fresh memory context holds a monochrome bitmap, so its compatible bitmaps are monochrome.
    const bool mono = dc->memory && dc->bitmap->mono;
    return new BitmapObject(width, height, mono);
}

GdiObject CreateBitmap(int width, int height, uint32_t planes, uint32_t bitsPerPixel, const void* bits)
{
    if (width <= 0 || height <= 0 || width > maximumBitmapSide || height > maximumBitmapSide || planes != 1)
        return nullptr;
    if (bitsPerPixel == 1) {
        auto* bitmap = new BitmapObject(width, height, true);
        if (bits) {
            const auto* bytes = static_cast<const uint8_t*>(bits);
            const int rowBytes = (width + 15) / 16 * 2;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    bitmap->pixels[size_t(y) * width + x] =
                        bytes[size_t(y) * rowBytes + x / 8] & (0x80 >> (x % 8)) ? white : 0;
        }
        return bitmap;
    }
    if (bitsPerPixel != 24 && bitsPerPixel != 32)
        return nullptr;
    auto* bitmap = new BitmapObject(width, height, false);
    if (bits) {
        const auto* bytes = static_cast<const uint8_t*>(bits);
        const int step = int(bitsPerPixel / 8);
        const int rowBytes = (width * step + (bitsPerPixel == 24 ? 3 : 0)) & ~(bitsPerPixel == 24 ? 3 : 0);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = bytes + size_t(y) * rowBytes + size_t(x) * step;
                bitmap->pixels[size_t(y) * width + x] = rgb(p[2], p[1], p[0]);
            }
    }
    return bitmap;
}

int SetBkMode(DeviceContext dc, int mode)
{
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE))
        return 0;
    return std::exchange(dc->backgroundMode, mode);
}

int GetBkMode(DeviceContext dc)
{
    return dc ? dc->backgroundMode : 0;
}

ColourRef SetBkColor(DeviceContext dc, ColourRef colour)
{
    return dc ? std::exchange(dc->background, colour & white) : invalidColour;
}

ColourRef GetBkColor(DeviceContext dc)
{
    return dc ? dc->background : invalidColour;
}

ColourRef SetTextColor(DeviceContext dc, ColourRef colour)
{
    return dc ? std::exchange(dc->text, colour & white) : invalidColour;
}

ColourRef GetTextColor(DeviceContext dc)
{
    return dc ? dc->text : invalidColour;
}

int SetMapMode(DeviceContext dc, int mode)
{
    if (!dc || mode != MM_TEXT)
        return 0; // only device units here
    return std::exchange(dc->mapMode, mode);
}

int GetMapMode(DeviceContext dc)
{
    return dc ? dc->mapMode : 0;
}

Bool BitBlt(DeviceContext dest, int x, int y, int width, int height, DeviceContext source, int sourceX, int sourceY,
            uint32_t rop)
{
    if (rop != SRCCOPY && rop != NOTSRCCOPY && rop != SRCAND && rop != SRCPAINT)
        return 0;
    TargetLock lock(dest, source);
    DrawTarget to, from;
    if (!drawTarget(dest, to) || !drawTarget(source, from))
        return 0;
    if (width <= 0 || height <= 0)
        return 1;
    // Clip against both: the destination's clip and the source's extent.
    WinRect area{x + to.origin.x, y + to.origin.y, x + to.origin.x + width, y + to.origin.y + height};
    const int shiftX = sourceX + from.origin.x - area.left;
    const int shiftY = sourceY + from.origin.y - area.top;
    WinRect sourceInDest{from.clip.left - shiftX, from.clip.top - shiftY, from.clip.right - shiftX,
                         from.clip.bottom - shiftY};
    if (!intersect(area, to.clip) || !intersect(area, sourceInDest))
        return 1;
    noteDrawn(dest, area);

    const int w = area.right - area.left;
    std::vector<uint32_t> row(static_cast<size_t>(w));
    const bool monoToColour = from.mono && !to.mono;
    const bool colourToMono = !from.mono && to.mono;
    const ColourRef sourceBackground = source->background;
    const ColourRef one = dest->background, zero = dest->text;
    const bool sameBuffer = to.pixels == from.pixels;
    // Rows are walked so that a copy within one buffer reads before it writes.
    const bool upward = sameBuffer && shiftY < 0;
    for (int i = 0; i < area.bottom - area.top; ++i) {
        const int dy = upward ? area.bottom - 1 - i : area.top + i;
        const uint32_t* in = from.pixels + size_t(dy + shiftY) * from.stride + (area.left + shiftX);
        std::copy(in, in + w, row.begin());
        uint32_t* out = to.pixels + size_t(dy) * to.stride + area.left;
        for (int k = 0; k < w; ++k) {
            uint32_t s = row[size_t(k)];
            if (monoToColour)
                s = s ? one : zero;
            else if (colourToMono)
                s = toMonoColour(s, sourceBackground);
            switch (rop) {
            case SRCCOPY: out[k] = s; break;
            case NOTSRCCOPY: out[k] = ~s & white; break;
            case SRCAND: out[k] &= s; break;
            case SRCPAINT: out[k] |= s; break;
            }
        }
    }
    return 1;
}

int FillRect(DeviceContext dc, const WinRect* rect, GdiObject object)
{
    if (!dc || !rect || !object || object->kind != GdiObjectBase::brush)
        return 0;
    auto* brush = static_cast<BrushObject*>(object);
    if (brush->null)
        return 1;
    TargetLock lock(dc);
    DrawTarget target;
    if (!drawTarget(dc, target))
        return 0;
    WinRect area{rect->left + target.origin.x, rect->top + target.origin.y, rect->right + target.origin.x,
                 rect->bottom + target.origin.y};
    if (!intersect(area, target.clip))
        return 1;
    noteDrawn(dc, area);
    const ColourRef colour = target.mono ? nearestMono(brush->colour) : brush->colour;
    for (int y = area.top; y < area.bottom; ++y)
        std::fill_n(target.pixels + size_t(y) * target.stride + area.left, area.right - area.left, colour);
    return 1;
}

Bool MoveToEx(DeviceContext dc, int x, int y, WinPoint* previous)
{
    if (!dc)
        return 0;
    if (previous)
        *previous = dc->position;
    dc->position = {x, y};
    return 1;
}

Bool LineTo(DeviceContext dc, int x, int y)
{
    if (!dc)
        return 0;
    const WinPoint from = dc->position;
    dc->position = {x, y};
    PenObject* pen = dc->pen;
    if (pen->style == PS_NULL)
        return 1;
    TargetLock lock(dc);
    DrawTarget target;
    if (!drawTarget(dc, target))
        return 1;
    const int reach = pen->width / 2;
    noteDrawn(dc,
              {std::min(from.x, x) - reach + target.origin.x, std::min(from.y, y) - reach + target.origin.y,
               std::max(from.x, x) + reach + 1 + target.origin.x, std::max(from.y, y) + reach + 1 + target.origin.y});
    const ColourRef colour = target.mono ? nearestMono(pen->colour) : pen->colour;
    const ColourRef gap = target.mono ? nearestMono(dc->background) : dc->background;
    const bool dotted = pen->style == PS_DOT && pen->width <= 1;
    const int radius = pen->width / 2;
    // Bresenham from the start up to, not including, the end point.
    const int dx = std::abs(x - from.x), dy = -std::abs(y - from.y);
    const int stepX = from.x < x ? 1 : -1, stepY = from.y < y ? 1 : -1;
    int error = dx + dy, px = from.x, py = from.y;
    for (int n = 0; px != x || py != y; ++n) {
        if (dotted) {
            // Three pixels on, three off; the gaps take the background in opaque mode.
            if (n % 6 < 3)
                plot(target, px, py, colour);
            else if (dc->backgroundMode == OPAQUE)
                plot(target, px, py, gap);
        } else if (radius == 0) {
            plot(target, px, py, colour);
        } else {
            for (int oy = -radius; oy <= radius; ++oy)
                for (int ox = -radius; ox <= radius; ++ox)
                    if (ox * ox + oy * oy <= radius * radius)
                        plot(target, px + ox, py + oy, colour);
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += stepX;
        }
        if (twice <= dx) {
            error += dx;
            py += stepY;
        }
    }
    return 1;
}

int DrawTextA(DeviceContext dc, const char* text, int count, WinRect* rect, uint32_t format)
{
    if (!dc || !text || !rect)
        return 0;
    if (count < 0)
        count = int(std::strlen(text));
    TargetLock lock(dc);
    return drawText(dc, text, count, rect, format);
}

ColourRef GetPixel(DeviceContext dc, int x, int y)
{
    TargetLock lock(dc);
    DrawTarget target;
    if (!drawTarget(dc, target))
        return invalidColour;
    x += target.origin.x;
    y += target.origin.y;
    if (x < target.clip.left || x >= target.clip.right || y < target.clip.top || y >= target.clip.bottom)
        return invalidColour;
    return target.pixels[size_t(y) * target.stride + x];
}

} // namespace voltara::platform
