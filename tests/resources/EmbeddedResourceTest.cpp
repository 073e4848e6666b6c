#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StripImage.h"
#include "pix/EmbeddedResource.h"

namespace {

struct StripInfo {
    int id;
    const char* file;
    int width;
    int height;
    int frames;
};

// The editor's strips: resource id, file, size and frame count.
const StripInfo kStrips[] = {
    {101, "IN.png", 24, 1525, 61},       {102, "OUT.png", 25, 1525, 61}, {103, "AC.png", 50, 6050, 121},
    {104, "DC.png", 52, 6050, 121},      {105, "REL.png", 65, 378, 6},   {106, "BG.png", 1001, 270, 1},
    {107, "METER.png", 200, 14157, 121}, {108, "BY.png", 38, 76, 2},     {109, "SC.png", 25, 50, 2},
    {110, "HPF.png", 25, 1525, 61},      {111, "MIX.png", 27, 1647, 61},
};

const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
const double kPi = 3.14159265358979323846;

const StripInfo& Info(int id)
{
    for (const StripInfo& s : kStrips) {
        if (s.id == id)
            return s;
    }
    ADD_FAILURE() << "no strip " << id;
    return kStrips[0];
}

bool Load(int id, StripImage* image)
{
    const unsigned char* data = nullptr;
    size_t size = 0;
    return FindEmbeddedResource(id, &data, &size) && image->Decode(data, size);
}

// Where the cream pointer of a knob frame points, in degrees clockwise from
// twelve o'clock: the direction of the centroid of the light on the black
// cap, counting only luminance above the cap's own highlights.
double PointerAngle(const StripImage& img, int frameHeight, int frame, double capRadius)
{
    const double cx = img.Width() * 0.5, cy = frameHeight * 0.5;
    double sx = 0.0, sy = 0.0;
    for (int y = 0; y < frameHeight; ++y) {
        for (int x = 0; x < img.Width(); ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r < 1.0 || r > capRadius)
                continue;
            const int row = frame * frameHeight + y;
            const double lum = img.Luminance(x, row) * img.Pixel(x, row)[3] / 255.0;
            if (lum > 150.0) {
                sx += (lum - 150.0) * dx;
                sy += (lum - 150.0) * dy;
            }
        }
    }
    return std::atan2(sx, -sy) * 180.0 / kPi;
}

}   // namespace

TEST(EmbeddedResource, EveryStripIsEmbeddedAsPngUnderItsId)
{
    for (const StripInfo& s : kStrips) {
        SCOPED_TRACE(s.file);
        const unsigned char* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(FindEmbeddedResource(s.id, &data, &size));
        ASSERT_NE(data, nullptr);
        ASSERT_GT(size, sizeof kPngSignature);
        EXPECT_EQ(std::memcmp(data, kPngSignature, sizeof kPngSignature), 0);
        ASSERT_NE(EmbeddedResourceName(s.id), nullptr);
        EXPECT_STREQ(EmbeddedResourceName(s.id), s.file);
    }
}

TEST(EmbeddedResource, EmbeddedBytesAreTheFilesBytes)
{
    for (const StripInfo& s : kStrips) {
        SCOPED_TRACE(s.file);
        std::ifstream in(std::string(TIDEPULL_RESOURCE_IMAGE_DIR) + "/" + s.file, std::ios::binary);
        ASSERT_TRUE(in.good());
        const std::vector<unsigned char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const unsigned char* data = nullptr;
        size_t size = 0;
        ASSERT_TRUE(FindEmbeddedResource(s.id, &data, &size));
        ASSERT_EQ(size, file.size());
        EXPECT_EQ(std::memcmp(data, file.data(), size), 0);
    }
}

TEST(EmbeddedResource, UnknownIdsAreNotFoundAndOutputsUntouched)
{
    for (int id : {0, -1, 1, 100, 112, 206, 1101}) {
        SCOPED_TRACE(id);
        const unsigned char sentinel = 0;
        const unsigned char* data = &sentinel;
        size_t size = 12345;
        EXPECT_FALSE(FindEmbeddedResource(id, &data, &size));
        EXPECT_EQ(data, &sentinel);
        EXPECT_EQ(size, 12345u);
        EXPECT_EQ(EmbeddedResourceName(id), nullptr);
    }
}

TEST(EmbeddedResource, NullOutputsAreAllowed)
{
    EXPECT_TRUE(FindEmbeddedResource(106, nullptr, nullptr));
    EXPECT_FALSE(FindEmbeddedResource(99, nullptr, nullptr));
}

TEST(StripArtwork, EveryStripDecodesAsRgbaWithItsExactSize)
{
    for (const StripInfo& s : kStrips) {
        SCOPED_TRACE(s.file);
        StripImage img;
        ASSERT_TRUE(Load(s.id, &img));
        EXPECT_EQ(img.Width(), s.width);
        EXPECT_EQ(img.Height(), s.height);
        EXPECT_EQ(s.height % s.frames, 0);
    }
}

TEST(StripArtwork, BackgroundIsOpaqueEverywhere)
{
    StripImage img;
    ASSERT_TRUE(Load(106, &img));
    int translucent = 0;
    for (int y = 0; y < img.Height(); ++y) {
        for (int x = 0; x < img.Width(); ++x)
            translucent += img.Pixel(x, y)[3] != 255 ? 1 : 0;
    }
    EXPECT_EQ(translucent, 0);
}

// Knobs and lamps composite over the panel: every frame is clear at its
// corners and solid at its centre.
TEST(StripArtwork, ControlFramesAreClearAtTheCornersAndSolidInTheMiddle)
{
    for (int id : {101, 102, 103, 104, 105, 108, 109, 110, 111}) {
        const StripInfo& s = Info(id);
        SCOPED_TRACE(s.file);
        StripImage img;
        ASSERT_TRUE(Load(id, &img));
        const int fh = s.height / s.frames;
        for (int f = 0; f < s.frames; ++f) {
            const int top = f * fh, bottom = top + fh - 1, right = s.width - 1;
            EXPECT_EQ(img.Pixel(0, top)[3], 0) << "frame " << f + 1;
            EXPECT_EQ(img.Pixel(right, top)[3], 0) << "frame " << f + 1;
            EXPECT_EQ(img.Pixel(0, bottom)[3], 0) << "frame " << f + 1;
            EXPECT_EQ(img.Pixel(right, bottom)[3], 0) << "frame " << f + 1;
            EXPECT_EQ(img.Pixel(s.width / 2, top + fh / 2)[3], 255) << "frame " << f + 1;
        }
    }
}

TEST(StripArtwork, SwitchLampsAreDarkInFrameOneAndLitInFrameTwo)
{
    for (int id : {108, 109}) {
        const StripInfo& s = Info(id);
        SCOPED_TRACE(s.file);
        StripImage img;
        ASSERT_TRUE(Load(id, &img));
        const int fh = s.height / s.frames;
        const double dark = img.Luminance(s.width / 2, fh / 2);
        const double lit = img.Luminance(s.width / 2, fh + fh / 2);
        EXPECT_LT(dark, 90.0);
        EXPECT_GT(lit, 200.0);
    }
}

// Frame k must show the pointer at the value that selects frame k,
// (k - 1) / (frames - 1), over the 270 degree sweep the panel's scales
// are printed for.
TEST(StripArtwork, KnobPointersTurnEvenlyOverTheSweep)
{
    for (int id : {101, 102, 103, 104, 110, 111}) {
        const StripInfo& s = Info(id);
        SCOPED_TRACE(s.file);
        StripImage img;
        ASSERT_TRUE(Load(id, &img));
        const int fh = s.height / s.frames;
        const double capRadius = (s.width < fh ? s.width : fh) * 0.25;
        for (int f = 0; f < s.frames; ++f) {
            const double expected = -135.0 + 270.0 * f / (s.frames - 1);
            EXPECT_NEAR(PointerAngle(img, fh, f, capRadius), expected, 2.5) << "frame " << f + 1;
        }
    }
}

TEST(StripArtwork, ReleaseKnobRestsOnSixDetents)
{
    StripImage img;
    ASSERT_TRUE(Load(105, &img));
    const int fh = 63;
    const double detents[6] = {-100.0, -60.0, -20.0, 20.0, 60.0, 100.0};
    for (int f = 0; f < 6; ++f)
        EXPECT_NEAR(PointerAngle(img, fh, f, 22.0), detents[f], 2.5) << "position " << f + 1;
}

// The needle is the only dark thing on the card along an arc around its
// pivot; it must sweep left to right, passing upright at frame 61 (half
// scale, where the 6 dB mark sits).
TEST(StripArtwork, MeterNeedleSweepsFromRestToFullDeflection)
{
    StripImage img;
    ASSERT_TRUE(Load(107, &img));
    const int fh = 117;
    const double pivotX = 100.0, pivotY = 124.0, radius = 45.0;
    double previous = -1000.0;
    for (int f = 0; f < 121; ++f) {
        double darkest = 1e9, angle = 0.0;
        for (double a = -55.0; a <= 55.0; a += 0.25) {
            const double t = a * kPi / 180.0;
            const int x = static_cast<int>(pivotX + radius * std::sin(t));
            const int y = static_cast<int>(pivotY - radius * std::cos(t));
            const double lum = img.Luminance(x, f * fh + y);
            if (lum < darkest) {
                darkest = lum;
                angle = a;
            }
        }
        EXPECT_LT(darkest, 80.0) << "frame " << f + 1;
        EXPECT_GE(angle, previous) << "frame " << f + 1;
        previous = angle;
        if (f == 0) {
            EXPECT_LT(angle, -40.0);
        } else if (f == 60) {
            EXPECT_NEAR(angle, 0.0, 1.5);
        } else if (f == 120) {
            EXPECT_GT(angle, 40.0);
        }
    }
}
