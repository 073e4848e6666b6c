#include "pix/posix/PIX_FreeTypeFace.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>

#include <fontconfig/fontconfig.h>
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace {

constexpr const char* kFallbackFamily = "DejaVu Sans";
constexpr int32_t kDefaultEmPixels = 12;
constexpr int32_t kMaxPixels = 4096;

// One FreeType library for all faces, alive while any face is.
std::mutex g_libraryLock;
FT_Library g_library = nullptr;
int32_t g_faceCount = 0;

FT_Face OpenFace(const std::string& path, int index)
{
    std::lock_guard<std::mutex> lock(g_libraryLock);
    if (!g_library && FT_Init_FreeType(&g_library) != 0) {
        g_library = nullptr;
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(g_library, path.c_str(), index, &face) != 0) {
        if (g_faceCount == 0) {
            FT_Done_FreeType(g_library);
            g_library = nullptr;
        }
        return nullptr;
    }
    ++g_faceCount;
    return face;
}

void CloseFace(FT_Face face)
{
    std::lock_guard<std::mutex> lock(g_libraryLock);
    FT_Done_Face(face);
    if (--g_faceCount == 0) {
        FT_Done_FreeType(g_library);
        g_library = nullptr;
    }
}

struct FaceFile {
    std::string path;
    int index = 0;
    bool embolden = false;
    bool oblique = false;
};

// Asks fontconfig for the face. An unknown name falls to DejaVu Sans rather
// than to whatever the system's default is; fontconfig's own aliases
// (metric-compatible substitutes) still come first.
bool MatchFace(const PIX_FontDesc& desc, bool fallbackOnly, FaceFile* out)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return false;
    char name[sizeof(desc.faceName) + 1] = {};
    std::copy(desc.faceName, desc.faceName + sizeof(desc.faceName), name);
    if (!fallbackOnly && name[0])
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFallbackFamily));
    const int weight = desc.weight > 0 ? std::min(std::max(desc.weight, 1), 1000) : 400;
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, desc.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        out->path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &out->index) != FcResultMatch)
            out->index = 0;
        // Bold and italic the face lacks are made up, as GDI does.
        int matchedWeight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
        int matchedSlant = FC_SLANT_ROMAN;
        FcPatternGetInteger(match, FC_SLANT, 0, &matchedSlant);
        out->embolden = weight >= 600 && matchedWeight < FC_WEIGHT_DEMIBOLD;
        out->oblique = desc.italic && matchedSlant == FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return found;
}

// Pixels of one em for a Windows font height: positive heights are the cell
// (ascent plus descent), negative ones the em itself.
FT_F26Dot6 EmSize(int32_t height, FT_Long unitsPerEm, FT_Long cellUnits)
{
    height = std::max(std::min(height, kMaxPixels), -kMaxPixels);
    if (height < 0)
        return static_cast<FT_F26Dot6>(-height) * 64;
    if (height == 0 || cellUnits <= 0)
        return static_cast<FT_F26Dot6>(kDefaultEmPixels) * 64;
    return std::max<FT_F26Dot6>(64, (static_cast<FT_F26Dot6>(height) * 64 * unitsPerEm + cellUnits / 2) / cellUnits);
}

int32_t RoundPixels(FT_Long units, FT_Fixed scale)
{
    return static_cast<int32_t>((FT_MulFix(units, scale) + 32) >> 6);
}

}   // namespace

PIX_FreeTypeFace* PIX_FreeTypeFace::Open(const PIX_FontDesc& desc)
{
    PIX_FreeTypeFace* face = new PIX_FreeTypeFace();
    if (face->Load(desc, false) || face->Load(desc, true))
        return face;
    delete face;
    return nullptr;
}

PIX_FreeTypeFace::~PIX_FreeTypeFace()
{
    if (face)
        CloseFace(face);
}

bool PIX_FreeTypeFace::Load(const PIX_FontDesc& desc, bool fallback)
{
    FaceFile file;
    if (!MatchFace(desc, fallback, &file))
        return false;
    FT_Face loaded = OpenFace(file.path, file.index);
    if (!loaded)
        return false;
    if (!FT_IS_SCALABLE(loaded)) {
        CloseFace(loaded);
        return false;
    }

    // GDI's cell is the OS/2 Windows ascent and descent.
    FT_Long cellAscent = loaded->ascender;
    FT_Long cellDescent = -loaded->descender;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(loaded, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        cellAscent = os2->usWinAscent;
        cellDescent = os2->usWinDescent;
    }
    const FT_F26Dot6 em = EmSize(desc.height, loaded->units_per_EM, cellAscent + cellDescent);
    if (FT_Set_Char_Size(loaded, 0, em, 72, 72) != 0) {
        CloseFace(loaded);
        return false;
    }
    face = loaded;
    ascent = RoundPixels(cellAscent, face->size->metrics.y_scale);
    descent = RoundPixels(cellDescent, face->size->metrics.y_scale);
    mono = desc.quality == 1;
    embolden = file.embolden;
    oblique = file.oblique;
    return true;
}

bool PIX_FreeTypeFace::LoadGlyph(uint32_t ch)
{
    const FT_Int32 target = mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Char(face, ch, FT_LOAD_NO_BITMAP | target) != 0)
        return false;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    if (oblique)
        FT_GlyphSlot_Oblique(face->glyph);
    if (embolden)
        FT_GlyphSlot_Embolden(face->glyph);
    return true;
}

int32_t PIX_FreeTypeFace::Advance(uint32_t ch)
{
    // Control characters draw nothing, as in a single-line DrawText.
    if (ch < 0x20 || (ch >= 0x7F && ch < 0xA0))
        return 0;
    if (!LoadGlyph(ch))
        return 0;
    return static_cast<int32_t>((face->glyph->advance.x + 32) >> 6);
}

void PIX_FreeTypeFace::Draw(uint32_t ch, PIX_IBitmap* target, int32_t x, int32_t areaWidth, int32_t areaHeight)
{
    PIX_Pixel32* pixels = target ? target->Pixels() : nullptr;
    if (!pixels || !LoadGlyph(ch))
        return;
    if (FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const bool oneBit = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!oneBit && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY)
        return;
    areaWidth = std::min(areaWidth, target->Width());
    areaHeight = std::min(areaHeight, target->Height());
    const int32_t left = x + face->glyph->bitmap_left;
    const int32_t top = ascent - face->glyph->bitmap_top;
    const int32_t rows = static_cast<int32_t>(bitmap.rows);
    const int32_t cols = static_cast<int32_t>(bitmap.width);
    const int32_t pitch = std::abs(bitmap.pitch);
    for (int32_t r = 0; r < rows; ++r) {
        const int32_t y = top + r;
        if (y < 0 || y >= areaHeight)
            continue;
        // A negative pitch stores the rows bottom first.
        const unsigned char* src = bitmap.buffer + static_cast<ptrdiff_t>(bitmap.pitch >= 0 ? r : rows - 1 - r) * pitch;
        PIX_Pixel32* dst = PIX_RowPointer(*target, pixels, y);
        for (int32_t c = 0; c < cols; ++c) {
            const int32_t tx = left + c;
            if (tx < 0 || tx >= areaWidth)
                continue;
            const uint32_t v = oneBit ? ((src[c >> 3] >> (7 - (c & 7))) & 1u) * 255u : src[c];
            if (v > ((dst[tx] >> 16) & 0xFFu))
                dst[tx] = 0xFF000000u | v * 0x010101u;
        }
    }
}
