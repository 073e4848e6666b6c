#include "VstText.h"

#include "pluginterfaces/base/funknown.h"

#include <gtest/gtest.h>

using Steinberg::char16;
using vsthost::VstText;

TEST(VstText, Utf8AndUtf16RoundTripOutsideTheBasicPlane)
{
    const std::string text = "Aé€\xF0\x9D\x84\x9E";   // 1, 2, 3 and 4 UTF-8 bytes
    char16 field[16];
    VstText::toUtf16(text, field, 16);
    EXPECT_EQ(field[0], u'A');
    EXPECT_EQ(field[1], 0xE9);
    EXPECT_EQ(field[2], 0x20AC);
    EXPECT_EQ(field[3], 0xD834);   // a surrogate pair
    EXPECT_EQ(field[4], 0xDD1E);
    EXPECT_EQ(field[5], 0);
    EXPECT_EQ(VstText::toUtf8(field, 16), text);
    EXPECT_EQ(VstText::widen(text), std::u16string(u"Aé€\U0001D11E"));
}

TEST(VstText, CutsLongTextsAtTheFieldAndNeverSplitsAPair)
{
    char16 field[4];
    VstText::toUtf16("abcdef", field, 4);
    EXPECT_EQ(VstText::toUtf8(field, 4), "abc");
    VstText::toUtf16("ab\xF0\x9D\x84\x9E", field, 4);
    EXPECT_EQ(VstText::toUtf8(field, 4), "ab");
    // A field without terminator is read up to its size only.
    const char16 full[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(VstText::toUtf8(full, 3), "xyz");
    const char bytes[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(VstText::fromField(bytes, 3), "abc");
    EXPECT_EQ(VstText::fromField("ab\0cd", 5), "ab");
}

TEST(VstText, AsciiShowsWideUnitsAsQuestionMarks)
{
    const char16 text[] = {u'd', u'B', 0xB0, 0};
    EXPECT_EQ(VstText::toAscii(text, 128), "dB?");
    EXPECT_EQ(VstText::toAscii(text, 1), "d");
    EXPECT_EQ(VstText::toAscii(nullptr, 8), "");
}

TEST(VstText, NamesResultCodes)
{
    EXPECT_EQ(VstText::resultName(Steinberg::kResultOk), "kResultOk");
    EXPECT_EQ(VstText::resultName(Steinberg::kInvalidArgument), "kInvalidArgument");
    EXPECT_EQ(VstText::resultName(12345), "result 12345");
}
