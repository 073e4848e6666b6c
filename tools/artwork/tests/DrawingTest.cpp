#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "FontBook.h"
#include "Lettering.h"
#include "PanelLayout.h"
#include "SoftShadow.h"
#include "Strip.h"

namespace {

uint32_t PixelAt(cairo_surface_t* s, int x, int y)
{
    cairo_surface_flush(s);
    const unsigned char* d = cairo_image_surface_get_data(s);
    return reinterpret_cast<const uint32_t*>(d + y * cairo_image_surface_get_stride(s))[x];
}

}   // namespace

TEST(Strip, FrameContextCannotPaintOutsideItsFrame)
{
    const StripPlacement placement{"T.png", 1, 0, 0, 6, 5, 3};
    const Strip strip(placement);
    cairo_t* cr = strip.OpenFrame(1);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_rectangle(cr, -10, -10, 100, 100);
    cairo_fill(cr);
    cairo_destroy(cr);
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool inFrame = y >= 5 && y < 10;
            EXPECT_EQ(PixelAt(strip.Surface(), x, y), inFrame ? 0xffffffffu : 0u) << x << "," << y;
        }
    }
}

TEST(SoftShadow, BlurSpreadsSymmetricallyAndKeepsTheMass)
{
    cairo_surface_t* a8 = cairo_image_surface_create(CAIRO_FORMAT_A8, 21, 21);
    cairo_surface_flush(a8);
    unsigned char* d = cairo_image_surface_get_data(a8);
    const int stride = cairo_image_surface_get_stride(a8);
    for (int y = 8; y <= 12; ++y) {
        for (int x = 8; x <= 12; ++x)
            d[y * stride + x] = 255;
    }
    cairo_surface_mark_dirty(a8);
    SoftShadow::BlurAlpha(a8, 1);
    cairo_surface_flush(a8);
    long total = 0;
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 21; ++x) {
            total += d[y * stride + x];
            EXPECT_EQ(d[y * stride + x], d[y * stride + (20 - x)]);
            EXPECT_EQ(d[y * stride + x], d[(20 - y) * stride + x]);
            // Rows are blurred before columns, each pass rounding to 8 bits.
            EXPECT_NEAR(d[y * stride + x], d[x * stride + y], 2);
        }
    }
    EXPECT_NEAR(static_cast<double>(total), 25.0 * 255.0, 25.0 * 255.0 * 0.03);
    EXPECT_LT(d[10 * stride + 10], 255);
    EXPECT_GT(d[10 * stride + 5], 0);
    EXPECT_EQ(d[10 * stride + 3], 0);
    cairo_surface_destroy(a8);
}

TEST(Lettering, TrackingAddsBetweenLettersOnly)
{
    FontBook fonts;
    ASSERT_TRUE(fonts.Load("/usr/share/fonts/truetype/dejavu")) << fonts.Error();
    const Lettering lettering(fonts);
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* cr = cairo_create(s);
    const TextLook plain{FontBook::kSans, 10.0, 0.0, 1.0};
    const TextLook tracked{FontBook::kSans, 10.0, 2.0, 1.0};
    const TextLook condensed{FontBook::kSans, 10.0, 0.0, 0.5};
    EXPECT_EQ(lettering.Width(cr, "", plain), 0.0);
    const double w = lettering.Width(cr, "GAIN", plain);
    EXPECT_GT(w, 20.0);
    EXPECT_NEAR(lettering.Width(cr, "GAIN", tracked), w + 3 * 2.0, 1e-9);
    EXPECT_NEAR(lettering.Width(cr, "GAIN", condensed), w * 0.5, 0.5);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
}

// The scale printed on the meter is in dB of reduction while the needle is
// linear in 1 - gain: 6 dB sits at half scale, where frame 61 of 121 stands.
TEST(PanelLayout, MeterScaleMatchesTheNeedle)
{
    EXPECT_DOUBLE_EQ(PanelLayout::MeterValueForDb(0.0), 0.0);
    EXPECT_NEAR(PanelLayout::MeterValueForDb(6.0), 0.5, 0.002);
    EXPECT_NEAR(PanelLayout::MeterValueForDb(20.0), 0.9, 1e-12);
    EXPECT_NEAR(PanelLayout::MeterAngle(0.5), 0.0, 1e-12);
    EXPECT_LT(PanelLayout::MeterAngle(0.0), 0.0);
    EXPECT_NEAR(PanelLayout::MeterAngle(0.0), -PanelLayout::MeterAngle(1.0), 1e-12);
}

TEST(PanelLayout, ControlsSitInsideThePanelWithoutOverlapping)
{
    for (int a = 1; a < PanelLayout::kStripCount; ++a) {
        const StripPlacement& p = PanelLayout::Placement(static_cast<PanelLayout::Strip>(a));
        EXPECT_GE(p.x, 0);
        EXPECT_GE(p.y, 0);
        EXPECT_LE(p.x + p.width, PanelLayout::kPanelWidth);
        EXPECT_LE(p.y + p.frameHeight, PanelLayout::kPanelHeight);
        for (int b = a + 1; b < PanelLayout::kStripCount; ++b) {
            const StripPlacement& q = PanelLayout::Placement(static_cast<PanelLayout::Strip>(b));
            const bool apart = p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.frameHeight <= q.y ||
                q.y + q.frameHeight <= p.y;
            EXPECT_TRUE(apart) << p.file << " overlaps " << q.file;
        }
    }
}

TEST(PanelLayout, ReleaseDetentsAreEvenAndSymmetric)
{
    const double step = PanelLayout::ReleaseAngle(1) - PanelLayout::ReleaseAngle(0);
    EXPECT_GT(step, 0.0);
    for (int p = 1; p < PanelLayout::kReleasePositions; ++p)
        EXPECT_DOUBLE_EQ(PanelLayout::ReleaseAngle(p) - PanelLayout::ReleaseAngle(p - 1), step);
    EXPECT_DOUBLE_EQ(PanelLayout::ReleaseAngle(0), -PanelLayout::ReleaseAngle(PanelLayout::kReleasePositions - 1));
}
