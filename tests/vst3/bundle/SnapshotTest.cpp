// The editor snapshot hosts show: Resources/Snapshots/<class ID>_snapshot.png.
#include "PluginModule.h"

#include "pluginterfaces/base/ipluginbase.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace Steinberg;

namespace {
uint32_t bigEndian32(const std::vector<uint8_t>& b, size_t at)
{
    return (static_cast<uint32_t>(b[at]) << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

TEST(EditorSnapshot, IsAPngOfTheEditorsSizeNamedAfterTheClassId)
{
    ASSERT_TRUE(PluginModule::Shared().Loaded()) << PluginModule::Shared().Error();
    IPluginFactory* factory = PluginModule::Shared().GetFactory();
    ASSERT_NE(factory, nullptr);
    PClassInfo ci;
    ASSERT_EQ(factory->getClassInfo(0, &ci), kResultOk);
    factory->release();
    std::string cid;
    char digits[3];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(ci.cid[i]));
        cid += digits;
    }

    const std::string path =
        std::string(TIDEPULL_BUNDLE_DIR) + "/Contents/Resources/Snapshots/" + cid + "_snapshot.png";
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << "no snapshot at " << path;
    const std::vector<uint8_t> png((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(png.size(), 33u);
    const std::vector<uint8_t> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), png.begin()));
    // The first chunk is IHDR: width and height, big-endian.
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(bigEndian32(png, 16), 1001u);
    EXPECT_EQ(bigEndian32(png, 20), 270u);
}
}   // namespace
