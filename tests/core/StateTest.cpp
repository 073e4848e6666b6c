#include "TestPlug.h"

#include "core/MemoryByteStream.h"
#include "core/StateChunk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

// Serves a fixed byte string; once it is used up a read either fails (like a
// host stream reporting an error) or succeeds with no bytes.
class ScriptedStream : public ByteStream {
public:
    ScriptedStream(std::vector<uint8_t> bytes, bool failAtEnd) : data(std::move(bytes)), failWhenEmpty(failAtEnd) {}

    bool Read(void* dst, int32_t n, int32_t* done) override
    {
        ++reads;
        const size_t count = std::min(static_cast<size_t>(n), data.size() - pos);
        if (count > 0)
            std::memcpy(dst, data.data() + pos, count);
        pos += count;
        if (done)
            *done = static_cast<int32_t>(count);
        return !(failWhenEmpty && count == 0);
    }
    bool Write(const void*, int32_t, int32_t*) override { return false; }

    int reads = 0;

private:
    std::vector<uint8_t> data;
    size_t pos = 0;
    bool failWhenEmpty;
};

void AppendLe(std::vector<uint8_t>& out, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

double ReadLe(const std::vector<uint8_t>& bytes, size_t offset)
{
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits |= static_cast<uint64_t>(bytes[offset + static_cast<size_t>(i)]) << (8 * i);
    double v;
    std::memcpy(&v, &bits, 8);
    return v;
}

// Nine parameters shaped like the real plug's, so short chunks cut where the
// real format would.
void InitNine(PlugCore& plug)
{
    plug.ParamAt(0)->InitContinuous("p0", 0.0, -18.0, 18.0, 0.01, "%", "", 1.0);
    plug.ParamAt(1)->InitContinuous("p1", 0.0, -18.0, 18.0, 0.01, "%", "", 1.0);
    plug.ParamAt(2)->InitContinuous("p2", 2.0, 1.0, 10.0, 0.01, "%", "", 1.0);
    plug.ParamAt(3)->InitContinuous("p3", 20.0, 20.0, 500.0, 0.01, "%", "", 1.0);
    plug.ParamAt(4)->InitInteger("p4", 0, 0, 5, "", "");
    plug.ParamAt(5)->InitContinuous("p5", 100.0, 0.0, 100.0, 0.01, "%", "", 1.0);
    plug.ParamAt(6)->InitInteger("p6", 1, 0, 1, "", "");
    plug.ParamAt(7)->InitInteger("p7", 0, 0, 1, "", "");
    plug.ParamAt(8)->InitContinuous("p8", 0.0, 0.0, 50.0, 0.01, "%", "", 1.0);
}

std::vector<double> Values(const PlugCore& plug)
{
    std::vector<double> v;
    for (int32_t i = 0; i < plug.ParamCount(); ++i)
        v.push_back(plug.ParamAt(i)->Value());
    return v;
}

}   // namespace

// ---- StateChunk ----

TEST(StateChunk, AppendAndReadAtPosition)
{
    StateChunk chunk;
    EXPECT_EQ(chunk.Size(), 0);
    EXPECT_EQ(chunk.Bytes(), nullptr);
    const uint8_t abc[3] = {1, 2, 3};
    EXPECT_EQ(chunk.PutBytes(abc, 3), 3);
    EXPECT_EQ(chunk.PutBytes(abc, 2), 5);

    uint8_t out[3] = {9, 9, 9};
    EXPECT_EQ(chunk.GetBytes(out, 3, 2), 5);
    EXPECT_EQ(out[0], 3);
    EXPECT_EQ(out[1], 1);
    EXPECT_EQ(out[2], 2);
}

TEST(StateChunk, ReadsPastTheEndCopyNothingAndAnswerMinusOne)
{
    StateChunk chunk;
    const uint8_t abc[3] = {1, 2, 3};
    chunk.PutBytes(abc, 3);
    uint8_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(chunk.GetBytes(out, 4, 0), -1);
    EXPECT_EQ(chunk.GetBytes(out, 1, 3), -1);
    EXPECT_EQ(chunk.GetBytes(out, 1, -1), -1);
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(chunk.GetBytes(out, 0, 3), 3);

    double v = 5.0;
    EXPECT_EQ(chunk.GetDouble(&v, 0), -1);
    EXPECT_EQ(v, 5.0);
}

TEST(StateChunk, DoublesAreLittleEndianIeee)
{
    StateChunk chunk;
    EXPECT_EQ(chunk.PutDouble(1.0), 8);
    EXPECT_EQ(chunk.PutDouble(-2.5), 16);
    const uint8_t one[8] = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
    EXPECT_EQ(std::memcmp(chunk.Bytes(), one, 8), 0);
    const uint8_t minus[8] = {0, 0, 0, 0, 0, 0, 0x04, 0xC0};
    EXPECT_EQ(std::memcmp(chunk.Bytes() + 8, minus, 8), 0);

    double v = 0.0;
    EXPECT_EQ(chunk.GetDouble(&v, 8), 16);
    EXPECT_EQ(v, -2.5);
}

// ---- parameter serialisation ----

TEST(Serialisation, ParamsAppendPlainValuesBehindExistingBytes)
{
    TestPlug plug(9);
    InitNine(plug);
    plug.ParamAt(0)->SetValue(-6.0);
    StateChunk chunk;
    const uint8_t head[2] = {0xAB, 0xCD};
    chunk.PutBytes(head, 2);
    ASSERT_TRUE(plug.SerializeParams(chunk));
    ASSERT_EQ(chunk.Size(), 2 + 72);
    EXPECT_EQ(chunk.Bytes()[0], 0xAB);
    std::vector<uint8_t> bytes(chunk.Bytes(), chunk.Bytes() + chunk.Size());
    const std::vector<double> expected = Values(plug);
    for (size_t i = 0; i < 9; ++i)
        EXPECT_EQ(ReadLe(bytes, 2 + 8 * i), expected[i]) << i;
}

TEST(Serialisation, ShortChunkSetsWhatItHoldsAndStopsAtTheGap)
{
    TestPlug plug(9);
    InitNine(plug);
    for (int32_t i = 0; i < 9; ++i)
        plug.ParamAt(i)->SetValue(plug.ParamAt(i)->Max());
    const std::vector<double> before = Values(plug);

    StateChunk chunk;
    chunk.PutDouble(-3.0);
    chunk.PutDouble(4.5);
    chunk.PutBytes("\x01\x02\x03\x04", 4);   // 20 bytes: half a third value
    plug.changed.clear();

    EXPECT_EQ(plug.UnserializeParams(chunk, 0), -1);
    EXPECT_EQ(plug.ParamAt(0)->Value(), -3.0);
    EXPECT_EQ(plug.ParamAt(1)->Value(), 4.5);
    EXPECT_EQ(plug.ParamAt(2)->Value(), 1.0);   // 0.0 limited to 1..10
    for (int32_t i = 3; i < 9; ++i)
        EXPECT_EQ(plug.ParamAt(i)->Value(), before[static_cast<size_t>(i)]) << i;
    const std::vector<int32_t> all = {0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(plug.changed, all);
}

TEST(Serialisation, FullChunkAnswersThePositionAfterIt)
{
    TestPlug plug(9);
    InitNine(plug);
    StateChunk chunk;
    chunk.PutBytes("xyz", 3);
    plug.SerializeParams(chunk);
    EXPECT_EQ(plug.UnserializeParams(chunk, 3), 75);
    EXPECT_EQ(plug.UnserializeParams(chunk, -1), -1);
}

TEST(Serialisation, OutOfRangeAndNonFiniteValuesAreTamed)
{
    TestPlug plug(9);
    InitNine(plug);
    StateChunk chunk;
    chunk.PutDouble(100.0);   // -18..18
    chunk.PutDouble(-100.0);
    chunk.PutDouble(kNaN);   // default 2
    chunk.PutDouble(kInf);   // 20..500
    chunk.PutDouble(2.5);   // integer record: no rounding on restore
    chunk.PutDouble(-kInf);   // 0..100
    chunk.PutDouble(kNaN);   // default 1
    chunk.PutDouble(1.0);
    chunk.PutDouble(-kNaN);
    EXPECT_EQ(plug.UnserializeParams(chunk, 0), 72);
    const std::vector<double> expected = {18.0, -18.0, 2.0, 500.0, 2.5, 0.0, 1.0, 1.0, 0.0};
    EXPECT_EQ(Values(plug), expected);
}

// ---- state blob ----

TEST(StateBlob, SaveWritesValuesThenTheBypassWord)
{
    TestPlug plug(3);
    plug.ParamAt(0)->InitContinuous("a", -6.0, -18.0, 18.0, 0.01, "", "", 1.0);
    plug.ParamAt(1)->InitInteger("b", 3, 0, 5, "", "");
    plug.ParamAt(2)->InitContinuous("c", 0.125, 0.0, 1.0, 0.001, "", "", 1.0);

    MemoryByteStream off;
    ASSERT_TRUE(plug.SaveState(off));
    ASSERT_EQ(off.Data().size(), 28u);
    EXPECT_EQ(ReadLe(off.Data(), 0), -6.0);
    EXPECT_EQ(ReadLe(off.Data(), 8), 3.0);
    EXPECT_EQ(ReadLe(off.Data(), 16), 0.125);
    for (size_t i = 24; i < 28; ++i)
        EXPECT_EQ(off.Data()[i], 0);

    plug.SetBypassed(true);
    MemoryByteStream on;
    ASSERT_TRUE(plug.SaveState(on));
    ASSERT_EQ(on.Data().size(), 28u);
    EXPECT_EQ(on.Data()[24], 1);
    EXPECT_EQ(on.Data()[25], 0);
    EXPECT_EQ(on.Data()[26], 0);
    EXPECT_EQ(on.Data()[27], 0);
}

// Takes at most `room` bytes; answers success or failure for a write it
// could not take whole, as `failWhenFull` says.
class CappedStream : public ByteStream {
public:
    CappedStream(size_t room, bool failWhenFull) : room(room), failWhenFull(failWhenFull) {}
    bool Read(void*, int32_t, int32_t* done) override
    {
        *done = 0;
        return false;
    }
    bool Write(const void* src, int32_t n, int32_t* done) override
    {
        const size_t take = std::min(static_cast<size_t>(n), room - data.size());
        const auto* p = static_cast<const uint8_t*>(src);
        data.insert(data.end(), p, p + take);
        *done = static_cast<int32_t>(take);
        return take == static_cast<size_t>(n) || !failWhenFull;
    }
    std::vector<uint8_t> data;

private:
    size_t room;
    bool failWhenFull;
};

TEST(StateBlob, SaveFailsUnlessTheStreamTookEveryByte)
{
    TestPlug plug(3);
    plug.SetBypassed(true);
    MemoryByteStream whole;
    ASSERT_TRUE(plug.SaveState(whole));
    for (bool failWhenFull : {false, true}) {
        for (size_t room : {0u, 5u, 24u, 27u}) {
            CappedStream capped(room, failWhenFull);
            EXPECT_FALSE(plug.SaveState(capped)) << room << (failWhenFull ? " failing" : " lenient");
        }
        CappedStream enough(28, failWhenFull);
        EXPECT_TRUE(plug.SaveState(enough));
        EXPECT_EQ(enough.data, whole.Data());
    }
    // Every byte taken, yet the stream reports an error: still a failure.
    class LyingStream : public CappedStream {
    public:
        LyingStream() : CappedStream(100, true) {}
        bool Write(const void* src, int32_t n, int32_t* done) override
        {
            CappedStream::Write(src, n, done);
            return false;
        }
    } lying;
    EXPECT_FALSE(plug.SaveState(lying));
}

TEST(StateBlob, LoadRestoresValuesBypassAndRefreshesTheEditor)
{
    TestPlug plug(3);
    plug.ParamAt(0)->InitContinuous("a", 0.0, -18.0, 18.0, 0.01, "", "", 1.0);
    plug.ParamAt(1)->InitInteger("b", 0, 0, 5, "", "");
    plug.ParamAt(2)->InitContinuous("c", 0.0, 0.0, 1.0, 0.001, "", "", 1.0);
    EditorLog log;
    plug.AttachEditor(new FakeEditor(log));
    log.pushes.clear();

    std::vector<uint8_t> blob;
    AppendLe(blob, 5.0);
    AppendLe(blob, 2.0);
    AppendLe(blob, 0.75);
    blob.insert(blob.end(), {0, 1, 0, 0});   // any non-zero word engages bypass
    MemoryByteStream stream(blob);
    ASSERT_TRUE(plug.LoadState(stream));
    EXPECT_EQ(Values(plug), (std::vector<double>{5.0, 2.0, 0.75}));
    EXPECT_TRUE(plug.IsBypassed());
    ASSERT_EQ(log.pushes.size(), 3u);
    EXPECT_FALSE(log.pushes[0].normalized);
    EXPECT_EQ(log.pushes[0].value, 5.0);
    const std::vector<int32_t> all = {0, 1, 2};
    EXPECT_EQ(plug.changed, all);
}

TEST(StateBlob, ShortStreamKeepsTheTailAndFollowsTheStreamsReport)
{
    auto makePlug = [](TestPlug& plug) {
        InitNine(plug);
        for (int32_t i = 0; i < 9; ++i)
            plug.ParamAt(i)->SetValue(plug.ParamAt(i)->Max());
        plug.SetBypassed(true);
    };
    std::vector<uint8_t> blob;
    const double sent[5] = {-1.0, -2.0, 3.0, 30.0, 4.0};
    for (double v : sent)
        AppendLe(blob, v);
    ASSERT_EQ(blob.size(), 40u);

    // The stream fails the missing bypass word: parameters are applied, the
    // load fails, bypass and editor are left alone.
    {
        TestPlug plug(9);
        makePlug(plug);
        const std::vector<double> before = Values(plug);
        EditorLog log;
        plug.AttachEditor(new FakeEditor(log));
        log.pushes.clear();
        ScriptedStream stream(blob, true);
        EXPECT_FALSE(plug.LoadState(stream));
        for (int32_t i = 0; i < 5; ++i)
            EXPECT_EQ(plug.ParamAt(i)->Value(), sent[i]) << i;
        for (int32_t i = 5; i < 9; ++i)
            EXPECT_EQ(plug.ParamAt(i)->Value(), before[static_cast<size_t>(i)]) << i;
        EXPECT_TRUE(plug.IsBypassed());
        EXPECT_TRUE(log.pushes.empty());
        EXPECT_EQ(plug.changed.size(), 9u);
    }
    // A stream that reports success with no bytes leaves the word at 0.
    {
        TestPlug plug(9);
        makePlug(plug);
        EditorLog log;
        plug.AttachEditor(new FakeEditor(log));
        log.pushes.clear();
        ScriptedStream stream(blob, false);
        EXPECT_TRUE(plug.LoadState(stream));
        EXPECT_EQ(plug.ParamAt(4)->Value(), 4.0);
        EXPECT_EQ(plug.ParamAt(5)->Value(), 100.0);
        EXPECT_FALSE(plug.IsBypassed());
        EXPECT_EQ(log.pushes.size(), 9u);
    }
}

TEST(StateBlob, RoundTripIntoAFreshInstanceGivesTheSameBytes)
{
    TestPlug a(9);
    InitNine(a);
    const double values[9] = {-7.25, 3.5, 9.99, 123.45, 5.0, 12.5, 0.0, 1.0, 33.33};
    for (int32_t i = 0; i < 9; ++i)
        a.ParamAt(i)->SetValue(values[i]);
    a.SetBypassed(true);
    MemoryByteStream saved;
    ASSERT_TRUE(a.SaveState(saved));

    TestPlug b(9);
    InitNine(b);
    MemoryByteStream in(saved.Data());
    ASSERT_TRUE(b.LoadState(in));
    MemoryByteStream again;
    ASSERT_TRUE(b.SaveState(again));
    EXPECT_EQ(again.Data(), saved.Data());
}

TEST(StateBlob, ZeroParameterPlugSavesOnlyTheBypassWordAndRefusesLoads)
{
    TestPlug plug(0);
    plug.SetBypassed(true);
    MemoryByteStream out;
    ASSERT_TRUE(plug.SaveState(out));
    EXPECT_EQ(out.Data(), (std::vector<uint8_t>{1, 0, 0, 0}));

    plug.SetBypassed(false);
    ScriptedStream in({1, 0, 0, 0}, false);
    EXPECT_FALSE(plug.LoadState(in));
    EXPECT_EQ(in.reads, 0);
    EXPECT_FALSE(plug.IsBypassed());
}

// ---- presets ----

TEST(Presets, DefaultCaptureAndRestore)
{
    TestPlug plug(9);
    InitNine(plug);
    plug.CaptureDefaultPresets("-", 1);
    ASSERT_EQ(plug.PresetCount(), 1);
    EXPECT_TRUE(plug.PresetAt(0)->initialised);
    EXPECT_STREQ(plug.PresetAt(0)->name, "-");
    EXPECT_EQ(plug.PresetAt(0)->chunk.Size(), 72);
    const std::vector<double> defaults = Values(plug);

    for (int32_t i = 0; i < 9; ++i)
        plug.ParamAt(i)->SetValue(plug.ParamAt(i)->Max());
    EditorLog log;
    plug.AttachEditor(new FakeEditor(log));
    log.pushes.clear();
    plug.changed.clear();

    EXPECT_TRUE(plug.SelectPreset(0));
    EXPECT_EQ(Values(plug), defaults);
    EXPECT_EQ(plug.changed.size(), 9u);
    EXPECT_EQ(plug.presetRestoredCount, 1);
    EXPECT_EQ(log.pushes.size(), 9u);
    EXPECT_EQ(plug.CurrentPreset(), 0);
}

TEST(Presets, IndicesOutsideTheListAreRefused)
{
    TestPlug plug(2);
    plug.CaptureDefaultPresets("-", 1);
    plug.changed.clear();
    EXPECT_FALSE(plug.SelectPreset(1));
    EXPECT_FALSE(plug.SelectPreset(-1));
    EXPECT_TRUE(plug.changed.empty());
    EXPECT_EQ(plug.presetRestoredCount, 0);
}

TEST(Presets, CaptureStopsWhenSlotsRunOut)
{
    TestPlug plug(1, "2-2", 2);
    plug.CaptureDefaultPresets("first", 1);
    plug.CaptureDefaultPresets("second", 5);
    EXPECT_STREQ(plug.PresetAt(0)->name, "first");
    EXPECT_STREQ(plug.PresetAt(1)->name, "second");

    const std::string longName(300, 'p');
    TestPlug other(1, "2-2", 1);
    other.CaptureDefaultPresets(longName.c_str(), 1);
    EXPECT_EQ(std::string(other.PresetAt(0)->name), std::string(255, 'p'));
}

TEST(Presets, EmptySlotsCaptureAndAreNamedInOrderOfUse)
{
    TestPlug plug(1, "2-2", 2);
    plug.ParamAt(0)->InitContinuous("a", 0.0, -18.0, 18.0, 0.01, "", "", 1.0);
    EXPECT_STREQ(plug.PresetAt(0)->name, "empty");
    EXPECT_STREQ(plug.PresetAt(1)->name, "empty");

    plug.ParamAt(0)->SetValue(5.0);
    EXPECT_TRUE(plug.SelectPreset(1));
    EXPECT_STREQ(plug.PresetAt(1)->name, "user preset 1");
    EXPECT_TRUE(plug.PresetAt(1)->initialised);
    EXPECT_EQ(plug.CurrentPreset(), 1);
    EXPECT_EQ(plug.ParamAt(0)->Value(), 5.0);   // captured, nothing restored

    plug.ParamAt(0)->SetValue(-4.0);
    EXPECT_TRUE(plug.SelectPreset(0));
    EXPECT_STREQ(plug.PresetAt(0)->name, "user preset 2");
    EXPECT_EQ(plug.CurrentPreset(), 0);

    plug.ParamAt(0)->SetValue(1.0);
    EXPECT_TRUE(plug.SelectPreset(1));
    EXPECT_EQ(plug.ParamAt(0)->Value(), 5.0);
    EXPECT_STREQ(plug.PresetAt(1)->name, "user preset 1");
    EXPECT_TRUE(plug.SelectPreset(0));
    EXPECT_EQ(plug.ParamAt(0)->Value(), -4.0);
}

TEST(Presets, AZeroParameterPresetRestoresNothing)
{
    TestPlug plug(0, "2-2", 1);
    plug.CaptureDefaultPresets("-", 1);
    EXPECT_FALSE(plug.SelectPreset(0));   // nothing read: position 0 is not above 0
}
