// The plain C++ branches that ARM64 runs, forced here, against the SSE2 ones
// of the normal build: every scene to the bit.
#include "SameBitsScenes.h"

#include "dsp/lanePair.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#ifdef TIDEPULL_LANES_SSE2
#error "built against the portable twins, the SSE2 lanes must be out"
#endif

namespace {

// Where two scenes part: the word, and both words in hexadecimal.
std::string FirstDifference(const SameBitsScene& got, const SameBitsScene& want)
{
    if (got.bytes.size() != want.bytes.size())
        return std::to_string(got.bytes.size()) + " bytes instead of " + std::to_string(want.bytes.size());
    for (size_t at = 0; at < got.bytes.size(); at += got.wordSize) {
        if (std::memcmp(&got.bytes[at], &want.bytes[at], got.wordSize) == 0)
            continue;
        uint64_t a = 0;
        uint64_t b = 0;
        std::memcpy(&a, &got.bytes[at], got.wordSize);
        std::memcpy(&b, &want.bytes[at], want.wordSize);
        char text[96];
        std::snprintf(text, sizeof text, "word %zu: %#llx instead of %#llx", at / got.wordSize,
                      static_cast<unsigned long long>(a), static_cast<unsigned long long>(b));
        return text;
    }
    return std::string();
}

TEST(PortablePaths, EveryRenderAndPictureHasTheBitsOfTheSse2Build)
{
    std::vector<SameBitsScene> reference;
    ASSERT_TRUE(ReadSameBitsScenes(TIDEPULL_SAME_BITS_REFERENCE, reference)) << TIDEPULL_SAME_BITS_REFERENCE;
    std::string error;
    const std::vector<SameBitsScene> scenes = MakeSameBitsScenes(error);
    ASSERT_FALSE(scenes.empty()) << error;

    std::map<std::string, const SameBitsScene*> byName;
    for (const SameBitsScene& s : reference)
        byName[s.name] = &s;
    EXPECT_EQ(byName.size(), scenes.size());
    for (const SameBitsScene& s : scenes) {
        SCOPED_TRACE(s.name);
        ASSERT_FALSE(s.bytes.empty());
        const auto found = byName.find(s.name);
        ASSERT_NE(found, byName.end()) << "no such scene in the reference";
        EXPECT_EQ(FirstDifference(s, *found->second), "");
    }
}

}   // namespace
