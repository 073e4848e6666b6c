#include "gui/Editor.h"
#include "pix/EmbeddedResource.h"
#include "pix/PIX_MemBitmap.h"
#include "pix/PIX_Png.h"
#include "plug/EditorStrips.h"
#include "plug/TidepullEditorLayout.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

std::unique_ptr<PIX_MemBitmap> Image(int id)
{
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindEmbeddedResource(id, &data, &size))
        return nullptr;
    return std::unique_ptr<PIX_MemBitmap>(PIX_PngFromMemory(data, size));
}

}   // namespace

// The table is what the artwork was drawn to: a strip whose size or frame
// count drifted from its picture would cut frames wrongly.
TEST(EditorStrips, EveryStripIsAPictureOfItsFramesAtBothDensities)
{
    for (const StripPlacement& s : kEditorStrips) {
        SCOPED_TRACE(s.file);
        EXPECT_STREQ(EmbeddedResourceName(s.resourceId), s.file);
        std::unique_ptr<PIX_MemBitmap> one = Image(s.resourceId);
        ASSERT_NE(one, nullptr);
        EXPECT_EQ(one->Width(), s.width);
        EXPECT_EQ(one->Height(), s.frameHeight * s.frames);
        std::unique_ptr<PIX_MemBitmap> two = Image(s.resourceId + kDoubleDensityIdOffset);
        ASSERT_NE(two, nullptr);
        EXPECT_EQ(two->Width(), 2 * s.width);
        EXPECT_EQ(two->Height(), 2 * s.frameHeight * s.frames);
    }
}

TEST(EditorStrips, OneIdAndOneFileEachAndEveryControlOnThePanel)
{
    static_assert(kDoubleDensityIdOffset == Editor::kDoubleDensityIdOffset, "the editor finds the 2x strips");
    std::set<int> ids;
    std::set<std::string> files;
    const StripPlacement& panel = kEditorStrips[0];
    EXPECT_EQ(panel.x, 0);
    EXPECT_EQ(panel.y, 0);
    EXPECT_EQ(panel.frames, 1);
    EXPECT_EQ(panel.width, TidepullEditorLayout::kWidth);
    EXPECT_EQ(panel.frameHeight, TidepullEditorLayout::kHeight);
    for (const StripPlacement& s : kEditorStrips) {
        SCOPED_TRACE(s.file);
        EXPECT_TRUE(ids.insert(s.resourceId).second);
        EXPECT_TRUE(ids.insert(s.resourceId + kDoubleDensityIdOffset).second);
        EXPECT_TRUE(files.insert(s.file).second);
        EXPECT_GE(s.x, 0);
        EXPECT_GE(s.y, 0);
        EXPECT_LE(s.x + s.width, panel.width);
        EXPECT_LE(s.y + s.frameHeight, panel.frameHeight);
    }
    EXPECT_EQ(static_cast<int>(files.size()), kEditorStripCount);
}
