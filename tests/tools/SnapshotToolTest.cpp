#include "TestAudio.h"
#include "TempFolderTest.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {
// Runs tidepull-snapshot in a folder of its own, which is removed afterwards.
class SnapshotTool : public TempFolderTest {
protected:
    static ToolRun::Result snapshot(const std::vector<std::string>& args)
    {
        return ToolRun::runProgram(TIDEPULL_SNAPSHOT_EXE, args);
    }

    // Width and height from the PNG header, or 0 x 0 when it is none.
    static std::pair<uint32_t, uint32_t> pngSize(const std::string& bytes)
    {
        static const std::string signature("\x89PNG\r\n\x1a\n", 8);
        if (bytes.size() < 24 || bytes.compare(0, 8, signature) != 0 || bytes.compare(12, 4, "IHDR") != 0)
            return {0, 0};
        auto word = [&bytes](size_t at) {
            uint32_t v = 0;
            for (size_t i = 0; i < 4; ++i)
                v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
            return v;
        };
        return {word(16), word(20)};
    }
};
}   // namespace

TEST_F(SnapshotTool, WritesTheEditorAsA1001By270Png)
{
    const ToolRun::Result r = snapshot({path("editor.png")});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(pngSize(TestAudio::fileBytes(path("editor.png"))), (std::pair<uint32_t, uint32_t>{1001, 270}));
    EXPECT_NE(r.out.find("(1001 x 270)"), std::string::npos) << r.out;
    EXPECT_EQ(filesInFolder(), 1u);

    // The same settings draw the same bytes; other settings other ones.
    ASSERT_EQ(snapshot({path("again.png")}).exitCode, 0);
    EXPECT_EQ(TestAudio::fileBytes(path("again.png")), TestAudio::fileBytes(path("editor.png")));
    const ToolRun::Result set = snapshot({"--set", "release=3", "--set=AC Threshold=25", path("set.png")});
    ASSERT_EQ(set.exitCode, 0) << set.err;
    EXPECT_NE(set.out.find("Release = 3, AC Threshold = 25"), std::string::npos) << set.out;
    EXPECT_NE(TestAudio::fileBytes(path("set.png")), TestAudio::fileBytes(path("editor.png")));
}

TEST_F(SnapshotTool, BadSettingsAreRefusedAndLeaveNoFile)
{
    std::ofstream(path("kept.png")) << "earlier image";
    const ToolRun::Result unknown = snapshot({"--set", "Threshold=3", path("kept.png")});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("no parameter \"Threshold\"; its parameters are:"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("\"AC Threshold\" [dB] 0 to 50"), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find("\"External Sidechain\""), std::string::npos) << unknown.err;

    const ToolRun::Result value = snapshot({"--set", "MIX=half", path("new.png")});
    EXPECT_EQ(value.exitCode, 1);
    EXPECT_NE(value.err.find("cannot read \"half\" as a number for \"MIX\""), std::string::npos) << value.err;

    EXPECT_EQ(snapshot({"--audio", path("missing.wav"), path("new.png")}).exitCode, 1);
    EXPECT_EQ(snapshot({"--set", "MIX", path("new.png")}).exitCode, 2);
    EXPECT_NE(snapshot({path("no/such/folder/new.png")}).exitCode, 0);

    EXPECT_EQ(TestAudio::fileBytes(path("kept.png")), "earlier image");
    EXPECT_EQ(filesInFolder(), 1u);

    // Out of range is not an error: the plug limits it.
    const ToolRun::Result limited = snapshot({"--set", "MIX=150", path("limited.png")});
    EXPECT_EQ(limited.exitCode, 0);
    EXPECT_NE(limited.err.find("MIX=150 lies outside 0 to 100"), std::string::npos) << limited.err;
}

TEST_F(SnapshotTool, AudioMovesTheMeter)
{
    ASSERT_TRUE(TestAudio::bursts(2, 1.0, 44100).writeFloatWav(path("in.wav")));
    const ToolRun::Result quiet = snapshot({"--set", "AC Threshold=30", path("before.png")});
    const ToolRun::Result loud = snapshot({"--set", "AC Threshold=30", "--audio", path("in.wav"), path("after.png")});
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    ASSERT_EQ(loud.exitCode, 0) << loud.err;
    EXPECT_NE(loud.out.find("dB of gain reduction"), std::string::npos) << loud.out;
    EXPECT_NE(TestAudio::fileBytes(path("before.png")), TestAudio::fileBytes(path("after.png")));

    const ToolRun::Result demo = snapshot({"--demo", path("demo.png")});
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
    EXPECT_NE(demo.out.find("built-in demo signal"), std::string::npos) << demo.out;
}

TEST_F(SnapshotTool, ScaleDrawsTheEditorAtThatDisplayScale)
{
    const std::vector<std::pair<std::string, std::pair<uint32_t, uint32_t>>> cases = {
        {"1.25", {1252, 338}}, {"1.5", {1502, 405}}, {"2", {2002, 540}}, {"1.3", {1252, 338}},   // the nearest quarter
    };
    for (const auto& c : cases) {
        const std::string out = path("editor-" + c.first + ".png");
        const ToolRun::Result r = snapshot({"--scale", c.first, out});
        ASSERT_EQ(r.exitCode, 0) << c.first << ": " << r.err;
        EXPECT_EQ(pngSize(TestAudio::fileBytes(out)), c.second) << c.first;
        const std::string size = "(" + std::to_string(c.second.first) + " x " + std::to_string(c.second.second) + ")";
        EXPECT_NE(r.out.find(size), std::string::npos) << r.out;
    }
    // 1.3 draws what 1.25 draws; 1 what no --scale draws.
    EXPECT_EQ(TestAudio::fileBytes(path("editor-1.3.png")), TestAudio::fileBytes(path("editor-1.25.png")));
    ASSERT_EQ(snapshot({"--scale=1", path("one.png")}).exitCode, 0);
    ASSERT_EQ(snapshot({path("plain.png")}).exitCode, 0);
    EXPECT_EQ(TestAudio::fileBytes(path("one.png")), TestAudio::fileBytes(path("plain.png")));
}

TEST_F(SnapshotTool, ARefusedScaleLeavesNoFile)
{
    std::ofstream(path("kept.png")) << "earlier image";
    for (const char* value : {"3", "0.5", "abc", "1.5x"}) {
        const ToolRun::Result r = snapshot({"--scale", value, path("new.png")});
        EXPECT_EQ(r.exitCode, 2) << value;
        EXPECT_NE(r.err.find("tidepull-snapshot: --scale needs a display scale from 1 to 2"), std::string::npos)
            << r.err;
        const ToolRun::Result over = snapshot({"--scale", value, path("kept.png")});
        EXPECT_EQ(over.exitCode, 2) << value;
    }
    EXPECT_EQ(snapshot({"--scale=", path("new.png")}).exitCode, 2);
    EXPECT_EQ(TestAudio::fileBytes(path("kept.png")), "earlier image");
    EXPECT_EQ(filesInFolder(), 1u);
}
