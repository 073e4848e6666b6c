#include "RecordingPlug.h"

#include "core/ParamRecord.h"
#include "gui/TextEntry.h"
#include "gui/VirtualKeyMap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// What a box keeps of a typed text.
std::string Typed(const TextEntry& entry, const std::string& keys)
{
    std::string kept;
    for (char c : keys)
        if (entry.AcceptsCharacter(static_cast<unsigned char>(c)))
            kept += c;
    return kept;
}

}   // namespace

TEST(TextEntry, KeepsOnlyWhatTheParameterKindCanRead)
{
    RecordingPlug plug;
    TextEntry entry;
    entry.Open(nullptr, plug.ParamAt(RecordingPlug::kRelease));   // Integer
    EXPECT_EQ(Typed(entry, "12a"), "12");
    EXPECT_EQ(Typed(entry, "-3.5"), "-35");
    EXPECT_TRUE(entry.AcceptsCharacter(VirtualKeyMap::kBack));

    entry.Open(nullptr, plug.ParamAt(RecordingPlug::kGain));   // Continuous
    EXPECT_EQ(Typed(entry, "-3.5"), "-3.5");
    EXPECT_EQ(Typed(entry, "+1e3, x"), "+13");

    ParamRecord flag;
    flag.InitBool("Flag", false, "", "");
    entry.Open(nullptr, &flag);
    EXPECT_EQ(Typed(entry, "on 1"), "1");
    entry.Open(nullptr, plug.ParamAt(RecordingPlug::kMode));   // Enumeration
    EXPECT_EQ(Typed(entry, "2."), "2");

    ParamRecord none;   // kind None filters nothing, nor does a box without a parameter
    entry.Open(nullptr, &none);
    EXPECT_EQ(Typed(entry, "any text."), "any text.");
    entry.Open(nullptr, nullptr);
    EXPECT_EQ(Typed(entry, "any text."), "any text.");
}

TEST(TextEntry, CommittedTextsAsValues)
{
    RecordingPlug plug;
    const ParamRecord& gain = *plug.ParamAt(RecordingPlug::kGain);   // -18 to 18
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, "9"), 27.0 / 36.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, " -4.5dB"), 13.5 / 36.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, "+3"), 21.0 / 36.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, "25"), 1.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, "-25"), 0.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, ""), 0.5);   // no number reads as 0
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(gain, "x1"), 0.5);

    ParamRecord& mix = *plug.ParamAt(RecordingPlug::kMix);
    mix.SetNegateDisplay(true);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(mix, "-40"), 0.4);

    ParamRecord flag;
    flag.InitBool("Flag", false, "", "");
    flag.AddDisplayText(0, "Off");
    flag.AddDisplayText(1, "On");
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(flag, "On"), 1.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(flag, "1"), 0.0);
    EXPECT_DOUBLE_EQ(TextEntry::NormalizedValueOf(flag, "on"), 0.0);
}

TEST(TextEntry, EnterCommitsEscapeCancelsFocusDecides)
{
    TextEntry entry;
    EXPECT_FALSE(entry.KeyDown('A'));
    EXPECT_EQ(entry.State(), TextEntryState::Idle);
    EXPECT_TRUE(entry.KeyDown(VirtualKeyMap::kReturn));
    EXPECT_EQ(entry.State(), TextEntryState::Commit);
    EXPECT_TRUE(entry.KeyDown(VirtualKeyMap::kEscape));
    EXPECT_EQ(entry.State(), TextEntryState::Cancel);
    entry.FocusChanged(true);
    EXPECT_EQ(entry.State(), TextEntryState::Editing);
    entry.FocusChanged(false);
    EXPECT_EQ(entry.State(), TextEntryState::Commit);
    entry.Close();
    EXPECT_EQ(entry.State(), TextEntryState::Idle);
    EXPECT_FALSE(entry.IsOpen());
}
