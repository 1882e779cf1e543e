#include "platform/linux/Host.h"
#include "platform/linux/Objects.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <unistd.h>

// Text through FreeType. Liberation fonts stand in for the Windows core fonts
// they match in metrics (Arial, Times New Roman, Courier New); DejaVu when
// they are missing. A face the system lacks falls back by its family, as the
// GDI font mapper does.

namespace voltara::platform {

struct FontFace {
    FT_Face face = nullptr;
    bool emboldened = false; // no bold file: bold is made from the regular outline
    bool slanted = false;    // no italic file: italic is the regular outline sheared
};

namespace {

enum class Family { sans, serif, mono };

std::mutex& fontLock()
{
    static std::mutex lock;
    return lock;
}

FT_Library library()
{
    static FT_Library instance = [] {
        FT_Library created = nullptr;
        return FT_Init_FreeType(&created) == 0 ? created : nullptr;
    }();
    return instance;
}

Family familyOf(const LogFont& request)
{
    std::string name(request.faceName, strnlen(request.faceName, sizeof request.faceName));
    for (char& c : name)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    static const std::map<std::string, Family> known{
        {"arial", Family::sans},           {"helvetica", Family::sans},
        {"liberation sans", Family::sans}, {"ms sans serif", Family::sans},
        {"system", Family::sans},          {"tahoma", Family::sans},
        {"verdana", Family::sans},         {"times new roman", Family::serif},
        {"times", Family::serif},          {"liberation serif", Family::serif},
        {"courier new", Family::mono},     {"courier", Family::mono},
        {"liberation mono", Family::mono},
    };
    auto found = known.find(name);
    if (found != known.end())
        return found->second;
    switch (request.pitchAndFamily & 0xF0) {
    case FF_ROMAN: return Family::serif;
    case FF_MODERN: return Family::mono;
    default: return (request.pitchAndFamily & 3) == 1 ? Family::mono : Family::sans;
    }
}

// Files per family in the order regular, bold, italic, bold italic.
const char* const* candidates(Family family, bool liberation)
{
    static const char* const liberationFiles[3][4] = {
        {"LiberationSans-Regular", "LiberationSans-Bold", "LiberationSans-Italic", "LiberationSans-BoldItalic"},
        {"LiberationSerif-Regular", "LiberationSerif-Bold", "LiberationSerif-Italic", "LiberationSerif-BoldItalic"},
        {"LiberationMono-Regular", "LiberationMono-Bold", "LiberationMono-Italic", "LiberationMono-BoldItalic"},
    };
    static const char* const dejavuFiles[3][4] = {
        {"DejaVuSans", "DejaVuSans-Bold", "DejaVuSans-Oblique", "DejaVuSans-BoldOblique"},
        {"DejaVuSerif", "DejaVuSerif-Bold", "DejaVuSerif-Italic", "DejaVuSerif-BoldItalic"},
        {"DejaVuSansMono", "DejaVuSansMono-Bold", "DejaVuSansMono-Oblique", "DejaVuSansMono-BoldOblique"},
    };
    return liberation ? liberationFiles[int(family)] : dejavuFiles[int(family)];
}

std::string findFile(const char* name, bool liberation)
{
    static const char* const liberationFolders[] = {"/usr/share/fonts/truetype/liberation2/",
                                                    "/usr/share/fonts/truetype/liberation/"};
    static const char* const dejavuFolders[] = {"/usr/share/fonts/truetype/dejavu/"};
    if (liberation) {
        for (const char* folder : liberationFolders) {
            std::string path = std::string(folder) + name + ".ttf";
            if (access(path.c_str(), R_OK) == 0)
                return path;
        }
    } else {
        for (const char* folder : dejavuFolders) {
            std::string path = std::string(folder) + name + ".ttf";
            if (access(path.c_str(), R_OK) == 0)
                return path;
        }
    }
    return std::string();
}

FT_Face openFace(const std::string& path)
{
    static std::map<std::string, FT_Face> faces; // kept for the life of the process
    auto found = faces.find(path);
    if (found != faces.end())
        return found->second;
    FT_Face face = nullptr;
    if (!library() || FT_New_Face(library(), path.c_str(), 0, &face) != 0)
        face = nullptr;
    faces[path] = face;
    return face;
}

FontFace* lookUp(Family family, bool bold, bool italic)
{
    static std::map<int, FontFace> chosen;
    const int key = int(family) * 4 + (bold ? 1 : 0) + (italic ? 2 : 0);
    auto found = chosen.find(key);
    if (found != chosen.end())
        return found->second.face ? &found->second : nullptr;
    FontFace& result = chosen[key];
    for (bool liberation : {true, false}) {
        const char* const* files = candidates(family, liberation);
        std::string path = findFile(files[(bold ? 1 : 0) + (italic ? 2 : 0)], liberation);
        if (path.empty()) {
            path = findFile(files[0], liberation);
            result.emboldened = bold;
            result.slanted = italic;
        }
        if (!path.empty() && (result.face = openFace(path)) != nullptr)
            return &result;
    }
    if (family != Family::sans) {
        FontFace* sans = lookUp(Family::sans, bold, italic);
        if (sans)
            result = *sans;
        return sans;
    }
    return nullptr;
}

int emHeight(const LogFont& request, FT_Face face)
{
    if (request.height < 0)
        return -request.height;
    if (request.height == 0)
        return 12;
    // A positive height asks for the cell height, internal leading included.
    const int cell = face->ascender - face->descender;
    return std::max(1, cell > 0 ? int(request.height * long(face->units_per_EM) / cell) : request.height);
}

int ceilPixels(FT_Pos value)
{
    return int((value + 63) >> 6);
}

bool loadGlyph(const FontFace& font, unsigned char character)
{
    FT_Face face = font.face;
    if (FT_Load_Char(face, character, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return false;
    if (font.slanted && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000}; // about 12 degrees
        FT_Outline_Transform(&face->glyph->outline, &shear);
    }
    if (font.emboldened)
        FT_GlyphSlot_Embolden(face->glyph);
    return true;
}

void blend(const DrawTarget& target, const WinRect& clip, int x, int y, uint8_t coverage, ColourRef colour)
{
    if (coverage == 0 || x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom)
        return;
    uint32_t& pixel = target.pixels[size_t(y) * target.stride + x];
    if (target.mono) {
        if (coverage >= 128)
            pixel = (int(colour & 0xFF) + int(colour >> 8 & 0xFF) + int(colour >> 16 & 0xFF)) > 382 ? 0xFFFFFF : 0;
        return;
    }
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t c = colour >> shift & 0xFF, d = pixel >> shift & 0xFF;
        result |= ((c * coverage + d * (255 - coverage) + 127) / 255) << shift;
    }
    pixel = result;
}

} // namespace

void chooseFace(FontObject* font)
{
    std::lock_guard<std::mutex> lock(fontLock());
    const LogFont& request = font->request;
    font->face = lookUp(familyOf(request), request.weight >= 600, request.italic != 0);
    font->pixelHeight = font->face ? emHeight(request, font->face->face) : 0;
}

int drawText(DeviceContextObject* dc, const char* text, int count, WinRect* rect, uint32_t format)
{
    std::lock_guard<std::mutex> lock(fontLock());
    FontObject* font = dc->font;
    if (!font->face)
        return 0;
    const FontFace& chosen = *font->face;
    FT_Face face = chosen.face;
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(font->pixelHeight)) != 0)
        return 0;

    std::string shown;
    for (int i = 0; i < count && text[i]; ++i) {
        // Without DT_NOPREFIX an ampersand marks the next character; "&&" is one ampersand.
        if (!(format & DT_NOPREFIX) && text[i] == '&' && i + 1 < count) {
            ++i;
        }
        shown += text[i];
    }
    int width = 0;
    for (unsigned char c : shown)
        if (loadGlyph(chosen, c))
            width += int((face->glyph->advance.x + 32) >> 6);
    const int ascent = ceilPixels(face->size->metrics.ascender);
    const int height = ascent + ceilPixels(-face->size->metrics.descender);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + width;
        rect->bottom = rect->top + height;
        return height;
    }

    int x = rect->left, y = rect->top;
    if (format & DT_CENTER)
        x = rect->left + (rect->right - rect->left - width) / 2;
    else if (format & DT_RIGHT)
        x = rect->right - width;
    if ((format & DT_SINGLELINE) && (format & DT_VCENTER))
        y = rect->top + (rect->bottom - rect->top - height) / 2;
    else if ((format & DT_SINGLELINE) && (format & DT_BOTTOM))
        y = rect->bottom - height;

    DrawTarget target;
    if (!drawTarget(dc, target))
        return height;
    const int ox = target.origin.x, oy = target.origin.y;
    WinRect clip = target.clip;
    if (!(format & DT_NOCLIP)) {
        clip.left = std::max(clip.left, rect->left + ox);
        clip.top = std::max(clip.top, rect->top + oy);
        clip.right = std::min(clip.right, rect->right + ox);
        clip.bottom = std::min(clip.bottom, rect->bottom + oy);
    }
    noteDrawn(dc, {std::max(clip.left, x + ox), std::max(clip.top, y + oy), std::min(clip.right, x + ox + width),
                   std::min(clip.bottom, y + oy + height)});
    noteText(dc, {rect->left + ox, rect->top + oy, rect->right + ox, rect->bottom + oy}, shown);
    if (dc->backgroundMode == OPAQUE) {
        // An opaque background fills the text's cells only.
        for (int py = y; py < y + height; ++py)
            for (int px = x; px < x + width; ++px)
                blend(target, clip, px + ox, py + oy, 255, dc->background);
    }
    const int baseline = y + ascent;
    int pen = x;
    for (unsigned char c : shown) {
        if (!loadGlyph(chosen, c))
            continue;
        FT_GlyphSlot glyph = face->glyph;
        if (FT_Render_Glyph(glyph, FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& bitmap = glyph->bitmap;
            for (unsigned row = 0; row < bitmap.rows; ++row)
                for (unsigned column = 0; column < bitmap.width; ++column)
                    blend(target, clip, pen + glyph->bitmap_left + int(column) + ox,
                          baseline - glyph->bitmap_top + int(row) + oy,
                          bitmap.buffer[int(row) * bitmap.pitch + int(column)], dc->text);
        }
        pen += int((glyph->advance.x + 32) >> 6);
    }
    if (font->request.underline) {
        const FT_Fixed scale = face->size->metrics.y_scale;
        const int position = baseline - int(FT_MulFix(face->underline_position, scale) >> 6);
        const int thickness = std::max(1, int(FT_MulFix(face->underline_thickness, scale) >> 6));
        for (int py = position; py < position + thickness; ++py)
            for (int px = x; px < x + width; ++px)
                blend(target, clip, px + ox, py + oy, 255, dc->text);
    }
    return height;
}

bool host::fontsAvailable()
{
    std::lock_guard<std::mutex> lock(fontLock());
    return lookUp(Family::sans, false, false) != nullptr;
}

} // namespace voltara::platform
