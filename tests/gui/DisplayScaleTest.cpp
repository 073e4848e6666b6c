// The display scale: rounding to the supported scales and the exact mapping
// between logical and device pixels.
#include "gui/DisplayScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(DisplayScale, RoundsToTheNearestQuarterBetweenOneAndTwo)
{
    EXPECT_EQ(DisplayScale::FromFactor(1.0).Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromFactor(1.1).Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromFactor(1.125).Quarters(), 5);   // a tie goes up
    EXPECT_EQ(DisplayScale::FromFactor(1.3).Quarters(), 5);
    EXPECT_EQ(DisplayScale::FromFactor(1.5).Quarters(), 6);
    EXPECT_EQ(DisplayScale::FromFactor(1.7).Quarters(), 7);
    EXPECT_EQ(DisplayScale::FromFactor(1.9).Quarters(), 8);
    EXPECT_EQ(DisplayScale::FromFactor(2.0).Quarters(), 8);
    EXPECT_EQ(DisplayScale::FromFactor(3.0).Quarters(), 8);
    EXPECT_EQ(DisplayScale::FromFactor(0.5).Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromFactor(-2.0).Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromFactor(std::nan("")).Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromFactor(std::numeric_limits<double>::infinity()).Quarters(), 8);
    EXPECT_DOUBLE_EQ(DisplayScale::FromFactor(1.75).Factor(), 1.75);
}

TEST(DisplayScale, DpiOf96IsOneAnd192IsTwo)
{
    EXPECT_TRUE(DisplayScale::FromDpi(96).IsOne());
    EXPECT_EQ(DisplayScale::FromDpi(120).Quarters(), 5);
    EXPECT_EQ(DisplayScale::FromDpi(144).Quarters(), 6);
    EXPECT_EQ(DisplayScale::FromDpi(192).Quarters(), 8);
    EXPECT_TRUE(DisplayScale::FromDpi(0).IsOne());
}

TEST(DisplayScale, EditorSizeInDevicePixelsRoundsUp)
{
    const int32_t widths[] = {1001, 1252, 1502, 1752, 2002};
    const int32_t heights[] = {270, 338, 405, 473, 540};
    for (int q = 4; q <= 8; ++q) {
        const DisplayScale s = DisplayScale::FromFactor(q / 4.0);
        EXPECT_EQ(s.DeviceLength(1001), widths[q - 4]) << q;
        EXPECT_EQ(s.DeviceLength(270), heights[q - 4]) << q;
    }
}

TEST(DisplayScale, DevicePixelsMapBackWithoutSkippingALogicalPixel)
{
    for (int q = 4; q <= 8; ++q) {
        const DisplayScale s = DisplayScale::FromFactor(q / 4.0);
        for (int32_t d = -40; d < 2200; ++d) {
            const int32_t step = s.ToLogical(d + 1) - s.ToLogical(d);
            ASSERT_TRUE(step == 0 || step == 1) << q << " " << d;
        }
        for (int32_t x = -20; x < 1100; ++x) {
            const int32_t back = s.ToLogical(s.ToDevice(x));
            ASSERT_TRUE(back == x || back == x - 1) << q << " " << x;
        }
    }
}

TEST(DisplayScale, AMoveOfNLogicalPixelsInDevicePixelsMapsBackToN)
{
    // N a multiple of 4, so N x scale is whole at every scale.
    for (int q = 4; q <= 8; ++q) {
        const DisplayScale s = DisplayScale::FromFactor(q / 4.0);
        for (int32_t n : {-40, -8, 4, 12, 100}) {
            const int32_t deviceMove = n * q / 4;
            for (int32_t d = -30; d < 300; ++d)
                ASSERT_EQ(s.ToLogical(d + deviceMove) - s.ToLogical(d), n) << q << " " << n << " " << d;
        }
    }
}

TEST(DisplayScale, RectsMapOutwardBothWays)
{
    const DisplayScale s = DisplayScale::FromFactor(1.25);
    const Bounds logical(535, 197, 585, 247);
    const Bounds device = s.ToDevice(logical);
    EXPECT_EQ(device, Bounds(668, 246, 732, 309));
    const Bounds back = s.ToLogical(device);
    EXPECT_LE(back.left, logical.left);
    EXPECT_LE(back.top, logical.top);
    EXPECT_GE(back.right, logical.right);
    EXPECT_GE(back.bottom, logical.bottom);
    // An empty rect stays empty (it means nothing, not the origin).
    EXPECT_TRUE(s.ToDevice(Bounds()).IsEmpty());
    EXPECT_TRUE(s.ToLogical(Bounds()).IsEmpty());
    // 1x is the identity.
    EXPECT_EQ(DisplayScale().ToDevice(logical), logical);
}

TEST(DisplayScale, StripSourceAndFontSize)
{
    EXPECT_EQ(DisplayScale().StripSource(), DisplayScale::Source::kOneX);
    EXPECT_EQ(DisplayScale::FromFactor(2.0).StripSource(), DisplayScale::Source::kArtwork);
    EXPECT_EQ(DisplayScale::FromFactor(1.5).StripSource(), DisplayScale::Source::kResampled);
    EXPECT_EQ(DisplayScale::FromFactor(1.25).FontSize(12), 15);
    EXPECT_EQ(DisplayScale::FromFactor(1.75).FontSize(12), 21);
    EXPECT_EQ(DisplayScale::FromFactor(1.25).FontSize(10), 13);   // 12.5 rounds up
}

TEST(DisplayScale, ReadsTheDesktopsResolutionText)
{
    EXPECT_EQ(DisplayScale::FromDpiText("96").Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromDpiText("120").Quarters(), 5);
    EXPECT_EQ(DisplayScale::FromDpiText("144").Quarters(), 6);
    EXPECT_EQ(DisplayScale::FromDpiText("168").Quarters(), 7);
    EXPECT_EQ(DisplayScale::FromDpiText("192").Quarters(), 8);
    // A point always, whatever the locale; surrounding blanks as resource
    // files leave them.
    EXPECT_EQ(DisplayScale::FromDpiText("144.0").Quarters(), 6);
    EXPECT_EQ(DisplayScale::FromDpiText(" 144\t").Quarters(), 6);
    EXPECT_EQ(DisplayScale::FromDpiText("156").Quarters(), 7);   // 1.625: a tie goes up
    EXPECT_EQ(DisplayScale::FromDpiText("155.9").Quarters(), 6);
    EXPECT_EQ(DisplayScale::FromDpiText("110").Quarters(), 5);   // 1.146
    EXPECT_EQ(DisplayScale::FromDpiText(".5e3").Quarters(), 4);   // not a plain number
    // Out of range is held to the ends.
    EXPECT_EQ(DisplayScale::FromDpiText("72").Quarters(), 4);
    EXPECT_EQ(DisplayScale::FromDpiText("384").Quarters(), 8);
    EXPECT_EQ(DisplayScale::FromDpiText("99999999999999999999999").Quarters(), 8);
}

TEST(DisplayScale, AResolutionTextThatIsNoNumberIsOne)
{
    const char* texts[] = {"", "  ", "-144", "+144", "144,5", "144 dpi", "1 44", "0", "0.0", ".", "abc", "0x90"};
    for (const char* t : texts)
        EXPECT_TRUE(DisplayScale::FromDpiText(t).IsOne()) << "'" << t << "'";
    EXPECT_TRUE(DisplayScale::FromDpiText(nullptr).IsOne());
}
