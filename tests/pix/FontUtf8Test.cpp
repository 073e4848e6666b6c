#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pix/PIX_Utf8Decoder.h"

namespace {

std::vector<uint32_t> Decode(const std::string& bytes, int32_t count)
{
    PIX_Utf8Decoder decoder(bytes.data(), count);
    std::vector<uint32_t> out;
    uint32_t ch = 0;
    while (decoder.Next(&ch))
        out.push_back(ch);
    return out;
}

std::vector<uint32_t> Decode(const std::string& bytes)
{
    return Decode(bytes, static_cast<int32_t>(bytes.size()));
}

using Codes = std::vector<uint32_t>;

TEST(FontUtf8, WellFormedSequencesGiveTheirCodes)
{
    EXPECT_EQ(Decode("Ab\n\r"), (Codes{'A', 'b', '\n', '\r'}));
    EXPECT_EQ(Decode("\xC3\xA9"), (Codes{0xE9}));
    EXPECT_EQ(Decode("\xDF\xBF"), (Codes{0x7FF}));
    EXPECT_EQ(Decode("\xE2\x82\xAC!"), (Codes{0x20AC, '!'}));
    EXPECT_EQ(Decode("\xEF\xBF\xBD"), (Codes{0xFFFD}));
}

TEST(FontUtf8, FourByteSequencesAreASpace)
{
    EXPECT_EQ(Decode("a\xF0\x9F\x98\x80"
                     "b"),
              (Codes{'a', ' ', 'b'}));
    EXPECT_EQ(Decode("\xF4\x8F\xBF\xBF"), (Codes{' '}));
}

TEST(FontUtf8, BytesThatStartNoCompleteSequenceStandForThemselves)
{
    EXPECT_EQ(Decode("\x80\xBF"), (Codes{0x80, 0xBF}));
    EXPECT_EQ(Decode("\xC0\x80\xC1\xBF"), (Codes{0xC0, 0x80, 0xC1, 0xBF}));
    EXPECT_EQ(Decode("\xC3x"), (Codes{0xC3, 'x'}));
    EXPECT_EQ(Decode("\xE2\x82x"), (Codes{0xE2, 0x82, 'x'}));
    EXPECT_EQ(Decode("\xF0\x9F\x98"
                     "a"),
              (Codes{0xF0, 0x9F, 0x98, 'a'}));
    EXPECT_EQ(Decode("\xF5\x80\x80\x80"), (Codes{0xF5, 0x80, 0x80, 0x80}));
    EXPECT_EQ(Decode("\xFF"), (Codes{0xFF}));
}

TEST(FontUtf8, TheCountCanCutASequence)
{
    EXPECT_EQ(Decode("\xC3\xA9", 1), (Codes{0xC3}));
    EXPECT_EQ(Decode("\xE2\x82\xAC", 2), (Codes{0xE2, 0x82}));
    EXPECT_EQ(Decode("\xF0\x9F\x98\x80", 3), (Codes{0xF0, 0x9F, 0x98}));
    EXPECT_EQ(Decode("abc", 2), (Codes{'a', 'b'}));
    EXPECT_EQ(Decode("abc", 0), Codes{});
}

TEST(FontUtf8, ANulByteEndsTheText)
{
    const std::string bytes("ab\0cd", 5);
    EXPECT_EQ(Decode(bytes, 5), (Codes{'a', 'b'}));
    EXPECT_EQ(Decode(bytes, -1), (Codes{'a', 'b'}));
    EXPECT_EQ(Decode(std::string("\xC3\0\xA9", 3), 3), (Codes{0xC3}));
    PIX_Utf8Decoder none(nullptr, -1);
    uint32_t ch = 0;
    EXPECT_FALSE(none.Next(&ch));
}

}   // namespace
