// The drawing surface as a DIB section: GDI draws into the same pixels that
// the bitmap code writes.
#include "TestRunner.h"

#include "pix/PIX_SysBitmap.h"

#include <windows.h>

namespace {

HDC Dc(const PIX_SysBitmap& bitmap)
{
    return static_cast<HDC>(bitmap.DeviceContext());
}

}   // namespace

WIN_TEST(SysBitmapIsATopDown32BitDibSectionInAMemoryDc)
{
    PIX_SysBitmap bitmap;
    REQUIRE(bitmap.DeviceContext() != nullptr);
    CHECK(bitmap.Pixels() == nullptr);
    CHECK(!bitmap.IsBottomUp());

    CHECK(bitmap.Resize(10, 5));
    REQUIRE(bitmap.Pixels() != nullptr);
    CHECK_EQ(bitmap.Width(), 10);
    CHECK_EQ(bitmap.Height(), 5);
    CHECK_EQ(bitmap.Stride(), 12);

    HGDIOBJ selected = GetCurrentObject(Dc(bitmap), OBJ_BITMAP);
    DIBSECTION dib = {};
    REQUIRE(GetObjectA(selected, sizeof dib, &dib) == sizeof dib);
    CHECK(dib.dsBm.bmBits == bitmap.Pixels());
    CHECK_EQ(dib.dsBm.bmBitsPixel, 32);
    CHECK_EQ(dib.dsBm.bmWidth, 12);
    CHECK_EQ(dib.dsBm.bmHeight, 5);
    CHECK_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));

    // Row 1 from the top, column 3: GDI reads what the pixel word says.
    bitmap.Pixels()[1 * bitmap.Stride() + 3] = 0xFF102030u;
    CHECK_EQ(GetPixel(Dc(bitmap), 3, 1), RGB(0x10, 0x20, 0x30));
}

WIN_TEST(SysBitmapSeesWhatGdiDrawsAndBlitsBetweenSurfaces)
{
    PIX_SysBitmap source(8, 6);
    PIX_SysBitmap target(8, 6);
    REQUIRE(source.Pixels() && target.Pixels());
    for (int i = 0; i < source.Stride() * source.Height(); ++i) {
        source.Pixels()[i] = 0xFF000000u;
        target.Pixels()[i] = 0xFF000000u;
    }

    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT area = {2, 1, 5, 3};
    FillRect(Dc(source), &area, red);
    DeleteObject(red);
    GdiFlush();
    CHECK_EQ(source.Pixels()[1 * source.Stride() + 2] & 0xFFFFFFu, 0xFF0000u);
    CHECK_EQ(source.Pixels()[2 * source.Stride() + 4] & 0xFFFFFFu, 0xFF0000u);
    CHECK_EQ(source.Pixels()[3 * source.Stride() + 2] & 0xFFFFFFu, 0u);
    CHECK_EQ(source.Pixels()[1 * source.Stride() + 5] & 0xFFFFFFu, 0u);

    source.Pixels()[5 * source.Stride() + 7] = 0xFF00FF00u;
    CHECK(BitBlt(Dc(target), 0, 0, 8, 6, Dc(source), 0, 0, SRCCOPY));
    GdiFlush();
    CHECK_EQ(target.Pixels()[1 * target.Stride() + 3] & 0xFFFFFFu, 0xFF0000u);
    CHECK_EQ(target.Pixels()[5 * target.Stride() + 7] & 0xFFFFFFu, 0x00FF00u);
    CHECK_EQ(target.Pixels()[0] & 0xFFFFFFu, 0u);
}

WIN_TEST(SysBitmapKeepsItsDibSectionWhenItStillFits)
{
    PIX_SysBitmap bitmap(16, 16);
    PIX_Pixel32* first = bitmap.Pixels();
    REQUIRE(first != nullptr);
    CHECK(!bitmap.Resize(16, 16));
    CHECK(bitmap.Resize(9, 7));
    CHECK(bitmap.Pixels() == first);
    CHECK_EQ(bitmap.Stride(), 16);
    CHECK_EQ(bitmap.Width(), 9);

    CHECK(bitmap.Resize(40, 30));
    REQUIRE(bitmap.Pixels() != nullptr);
    CHECK_EQ(bitmap.Stride(), 40);
    bitmap.Pixels()[29 * bitmap.Stride() + 39] = 0xFFFFFFFFu;
    CHECK_EQ(GetPixel(Dc(bitmap), 39, 29), RGB(255, 255, 255));

    // Nothing to draw into: the surface goes, the device context stays.
    CHECK(!bitmap.Resize(0, 0));
    CHECK(bitmap.Pixels() == nullptr);
    CHECK(bitmap.DeviceContext() != nullptr);
    CHECK(bitmap.Resize(3, 3));
    CHECK(bitmap.Pixels() != nullptr);
    CHECK_EQ(bitmap.Stride(), 4);
}
