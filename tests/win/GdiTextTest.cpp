// Text on Windows: glyphs rasterised by GDI into the cache, and GDI's own
// drawing, compared with what the cache draws.
#include "TestRunner.h"

#include "pix/PIX_CachedFont.h"
#include "pix/PIX_FontDesc.h"
#include "pix/PIX_FontPlatform.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_SysBitmap.h"
#include "pix/win32/PIX_GdiText.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Native and cached text of the same font put ink on the same pixels; they
// differ in how partly covered edge pixels are blended: GDI's own blend
// applies a gamma (Wine's lightens them) that the cache's linear coverage
// blend does not. So edge pixels may differ by up to this much per channel,
// the mean over the area stays small, and the sets of inked pixels agree
// but for a few faint ones.
constexpr int kNativeChannelTolerance = 160;
constexpr double kNativeMeanTolerance = 8.0;
constexpr double kNativeInkMismatch = 0.05;

PIX_FontHandle MakeFont(int height)
{
    PIX_FontDesc desc;
    desc.height = height;
    std::strcpy(desc.faceName, "Tahoma");
    return PIX_FontPlatform::CreateFontHandle(desc);
}

void Fill(PIX_IBitmap& bitmap, PIX_Pixel32 colour)
{
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            bitmap.Pixels()[y * bitmap.Stride() + x] = colour;
}

// White bitmap, black text drawn from the cache at `rect`.
std::unique_ptr<PIX_MemBitmap> Cached(PIX_CachedFont& font, const char* text, PIX_Rect rect, uint32_t flags = 0)
{
    auto bitmap = std::make_unique<PIX_MemBitmap>();
    bitmap->Resize(120, 60);
    Fill(*bitmap, 0xFFFFFFFFu);
    font.RenderText(bitmap.get(), text, -1, &rect, flags | TEXT_NO_NATIVE);
    return bitmap;
}

bool Same(const PIX_IBitmap& a, const PIX_IBitmap& b)
{
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.Pixels()[y * a.Stride() + x] != b.Pixels()[y * b.Stride() + x])
                return false;
    return true;
}

int Inked(const PIX_IBitmap& a)
{
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            n += (a.Pixels()[y * a.Stride() + x] & 0xFFFFFFu) != 0xFFFFFFu;
    return n;
}

}   // namespace

WIN_TEST(GdiTextGoesNativeOnlyOffWine)
{
    HKEY key = nullptr;
    const bool wine = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine", 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (key)
        RegCloseKey(key);
    CHECK_EQ(PIX_GdiText::RunningUnderWine(), wine);
    CHECK_EQ(PIX_FontPlatform::HasNativeText(), !wine);
}

WIN_TEST(GdiTextFindsWellFormedUtf8Sequences)
{
    CHECK(!PIX_GdiText::HasUtf8Sequence("plain", 5));
    CHECK(PIX_GdiText::HasUtf8Sequence("\xC3\xBC", 2));
    CHECK(PIX_GdiText::HasUtf8Sequence("a\xE2\x82\xAC", 4));
    CHECK(!PIX_GdiText::HasUtf8Sequence("\xC3", 1));
    CHECK(!PIX_GdiText::HasUtf8Sequence("\xC3"
                                        "A",
                                        2));
    CHECK(!PIX_GdiText::HasUtf8Sequence("\xE2\x82", 2));
    // Only the bytes counted.
    CHECK(!PIX_GdiText::HasUtf8Sequence("a\xC3\xBC", 2));
}

WIN_TEST(GdiGlyphsAreRasterisedOnceWithCoverage)
{
    PIX_CachedFont font(MakeFont(16), FONT_OWNS_HANDLE);
    REQUIRE(font.FontHandle() != nullptr);
    CHECK(font.LineHeight() >= 14 && font.LineHeight() <= 22);
    auto first = Cached(font, "A A", PIX_Rect{0, 0, 120, 60});
    const int rasterised = font.RasterizeCount();
    CHECK_EQ(rasterised, 2);
    auto second = Cached(font, "A A", PIX_Rect{0, 0, 120, 60});
    CHECK_EQ(font.RasterizeCount(), rasterised);
    CHECK(Same(*first, *second));

    const PIX_CachedFont::GlyphRecord* a = font.FindGlyph('A');
    REQUIRE(a != nullptr && a->offset > 0);
    CHECK(a->advance > 3);
    CHECK_EQ(a->height, font.LineHeight());
    const uint8_t* coverage = font.GlyphCoverage(*a);
    int full = 0;
    for (int i = 0; i < a->width * a->height; ++i)
        full += coverage[i] > 200;
    CHECK(full > 5);
    // The space advances the pen and inks nothing.
    const PIX_CachedFont::GlyphRecord* space = font.FindGlyph(' ');
    REQUIRE(space != nullptr);
    CHECK(space->advance > 0);
    auto alone = Cached(font, "A", PIX_Rect{0, 0, 120, 60});
    CHECK_EQ(Inked(*first), 2 * Inked(*alone));
}

WIN_TEST(GdiTextLineBreaksAndFourByteCharacters)
{
    PIX_CachedFont font(MakeFont(16), FONT_OWNS_HANDLE);
    REQUIRE(font.FontHandle() != nullptr);
    const int line = font.LineHeight();
    auto broken = Cached(font, "A\nB", PIX_Rect{5, 2, 120, 60});
    auto separate = Cached(font, "A", PIX_Rect{5, 2, 120, 60});
    PIX_Rect below = {5, 2 + line, 120, 60};
    font.RenderText(separate.get(), "B", -1, &below, TEXT_NO_NATIVE);
    CHECK(Same(*broken, *separate));

    auto single = Cached(font, "A\nB", PIX_Rect{5, 2, 120, 60}, PIX_DT_SINGLELINE);
    auto spaced = Cached(font, "A B", PIX_Rect{5, 2, 120, 60});
    CHECK(Same(*single, *spaced));

    auto emoji = Cached(font,
                        "A\xF0\x9F\x98\x80"
                        "B",
                        PIX_Rect{5, 2, 120, 60});
    CHECK(Same(*emoji, *spaced));

    PIX_Rect empty = {7, 9, 50, 50};
    CHECK_EQ(font.RenderText(nullptr, "", -1, &empty, PIX_DT_CALCRECT | TEXT_NO_NATIVE), 0);
    CHECK(empty.left == 7 && empty.top == 9 && empty.right == 7 && empty.bottom == 9);
}

WIN_TEST(GdiNativeTextMatchesTheCachedTextWithinTolerance)
{
    PIX_CachedFont font(MakeFont(16), FONT_OWNS_HANDLE | FONT_NATIVE);
    REQUIRE(font.FontHandle() != nullptr);
    const char* text = "Tidepull 42 dB";

    PIX_Rect cachedSize = {0, 0, 0, 0};
    font.RenderText(nullptr, text, -1, &cachedSize, PIX_DT_CALCRECT | PIX_DT_SINGLELINE | TEXT_NO_NATIVE);
    PIX_Rect nativeSize = {0, 0, 0, 0};
    PIX_GdiText::Render(font, nullptr, text, -1, &nativeSize, PIX_DT_CALCRECT | PIX_DT_SINGLELINE);
    t.Check(std::abs(cachedSize.right - nativeSize.right) <= 1, "same width", __FILE__, __LINE__,
            TestText(cachedSize.right) + " vs " + TestText(nativeSize.right));
    CHECK_EQ(cachedSize.bottom, nativeSize.bottom);

    auto cached = Cached(font, text, PIX_Rect{3, 4, 120, 60}, PIX_DT_SINGLELINE);
    PIX_MemBitmap native;
    native.Resize(120, 60);
    Fill(native, 0xFFFFFFFFu);
    PIX_Rect area = {3, 4, 120, 60};
    CHECK(PIX_GdiText::Render(font, &native, text, -1, &area, PIX_DT_SINGLELINE) > 0);

    int worst = 0;
    double total = 0;
    int alphaChanged = 0;
    int inkMismatch = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 120; ++x) {
            const PIX_Pixel32 c = cached->Pixels()[y * cached->Stride() + x];
            const PIX_Pixel32 n = native.Pixels()[y * native.Stride() + x];
            alphaChanged += (n >> 24) != 0xFF;
            inkMismatch += ((c & 0xFFFFFFu) != 0xFFFFFFu) != ((n & 0xFFFFFFu) != 0xFFFFFFu);
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = std::abs(static_cast<int>((c >> shift) & 0xFF) - static_cast<int>((n >> shift) & 0xFF));
                worst = d > worst ? d : worst;
                total += d;
            }
        }
    const double mean = total / (120.0 * 60.0 * 3.0);
    t.Check(worst <= kNativeChannelTolerance && mean <= kNativeMeanTolerance, "native within tolerance", __FILE__,
            __LINE__, "worst " + TestText(worst) + ", mean " + TestText(mean));
    CHECK(Inked(native) > 20);
    t.Check(inkMismatch <= kNativeInkMismatch * Inked(*cached), "same pixels inked", __FILE__, __LINE__,
            TestText(inkMismatch) + " of " + TestText(Inked(*cached)));
    CHECK_EQ(alphaChanged, 0);
}

WIN_TEST(GdiNativeTextDrawsStraightIntoASurfaceWithADeviceContext)
{
    PIX_CachedFont font(MakeFont(20), FONT_OWNS_HANDLE | FONT_NATIVE);
    REQUIRE(font.FontHandle() != nullptr);
    font.SetInkColor(0xFF0000FFu);
    PIX_SysBitmap surface(100, 40);
    REQUIRE(surface.Pixels() != nullptr);
    Fill(surface, 0xFFFFFFFFu);
    PIX_Rect rect = {0, 0, 100, 40};
    CHECK(PIX_GdiText::Render(font, &surface, "Hi", -1, &rect, PIX_DT_CENTER | PIX_DT_SINGLELINE) > 0);
    int blue = 0;
    int leftHalf = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            const PIX_Pixel32 p = surface.Pixels()[y * surface.Stride() + x];
            if ((p & 0xFFFFFFu) != 0xFFFFFFu && (p & 0xFF) > ((p >> 16) & 0xFF)) {
                ++blue;
                leftHalf += x < 30;
            }
        }
    CHECK(blue > 10);
    CHECK_EQ(leftHalf, 0);   // centred

    PIX_Rect measured = {10, 10, 10, 10};
    PIX_GdiText::Render(font, &surface, "Hi", -1, &measured, PIX_DT_CALCRECT | PIX_DT_SINGLELINE);
    CHECK(measured.right > 10 && measured.bottom - measured.top == font.LineHeight());
}
